#pragma once
#include <QDateTime>
#include <QFlags>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <Qt>

#include <functional>
#include <utility>

namespace fw {

class DataSet;

enum class FieldType {
    Unknown,
    String,
    SmallInt,
    Integer,
    LargeInt,
    Float,    ///< double precision; dialect 1 NUMERIC(15,2) lands here as well
    Currency, ///< a double shown as money
    Bcd,      ///< integer-based NUMERIC/DECIMAL with a scale, held as a double
    Boolean,
    Date,
    Time,
    DateTime,
    Blob,     ///< binary blob, held as QByteArray
    Memo,     ///< text blob, held as QString
};

enum class FieldKind { Data, Calculated, Lookup };

enum class FieldFlag { Required = 0x1, ReadOnly = 0x2, Hidden = 0x4 };
Q_DECLARE_FLAGS(FieldFlags, FieldFlag)

/// What a data set needs to declare a field in code before it opens.
struct FieldDef
{
    QString name;
    FieldType type = FieldType::String;
    int size = 0; ///< characters for strings, 0 otherwise
    FieldKind kind = FieldKind::Data;
    QString label; ///< display label; the name when empty
    FieldFlags flags = {};
};

/// A column of a data set. Fields are created and owned by their DataSet:
/// declared fields (DataSet::addField) live as long as the data set; fields
/// made at open are destroyed when it closes. The value of the current record
/// lives in the data set's record buffer, not in the field.
class Field
{
public:
    Field(DataSet &dataSet, const FieldDef &def, bool declared);
    Field(const Field &) = delete;
    Field &operator=(const Field &) = delete;

    DataSet *dataSet() const { return m_dataSet; }
    const QString &fieldName() const { return m_name; }
    FieldType dataType() const { return m_type; }
    int size() const { return m_size; }
    FieldKind kind() const { return m_kind; }
    bool isCalculated() const { return m_kind == FieldKind::Calculated; }
    bool isLookup() const { return m_kind == FieldKind::Lookup; }
    /// True for fields declared in code, false for those made at open.
    bool isDeclared() const { return m_declared; }
    /// Position in the data set's field list (and in its record buffer).
    int index() const { return m_index; }

    bool required() const { return m_required; }
    void setRequired(bool v) { m_required = v; }
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool v) { m_readOnly = v; }
    bool visible() const { return m_visible; }
    void setVisible(bool v) { m_visible = v; }
    QString displayLabel() const { return m_displayLabel.isEmpty() ? m_name : m_displayLabel; }
    void setDisplayLabel(const QString &v) { m_displayLabel = v; }
    /// Picture used by displayText(): "#,##0.00" style for numbers,
    /// "dd/mm/yyyy hh:nn" style for dates and times.
    const QString &displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString &v) { m_displayFormat = v; }
    /// Width in characters for grids; the size (or a type default) when unset.
    int displayWidth() const;
    void setDisplayWidth(int v) { m_displayWidth = v; }
    /// Numbers right, everything else left, unless set.
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment v) { m_alignment = v; }
    /// "TABLE.COLUMN" the value comes from, when known.
    const QString &origin() const { return m_origin; }
    void setOrigin(const QString &v) { m_origin = v; }

    /// Integer range; both 0 means unlimited. Setting a value outside raises fw::Error.
    qint64 minValue() const { return m_minValue; }
    qint64 maxValue() const { return m_maxValue; }
    void setMinValue(qint64 v) { m_minValue = v; }
    void setMaxValue(qint64 v) { m_maxValue = v; }
    /// Whole numbers the field accepts: its range when one is set, else what its type holds.
    std::pair<qint64, qint64> integerRange() const;

    /// Float and Currency fields (the double-precision kinds).
    bool isFloat() const { return m_type == FieldType::Float || m_type == FieldType::Currency; }
    bool isNumeric() const;
    bool isText() const { return m_type == FieldType::String || m_type == FieldType::Memo; }
    bool isDateTime() const
    {
        return m_type == FieldType::Date || m_type == FieldType::Time || m_type == FieldType::DateTime;
    }

    /// Value in the current record buffer; an invalid QVariant is null.
    QVariant value() const;
    /// Converts to the field's type and stores it in the record buffer. The data
    /// set must be in edit or insert state (calculated and lookup fields also
    /// while calculating). Throws fw::Error for a value the field cannot hold.
    void setValue(const QVariant &value);
    /// Value the record had when it was read (edit state), else the value.
    QVariant oldValue() const;
    bool isNull() const { return value().isNull(); }
    void clear() { setValue(QVariant()); }

    QString asString() const;
    int asInteger() const;
    qint64 asLargeInt() const;
    double asFloat() const;
    QDateTime asDateTime() const;
    bool asBoolean() const;
    QByteArray asBytes() const;
    void setAsString(const QString &v);
    void setAsInteger(int v) { setValue(v); }
    void setAsLargeInt(qint64 v) { setValue(QVariant::fromValue<qlonglong>(v)); }
    void setAsFloat(double v) { setValue(v); }
    void setAsDateTime(const QDateTime &v) { setValue(v); }
    void setAsBoolean(bool v) { setValue(v); }

    /// Text for editing: the get-text handler (displayText false) or the plain value.
    QString text() const;
    /// Text for showing: the get-text handler (displayText true) or the value
    /// through displayFormat.
    QString displayText() const;

    /// Replaces text()/displayText() when set; it starts from an empty text.
    std::function<void(Field &, QString &text, bool displayText)> onGetText;
    /// Runs after a value was stored.
    std::function<void(Field &)> onChange;

    /// Lookup fields: the value of `lookupResultField` in `lookupDataSet` on the
    /// row whose `lookupKeyFields` equal this data set's `keyFields` (";"-lists).
    DataSet *lookupDataSet() const;
    void setLookupDataSet(DataSet *ds);
    const QString &keyFields() const { return m_keyFields; }
    void setKeyFields(const QString &v) { m_keyFields = v; }
    const QString &lookupKeyFields() const { return m_lookupKeyFields; }
    void setLookupKeyFields(const QString &v) { m_lookupKeyFields = v; }
    const QString &lookupResultField() const { return m_lookupResultField; }
    void setLookupResultField(const QString &v) { m_lookupResultField = v; }

    /// Converts a value to what this field holds (QString, int, qlonglong,
    /// double, bool, QDate, QTime, QDateTime, QByteArray); null stays null.
    /// Throws fw::Error naming the field when it cannot.
    QVariant convert(const QVariant &value) const;

private:
    friend class DataSet;
    QString formatted(bool display) const;

    DataSet *m_dataSet;
    QString m_name;
    FieldType m_type;
    int m_size;
    FieldKind m_kind;
    bool m_declared;
    int m_index = -1;
    bool m_required = false;
    bool m_readOnly = false;
    bool m_visible = true;
    QString m_displayLabel;
    QString m_displayFormat;
    int m_displayWidth = 0;
    Qt::Alignment m_alignment = {};
    QString m_origin;
    qint64 m_minValue = 0;
    qint64 m_maxValue = 0;
    QPointer<QObject> m_lookupDataSet; // a DataSet; QPointer so a freed one reads as none
    QString m_keyFields;
    QString m_lookupKeyFields;
    QString m_lookupResultField;
};

namespace detail {
/// Records keep timestamps read from the database as wall-clock values in a
/// QDateTime in UTC, which is cheap to build (no time-zone lookup per row);
/// what leaves a record is a local-time QDateTime with the same date and time.
inline QVariant outward(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = v.toDateTime();
        if (dt.timeSpec() == Qt::UTC)
            return QDateTime(dt.date(), dt.time());
    }
    return v;
}
} // namespace detail

/// Name of a field type, for messages and debugging.
QString fieldTypeName(FieldType type);

} // namespace fw

Q_DECLARE_OPERATORS_FOR_FLAGS(fw::FieldFlags)
