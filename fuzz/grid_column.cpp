// Column definition lines: any line reads, and a column read back from the
// line it writes is the same column.
#include "Comprobar.h"
#include "framework/ui/GridColumn.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const QString line = !bytes.empty() && (bytes[0] & 1) ? textoUtf16(bytes.substr(1)) : QString::fromUtf8(bytes);
    const auto column = fw::ui::GridColumn::fromLine(line);
    if (!column)
        return 0;
    COMPROBAR(!column->fieldName.isEmpty(), line);
    const QString escrita = column->toLine();
    const auto otra = fw::ui::GridColumn::fromLine(escrita);
    COMPROBAR(otra.has_value(), escrita);
    COMPROBAR(otra->fieldName == column->fieldName, escrita);
    COMPROBAR(otra->width == column->width, escrita);
    COMPROBAR(otra->title == column->title, escrita);
    COMPROBAR(otra->readOnly == column->readOnly, escrita);
    COMPROBAR(otra->toLine() == escrita, escrita);
    return 0;
}
