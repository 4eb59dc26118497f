#include "framework/ui/GridLayoutStore.h"

#include "framework/base/Error.h"
#include "framework/host/IniFile.h"

namespace fw::ui {

GridLayoutStore::GridLayoutStore(QString file, QString section)
    : m_file(std::move(file)), m_section(std::move(section))
{
}

QStringList GridLayoutStore::lines() const
{
    if (m_file.isEmpty())
        return {};
    fw::host::IniFile ini(m_file);
    if (!ini.load())
        return {};
    QStringList lines;
    for (const QString &key : ini.keys(m_section))
        lines << ini.readString(m_section, key);
    return lines;
}

void GridLayoutStore::write(const QStringList &lines) const
{
    fw::host::IniFile ini(m_file);
    // A file that cannot be read is ignored, and never overwritten: it may hold the host's other settings.
    if (!ini.load())
        return;
    QStringList claves;
    for (int i = 0; i < lines.size(); ++i)
        claves << QStringLiteral("Columna%1").arg(i + 1);
    // The layout is read back in the file's order: entries that stand in another
    // order (a file edited by hand) are written again from the start, in order.
    int anterior = -1;
    bool enOrden = true;
    for (const QString &clave : ini.keys(m_section)) {
        int i = 0;
        while (i < claves.size() && claves[i].compare(clave, Qt::CaseInsensitive) != 0)
            ++i;
        if (i == claves.size())
            continue;
        enOrden = enOrden && i > anterior;
        anterior = i;
    }
    if (!enOrden)
        for (const QString &clave : claves)
            ini.removeKey(m_section, clave);
    for (int i = 0; i < lines.size(); ++i) {
        if (!ini.writeString(m_section, claves[i], lines[i]))
            throw Error(QStringLiteral("No se puede guardar la columna \"%1\" en %2").arg(lines[i], m_file));
    }
    // Columns the layout no longer has; the section is the grid's own.
    for (const QString &clave : ini.keys(m_section))
        if (!claves.contains(clave, Qt::CaseInsensitive))
            ini.removeKey(m_section, clave);
    if (!ini.save())
        throw Error(QStringLiteral("No se puede escribir %1").arg(m_file));
}

} // namespace fw::ui
