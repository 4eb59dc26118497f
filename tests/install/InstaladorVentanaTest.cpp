#include "support/InstalacionPrueba.h"
#include "support/DialogosGrabados.h"

#include "data/ModuloDatos.h"
#include "install/InstalacionSQLModulo.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

const QString kExito = QStringLiteral("\r\n !!! Proceso Terminado Correctamente ¡¡¡");
const QString kSoloSysdba = QStringLiteral("\n\r Debe de entrar con el usuario SYSDBA \n\r Este proceso ejecuta el "
                                           "codigo SQL de instalación del módulo de Velmora. ");

class InstaladorVentana : public ::testing::Test
{
protected:
    void SetUp() override { grabados.emplace(); }
    void TearDown() override { grabados.reset(); }

    std::optional<testsupport::DialogosGrabados> grabados;

    // Opens the window as the main screen does and presses one of its buttons.
    static bool pulsar(const QString &ruta, const QString &usuario, bool instalar)
    {
        TDatos datos;
        datos.RutaBaseDatos = ruta;
        datos.NombreUsuario = usuario;
        datos.Password = TestDatabase::password();
        TFormInstalacionSQLModulo ventana;
        ventana.Datos = &datos;
        ventana.show();
        (instalar ? ventana.BitBtnAceptar : ventana.btnCerrar)->click();
        return ventana.isVisible();
    }

    static QString dominios(const TestDatabase &db)
    {
        return db.value("SELECT COUNT(*) FROM RDB$FIELDS WHERE RDB$FIELD_NAME = 'TLXGRUPORIESGO'");
    }
    static QString procedimientos(const TestDatabase &db)
    {
        return db.value("SELECT COUNT(*) FROM RDB$PROCEDURES "
                        "WHERE RDB$PROCEDURE_NAME = 'PRSITUACIONCLIENTESRIESGOGRUPOS'");
    }
};

} // namespace

TEST_F(InstaladorVentana, InstallsAsSysdbaAndAgainWithoutTouchingWhatWasConfigured)
{
    TestDatabase db(QStringLiteral("install-window"));
    HostRows().empresa(10, 1).serieDocumento(1, "A", 10).serieFactura(1, "F", 10).formaPago(1, "1", 1, 15, 3, 30).into(db);

    EXPECT_FALSE(pulsar(db.connectionString(), "SYSDBA", true));
    EXPECT_EQ(grabados->avisos(), QStringList{kExito});
    EXPECT_EQ(dominios(db), "1");
    EXPECT_EQ(procedimientos(db), "1");
    EXPECT_EQ(db.value("SELECT GRUPORIESGO FROM SERIESDOCUMENTOS"), "1");
    EXPECT_EQ(db.value("SELECT DIASRIESGO FROM FORMASPAGO"), "75");
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM RDB$USER_PRIVILEGES WHERE RDB$USER = 'PUBLIC' "
                       "AND RDB$RELATION_NAME = 'PRSITUACIONCLIENTESRIESGOGRUPOS' AND RDB$PRIVILEGE = 'X'"),
              "1");
    EXPECT_EQ(installtest::situacionRiesgo(db, 1).size(), 81u);

    db.run("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = 4;\nUPDATE FORMASPAGO SET DIASRIESGO = 12;");
    grabados->vistos.clear();
    EXPECT_FALSE(pulsar(db.connectionString(), "SYSDBA", true));
    EXPECT_EQ(grabados->avisos(), QStringList{kExito});
    EXPECT_EQ(db.value("SELECT GRUPORIESGO FROM SERIESDOCUMENTOS"), "4");
    EXPECT_EQ(db.value("SELECT DIASRIESGO FROM FORMASPAGO"), "12");
    EXPECT_EQ(procedimientos(db), "1");
}

TEST_F(InstaladorVentana, OtherUsersAndCancelLeaveTheDatabaseAsItWas)
{
    TestDatabase db(QStringLiteral("install-window-refused"));
    for (const char *usuario : {"sysdba", "PEPE", ""}) {
        grabados->vistos.clear();
        EXPECT_FALSE(pulsar(db.connectionString(), usuario, true)) << usuario;
        EXPECT_EQ(grabados->avisos(), QStringList{kSoloSysdba}) << usuario;
    }
    grabados->vistos.clear();
    EXPECT_FALSE(pulsar(db.connectionString(), "SYSDBA", false));
    EXPECT_TRUE(grabados->vistos.isEmpty());
    EXPECT_EQ(dominios(db), "0");
    EXPECT_EQ(procedimientos(db), "0");
}

TEST_F(InstaladorVentana, StatementsThatCouldNotRunAreCountedInTheClosingMessageWithTheFirstError)
{
    TestDatabase db(QStringLiteral("install-window-no-importe"), installtest::sinDominioImporte());

    struct Caso
    {
        QString ruta;
        int noEjecutadas;
        const char *primerError;
    };
    const Caso casos[] = {
        // The four amount columns lack the host's domain; the procedure reading them and its grant follow.
        {db.connectionString(), 6, "ALTER TABLE CLIENTES failed"},
        {QStringLiteral("localhost:/tmp/velmora-test-db/no-existe-instalacion.fdb"), 23, "no-existe-instalacion.fdb"},
    };
    for (const Caso &c : casos) {
        grabados->vistos.clear();
        EXPECT_FALSE(pulsar(c.ruta, "SYSDBA", true)) << c.ruta.toStdString();
        const QStringList avisos = grabados->avisos();
        ASSERT_EQ(avisos.size(), 1) << c.ruta.toStdString();
        const QString cabecera = QStringLiteral("\r\n !!! La instalación no ha terminado correctamente ¡¡¡\r\n "
                                                "No se han podido ejecutar %1 sentencias de la instalación. "
                                                "El primer error fue:\r\n")
                                     .arg(c.noEjecutadas);
        EXPECT_TRUE(avisos[0].startsWith(cabecera)) << avisos[0].toStdString();
        EXPECT_TRUE(avisos[0].contains(QLatin1String(c.primerError))) << avisos[0].toStdString();
        EXPECT_TRUE(avisos[0].endsWith(QStringLiteral("\r\n Vuelva a ejecutar la instalación.")));
    }
    EXPECT_EQ(procedimientos(db), "0");
    EXPECT_EQ(TFormInstalacionSQLModulo::MensajeFinal(1, QStringLiteral("E")),
              QStringLiteral("\r\n !!! La instalación no ha terminado correctamente ¡¡¡\r\n No se ha podido "
                             "ejecutar 1 sentencia de la instalación. El primer error fue:\r\nE\r\n Vuelva a "
                             "ejecutar la instalación."));
}
