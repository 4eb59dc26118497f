#include "support/TestDatabase.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using testsupport::HostRows;
using testsupport::TestDatabase;

TEST(TestDatabase, CreatesUsesAndDropsAHostDatabase)
{
    QString file;
    {
        TestDatabase db(QStringLiteral("support"));
        file = db.file();
        EXPECT_TRUE(QFileInfo::exists(file));

        HostRows()
            .grupoEmpresas(1, 1)
            .empresa(10, 1, QStringLiteral("Muñoz y Cía"), 978)
            .cliente(100, QStringLiteral("C0001"), QStringLiteral("Cliente Ñandú"), 1, 1500.25)
            .into(db);

        EXPECT_EQ(db.value("SELECT NOMBRE FROM EMPRESAS WHERE IDEMPRESAS = 10"), QStringLiteral("Muñoz y Cía"));
        EXPECT_EQ(db.value("SELECT MON$SQL_DIALECT FROM MON$DATABASE"), QStringLiteral("1"));
        const QStringList rows = db.rows("SELECT CODIGO, NOMBRE, RIESGOCONCEDIDO FROM CLIENTES");
        ASSERT_EQ(rows.size(), 1);
        EXPECT_TRUE(rows.first().startsWith(QStringLiteral("C0001|Cliente Ñandú|1500.25")));
        EXPECT_EQ(db.value("SELECT MONEDABASE FROM EMPRESAS WHERE IDEMPRESAS = 10"), QStringLiteral("978"));
        EXPECT_THROW(db.run("INSERT INTO NO_SUCH_TABLE VALUES (1);"), std::runtime_error);
    }
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST(TestDatabase, SchemaCanBeEditedForACase)
{
    TestDatabase::Options options;
    options.editSchema = [](QString schema) {
        return schema.replace(QStringLiteral("CREATE DOMAIN TLXIMPORTE AS NUMERIC(15,2);"), QString())
            .replace(QStringLiteral(" TLXIMPORTE"), QStringLiteral(" DOUBLE PRECISION"));
    };
    TestDatabase db(QStringLiteral("support-no-importe"), options);
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM RDB$FIELDS WHERE RDB$FIELD_NAME = 'TLXIMPORTE'"), QStringLiteral("0"));
}
