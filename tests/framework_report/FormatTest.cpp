#include "framework/base/PictureFormat.h"
#include "framework/report/ValueText.h"

#include <gtest/gtest.h>

using namespace fw::report;

TEST(NumberMask, GroupsThousandsRoundsHalvesAwayFromZeroAndLeadsWithMinus)
{
    const QLocale es(QLocale::Spanish, QLocale::Spain);
    struct Case
    {
        double value;
        const char *mask;
        const char *text;
    } cases[] = {
        {1500, "#,##0.00", "1.500,00"}, // Qt's own Spanish formatting would not group four digits
        {1500.4, "#,##0", "1.500"},
        {-987.456, "#,##0.00", "-987,46"},
        {-1234.5, "#,##0.00", "-1.234,50"},
        {1234567.891, "#,##0.00", "1.234.567,89"},
        {0, "#,##0.00", "0,00"},
        {0.125, "#,##0.00", "0,13"},
        {1.005, "#,##0.00", "1,01"}, // stored just below 1.005, still rounds as written
        {2.5, "#,##0", "3"},
        {-2.5, "#,##0", "-3"},
        {999.995, "#,##0.00", "1.000,00"},
        {-0.004, "#,##0.00", "0,00"}, // no minus on a value shown as zero
        {1500, "0.00", "1500,00"},
        {7, "000", "007"},
        {12.5, "#,##0.##", "12,5"},
        {-5, "#,##0.00;(#,##0.00)", "(5,00)"},
        {0, "#,##0.00;-#,##0.00;\"cero\"", "cero"},
        {5, "#,##0.00 \"EUR\"", "5,00 EUR"},
        {1e12, "#,##0", "1.000.000.000.000"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(formatNumber(c.value, QString::fromLatin1(c.mask), es).toStdString(), c.text)
            << c.value << " " << c.mask;

    const QLocale en(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(formatNumber(1500, QStringLiteral("#,##0.00"), en), QStringLiteral("1,500.00"));
}

TEST(DateMask, WritesDaysMonthsYearsAndTimes)
{
    const QDateTime when(QDate(2024, 3, 31), QTime(14, 5, 9));
    struct Case
    {
        const char *mask;
        const char *text;
    } cases[] = {
        {"dd/mm/yy", "31/03/24"},
        {"dd/mm/yyyy", "31/03/2024"},
        {"d/m/yyyy", "31/3/2024"},
        {"dd/mm/yyyy hh:nn", "31/03/2024 14:05"},
        {"hh:mm:ss", "14:05:09"}, // mm after an hour means minutes
        {"\"Fecha: \"dd/mm/yy", "Fecha: 31/03/24"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(fw::formatDateTime(QString::fromLatin1(c.mask), when).toStdString(), c.text) << c.mask;

    // Names come from the locale given; am/pm puts the hours on the 12-hour clock.
    const QLocale es(QLocale::Spanish, QLocale::Spain);
    const QDateTime midnight(QDate(2024, 3, 31), QTime(0, 30));
    const struct
    {
        QDateTime when;
        const char *mask;
        const char *text;
    } named[] = {
        {when, "dddd d \"de\" mmmm \"de\" yyyy", "domingo 31 de marzo de 2024"},
        {when, "ddd dd-mmm-yy", "dom 31-mar-24"},
        {when, "ddddd", "31/03/2024"},
        {when, "hh:nn am/pm", "02:05 pm"},
        {when, "h:nn AM/PM", "2:05 PM"},
        {when, "hh:nn \"am/pm\"", "14:05 am/pm"}, // quoted, so no 12-hour clock
        {midnight, "h:nn am/pm", "12:30 am"},
        {when, "hh\"h\" nn \"min\" T", "14h 05 min T"},
    };
    for (const auto &c : named)
        EXPECT_EQ(fw::formatDateTime(QString::fromLatin1(c.mask), c.when, es).toStdString(), c.text) << c.mask;
}
