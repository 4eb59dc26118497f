// Named parameters: any statement text parses, and its output, parsed again,
// is left alone with one unnamed position per marker.
#include "Comprobar.h"
#include "framework/db/Params.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    // Odd first byte: UTF-16 units (odd characters, names in any script); else UTF-8 text.
    const QString sql = !bytes.empty() && (bytes[0] & 1) ? textoUtf16(bytes.substr(1)) : QString::fromUtf8(bytes);
    const fw::ParsedSql parsed = fw::parseNamedParams(sql);
    COMPROBAR(parsed.sql.size() <= sql.size(), parsed.sql);
    for (const QString &nombre : parsed.positions)
        COMPROBAR(!nombre.contains(QLatin1Char(':')) && !nombre.contains(QLatin1Char('?')), nombre);

    const fw::ParsedSql otra = fw::parseNamedParams(parsed.sql);
    COMPROBAR(otra.sql == parsed.sql, otra.sql + QStringLiteral(" <> ") + parsed.sql);
    COMPROBAR(otra.positions.size() == parsed.positions.size(), parsed.sql);
    for (const QString &nombre : otra.positions)
        COMPROBAR(nombre.isEmpty(), nombre);

    fw::Params params;
    params.setNames(parsed.positions);
    for (const QString &nombre : parsed.positions)
        COMPROBAR(nombre.isEmpty() || params.find(nombre) != nullptr, nombre);
    return 0;
}
