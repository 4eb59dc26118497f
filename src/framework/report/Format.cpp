#include "framework/report/Format.h"

#include "framework/base/Format.h"

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

QString formatDateTime(const QDateTime &value, const QString &mask, const QLocale &locale)
{
    if (!value.isValid())
        return {};
    const QDate date = value.date();
    const QTime time = value.time();
    QString out;
    bool lastWasHour = false;
    const int n = mask.size();
    auto run = [&](int i, QChar c) {
        int k = i;
        while (k < n && mask[k].toLower() == c)
            ++k;
        return k - i;
    };
    auto pad2 = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    for (int i = 0; i < n;) {
        const QChar c = mask[i];
        const QChar lc = c.toLower();
        if (c == u'"' || c == u'\'') {
            int k = i + 1;
            while (k < n && mask[k] != c)
                out += mask[k++];
            i = k + 1;
            continue;
        }
        if (mask.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0) {
            out += time.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
            i += 5;
            continue;
        }
        const int len = run(i, lc);
        switch (lc.unicode()) {
        case 'd':
            if (len == 1) out += QString::number(date.day());
            else if (len == 2) out += pad2(date.day());
            else if (len == 3) out += locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
            else if (len == 4) out += locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
            else out += formatDateTime(value, QStringLiteral("dd/mm/yyyy"), locale);
            lastWasHour = false;
            break;
        case 'm':
            if (lastWasHour && len <= 2) {
                out += len == 1 ? QString::number(time.minute()) : pad2(time.minute());
            } else if (len == 1) out += QString::number(date.month());
            else if (len == 2) out += pad2(date.month());
            else if (len == 3) out += locale.monthName(date.month(), QLocale::ShortFormat);
            else out += locale.monthName(date.month(), QLocale::LongFormat);
            lastWasHour = false;
            break;
        case 'y':
            out += len <= 2 ? pad2(date.year() % 100) : QString::number(date.year());
            lastWasHour = false;
            break;
        case 'h':
            out += len == 1 ? QString::number(time.hour()) : pad2(time.hour());
            lastWasHour = true;
            break;
        case 'n':
            out += len == 1 ? QString::number(time.minute()) : pad2(time.minute());
            lastWasHour = false;
            break;
        case 's':
            out += len == 1 ? QString::number(time.second()) : pad2(time.second());
            lastWasHour = false;
            break;
        case 'z':
            out += len >= 3 ? QStringLiteral("%1").arg(time.msec(), 3, 10, QLatin1Char('0'))
                            : QString::number(time.msec());
            lastWasHour = false;
            break;
        default:
            out += QString(len, c);
            break;
        }
        i += len;
    }
    return out;
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
    if (dateValue && isDateMask(mask)) {
        QDateTime dt;
        if (value.typeId() == QMetaType::QDate)
            dt = QDateTime(value.toDate(), QTime(0, 0));
        else if (value.typeId() == QMetaType::QTime)
            dt = QDateTime(QDate(1899, 12, 30), value.toTime());
        else
            dt = value.toDateTime();
        return formatDateTime(dt, mask, locale);
    }
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
        return formatDateTime(QDateTime(value.toDate(), QTime(0, 0)), QStringLiteral("dd/mm/yyyy"));
    case FieldKind::DateTime:
        return formatDateTime(value.toDateTime(), QStringLiteral("dd/mm/yyyy hh:nn:ss"));
    case FieldKind::Time:
        return formatDateTime(QDateTime(QDate(1899, 12, 30), value.toTime()), QStringLiteral("hh:nn:ss"));
    case FieldKind::Boolean:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldKind::Blob:
        return {};
    default:
        return value.toString();
    }
}

} // namespace fw::report
