// The data module's session against a real server: how it connects, opens the
// company record, ends its transaction and closes.
#include "data/Conexion.h"
#include "data/ModuloDatos.h"
#include "data/SesionDatos.h"
#include "components/lxIBQuery.h"
#include "framework/base/Error.h"
#include "framework/db/Database.h"
#include "framework/db/SqlStatement.h"
#include "framework/db/Transaction.h"
#include "support/DialogosGrabados.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {
TestDatabase *db = nullptr;

class SesionDatos : public ::testing::Test
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

    static TContextoSesion contexto(int empresa = 1)
    {
        return {.IdEmpresa = empresa, .RutaBaseDatos = db->connectionString(),
                .NombreUsuario = TestDatabase::user(), .Password = TestDatabase::password()};
    }
    /// Connections to the test database other than the one asking.
    static QString conexiones()
    {
        return db->value("SELECT COUNT(*) FROM MON$ATTACHMENTS "
                         "WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION AND MON$SYSTEM_FLAG = 0");
    }
    static QString nombreEmpresa() { return db->value("SELECT NOMBRE FROM EMPRESAS WHERE IDEMPRESAS = 1"); }
};
} // namespace

TEST_F(SesionDatos, ConnectionCarriesExactlyTheThreeParameters)
{
    fw::Database conexion;
    conexion.params() << QStringLiteral("sql_role_name=OTRO");
    ConfigurarConexion(conexion, QStringLiteral("localhost:/x.fdb"), QStringLiteral("SYSDBA"), QStringLiteral("clave"));
    EXPECT_EQ(conexion.databaseName(), QStringLiteral("localhost:/x.fdb"));
    EXPECT_EQ(conexion.params(), (QStringList{QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=clave"),
                                              QStringLiteral("lc_ctype=ISO8859_1")}));
    TDatos datos;
    EXPECT_EQ(datos.IBTransaccion->params(),
              (QStringList{QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")}));
}

TEST_F(SesionDatos, CompanyRecordLoadsTheBaseCurrency)
{
    struct Case
    {
        int empresa;
        int moneda;
    };
    for (const Case c : {Case{1, 978}, Case{2, 0}, Case{99, 0}}) {
        TSesionDatos sesion(contexto(c.empresa));
        sesion.conectar();
        sesion.abrirEmpresa();
        EXPECT_EQ(sesion.datos().MonedaEmpresaBase, c.moneda) << "empresa " << c.empresa;
    }
}

TEST_F(SesionDatos, EndsItsTransactionAsToldAndAlwaysDisconnects)
{
    enum class Fin { Confirmar, Deshacer, SoloCerrar };
    struct Case
    {
        const char *what;
        Fin fin;
        const char *nombre;
    };
    const Case cases[] = {
        {"commit", Fin::Confirmar, "Cambiada"},
        {"rollback", Fin::Deshacer, "Con moneda"},
        // Left active (an error skipped the end): closing commits, the transaction's default action.
        {"closed while active", Fin::SoloCerrar, "Cambiada"},
    };
    for (const Case &c : cases) {
        {
            TSesionDatos sesion(contexto());
            sesion.conectar();
            sesion.abrirEmpresa();
            fw::SqlStatement cambio;
            cambio.setDatabase(sesion.datos().BaseDatosNORVIK);
            cambio.setTransaction(sesion.datos().IBTransaccion);
            cambio.setSql(QStringLiteral("UPDATE EMPRESAS SET NOMBRE = 'Cambiada' WHERE IDEMPRESAS = 1"));
            cambio.execute();
            EXPECT_EQ(conexiones(), "1") << c.what;
            if (c.fin == Fin::Confirmar)
                sesion.confirmar();
            else if (c.fin == Fin::Deshacer)
                sesion.deshacer();
        }
        EXPECT_EQ(nombreEmpresa(), QLatin1String(c.nombre)) << c.what;
        EXPECT_EQ(conexiones(), "0") << c.what;
        db->run("UPDATE EMPRESAS SET NOMBRE = 'Con moneda' WHERE IDEMPRESAS = 1;");
    }
}

TEST_F(SesionDatos, AnErrorWhileClosingIsShownOnlyWhenAskedAndTheConnectionStillCloses)
{
    for (const auto errores : {TSesionDatos::ErroresAlCerrar::Mostrar, TSesionDatos::ErroresAlCerrar::Ignorar}) {
        const bool mostrar = errores == TSesionDatos::ErroresAlCerrar::Mostrar;
        testsupport::DialogosGrabados grabados;
        {
            TSesionDatos sesion(contexto(), errores);
            sesion.conectar();
            sesion.abrirEmpresa();
            sesion.datos().IBQEmpresas->beforeClose = [](fw::DataSet &) {
                throw fw::Error(QStringLiteral("no cierra"));
            };
        }
        EXPECT_EQ(grabados.vistos, mostrar ? QStringList{QStringLiteral("inform|no cierra")} : QStringList())
            << "shown: " << mostrar;
        EXPECT_EQ(conexiones(), "0") << "shown: " << mostrar;
    }
}

TEST_F(SesionDatos, AConnectionThatFailsRaisesAndLeavesNothingToClose)
{
    testsupport::DialogosGrabados grabados;
    {
        TContextoSesion malo = contexto();
        malo.Password = QStringLiteral("no-es-la-clave");
        TSesionDatos sesion(malo, TSesionDatos::ErroresAlCerrar::Mostrar);
        EXPECT_THROW(sesion.conectar(), fw::DatabaseError);
        EXPECT_FALSE(sesion.datos().BaseDatosNORVIK->connected());
        EXPECT_FALSE(sesion.datos().IBTransaccion->active());
    }
    EXPECT_TRUE(grabados.vistos.isEmpty());
}
