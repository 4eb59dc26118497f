#include "framework/base/PictureFormat.h"

#include <cmath>

namespace fw {

namespace {

QStringList splitSections(const QString &picture)
{
    QStringList out;
    QString current;
    QChar quote;
    for (const QChar c : picture) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            out << current;
            current.clear();
            continue;
        }
        current += c;
    }
    out << current;
    return out;
}

struct Picture
{
    QString prefix, suffix;
    int minInt = 0;
    int minDec = 0;
    int maxDec = 0;
    bool grouping = false;
    bool hasPoint = false;
};

Picture parsePicture(const QString &section)
{
    Picture p;
    bool seenDigit = false;
    bool afterPoint = false;
    QChar quote;
    QString literal;
    for (const QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                literal += c;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            continue;
        }
        const bool placeholder = c == QLatin1Char('0') || c == QLatin1Char('#');
        if (placeholder || c == QLatin1Char(',') || c == QLatin1Char('.')) {
            if (!seenDigit)
                p.prefix = literal;
            literal.clear();
            seenDigit = true;
            if (c == QLatin1Char('.')) {
                afterPoint = true;
                p.hasPoint = true;
            } else if (c == QLatin1Char(',')) {
                if (!afterPoint)
                    p.grouping = true;
            } else if (afterPoint) {
                ++p.maxDec;
                if (c == QLatin1Char('0'))
                    p.minDec = p.maxDec;
            } else if (c == QLatin1Char('0')) {
                ++p.minInt;
            }
            continue;
        }
        literal += c;
    }
    if (seenDigit)
        p.suffix = literal;
    else
        p.prefix = literal;
    return p;
}

// Digits of |value| rounded, as Pascal-style number formatting does: first to 15
// significant digits, then to `decimals` places with halves away from zero.
void roundedDigits(double value, int decimals, QString &intPart, QString &fracPart)
{
    const QString e = QString::number(std::fabs(value), 'e', 14); // d.dddddddddddddde+XX
    const int ePos = int(e.indexOf(QLatin1Char('e')));
    QString digits = e.left(ePos);
    digits.remove(QLatin1Char('.'));
    int exponent = e.mid(ePos + 1).toInt();
    int point = exponent + 1; // digits before the decimal point
    if (point < 0) {
        digits = QString(-point, QLatin1Char('0')) + digits;
        point = 0;
    }
    const int keep = point + decimals;
    if (keep < digits.size()) {
        const bool up = keep >= 0 && digits.at(keep) >= QLatin1Char('5');
        digits.truncate(std::max(keep, 0));
        if (up) {
            int i = int(digits.size()) - 1;
            while (i >= 0) {
                if (digits.at(i) == QLatin1Char('9')) {
                    digits[i] = QLatin1Char('0');
                    --i;
                } else {
                    digits[i] = QChar(digits.at(i).unicode() + 1);
                    break;
                }
            }
            if (i < 0) {
                digits.prepend(QLatin1Char('1'));
                ++point;
            }
        }
    }
    while (digits.size() < point + decimals)
        digits += QLatin1Char('0');
    intPart = digits.left(point);
    fracPart = digits.mid(point, decimals);
    while (intPart.size() > 1 && intPart.startsWith(QLatin1Char('0')))
        intPart.remove(0, 1);
    if (intPart == QLatin1String("0"))
        intPart.clear();
}

} // namespace

QString formatFloat(const QString &picture, double value, const QLocale &locale)
{
    if (std::isnan(value) || std::isinf(value))
        return locale.toString(value);
    const QStringList sections = splitSections(picture);
    QString section = sections.at(0);
    bool explicitNegative = false;
    if (value < 0 && sections.size() >= 2 && !sections.at(1).isEmpty()) {
        section = sections.at(1);
        explicitNegative = true;
    }
    Picture p = parsePicture(section);
    if (section.trimmed().isEmpty())
        return locale.toString(value);

    QString intPart, fracPart;
    roundedDigits(value, p.maxDec, intPart, fracPart);
    const bool zero = intPart.isEmpty() && fracPart.count(QLatin1Char('0')) == fracPart.size();
    if (zero && sections.size() >= 3 && !sections.at(2).isEmpty()) {
        p = parsePicture(sections.at(2));
        roundedDigits(0.0, p.maxDec, intPart, fracPart);
        explicitNegative = true; // no sign for zero
    }
    while (fracPart.size() > p.minDec && fracPart.endsWith(QLatin1Char('0')))
        fracPart.chop(1);
    while (intPart.size() < p.minInt)
        intPart.prepend(QLatin1Char('0'));
    if (p.grouping && intPart.size() > 3) {
        const QString sep = locale.groupSeparator();
        QString grouped;
        const int n = int(intPart.size());
        for (int i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                grouped += sep;
            grouped += intPart.at(i);
        }
        intPart = grouped;
    }
    QString out = p.prefix + intPart;
    if (!fracPart.isEmpty())
        out += locale.decimalPoint() + fracPart;
    out += p.suffix;
    if (value < 0 && !explicitNegative && !zero)
        out.prepend(QLatin1Char('-'));
    return out;
}

QDateTime dateTimeOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return QDateTime(value.toDate(), QTime(0, 0));
    case QMetaType::QTime:
        return QDateTime(QDate(1899, 12, 30), value.toTime());
    default:
        return value.toDateTime();
    }
}

QString formatDateTime(const QString &picture, const QDateTime &value, const QLocale &locale)
{
    if (!value.isValid())
        return QString();
    const QDate d = value.date();
    const QTime t = value.time();
    const QLatin1StringView amPm("am/pm");
    const int n = int(picture.size());
    auto quoted = [&](int i) { return picture.at(i) == QLatin1Char('"') || picture.at(i) == QLatin1Char('\''); };
    // Where the quoted text starting at i ends (its closing quote, or the picture's end).
    auto closing = [&](int i) {
        const int close = int(picture.indexOf(picture.at(i), i + 1));
        return close < 0 ? n : close;
    };
    bool twelveHours = false;
    for (int i = 0; i < n && !twelveHours; ++i) {
        if (quoted(i))
            i = closing(i);
        else
            twelveHours = QStringView(picture).mid(i, amPm.size()).compare(amPm, Qt::CaseInsensitive) == 0;
    }
    const int hour = twelveHours ? (t.hour() % 12 == 0 ? 12 : t.hour() % 12) : t.hour();
    auto number = [](int v, int width) { return QStringLiteral("%1").arg(v, width, 10, QLatin1Char('0')); };
    auto run = [&](int i, QChar c) {
        int j = i;
        while (j < n && picture.at(j).toLower() == c)
            ++j;
        return j - i;
    };

    QString out;
    bool lastWasHour = false;
    for (int i = 0; i < n;) {
        const QChar c = picture.at(i);
        const QChar lc = c.toLower();
        if (quoted(i)) {
            const int end = closing(i);
            out += picture.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (QStringView(picture).mid(i, amPm.size()).compare(amPm, Qt::CaseInsensitive) == 0) {
            const QString half = t.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
            out += c.isUpper() ? half.toUpper() : half;
            lastWasHour = false;
            i += int(amPm.size());
            continue;
        }
        const int len = run(i, lc);
        if (lc == QLatin1Char('d')) {
            if (len <= 2)
                out += number(d.day(), len);
            else if (len <= 4)
                out += locale.dayName(d.dayOfWeek(), len == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            else
                out += formatDateTime(QStringLiteral("dd/mm/yyyy"), value, locale);
        } else if (lc == QLatin1Char('m')) {
            if (lastWasHour && len <= 2)
                out += number(t.minute(), len);
            else if (len <= 2)
                out += number(d.month(), len);
            else
                out += locale.monthName(d.month(), len == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        } else if (lc == QLatin1Char('y')) {
            out += len <= 2 ? number(d.year() % 100, 2) : QString::number(d.year());
        } else if (lc == QLatin1Char('h')) {
            out += number(hour, std::min(len, 2));
        } else if (lc == QLatin1Char('n')) {
            out += number(t.minute(), std::min(len, 2));
        } else if (lc == QLatin1Char('s')) {
            out += number(t.second(), std::min(len, 2));
        } else if (lc == QLatin1Char('z')) {
            out += number(t.msec(), len >= 3 ? 3 : 1);
        } else {
            out += picture.mid(i, len);
        }
        if (lc.isLetter())
            lastWasHour = lc == QLatin1Char('h');
        i += len;
    }
    return out;
}

} // namespace fw
