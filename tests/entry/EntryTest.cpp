// The two exports end to end through the host stand-in.
#include "support/NorvikHostRunner.h"
#include "support/InstalacionPrueba.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

using hosttest::HostFolder;
using hosttest::runHost;
using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

class Entry : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        db = new TestDatabase(QStringLiteral("entry"));
        HostRows()
            .grupoEmpresas(1, 0)
            .empresa(1, 1, QStringLiteral("Empresa Uno"), 1)
            .moneda(1, 2)
            .cambio(1, 1, 1, 1.0)
            .serieDocumento(1, QStringLiteral("A"), 1)
            .cliente(10, QStringLiteral("C10"), QStringLiteral("Cliente Diez"), 1, 1000.0)
            .into(*db);
        installtest::instalarModulo(*db);
        // Every connection made by the host stand-in leaves a trace: when it
        // opened and when it closed, in order.
        db->run("CREATE TABLE CONEXIONES (ORDEN INTEGER, EVENTO VARCHAR(10), CONEXION INTEGER);\n"
                "CREATE SEQUENCE SEQ_CONEXIONES;\n"
                "COMMIT;\n"
                "SET TERM ^ ;\n"
                "CREATE TRIGGER TR_CONECTA ON CONNECT AS BEGIN\n"
                "  IF (RDB$GET_CONTEXT('SYSTEM', 'CLIENT_PROCESS') CONTAINING 'norvik-host') THEN\n"
                "    INSERT INTO CONEXIONES VALUES (NEXT VALUE FOR SEQ_CONEXIONES, 'conecta', CURRENT_CONNECTION);\n"
                "END^\n"
                "CREATE TRIGGER TR_DESCONECTA ON DISCONNECT AS BEGIN\n"
                "  IF (RDB$GET_CONTEXT('SYSTEM', 'CLIENT_PROCESS') CONTAINING 'norvik-host') THEN\n"
                "    INSERT INTO CONEXIONES VALUES (NEXT VALUE FOR SEQ_CONEXIONES, 'desconecta', CURRENT_CONNECTION);\n"
                "END^\n"
                "SET TERM ; ^\n");
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }
    void SetUp() override { db->run("DELETE FROM CONEXIONES;"); }

    static QStringList riesgo(const QString &ruta, const QString &password, int tipoDocumento = -1)
    {
        QStringList args{QStringLiteral("MostrarRiesgoCliente"), QStringLiteral("--IdEmpresa"), QStringLiteral("1"),
                         QStringLiteral("--IDSerie"), QStringLiteral("1"),
                         QStringLiteral("--IdGrupoEmpresa"), QStringLiteral("1"), QStringLiteral("--IdCliente"),
                         QStringLiteral("10"), QStringLiteral("--TipoDocumento"), QString::number(tipoDocumento),
                         QStringLiteral("--NombreUsuario"), TestDatabase::user()};
        if (!ruta.isEmpty())
            args << QStringLiteral("--RutaBaseDatos") << ruta;
        if (!password.isEmpty())
            args << QStringLiteral("--Password") << password;
        return args;
    }
    static QStringList configuracion(const QString &password, const QString &autopilot)
    {
        return {QStringLiteral("AbrirConfiguracionVelmora"),
                QStringLiteral("--IdEmpresa"),
                QStringLiteral("1"),
                QStringLiteral("--IdGrupoEmpresa"),
                QStringLiteral("1"),
                QStringLiteral("--RutaBaseDatos"),
                db->connectionString(),
                QStringLiteral("--NombreUsuario"),
                TestDatabase::user(),
                QStringLiteral("--Password"),
                password,
                QStringLiteral("--autopilot"),
                autopilot};
    }

    static TestDatabase *db;
};

TestDatabase *Entry::db = nullptr;

bool showsWindow(const hosttest::HostResult &r)
{
    return r.out.contains(QStringLiteral("window:")) || r.out.contains(QStringLiteral("message:"));
}

} // namespace

TEST_F(Entry, RiskCheckThatCannotConnectIsSilent)
{
    struct Case
    {
        const char *what;
        QString ruta, password;
    };
    const Case cases[] = {{"wrong password", db->connectionString(), QStringLiteral("no-es-la-clave")},
                          {"empty path", QString(), TestDatabase::password()}};
    for (const Case &c : cases) {
        const auto r = runHost(riesgo(c.ruta, c.password, 2));
        EXPECT_EQ(r.exitCode, 0) << c.what << r.out.toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("resultado=1"))) << c.what;
        EXPECT_FALSE(showsWindow(r)) << c.what << r.out.toStdString();
    }
}

TEST_F(Entry, RiskCheckClosesItsOneConnectionAndWritesNothing)
{
    const QString before = db->rows("SELECT * FROM CLIENTES").join(QLatin1Char('\n'));
    // A delivery note whose group is within its limit ends the check without a window.
    const auto r = runHost(riesgo(db->connectionString(), TestDatabase::password(), 2));
    EXPECT_TRUE(r.out.contains(QStringLiteral("resultado=1"))) << r.out.toStdString() << r.err.toStdString();
    EXPECT_FALSE(showsWindow(r)) << r.out.toStdString();
    EXPECT_EQ(db->rows("SELECT EVENTO FROM CONEXIONES ORDER BY ORDEN"),
              (QStringList{QStringLiteral("conecta"), QStringLiteral("desconecta")}));
    EXPECT_EQ(db->rows("SELECT * FROM CLIENTES").join(QLatin1Char('\n')), before);
}

TEST_F(Entry, MainScreenOpensWithAWrongPasswordAndEachActionShowsTheError)
{
    HostFolder folder;
    const QString script = folder.write(QStringLiteral("acciones.autopilot"),
                                        QStringLiteral("window \"  Modulo de Velmora\"\n"
                                                       "expect-text BotonCerrar \"  Cerrar\"\n"
                                                       "click BotonInstalar\n"
                                                       "click-text \"OK\"\n"
                                                       "window \"  Modulo de Velmora\"\n"
                                                       "click BotonConfigurar\n"
                                                       "click-text \"OK\"\n"
                                                       "window \"  Modulo de Velmora\"\n"
                                                       "click BotonListados\n"
                                                       "click-text \"OK\"\n"
                                                       "window \"  Modulo de Velmora\"\n"
                                                       "click BotonCerrar\n"));
    const auto r = folder.run(configuracion(QStringLiteral("no-es-la-clave"), script));
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("window:   Modulo de Velmora")));
    const QStringList messages = r.lines().filter(QStringLiteral("message:"));
    ASSERT_EQ(messages.size(), 3) << r.out.toStdString();
    for (const QString &m : messages)
        EXPECT_TRUE(m.contains(QStringLiteral("password"), Qt::CaseInsensitive)) << m.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("resultado=1")));
}

TEST_F(Entry, EachListingsClickMakesItsOwnConnectionClosedBeforeTheNext)
{
    HostFolder folder;
    const QString script = folder.write(QStringLiteral("listados.autopilot"),
                                        QStringLiteral("window \"  Modulo de Velmora\"\n"
                                                       "click BotonListados\n"
                                                       "window \"  Listados de Velmora\"\n"
                                                       "click BitBtnSalir\n"
                                                       "window \"  Modulo de Velmora\"\n"
                                                       "click BotonListados\n"
                                                       "window \"  Listados de Velmora\"\n"
                                                       "click BitBtnSalir\n"
                                                       "window \"  Modulo de Velmora\"\n"
                                                       "click BotonListados\n"
                                                       "window \"  Listados de Velmora\"\n"
                                                       "click BitBtnSalir\n"
                                                       "window \"  Modulo de Velmora\"\n"
                                                       "sleep 200\n"
                                                       "click BotonCerrar\n"));
    const auto r = folder.run(configuracion(TestDatabase::password(), script));
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    const QStringList log = db->rows("SELECT EVENTO, CONEXION FROM CONEXIONES ORDER BY ORDEN");
    ASSERT_EQ(log.size(), 6) << log.join(QLatin1Char('\n')).toStdString();
    QStringList ids;
    for (int i = 0; i < 6; i += 2) {
        const QString open = log[i], close = log[i + 1];
        EXPECT_TRUE(open.startsWith(QStringLiteral("conecta|"))) << open.toStdString();
        EXPECT_TRUE(close.startsWith(QStringLiteral("desconecta|"))) << close.toStdString();
        EXPECT_EQ(open.section(QLatin1Char('|'), 1), close.section(QLatin1Char('|'), 1));
        ids << open.section(QLatin1Char('|'), 1);
    }
    ids.removeDuplicates();
    EXPECT_EQ(ids.size(), 3);
}

TEST_F(Entry, InstallationButtonOpensTheInstallerAndCancelRunsNothing)
{
    HostFolder folder;
    const QString script = folder.write(QStringLiteral("instalar.autopilot"),
                                        QStringLiteral("window \"  Modulo de Velmora\"\n"
                                                       "click BotonInstalar\n"
                                                       "window \"  Instalación del Módulo de Velmora\"\n"
                                                       "expect-text BitBtnAceptar \"  Instalar SQL\"\n"
                                                       "click btnCerrar\n"
                                                       "window \"  Modulo de Velmora\"\n"
                                                       "click BotonCerrar\n"));
    const auto r = folder.run(configuracion(TestDatabase::password(), script));
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("window: Aviso")));
}
