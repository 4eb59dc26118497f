#include "framework/base/Error.h"
#include "framework/base/PictureFormat.h"
#include "framework/db/Params.h"

#include <gtest/gtest.h>

using namespace fw;

TEST(NamedParams, MarkersBecomePositionalOutsideLiteralsAndComments)
{
    struct Case
    {
        const char *sql;
        const char *expected;
        QStringList names;
    };
    const Case cases[] = {
        {"SELECT * FROM T WHERE A = :A AND B = :b", "SELECT * FROM T WHERE A = ? AND B = ?", {"A", "b"}},
        // One name, two positions: both take the one value.
        {"FROM P(:PARCLIENTE) JOIN C ON (:PARCLIENTE = C.ID)", "FROM P(?) JOIN C ON (? = C.ID)",
         {"PARCLIENTE", "PARCLIENTE"}},
        {"SELECT \"a:b\", 'c:d', 'it''s :X' FROM T WHERE X = :X", "SELECT \"a:b\", 'c:d', 'it''s :X' FROM T WHERE X = ?",
         {"X"}},
        {"SELECT 1 /* :NO */ FROM T -- :NEITHER\nWHERE Y = :Y", "SELECT 1 /* :NO */ FROM T -- :NEITHER\nWHERE Y = ?",
         {"Y"}},
        {"SELECT \"say \"\"hi:x\"\"\" FROM T", "SELECT \"say \"\"hi:x\"\"\" FROM T", {}},
        {"UPDATE T SET A = :A WHERE K = :OLD_K AND ? IS NULL", "UPDATE T SET A = ? WHERE K = ? AND ? IS NULL",
         {"A", "OLD_K", ""}},
        {"SELECT CAST(D AS TIME) FROM T WHERE A = 1:2", "SELECT CAST(D AS TIME) FROM T WHERE A = 1?", {"2"}},
    };
    for (const Case &c : cases) {
        const ParsedSql parsed = parseNamedParams(QString::fromUtf8(c.sql));
        EXPECT_EQ(parsed.sql, QString::fromUtf8(c.expected)) << c.sql;
        EXPECT_EQ(parsed.positions, c.names) << c.sql;
    }
}

TEST(NamedParams, ListFindsNamesWithoutRegardToCaseAndKeepsValues)
{
    Params params;
    params.setNames({"PARCLIENTE", "parcliente", "DESDE"});
    ASSERT_EQ(params.count(), 2);
    params.byName("ParCliente").setAsInteger(7);
    params.setNames({"DESDE", "PARCLIENTE", "HASTA"});
    EXPECT_EQ(params.names(), (QStringList{"DESDE", "PARCLIENTE", "HASTA"}));
    EXPECT_EQ(params.byName("parcliente").asInteger(), 7);
    EXPECT_TRUE(params.byName("HASTA").isNull());
    try {
        params.byName("NOPE");
        FAIL();
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains("NOPE"));
    }
}

TEST(Format, NumberPicturesRoundHalvesAwayFromZeroWithTheLocaleSeparators)
{
    const QLocale es(QLocale::Spanish, QLocale::Spain);
    struct Case
    {
        const char *picture;
        double value;
        const char *expected;
    };
    const Case cases[] = {
        {"#,##0.00", 1500, "1.500,00"},
        {"#,##0.00", -987.456, "-987,46"},
        {"#,##0.00", -1234.5, "-1.234,50"},
        {"#,##0", 1500.4, "1.500"},
        {"#,##0.00", 0.125, "0,13"},
        {"#,##0.00", 1234567.891, "1.234.567,89"},
        {"#0.000", 2.5, "2,500"},
        {"#0", 0.4, "0"},
        {"#,##0.##", 1.5, "1,5"},
        {"#,##0.##", 3, "3"},
        {"#,##0.00", -0.001, "0,00"},
        {"#,##0.00", 999.995, "1.000,00"},
        {"0.00;(0.00)", -2, "(2,00)"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(formatFloat(QString::fromUtf8(c.picture), c.value, es), QString::fromUtf8(c.expected))
            << c.picture << " " << c.value;
}

TEST(Format, DatePicturesTellMinutesFromMonths)
{
    const QDateTime dt(QDate(2024, 3, 7), QTime(9, 5, 4));
    EXPECT_EQ(formatDateTime("dd/mm/yyyy", dt), "07/03/2024");
    EXPECT_EQ(formatDateTime("dd/mm/yyyy hh:nn", dt), "07/03/2024 09:05");
    EXPECT_EQ(formatDateTime("hh:mm", dt), "09:05");
    EXPECT_EQ(formatDateTime("dd/mm/yy", dt), "07/03/24");
    EXPECT_EQ(formatDateTime("d/m/yyyy", dt), "7/3/2024");
}
