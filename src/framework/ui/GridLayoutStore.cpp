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
    if (!ini.load())
        throw Error(QStringLiteral("No se puede leer %1").arg(m_file));
    ini.eraseSection(m_section);
    for (int i = 0; i < lines.size(); ++i)
        ini.writeString(m_section, QStringLiteral("Columna%1").arg(i + 1), lines[i]);
    if (!ini.save())
        throw Error(QStringLiteral("No se puede escribir %1").arg(m_file));
}

} // namespace fw::ui
