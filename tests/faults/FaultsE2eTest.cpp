// Faults a user meets, end to end through the host stand-in and a real server:
// the server stopped, connections cut part-way, work running side by side. In
// every case the host survives, the call returns 1, the database holds all of a
// change or none of it, and the host keeps no connection open.
#include "AyudasFallos.h"
#include "ProxyTcp.h"

#include "support/InstalacionPrueba.h"

#include <QDir>

#include <climits>
#include <cstdio>
#include <memory>
#include <vector>

using faulttest::conexionesDelHost;
using faulttest::cortarConexionesDelHost;
using faulttest::errorDeRed;
using faulttest::esperaSuperviviente;
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
        faulttest::empresaUno(rows);
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
        HostProcess host(faulttest::pantallaPrincipal(ruta, folder.write(QStringLiteral("guion.autopilot"), guion)),
                         folder.host(), folder.path());
        Pantalla p;
        if (alListo)
            alListo();
        faulttest::esperarFichero(listo, &host);
        p.conexionesAlFinal = conexionesDelHost(*db);
        p.r = host.wait();
        if (!ficheroDump.isEmpty() && QFileInfo::exists(folder.file(ficheroDump)))
            p.dump = hosttest::leerDump(folder.file(ficheroDump));
        return p;
    }

    static void esperarFichero(const QString &file) { faulttest::esperarFichero(file); }

    /// The configuration's pending edit was lost with the connection: the user was asked
    /// about it, told of the network error, and the database holds the value of `antes`.
    static void esperaEdicionPerdida(const Pantalla &p, const QString &antes)
    {
        esperaSuperviviente(p.r, "configuration");
        const QStringList vistos = mensajes(p.r);
        ASSERT_EQ(vistos.size(), 3) << p.r.out.toStdString();
        EXPECT_TRUE(vistos[0].contains(QStringLiteral("No se ha podido guardar el cambio pendiente")))
            << vistos[0].toStdString();
        EXPECT_TRUE(errorDeRed(vistos[2])) << vistos[2].toStdString();
        EXPECT_EQ(db->value("SELECT DIASRIESGO FROM FORMASPAGO WHERE IDFORMASPAGO = 1"), antes);
        EXPECT_EQ(p.conexionesAlFinal, "0");
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

    static QStringList mensajes(const HostResult &r) { return faulttest::mensajes(r); }

    static inline TestDatabase *db = nullptr;
};

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
    esperaEdicionPerdida(p, antes);
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

TEST_F(Faults, ConnectionKilledByTheServerAtTheConfigurationsCloseStoresNothing)
{
    HostFolder marcas;
    const QString editado = marcas.file(QStringLiteral("editado.json"));
    const QString sigue = marcas.file(QStringLiteral("sigue"));
    const QString antes = db->value("SELECT DIASRIESGO FROM FORMASPAGO WHERE IDFORMASPAGO = 1");
    // The edit is typed; the administrator ends the host's connections on the server; then the user closes.
    const auto p = pantallaPrincipal(db->connectionString(),
                                     QStringLiteral("click BotonConfigurar\n"
                                                    "window \"  Configuración de Velmora\"\n"
                                                    "key End\n"
                                                    "type \"44\"\n"
                                                    "dump %1\n"
                                                    "wait-file %2\n"
                                                    "click btnCerrar\n"
                                                    "click-text \"No\"\n"
                                                    "click btnCerrar\n"
                                                    "click-text \"Yes\"\n"
                                                    "click-text \"OK\"\n")
                                         .arg(editado, sigue),
                                     [&] {
                                         esperarFichero(editado);
                                         cortarConexionesDelHost(*db);
                                         marcas.write(QStringLiteral("sigue"), QByteArray());
                                     });
    esperaEdicionPerdida(p, antes);
}

TEST_F(Faults, OddHostStringsAndIdsNeverCrashTheHost)
{
    struct Caso
    {
        const char *que;
        QStringList argumentos; ///< added to, or overriding, the sound ones
        const char *mensaje;    ///< what the one message shown contains
    };
    const QString ruta = db->connectionString();
    const QString fichero = QStringLiteral(VELMORA_SOURCE_DIR "/README.md");
    const QString carpeta = QDir::tempPath();
    const QString servidor = QStringLiteral("localhost:");
    // Each "--Option value" pair replaces the option's sound value, or is added.
    const auto conCambios = [](QStringList argumentos, const QStringList &cambios) {
        for (qsizetype i = 0; i + 1 < cambios.size(); i += 2) {
            const qsizetype en = argumentos.indexOf(cambios[i]);
            if (en >= 0)
                argumentos[en + 1] = cambios[i + 1];
            else
                argumentos << cambios[i] << cambios[i + 1];
        }
        return argumentos;
    };
    const Caso casos[] = {
        {"path of length 0", {"--LongitudRutaBaseDatos", "0"}, "No se ha indicado el nombre de la base de datos"},
        {"path of length -1", {"--LongitudRutaBaseDatos", "-1"}, "No se ha indicado el nombre de la base de datos"},
        {"path of a large negative length",
         {"--LongitudRutaBaseDatos", QString::number(INT_MIN)},
         "No se ha indicado el nombre de la base de datos"},
        {"user of length 0", {"--LongitudNombreUsuario", "0"}, "password"},
        {"password of length -1", {"--LongitudPassword", "-1"}, "password"},
        {"a path that is not Latin-1", {"--RutaBaseDatos", servidor + QStringLiteral("/tmp/数据/Ωmega.fdb")}, "数据"},
        {"a user that is not Latin-1", {"--NombreUsuario", QStringLiteral("Ωmega")}, "ISO 8859-1"},
        {"a password that is not Latin-1", {"--Password", QStringLiteral("пароль")},
         "La contraseña contiene caracteres que no existen en ISO 8859-1"},
        {"a path to a text file", {"--RutaBaseDatos", servidor + fichero}, "README.md"},
        {"a path to a folder", {"--RutaBaseDatos", servidor + carpeta}, ""},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.que);
        HostFolder folder;
        const QStringList base = faulttest::pantallaPrincipal(
            ruta, folder.write(QStringLiteral("guion.autopilot"), QStringLiteral("window \"  Modulo de Velmora\"\n"
                                                                                 "click BotonConfigurar\n"
                                                                                 "click-text \"OK\"\n"
                                                                                 "window \"  Modulo de Velmora\"\n"
                                                                                 "click BotonCerrar\n")));
        const HostResult r = folder.run(conCambios(base, c.argumentos));
        esperaSuperviviente(r, c.que);
        const QStringList vistos = mensajes(r);
        ASSERT_EQ(vistos.size(), 1) << r.out.toStdString();
        EXPECT_TRUE(vistos[0].contains(QString::fromUtf8(c.mensaje))) << vistos[0].toStdString();
        EXPECT_FALSE(r.out.contains(QStringLiteral("window:   Configuración de Velmora"))) << r.out.toStdString();
        // The password never shows, not even a letter of it.
        EXPECT_FALSE(vistos[0].contains(QStringLiteral("п"))) << vistos[0].toStdString();

        // The risk check stays silent on the same strings.
        const HostResult silencioso = hosttest::runHost(conCambios(riesgo(ruta), c.argumentos));
        esperaSuperviviente(silencioso, c.que);
        EXPECT_FALSE(silencioso.out.contains(QStringLiteral("window:"))) << silencioso.out.toStdString();
    }

    // Ids at the ends of their range find no series, so the document counts as over its limit
    // and the risk dialog opens on nothing; closing it returns to the host.
    for (const int id : {INT_MIN, INT_MAX}) {
        HostFolder folder;
        QStringList argumentos = riesgo(ruta);
        for (const char *nombre : {"--IdEmpresa", "--IdGrupoEmpresa", "--IDSerie", "--IdCliente"})
            argumentos[argumentos.indexOf(QLatin1String(nombre)) + 1] = QString::number(id);
        argumentos << QStringLiteral("--IdUsuario") << QString::number(id) << QStringLiteral("--IdDocumento")
                   << QString::number(id) << QStringLiteral("--autopilot")
                   << folder.write(QStringLiteral("guion.autopilot"), QStringLiteral("window \"  Control de Riesgo\"\n"
                                                                                     "click btnCerrar\n"));
        const HostResult r = folder.run(argumentos);
        esperaSuperviviente(r, "ids at the ends of their range");
        EXPECT_EQ(r.lines().filter(QStringLiteral("window:")), QStringList{QStringLiteral("window:   Control de Riesgo")});
        EXPECT_EQ(mensajes(r), QStringList());
    }
}

TEST_F(Faults, TenRiskChecksBesideAnOpenEditNeitherWaitNorFail)
{
    db->run("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = 1;");
    HostFolder marcas;
    const QString editado = marcas.file(QStringLiteral("editado.json"));
    const QString sigue = marcas.file(QStringLiteral("sigue"));
    std::vector<HostResult> resultados;
    QString duranteLaEdicion;
    qint64 milisegundos = 0;
    // The configuration window changes the group of the series the risk checks read, and keeps
    // the change uncommitted while they run.
    const auto p = pantallaPrincipal(db->connectionString(),
                                     QStringLiteral("click BotonConfigurar\n"
                                                    "window \"  Configuración de Velmora\"\n"
                                                    "set PageControlConfiguracion \"1\"\n"
                                                    "key End\n"
                                                    "type \"3\"\n"
                                                    "key Return\n"
                                                    "dump %1\n"
                                                    "wait-file %2\n"
                                                    "click btnCerrar\n")
                                         .arg(editado, sigue),
                                     [&] {
                                         esperarFichero(editado);
                                         QElapsedTimer reloj;
                                         reloj.start();
                                         std::vector<std::unique_ptr<HostProcess>> comprobaciones;
                                         for (int cliente = 1; cliente <= 10; ++cliente)
                                             comprobaciones.push_back(
                                                 std::make_unique<HostProcess>(riesgo(db->connectionString(), cliente)));
                                         for (auto &h : comprobaciones)
                                             resultados.push_back(h->wait(60000));
                                         milisegundos = reloj.elapsed();
                                         duranteLaEdicion =
                                             db->value("SELECT GRUPORIESGO FROM SERIESDOCUMENTOS WHERE IDSERIESDOCUMENTOS = 1");
                                         marcas.write(QStringLiteral("sigue"), QByteArray());
                                     });
    esperaSuperviviente(p.r, "configuration");
    EXPECT_EQ(mensajes(p.r), QStringList()) << p.r.out.toStdString();
    ASSERT_EQ(resultados.size(), 10u);
    for (const HostResult &r : resultados) {
        esperaSuperviviente(r, "risk check");
        // Within its limit: no window, so no lock conflict shown either.
        EXPECT_FALSE(r.out.contains(QStringLiteral("window:"))) << r.out.toStdString();
    }
    std::printf("ten risk checks beside the open edit: %lld ms\n", static_cast<long long>(milisegundos));
    EXPECT_EQ(duranteLaEdicion, "1");
    EXPECT_EQ(db->value("SELECT GRUPORIESGO FROM SERIESDOCUMENTOS WHERE IDSERIESDOCUMENTOS = 1"), "3");
    EXPECT_EQ(p.conexionesAlFinal, "0");
}
