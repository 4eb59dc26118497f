#pragma once
#include "framework/report/Cursor.h"

#include <functional>
#include <initializer_list>
#include <vector>

namespace fw::report {

/// A cursor over rows held in memory: the report layout tests and benchmarks run
/// on it, and a caller can print a small table without a data set.
class MemoryCursor : public Cursor
{
public:
    /// Turns a value into the text a user sees, like a field's get-text handler.
    using TextHandler = std::function<QString(const QVariant &)>;

    /// Declares a field; returns its index. Declare all fields before adding rows.
    int addField(const QString &name, FieldKind kind, TextHandler text = {});
    /// One value per declared field, in declaration order; missing values are null.
    void appendRow(std::vector<QVariant> values);
    void appendRow(std::initializer_list<QVariant> values) { appendRow(std::vector<QVariant>(values)); }
    void clearRows();
    int rowCount() const { return int(m_rows.size()); }
    int fieldCount() const { return int(m_fields.size()); }

    void first() override { m_row = 0; }
    void next() override
    {
        if (m_row < m_rows.size())
            ++m_row;
    }
    bool eof() const override { return m_row >= m_rows.size(); }
    int fieldIndex(const QString &name) const override;
    FieldKind fieldKind(int field) const override;
    QVariant value(int field) const override;
    QString displayText(int field) const override;

private:
    struct FieldDef
    {
        QString name;
        FieldKind kind;
        TextHandler text;
    };
    std::vector<FieldDef> m_fields;
    std::vector<std::vector<QVariant>> m_rows;
    size_t m_row = 0;
};

} // namespace fw::report
