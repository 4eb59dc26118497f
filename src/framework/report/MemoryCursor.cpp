#include "framework/report/MemoryCursor.h"

#include "framework/report/ValueText.h"

namespace fw::report {

int MemoryCursor::addField(const QString &name, FieldKind kind, TextHandler text)
{
    m_fields.push_back({name, kind, std::move(text)});
    for (auto &row : m_rows)
        row.resize(m_fields.size());
    return int(m_fields.size()) - 1;
}

void MemoryCursor::appendRow(std::vector<QVariant> values)
{
    values.resize(m_fields.size());
    m_rows.push_back(std::move(values));
}

void MemoryCursor::clearRows()
{
    m_rows.clear();
    m_row = 0;
}

int MemoryCursor::fieldIndex(const QString &name) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

FieldKind MemoryCursor::fieldKind(int field) const
{
    return field >= 0 && size_t(field) < m_fields.size() ? m_fields[field].kind : FieldKind::Unknown;
}

QVariant MemoryCursor::value(int field) const
{
    if (eof() || field < 0 || size_t(field) >= m_fields.size())
        return {};
    return m_rows[m_row][field];
}

QString MemoryCursor::displayText(int field) const
{
    if (eof() || field < 0 || size_t(field) >= m_fields.size())
        return {};
    const QVariant &v = m_rows[m_row][field];
    if (m_fields[field].text)
        return m_fields[field].text(v);
    return plainText(m_fields[field].kind, v);
}

} // namespace fw::report
