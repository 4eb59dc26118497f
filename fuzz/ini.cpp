// The host's ini files: every byte read is written back unchanged, and a key
// written reads back equal, before and after the text is written and read again.
#include "Comprobar.h"
#include "framework/host/IniFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

namespace {

// Names and values mostly from the code page (Latin-1 bytes), sometimes any UTF-8.
QString texto(FuzzedDataProvider &fdp, std::size_t max)
{
    const bool latin1 = fdp.ConsumeBool();
    const std::string bytes = fdp.ConsumeRandomLengthString(max);
    return latin1 ? QString::fromLatin1(bytes.data(), qsizetype(bytes.size())) : QString::fromStdString(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider fdp(data, size);
    const QByteArray original = QByteArray::fromStdString(fdp.ConsumeRandomLengthString(size));
    fw::host::IniFile ini(QStringLiteral("/nonexistent/fuzz.ini"));
    ini.loadData(original);
    COMPROBAR(ini.data() == original, QString::fromLatin1(original));

    // Keys written so far with their values: a later change to another key leaves them alone.
    struct Escrita
    {
        QString seccion, clave, valor;
    };
    std::vector<Escrita> escritas;
    auto misma = [](const QString &a, const QString &b) {
        return recortar(a).compare(recortar(b), Qt::CaseInsensitive) == 0;
    };
    for (int op = 0; op < 8 && fdp.remaining_bytes() > 0; ++op) {
        const int que = fdp.ConsumeIntegralInRange(0, 3);
        const QString seccion = texto(fdp, 12);
        const QString clave = texto(fdp, 12);
        QString valor;
        bool escrito = false;
        if (que == 1 || que == 2) {
            if (que == 1)
                ini.removeKey(seccion, clave);
            else
                ini.eraseSection(seccion);
            std::erase_if(escritas, [&](const Escrita &e) {
                return misma(e.seccion, seccion) && (que == 2 || misma(e.clave, clave));
            });
            if (que == 2)
                COMPROBAR(ini.keys(seccion).isEmpty(), seccion);
        } else {
            valor = texto(fdp, 24);
            escrito = ini.writeString(seccion, clave, valor);
            if (escrito) {
                std::erase_if(escritas,
                              [&](const Escrita &e) { return misma(e.seccion, seccion) && misma(e.clave, clave); });
                escritas.push_back({seccion, clave, valor});
            }
        }
        for (const Escrita &e : escritas)
            COMPROBAR(ini.readString(e.seccion, e.clave) == recortar(e.valor),
                      e.seccion + QLatin1Char('/') + e.clave + QLatin1Char('=') + ini.readString(e.seccion, e.clave));
        if (!escrito)
            continue;
        COMPROBAR(ini.hasKey(seccion, clave), seccion + QLatin1Char('/') + clave);
        COMPROBAR(ini.readString(seccion, clave) == recortar(valor), ini.readString(seccion, clave));
        COMPROBAR(ini.keys(seccion).contains(recortar(clave), Qt::CaseInsensitive), clave);

        // Written out and read again, the file says the same.
        fw::host::IniFile otra(QStringLiteral("/nonexistent/fuzz.ini"));
        otra.loadData(ini.data());
        COMPROBAR(otra.data() == ini.data(), QString::fromLatin1(ini.data()));
        COMPROBAR(otra.readString(seccion, clave) == recortar(valor), otra.readString(seccion, clave));
    }
    return 0;
}
