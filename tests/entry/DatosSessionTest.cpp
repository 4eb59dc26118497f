// The data module's session against a real server.
#include "data/ModuloDatos.h"
#include "framework/db/Database.h"
#include "components/lxIBQuery.h"
#include "framework/db/Transaction.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {
TestDatabase *db = nullptr;

class DatosSession : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        db = new TestDatabase(QStringLiteral("datos-session"));
        HostRows()
            .grupoEmpresas(1)
            .empresa(1, 1, QStringLiteral("Con moneda"), 978)
            .empresa(2, 1, QStringLiteral("Sin moneda"))
            .into(*db);
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }

    static std::unique_ptr<TDatos> abrir(int empresa)
    {
        auto datos = std::make_unique<TDatos>();
        datos->IdEmpresa = empresa;
        datos->RutaBaseDatos = db->connectionString();
        datos->NombreUsuario = TestDatabase::user();
        datos->Password = TestDatabase::password();
        datos->ConfigurarConexion();
        datos->BaseDatosNORVIK->open();
        datos->IBTransaccion->start();
        datos->AbrirEmpresa();
        return datos;
    }
};
} // namespace

TEST_F(DatosSession, ConnectionCarriesExactlyTheThreeParameters)
{
    TDatos datos;
    datos.RutaBaseDatos = QStringLiteral("localhost:/x.fdb");
    datos.NombreUsuario = QStringLiteral("SYSDBA");
    datos.Password = QStringLiteral("clave");
    datos.BaseDatosNORVIK->params() << QStringLiteral("sql_role_name=OTRO");
    datos.ConfigurarConexion();
    EXPECT_EQ(datos.BaseDatosNORVIK->databaseName(), QStringLiteral("localhost:/x.fdb"));
    EXPECT_EQ(datos.BaseDatosNORVIK->params(),
              (QStringList{QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=clave"),
                           QStringLiteral("lc_ctype=ISO8859_1")}));
    EXPECT_EQ(datos.IBTransaccion->params(),
              (QStringList{QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")}));
}

TEST_F(DatosSession, CompanyRecordLoadsTheBaseCurrency)
{
    struct Case
    {
        int empresa;
        int moneda;
    };
    for (const Case c : {Case{1, 978}, Case{2, 0}, Case{99, 0}}) {
        auto datos = abrir(c.empresa);
        EXPECT_EQ(datos->MonedaEmpresaBase, c.moneda) << "empresa " << c.empresa;
    }
}
