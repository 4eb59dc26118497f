#include "framework/report/ValueText.h"

#include "framework/base/PictureFormat.h"

#include <cmath>

namespace fw::report {

QString formatNumber(double value, const QString &mask, const QLocale &locale)
{
    if (!std::isfinite(value) || mask.isEmpty()) {
        QLocale plain = locale;
        plain.setNumberOptions(QLocale::OmitGroupSeparator);
        return plain.toString(value, 'g', 15);
    }
    // One picture formatter serves fields, the module's amounts and reports.
    return fw::formatFloat(mask, value, locale);
}

bool isDateMask(const QString &mask)
{
    QChar quote;
    for (QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            continue;
        }
        switch (c.toLower().unicode()) {
        case 'd': case 'm': case 'y': case 'h': case 'n': case 's':
            return true;
        default:
            break;
        }
    }
    return false;
}

QString formatValue(FieldKind kind, const QVariant &value, const QString &mask, const QLocale &locale)
{
    if (value.isNull() || !value.isValid())
        return {};
    if (mask.isEmpty())
        return plainText(kind, value);
    const bool dateValue = kind == FieldKind::Date || kind == FieldKind::DateTime || kind == FieldKind::Time
        || value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime
        || value.typeId() == QMetaType::QTime;
    if (dateValue && isDateMask(mask))
        return fw::formatDateTime(mask, fw::dateTimeOf(value), locale);
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (ok)
        return formatNumber(d, mask, locale);
    return value.toString();
}

QString plainText(FieldKind kind, const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return {};
    switch (kind) {
    case FieldKind::Float: {
        QLocale plain;
        plain.setNumberOptions(QLocale::OmitGroupSeparator);
        return plain.toString(value.toDouble(), 'g', 15);
    }
    case FieldKind::Integer:
        return QString::number(value.toLongLong());
    case FieldKind::Date:
        return fw::formatDateTime(QStringLiteral("dd/mm/yyyy"), QDateTime(value.toDate(), QTime(0, 0)));
    case FieldKind::DateTime:
        return fw::formatDateTime(QStringLiteral("dd/mm/yyyy hh:nn:ss"), value.toDateTime());
    case FieldKind::Time:
        return fw::formatDateTime(QStringLiteral("hh:nn:ss"), fw::dateTimeOf(value.toTime()));
    case FieldKind::Boolean:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldKind::Blob:
        return {};
    default:
        return value.toString();
    }
}

} // namespace fw::report
