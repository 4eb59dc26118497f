#include "framework/db/Field.h"

#include "framework/db/DataSet.h"
#include "framework/base/Error.h"
#include "framework/base/PictureFormat.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace fw {

namespace {

QLocale plainLocale()
{
    QLocale l;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l;
}

bool parseDouble(const QString &text, double &out)
{
    bool ok = false;
    const QString t = text.trimmed();
    out = QLocale().toDouble(t, &ok);
    if (!ok)
        out = QLocale::c().toDouble(t, &ok);
    return ok;
}

QDateTime parseDateTime(const QString &text)
{
    const QString t = text.trimmed();
    static const char *formats[] = {"dd/MM/yyyy HH:mm:ss", "dd/MM/yyyy HH:mm", "dd/MM/yyyy", "d/M/yyyy", "yyyy-MM-dd HH:mm:ss",
                                    "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd"};
    for (const char *f : formats) {
        const QDateTime dt = QDateTime::fromString(t, QString::fromLatin1(f));
        if (dt.isValid())
            return dt;
    }
    return QDateTime();
}

// Text kept in a binary field is stored as ISO 8859-1, like text on the wire;
// a character outside it is refused rather than turned into '?'.
QByteArray latin1Bytes(const QString &text, const QString &field)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            throw Error(QStringLiteral("El texto del campo %1 contiene el carácter «%2», que no existe en ISO 8859-1")
                            .arg(field, QString(c)));
    return text.toLatin1();
}

} // namespace

Field::Field(DataSet &dataSet, const FieldDef &def, bool declared)
    : m_dataSet(&dataSet), m_name(def.name), m_type(def.type), m_size(def.size), m_kind(def.kind),
      m_declared(declared), m_required(def.flags.testFlag(FieldFlag::Required)),
      m_readOnly(def.flags.testFlag(FieldFlag::ReadOnly)), m_visible(!def.flags.testFlag(FieldFlag::Hidden)),
      m_displayLabel(def.label)
{
}

DataSet *Field::lookupDataSet() const
{
    return qobject_cast<DataSet *>(m_lookupDataSet.data());
}

void Field::setLookupDataSet(DataSet *ds)
{
    m_lookupDataSet = ds;
}

bool Field::isNumeric() const
{
    switch (m_type) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt:
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::Bcd:
        return true;
    default:
        return false;
    }
}

int Field::displayWidth() const
{
    if (m_displayWidth > 0)
        return m_displayWidth;
    switch (m_type) {
    case FieldType::String:
        return m_size > 0 ? m_size : 20;
    case FieldType::SmallInt:
        return 6;
    case FieldType::Integer:
        return 11;
    case FieldType::LargeInt:
        return 15;
    case FieldType::Date:
        return 10;
    case FieldType::DateTime:
        return 18;
    case FieldType::Time:
        return 8;
    case FieldType::Boolean:
        return 5;
    default:
        return 10;
    }
}

Qt::Alignment Field::alignment() const
{
    if (m_alignment)
        return m_alignment;
    return (isNumeric() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

QVariant Field::value() const
{
    return m_dataSet->fieldValue(*this);
}

void Field::setValue(const QVariant &value)
{
    m_dataSet->setFieldValue(*this, value);
}

QVariant Field::oldValue() const
{
    return m_dataSet->oldFieldValue(*this);
}

std::pair<qint64, qint64> Field::integerRange() const
{
    if (m_minValue != 0 || m_maxValue != 0)
        return {m_minValue, m_maxValue};
    if (m_type == FieldType::SmallInt)
        return {-32768, 32767};
    if (m_type == FieldType::Integer)
        return {std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()};
    return {std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()};
}

QVariant Field::convert(const QVariant &value) const
{
    const QVariant v = detail::outward(value);
    if (!v.isValid() || v.isNull())
        return QVariant();
    const auto invalid = [&](const char *what) {
        return Error(QStringLiteral("'%1' no es un valor %2 válido para el campo %3")
                         .arg(v.toString(), QString::fromUtf8(what), m_name));
    };
    switch (m_type) {
    case FieldType::String:
    case FieldType::Memo:
        if (v.typeId() == QMetaType::QByteArray)
            return QString::fromLatin1(v.toByteArray());
        if (v.typeId() == QMetaType::Double)
            return plainLocale().toString(v.toDouble(), 'g', 15);
        return v.toString();
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt: {
        qint64 x = 0;
        bool ok = true;
        switch (v.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float: {
            const double d = v.toDouble();
            ok = std::isfinite(d) && std::fabs(d) < 9.2e18;
            x = ok ? qint64(std::llround(d)) : 0;
            break;
        }
        case QMetaType::Bool:
            x = v.toBool() ? 1 : 0;
            break;
        case QMetaType::QString:
            x = v.toString().trimmed().toLongLong(&ok);
            break;
        default:
            x = v.toLongLong(&ok);
        }
        if (!ok)
            throw invalid("entero");
        const auto [lo, hi] = integerRange();
        if (x < lo || x > hi)
            throw Error(QStringLiteral("%1 no es un valor válido para el campo %2. Debe estar entre %3 y %4")
                            .arg(x)
                            .arg(m_name)
                            .arg(lo)
                            .arg(hi));
        if (m_type == FieldType::LargeInt)
            return QVariant::fromValue<qlonglong>(x);
        return int(x);
    }
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::Bcd: {
        double d = 0;
        bool ok = true;
        if (v.typeId() == QMetaType::QString)
            ok = parseDouble(v.toString(), d);
        else
            d = v.toDouble(&ok);
        if (!ok)
            throw invalid("numérico");
        return d;
    }
    case FieldType::Boolean:
        if (v.typeId() == QMetaType::QString) {
            const QString s = v.toString().trimmed().toLower();
            if (s == QLatin1String("true") || s == QLatin1String("1") || s == QLatin1String("s")
                || s == QLatin1String("si") || s == QLatin1String("sí"))
                return true;
            if (s == QLatin1String("false") || s == QLatin1String("0") || s == QLatin1String("n")
                || s == QLatin1String("no") || s.isEmpty())
                return false;
            throw invalid("lógico");
        }
        return v.toBool();
    case FieldType::Date: {
        if (v.typeId() == QMetaType::QDate)
            return v;
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().date();
        const QDateTime dt = parseDateTime(v.toString());
        if (!dt.isValid())
            throw invalid("de fecha");
        return dt.date();
    }
    case FieldType::Time: {
        if (v.typeId() == QMetaType::QTime)
            return v;
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().time();
        const QTime t = QTime::fromString(v.toString().trimmed(), QStringLiteral("HH:mm:ss"));
        if (t.isValid())
            return t;
        const QTime t2 = QTime::fromString(v.toString().trimmed(), QStringLiteral("HH:mm"));
        if (!t2.isValid())
            throw invalid("de hora");
        return t2;
    }
    case FieldType::DateTime: {
        if (v.typeId() == QMetaType::QDateTime)
            return v;
        if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QTime)
            return dateTimeOf(v);
        const QDateTime dt = parseDateTime(v.toString());
        if (!dt.isValid())
            throw invalid("de fecha");
        return dt;
    }
    case FieldType::Blob:
        if (v.typeId() == QMetaType::QString)
            return latin1Bytes(v.toString(), m_name);
        return v.toByteArray();
    case FieldType::Unknown:
        return v;
    }
    return v;
}

QString Field::asString() const
{
    const QVariant v = value();
    if (v.isNull())
        return QString();
    switch (m_type) {
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::Bcd:
        return plainLocale().toString(v.toDouble(), 'g', 15);
    case FieldType::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Date:
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case FieldType::Time:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case FieldType::DateTime: {
        const QDateTime dt = v.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("dd/MM/yyyy"));
        return dt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    case FieldType::Blob:
        return QString::fromLatin1(v.toByteArray());
    default:
        return v.toString();
    }
}

int Field::asInteger() const
{
    return int(asLargeInt());
}

qint64 Field::asLargeInt() const
{
    const QVariant v = value();
    if (v.isNull())
        return 0;
    if (v.typeId() == QMetaType::Double)
        return qint64(std::llround(v.toDouble()));
    bool ok = false;
    const qint64 x = v.typeId() == QMetaType::QString ? v.toString().trimmed().toLongLong(&ok) : v.toLongLong(&ok);
    if (!ok)
        throw Error(QStringLiteral("'%1' no es un valor entero válido").arg(v.toString()));
    return x;
}

double Field::asFloat() const
{
    const QVariant v = value();
    if (v.isNull())
        return 0.0;
    double d = 0;
    bool ok = false;
    if (v.typeId() == QMetaType::QString)
        ok = parseDouble(v.toString(), d);
    else
        d = v.toDouble(&ok);
    if (!ok)
        throw Error(QStringLiteral("'%1' no es un valor numérico válido").arg(v.toString()));
    return d;
}

QDateTime Field::asDateTime() const
{
    const QVariant v = value();
    switch (v.typeId()) {
    case QMetaType::QDateTime:
    case QMetaType::QDate:
    case QMetaType::QTime:
        return dateTimeOf(v);
    case QMetaType::QString:
        if (v.toString().trimmed().isEmpty())
            return QDateTime();
        return parseDateTime(v.toString());
    default:
        return QDateTime();
    }
}

bool Field::asBoolean() const
{
    const QVariant v = value();
    if (v.isNull())
        return false;
    if (v.typeId() == QMetaType::QString)
        return convert(v).toBool();
    return v.toBool();
}

QByteArray Field::asBytes() const
{
    const QVariant v = value();
    if (v.typeId() == QMetaType::QString)
        return latin1Bytes(v.toString(), m_name);
    return v.toByteArray();
}

void Field::setAsString(const QString &v)
{
    // Empty text into a non-text field clears it, as typing nothing in an edit does.
    if (v.isEmpty() && !isText())
        setValue(QVariant());
    else
        setValue(v);
}

QString Field::formatted(bool display) const
{
    const QVariant v = value();
    if (v.isNull())
        return QString();
    if (display && !m_displayFormat.isEmpty()) {
        if (isNumeric())
            return formatFloat(m_displayFormat, asFloat());
        if (isDateTime())
            return formatDateTime(m_displayFormat, asDateTime());
    }
    if (m_type == FieldType::Blob)
        return QStringLiteral("(BLOB)");
    return asString();
}

QString Field::text() const
{
    // A handler starts from an empty text and says everything itself.
    if (onGetText) {
        QString t;
        onGetText(const_cast<Field &>(*this), t, false);
        return t;
    }
    return formatted(false);
}

QString Field::displayText() const
{
    // A handler starts from an empty text and says everything itself.
    if (onGetText) {
        QString t;
        onGetText(const_cast<Field &>(*this), t, true);
        return t;
    }
    return formatted(true);
}

QString fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::Unknown: return QStringLiteral("Unknown");
    case FieldType::String: return QStringLiteral("String");
    case FieldType::SmallInt: return QStringLiteral("SmallInt");
    case FieldType::Integer: return QStringLiteral("Integer");
    case FieldType::LargeInt: return QStringLiteral("LargeInt");
    case FieldType::Float: return QStringLiteral("Float");
    case FieldType::Currency: return QStringLiteral("Currency");
    case FieldType::Bcd: return QStringLiteral("Bcd");
    case FieldType::Boolean: return QStringLiteral("Boolean");
    case FieldType::Date: return QStringLiteral("Date");
    case FieldType::Time: return QStringLiteral("Time");
    case FieldType::DateTime: return QStringLiteral("DateTime");
    case FieldType::Blob: return QStringLiteral("Blob");
    case FieldType::Memo: return QStringLiteral("Memo");
    }
    return QString();
}

} // namespace fw
