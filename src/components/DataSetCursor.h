#pragma once
#include "framework/report/Cursor.h"

namespace fw {
class DataSet;
class Field;
} // namespace fw

namespace fw::report {

/// The report engine's view of a data set: it walks the data set's records and
/// reads its fields, display text through each field's own get-text handler.
/// It lives with the component library, the layer that links both the data sets
/// and the report engine.
/// While a report walks it, the data set's widgets are not notified (controls
/// disabled); the data set is left after its last record.
///
/// Does not own the data set, which must be open when the report is generated
/// (fields made at open are resolved then) and outlive the cursor.
class DataSetCursor : public Cursor
{
public:
    explicit DataSetCursor(DataSet &dataSet) : m_dataSet(dataSet) {}

    DataSet &dataSet() const { return m_dataSet; }

    void beginWalk() override;
    void endWalk() noexcept override;
    void first() override;
    void next() override;
    bool eof() const override;
    int fieldIndex(const QString &name) const override;
    FieldKind fieldKind(int field) const override;
    QVariant value(int field) const override;
    QString displayText(int field) const override;

private:
    Field *field(int index) const;

    DataSet &m_dataSet;
    bool m_disabled = false;
};

} // namespace fw::report
