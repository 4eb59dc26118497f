#include "framework/base/PictureFormat.h"

#include <gtest/gtest.h>

namespace {
// The module's amounts and the reports' number columns go through this picture formatter.
QString formatNumberMask(double value, const QString &mask, const QLocale &locale)
{
    return fw::formatFloat(mask, value, locale);
}
} // namespace

TEST(NumberMask, SpanishSeparatorsAlwaysGroupThousands)
{
    const QLocale es(QLocale::Spanish, QLocale::Spain);
    struct Case
    {
        double value;
        const char *mask;
        const char *expected;
    };
    const Case cases[] = {
        {1500, "#,##0.00", "1.500,00"},
        {-987.456, "#,##0.00", "-987,46"},
        {-1234.5, "#,##0.00", "-1.234,50"},
        {1234567.891, "#,##0.00", "1.234.567,89"},
        {1500.4, "#,##0", "1.500"},
        {999.5, "#,##0", "1.000"},
        {0, "#,##0.00", "0,00"},
        {0.004, "#,##0.00", "0,00"},
        {-0.004, "#,##0.00", "0,00"},   // no minus on a value that rounds to zero
        {2.675, "#,##0.00", "2,68"},    // 15-digit form, halves away from zero
        {-2.5, "#0", "-3"},
        {0.125, "#0.00", "0,13"},
        {1234.5678, "#0.000", "1234,568"},
        {45, "#,##0", "45"},
        {100000, "#0", "100000"},
        {-2.8421709430404007e-14, "#,##0.00", "0,00"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(formatNumberMask(c.value, QString::fromLatin1(c.mask), es), QString::fromUtf8(c.expected))
            << c.value << " " << c.mask;
}

TEST(NumberMask, TakesTheSeparatorsFromTheLocale)
{
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(formatNumberMask(1500, QStringLiteral("#,##0.00"), en), QStringLiteral("1,500.00"));
    EXPECT_EQ(formatNumberMask(-1234.5, QStringLiteral("#,##0.00"), en), QStringLiteral("-1,234.50"));
}
