// Faults a user meets, end to end through the host stand-in and a real server:
// the server stopped, connections cut part-way, work running side by side. In
// every case the host survives, the call returns 1, the database holds all of a
// change or none of it, and the host keeps no connection open.
#include "ProxyTcp.h"

#include "support/InstalacionPrueba.h"
#include "support/NorvikHostRunner.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using faulttest::ProxyTcp;
using hosttest::HostFolder;
using hosttest::HostProcess;
using hosttest::HostResult;
using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

constexpr int kClientes = 3000;

class Faults : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        db = new TestDatabase(QStringLiteral("faults-e2e"));
        HostRows rows;
        rows.grupoEmpresas(1, 0).empresa(1, 1, QStringLiteral("Empresa Uno"), 1).moneda(1, 2).cambio(1, 1, 1, 1.0);
        rows.serieDocumento(1, QStringLiteral("A"), 1);
        rows.formaPago(1, QStringLiteral("C1"), 1, 0, 2, 30);
        // Enough customers that gathering a listing takes many round trips.
        for (int i = 1; i <= kClientes; ++i)
            rows.cliente(i, QStringLiteral("C%1").arg(i), QStringLiteral("Cliente %1").arg(i), 1, 1000.0)
                .albaran(i, i, 1, QVariant(), 10.0);
        rows.into(*db);
        installtest::instalarModulo(*db);
        db->run("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = 1;");
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }

    /// Connections the host stand-in holds on the test database right now.
    static QString conexionesDelHost()
    {
        return db->value("SELECT COUNT(*) FROM MON$ATTACHMENTS WHERE MON$SYSTEM_FLAG = 0 "
                         "AND MON$REMOTE_PROCESS CONTAINING 'norvik-host'");
    }

    /// The main screen on `ruta`, driven by `guion` (`@DIR@` is the host's folder). The script
    /// must end on the main screen; there the host reports in and waits while the test counts
    /// its connections, then closes.
    struct Pantalla
    {
        HostResult r;
        QString conexionesAlFinal;
        std::map<QString, QJsonObject> dump; ///< of `ficheroDump`, when the script wrote it
    };
    static Pantalla pantallaPrincipal(const QString &ruta, QString guion, const std::function<void()> &alListo = {},
                                      const QString &ficheroDump = {})
    {
        HostFolder folder;
        const QString listo = folder.file(QStringLiteral("listo.json"));
        guion.replace(QStringLiteral("@DIR@"), folder.path());
        guion = QStringLiteral("window \"  Modulo de Velmora\"\n") + guion
                + QStringLiteral("window \"  Modulo de Velmora\"\n"
                                 "dump %1\n"
                                 "sleep 1500\n"
                                 "click BotonCerrar\n")
                      .arg(listo);
        HostProcess host({QStringLiteral("AbrirConfiguracionVelmora"), QStringLiteral("--IdEmpresa"),
                          QStringLiteral("1"), QStringLiteral("--IdGrupoEmpresa"), QStringLiteral("1"),
                          QStringLiteral("--RutaBaseDatos"), ruta, QStringLiteral("--NombreUsuario"),
                          TestDatabase::user(), QStringLiteral("--Password"), TestDatabase::password(),
                          QStringLiteral("--autopilot"), folder.write(QStringLiteral("guion.autopilot"), guion)},
                         folder.host(), folder.path());
        Pantalla p;
        if (alListo)
            alListo();
        esperarFichero(listo);
        p.conexionesAlFinal = conexionesDelHost();
        p.r = host.wait();
        if (!ficheroDump.isEmpty() && QFileInfo::exists(folder.file(ficheroDump)))
            p.dump = hosttest::leerDump(folder.file(ficheroDump));
        return p;
    }

    static void esperarFichero(const QString &file)
    {
        QElapsedTimer reloj;
        reloj.start();
        while (!QFileInfo::exists(file) && reloj.elapsed() < 90000)
            QThread::msleep(50);
    }

    static QStringList riesgo(const QString &ruta, int cliente = 1)
    {
        return {QStringLiteral("MostrarRiesgoCliente"), QStringLiteral("--IdEmpresa"), QStringLiteral("1"),
                QStringLiteral("--IdGrupoEmpresa"), QStringLiteral("1"), QStringLiteral("--IDSerie"),
                QStringLiteral("1"), QStringLiteral("--IdCliente"), QString::number(cliente),
                QStringLiteral("--TipoDocumento"), QStringLiteral("2"), QStringLiteral("--RutaBaseDatos"), ruta,
                QStringLiteral("--NombreUsuario"), TestDatabase::user(), QStringLiteral("--Password"),
                TestDatabase::password()};
    }

    static QString via(const ProxyTcp &proxy) { return QString::fromStdString(proxy.hostString(db->file().toStdString())); }

    static QStringList mensajes(const HostResult &r) { return r.lines().filter(QStringLiteral("message: ")); }

    static inline TestDatabase *db = nullptr;
};

void esperaSuperviviente(const HostResult &r, const char *caso)
{
    EXPECT_EQ(r.exitCode, 0) << caso << "\n" << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.lines().contains(QStringLiteral("resultado=1"))) << caso << "\n" << r.out.toStdString();
}

bool errorDeRed(const QString &mensaje)
{
    return mensaje.contains(QStringLiteral("Unable to complete network request"))
           || mensaje.contains(QStringLiteral("connection lost"), Qt::CaseInsensitive)
           || mensaje.contains(QStringLiteral("Error reading data from the connection"))
           || mensaje.contains(QStringLiteral("Error writing data to the connection"));
}

} // namespace

TEST_F(Faults, ServerStoppedBeforeAnActionShowsTheErrorAndOpensNothing)
{
    struct Caso
    {
        const char *accion;
        const char *boton;
        const char *ventana;
    };
    const Caso casos[] = {{"installation", "BotonInstalar", "  Instalación del Módulo de Velmora"},
                          {"configuration", "BotonConfigurar", "  Configuración de Velmora"},
                          {"listings", "BotonListados", "  Listados de Velmora"}};
    ProxyTcp proxy;
    proxy.stop();
    for (const Caso &c : casos) {
        const auto p = pantallaPrincipal(via(proxy), QStringLiteral("click %1\nclick-text \"OK\"\n").arg(c.boton));
        esperaSuperviviente(p.r, c.accion);
        const QStringList vistos = mensajes(p.r);
        ASSERT_EQ(vistos.size(), 1) << c.accion << "\n" << p.r.out.toStdString();
        EXPECT_TRUE(errorDeRed(vistos[0])) << vistos[0].toStdString();
        EXPECT_FALSE(p.r.out.contains(QStringLiteral("window: ") + QLatin1String(c.ventana))) << c.accion;
        EXPECT_EQ(p.conexionesAlFinal, "0") << c.accion;
    }

    // The risk check stays silent, as with any connection it cannot make.
    const HostResult r = hosttest::runHost(riesgo(via(proxy)));
    esperaSuperviviente(r, "risk check");
    EXPECT_FALSE(r.out.contains(QStringLiteral("window:"))) << r.out.toStdString();
}

TEST_F(Faults, NetworkCutWhileTheConfigurationHoldsAnEditStoresNothing)
{
    ProxyTcp proxy;
    HostFolder unused;
    const QString listo = unused.file(QStringLiteral("editado.json"));
    const QString antes = db->value("SELECT DIASRIESGO FROM FORMASPAGO WHERE IDFORMASPAGO = 1");
    // The edit is typed, the network goes, then the user closes: the edit cannot be stored,
    // the user lets it go, and the main screen's commit reports the lost connection.
    const auto p = pantallaPrincipal(via(proxy),
                                     QStringLiteral("click BotonConfigurar\n"
                                                    "window \"  Configuración de Velmora\"\n"
                                                    "key End\n"
                                                    "type \"33\"\n"
                                                    "dump %1\n"
                                                    "sleep 3000\n"
                                                    "click btnCerrar\n"
                                                    "click-text \"No\"\n"
                                                    "click btnCerrar\n"
                                                    "click-text \"Yes\"\n"
                                                    "click-text \"OK\"\n")
                                         .arg(listo),
                                     [&] {
                                         esperarFichero(listo);
                                         proxy.cut();
                                     });
    esperaSuperviviente(p.r, "configuration");
    const QStringList vistos = mensajes(p.r);
    ASSERT_EQ(vistos.size(), 3) << p.r.out.toStdString();
    EXPECT_TRUE(vistos[0].contains(QStringLiteral("No se ha podido guardar el cambio pendiente"))) << vistos[0].toStdString();
    EXPECT_TRUE(errorDeRed(vistos[2])) << vistos[2].toStdString();
    EXPECT_EQ(db->value("SELECT DIASRIESGO FROM FORMASPAGO WHERE IDFORMASPAGO = 1"), antes);
    EXPECT_EQ(p.conexionesAlFinal, "0");
}

TEST_F(Faults, ServerStoppedInTheMiddleOfAListingWarnsAndLeavesNoConnection)
{
    ProxyTcp proxy;
    // Gathering the customers' rows reads far more than this from the server; the
    // opening of the action and the window reads far less.
    proxy.cutAfterBytes(200000);
    auto p = pantallaPrincipal(via(proxy), QStringLiteral("click BotonListados\n"
                                                                "window \"  Listados de Velmora\"\n"
                                                                "set PageControlVentas \"1\"\n"
                                                                "set CheckBoxGruposTodos \"1\"\n"
                                                                "set PageControlVentas \"0\"\n"
                                                                "click BotonObtenerListadoClientes\n"
                                                                "window \"Aviso\"\n"
                                                                "dump @DIR@/aviso.json\n"
                                                                "click BotonAceptar\n"
                                                                "window \"SituacionRiesgoClientes\"\n"
                                                                "click closeAction\n"
                                                                "window \"  Listados de Velmora\"\n"
                                                                "click BitBtnSalir\n"),
                                     {}, QStringLiteral("aviso.json"));
    esperaSuperviviente(p.r, "listing");
    // The routine's own warning, with the server's text under it.
    const QString aviso = p.dump[QStringLiteral("MemoMensaje")].value(QStringLiteral("text")).toString();
    EXPECT_TRUE(aviso.startsWith(QStringLiteral("Error al cargar los clientes"))) << aviso.toStdString();
    EXPECT_TRUE(errorDeRed(aviso)) << aviso.toStdString();
    EXPECT_EQ(p.conexionesAlFinal, "0");
}
