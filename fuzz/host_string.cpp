// The host's reference-counted strings: the reader takes exactly the counted
// code units, unchanged, and reads nothing outside the string.
#include "Comprobar.h"
#include "framework/host/HostString.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    // The first byte takes a length shorter than the text (garbage after it must be ignored).
    const std::size_t unidades = (size - 1) / 2;
    const std::size_t contadas = data[0] & 1 ? unidades / (1 + data[0] / 2 % 4) : unidades;
    // Exactly header plus code units, with no terminator: ASan catches any read past them.
    std::vector<std::uint8_t> buffer(fw::host::kHeaderSize + unidades * 2);
    const std::uint16_t codePage = 1200, elemSize = 2;
    const std::int32_t refs = 1, length = std::int32_t(contadas);
    std::memcpy(buffer.data(), &codePage, 2);
    std::memcpy(buffer.data() + 2, &elemSize, 2);
    std::memcpy(buffer.data() + 4, &refs, 4);
    std::memcpy(buffer.data() + 8, &length, 4);
    if (unidades > 0)
        std::memcpy(buffer.data() + fw::host::kHeaderSize, data + 1, unidades * 2);

    const auto *texto = reinterpret_cast<const char16_t *>(buffer.data() + fw::host::kHeaderSize);
    const QString leido = fw::host::fromHostString(texto);
    COMPROBAR(std::size_t(leido.size()) == contadas, QString::number(leido.size()));
    for (std::size_t i = 0; i < contadas; ++i) {
        char16_t esperado;
        std::memcpy(&esperado, data + 1 + 2 * i, 2);
        COMPROBAR(leido.at(qsizetype(i)).unicode() == esperado, QStringLiteral("unit %1").arg(i));
    }
    std::int32_t refsDespues;
    std::memcpy(&refsDespues, buffer.data() + 4, 4);
    COMPROBAR(refsDespues == 1, QString::number(refsDespues));
    return 0;
}
