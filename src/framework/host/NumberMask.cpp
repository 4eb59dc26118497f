#include "NumberMask.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace fw::host {

namespace {

struct Mask
{
    bool grouping = false;
    int minIntegerDigits = 0;
    int decimals = 0;
};

Mask parseMask(const QString &mask)
{
    Mask m;
    const int point = mask.indexOf(QLatin1Char('.'));
    const QString integerPart = point < 0 ? mask : mask.left(point);
    m.grouping = integerPart.contains(QLatin1Char(','));
    m.minIntegerDigits = int(integerPart.count(QLatin1Char('0')));
    if (point >= 0)
        m.decimals = int(mask.mid(point + 1).count(QLatin1Char('0')));
    return m;
}

/// Decimal digits of |value| rounded half away from zero to `decimals` places,
/// working on the 15-significant-digit form so that 0.125 stays 0.125 and
/// 2.675 (stored as 2.67499999...) becomes 2.68 as a user expects.
std::string roundedDigits(double magnitude, int decimals, int &integerDigits)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", magnitude);
    // buffer: d.dddddddddddddde[+-]XX
    std::string mantissa;
    mantissa += buffer[0];
    int i = 2;
    while (buffer[i] != 'e')
        mantissa += buffer[i++];
    const int exponent = std::atoi(buffer + i + 1);

    // Place the digits around the decimal point: digits = integer part + fraction.
    std::string digits;
    int intDigits = exponent + 1;
    if (intDigits <= 0) {
        digits = std::string(std::size_t(-intDigits), '0') + mantissa;
        intDigits = 0;
    } else {
        digits = mantissa;
        if (int(digits.size()) < intDigits)
            digits.append(std::size_t(intDigits - int(digits.size())), '0');
    }
    const int keep = intDigits + decimals;
    if (int(digits.size()) < keep)
        digits.append(std::size_t(keep - int(digits.size())), '0');
    const bool roundUp = int(digits.size()) > keep && digits[std::size_t(keep)] >= '5';
    digits.resize(std::size_t(keep));
    if (roundUp) {
        int k = keep - 1;
        while (k >= 0 && digits[std::size_t(k)] == '9') {
            digits[std::size_t(k)] = '0';
            --k;
        }
        if (k >= 0) {
            ++digits[std::size_t(k)];
        } else {
            digits.insert(digits.begin(), '1');
            ++intDigits;
        }
    }
    integerDigits = intDigits;
    return digits;
}

} // namespace

QString formatNumberMask(double value, const QString &mask, const QLocale &locale)
{
    if (std::isnan(value) || std::isinf(value))
        return QString::number(value);
    const Mask m = parseMask(mask);
    int integerDigits = 0;
    const std::string digits = roundedDigits(std::fabs(value), m.decimals, integerDigits);

    std::string integerPart = digits.substr(0, std::size_t(integerDigits));
    const std::string fraction = digits.substr(std::size_t(integerDigits));
    // Leading zeros beyond the mask's minimum are dropped.
    std::size_t firstNonZero = integerPart.find_first_not_of('0');
    if (firstNonZero == std::string::npos)
        integerPart.clear();
    else
        integerPart.erase(0, firstNonZero);
    if (int(integerPart.size()) < m.minIntegerDigits)
        integerPart.insert(0, std::size_t(m.minIntegerDigits - int(integerPart.size())), '0');

    QString text;
    if (m.grouping) {
        const QString group = locale.groupSeparator();
        const int n = int(integerPart.size());
        for (int k = 0; k < n; ++k) {
            if (k > 0 && (n - k) % 3 == 0)
                text += group;
            text += QLatin1Char(integerPart[std::size_t(k)]);
        }
    } else {
        text = QString::fromLatin1(integerPart.c_str());
    }
    if (m.decimals > 0)
        text += locale.decimalPoint() + QString::fromLatin1(fraction.c_str());

    const bool isZero = digits.find_first_not_of('0') == std::string::npos;
    if (value < 0 && !isZero)
        text.prepend(QLatin1Char('-'));
    return text;
}

} // namespace fw::host
