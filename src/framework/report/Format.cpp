#include "framework/report/Format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace fw::report {

namespace {

struct NumberSection
{
    QString prefix;
    QString suffix;
    int minInt = 0;
    int minDec = 0;
    int maxDec = 0;
    bool grouping = false;
    bool hasDigits = false;
};

// Splits a mask on ';' outside quotes.
QStringList splitSections(const QString &mask)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            current += c;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
            current += c;
        } else if (c == u';') {
            sections << current;
            current.clear();
        } else {
            current += c;
        }
    }
    sections << current;
    return sections;
}

NumberSection parseSection(const QString &text)
{
    NumberSection s;
    bool afterPoint = false;
    bool seenDigit = false;
    QString literal;
    QChar quote;
    for (QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                literal += c;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            continue;
        }
        if (c == u'0' || c == u'#') {
            if (!seenDigit) {
                s.prefix = literal;
                literal.clear();
                seenDigit = true;
            } else {
                literal.clear(); // text between placeholders is dropped
            }
            if (afterPoint) {
                ++s.maxDec;
                if (c == u'0')
                    s.minDec = s.maxDec;
            } else if (c == u'0') {
                ++s.minInt;
            }
        } else if (c == u'.' && !afterPoint) {
            if (!seenDigit) {
                s.prefix = literal;
                literal.clear();
                seenDigit = true;
            }
            afterPoint = true;
        } else if (c == u',' && seenDigit) {
            s.grouping = true;
        } else {
            literal += c;
        }
    }
    s.hasDigits = seenDigit;
    if (seenDigit)
        s.suffix = literal;
    else
        s.prefix = literal;
    return s;
}

// The magnitude of a value as decimal digits rounded half away from zero to
// `decimals` places, read to 15 significant digits first.
void decimalDigits(double magnitude, int decimals, QString &intPart, QString &fracPart)
{
    // d.dddddddddddddde±x, independent of the C library's regional settings.
    char buf[40];
    const auto end = std::to_chars(buf, buf + sizeof buf - 1, magnitude, std::chars_format::scientific, 14).ptr;
    *end = '\0';
    QString mantissa;
    const char *p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            mantissa += QLatin1Char(*p);
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    const int pointPos = exponent + 1;
    QString digits; // all digits, with the decimal point after `intCount` of them
    int intCount;
    if (pointPos <= 0) {
        digits = QString(-pointPos + 1, u'0') + mantissa;
        intCount = 1;
    } else if (pointPos >= mantissa.size()) {
        digits = mantissa + QString(pointPos - mantissa.size(), u'0');
        intCount = pointPos;
    } else {
        digits = mantissa;
        intCount = pointPos;
    }
    const int keep = intCount + decimals;
    if (digits.size() > keep) {
        const bool up = digits.at(keep) >= u'5';
        digits.truncate(keep);
        if (up) {
            int i = keep - 1;
            for (; i >= 0; --i) {
                if (digits[i] == u'9') {
                    digits[i] = u'0';
                } else {
                    digits[i] = QChar(digits[i].unicode() + 1);
                    break;
                }
            }
            if (i < 0) {
                digits.prepend(u'1');
                ++intCount;
            }
        }
    } else {
        digits += QString(keep - digits.size(), u'0');
    }
    intPart = digits.left(intCount);
    fracPart = digits.mid(intCount);
}

QString applySection(const NumberSection &s, double magnitude, bool withMinus, const QLocale &locale)
{
    if (!s.hasDigits)
        return (withMinus ? QStringLiteral("-") : QString()) + s.prefix;
    QString intPart, fracPart;
    decimalDigits(magnitude, s.maxDec, intPart, fracPart);
    int lead = 0;
    while (lead < intPart.size() && intPart[lead] == u'0')
        ++lead;
    intPart.remove(0, lead);
    if (intPart.size() < s.minInt)
        intPart.prepend(QString(s.minInt - intPart.size(), u'0'));
    while (fracPart.size() > s.minDec && fracPart.endsWith(u'0'))
        fracPart.chop(1);
    if (s.grouping && intPart.size() > 3) {
        const QString sep = locale.groupSeparator();
        QString grouped;
        const int n = intPart.size();
        for (int i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                grouped += sep;
            grouped += intPart[i];
        }
        intPart = grouped;
    }
    QString out;
    if (withMinus)
        out += u'-';
    out += s.prefix;
    out += intPart;
    if (!fracPart.isEmpty()) {
        out += locale.decimalPoint();
        out += fracPart;
    }
    out += s.suffix;
    return out;
}

bool allZero(const QString &intPart, const QString &fracPart)
{
    for (QChar c : intPart + fracPart)
        if (c != u'0')
            return false;
    return true;
}

} // namespace

QString formatNumber(double value, const QString &mask, const QLocale &locale)
{
    if (!std::isfinite(value) || mask.isEmpty()) {
        QLocale plain = locale;
        plain.setNumberOptions(QLocale::OmitGroupSeparator);
        return plain.toString(value, 'g', 15);
    }
    const QStringList texts = splitSections(mask);
    const NumberSection positive = parseSection(texts[0]);
    const double magnitude = std::fabs(value);

    // Whether the value rounds to zero in the positive section's form decides the sign.
    QString i, f;
    decimalDigits(magnitude, positive.maxDec, i, f);
    const bool zero = allZero(i, f);
    if (zero && texts.size() > 2 && !texts[2].isEmpty())
        return applySection(parseSection(texts[2]), 0.0, false, locale);
    if (value < 0 && !zero) {
        if (texts.size() > 1 && !texts[1].isEmpty())
            return applySection(parseSection(texts[1]), magnitude, false, locale);
        return applySection(positive, magnitude, true, locale);
    }
    return applySection(positive, magnitude, false, locale);
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
