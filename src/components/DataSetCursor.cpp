#include "components/DataSetCursor.h"

#include "framework/db/DataSet.h"
#include "framework/db/Field.h"

namespace fw::report {

void DataSetCursor::beginWalk()
{
    if (!m_disabled) {
        m_dataSet.disableControls();
        m_disabled = true;
    }
}

void DataSetCursor::endWalk() noexcept
{
    if (!m_disabled)
        return;
    m_disabled = false;
    try {
        m_dataSet.enableControls();
    } catch (...) {
        // A widget failing to refresh must not hide the report's own outcome.
    }
}

void DataSetCursor::first()
{
    if (m_dataSet.active())
        m_dataSet.first();
}

void DataSetCursor::next() { m_dataSet.next(); }

bool DataSetCursor::eof() const { return !m_dataSet.active() || m_dataSet.eof(); }

int DataSetCursor::fieldIndex(const QString &name) const
{
    const Field *f = m_dataSet.findField(name);
    return f ? f->index() : -1;
}

Field *DataSetCursor::field(int index) const
{
    return index >= 0 && index < m_dataSet.fieldCount() ? &m_dataSet.field(index) : nullptr;
}

FieldKind DataSetCursor::fieldKind(int index) const
{
    const Field *f = field(index);
    if (!f)
        return FieldKind::Unknown;
    switch (f->dataType()) {
    case FieldType::String:
    case FieldType::Memo:
        return FieldKind::Text;
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt:
        return FieldKind::Integer;
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::Bcd:
        return FieldKind::Float;
    case FieldType::Boolean:
        return FieldKind::Boolean;
    case FieldType::Date:
        return FieldKind::Date;
    case FieldType::Time:
        return FieldKind::Time;
    case FieldType::DateTime:
        return FieldKind::DateTime;
    case FieldType::Blob:
        return FieldKind::Blob;
    case FieldType::Unknown:
        break;
    }
    return FieldKind::Unknown;
}

QVariant DataSetCursor::value(int index) const
{
    const Field *f = field(index);
    return f && m_dataSet.active() ? f->value() : QVariant();
}

QString DataSetCursor::displayText(int index) const
{
    const Field *f = field(index);
    return f && m_dataSet.active() ? f->displayText() : QString();
}

} // namespace fw::report
