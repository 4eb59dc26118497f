// The installation run from the host's main screen while its connections are
// lost part-way: every statement commits on its own, so each object is either
// whole or absent, the user is told to run it again, and the next run completes it.
#include "AyudasFallos.h"
#include "ProxyTcp.h"

#include "support/InstalacionPrueba.h"

#include <functional>

using faulttest::conexionesDelHost;
using faulttest::esperaSuperviviente;
using faulttest::mensajes;
using faulttest::ProxyTcp;
using hosttest::HostFolder;
using hosttest::HostProcess;
using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

struct Columna
{
    const char *tabla;
    const char *columna;
    const char *dominio;
};

const Columna kColumnas[] = {
    {"SERIESDOCUMENTOS", "GRUPORIESGO", "TLXGRUPORIESGO"},
    {"SERIESFACTURAS", "GRUPORIESGO", "TLXGRUPORIESGO"},
    {"FORMASPAGO", "DIASRIESGO", "TLXID"},
    {"CLIENTES", "RIESGOCONCEDIDO2", "TLXIMPORTE"},
    {"CLIENTES", "RIESGOCONCEDIDO5", "TLXIMPORTE"},
    {"CLIENTES", "FECHAREDUCCIONCREDITOCAUC3", "TLXFECHA"},
    {"CLIENTES", "CODIGOCREDITOCAUCION5", "TLXCODIGOCUENTA"},
};

/// What of the module a database holds, one word an object, so that a failure reads plainly.
/// An object half made (a column of the wrong domain, a procedure without all its
/// outputs, rows a fix-up left NULL) shows as "half".
QStringList objetos(const TestDatabase &db)
{
    QStringList out;
    out << QStringLiteral("dominio:")
               + db.value("SELECT COUNT(*) FROM RDB$FIELDS WHERE RDB$FIELD_NAME = 'TLXGRUPORIESGO'");
    for (const Columna &c : kColumnas) {
        const QString dominio = db.value(QStringLiteral("SELECT TRIM(RDB$FIELD_SOURCE) FROM RDB$RELATION_FIELDS "
                                                        "WHERE RDB$RELATION_NAME = '%1' AND RDB$FIELD_NAME = '%2'")
                                             .arg(QLatin1String(c.tabla), QLatin1String(c.columna)));
        out << QLatin1String(c.columna) + QLatin1Char(':')
                   + (dominio.isEmpty() ? QStringLiteral("0")
                                        : dominio == QLatin1String(c.dominio) ? QStringLiteral("1") : QStringLiteral("half"));
    }
    const QString salidas = db.value("SELECT COUNT(*) FROM RDB$PROCEDURE_PARAMETERS WHERE RDB$PROCEDURE_NAME = "
                                     "'PRSITUACIONCLIENTESRIESGOGRUPOS' AND RDB$PARAMETER_TYPE = 1");
    out << QStringLiteral("procedimiento:")
               + (salidas == QLatin1String("0")                              ? QStringLiteral("0")
                  : salidas == QString::number(installtest::salidasRiesgo().size()) ? QStringLiteral("1")
                                                                                 : QStringLiteral("half"));
    return out;
}

class InstalacionCortada : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        db = new TestDatabase(QStringLiteral("faults-install"));
        HostRows rows;
        rows.grupoEmpresas(1, 0).empresa(1, 1, QStringLiteral("Empresa Uno"), 1);
        rows.serieDocumento(1, QStringLiteral("A"), 1).serieFactura(1, QStringLiteral("F"), 1);
        rows.formaPago(1, QStringLiteral("C1"), 1, 0, 2, 30);
        rows.into(*db);
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }

    /// Installs from the main screen on `ruta`; `cortar` runs once the installer's window is up.
    /// The installer's closing notice is dumped and closed, then the main screen.
    struct Instalacion
    {
        hosttest::HostResult r;
        QString aviso;            ///< the installer's closing notice
        QString conexionesAlFinal; ///< counted back on the main screen
    };
    static Instalacion instalar(const QString &ruta, const std::function<void()> &cortar)
    {
        HostFolder folder;
        const QString empezada = folder.file(QStringLiteral("empezada.json"));
        const QString listo = folder.file(QStringLiteral("listo.json"));
        const QString aviso = folder.file(QStringLiteral("aviso.json"));
        const QString guion = folder.write(QStringLiteral("guion.autopilot"),
                                           QStringLiteral("window \"  Modulo de Velmora\"\n"
                                                          "click BotonInstalar\n"
                                                          "window \"  Instalación del Módulo de Velmora\"\n"
                                                          "dump %1\n"
                                                          "click BitBtnAceptar\n"
                                                          "window \"Aviso\"\n"
                                                          "dump %2\n"
                                                          "click BotonAceptar\n")
                                                   .arg(empezada, aviso)
                                               + QStringLiteral("window \"  Modulo de Velmora\"\n"
                                                                "dump %1\n"
                                                                "sleep 1500\n"
                                                                "click BotonCerrar\n")
                                                     .arg(listo));
        HostProcess host(faulttest::pantallaPrincipal(ruta, guion), folder.host(), folder.path());
        faulttest::esperarFichero(empezada, &host);
        if (cortar)
            cortar();
        Instalacion i;
        faulttest::esperarFichero(listo, &host);
        i.conexionesAlFinal = conexionesDelHost(*db);
        i.r = host.wait();
        if (QFileInfo::exists(aviso))
            i.aviso = hosttest::leerDump(aviso)[QStringLiteral("MemoMensaje")].value(QStringLiteral("text")).toString();
        return i;
    }

    /// What a cut run must leave: the host alive, a notice asking for another run,
    /// no message from the main screen's own session (it wrote nothing, so losing
    /// it on the way out is no news to the user) and no connection left.
    static void esperaCorteLimpio(const Instalacion &i, const char *caso)
    {
        esperaSuperviviente(i.r, caso);
        EXPECT_TRUE(i.aviso.contains(QStringLiteral("Vuelva a ejecutar la instalación"))) << i.aviso.toStdString();
        EXPECT_EQ(mensajes(i.r), QStringList()) << i.r.out.toStdString();
        EXPECT_EQ(i.conexionesAlFinal, "0");
    }

    /// The module's objects after a cut run; none may be half made.
    static QStringList objetosEnteros()
    {
        const QStringList o = objetos(*db);
        EXPECT_FALSE(o.join(u' ').contains(QStringLiteral(":half"))) << o.join(u' ').toStdString();
        return o;
    }

    static QString via(const ProxyTcp &proxy) { return QString::fromStdString(proxy.hostString(db->file().toStdString())); }

    static inline TestDatabase *db = nullptr;
};

} // namespace

TEST_F(InstalacionCortada, ObjectsAreWholeOrAbsentAndTheNextRunCompletesThem)
{
    const QStringList nada{"dominio:0", "GRUPORIESGO:0", "GRUPORIESGO:0", "DIASRIESGO:0", "RIESGOCONCEDIDO2:0",
                           "RIESGOCONCEDIDO5:0", "FECHAREDUCCIONCREDITOCAUC3:0", "CODIGOCREDITOCAUCION5:0",
                           "procedimiento:0"};
    const QStringList todo{"dominio:1", "GRUPORIESGO:1", "GRUPORIESGO:1", "DIASRIESGO:1", "RIESGOCONCEDIDO2:1",
                           "RIESGOCONCEDIDO5:1", "FECHAREDUCCIONCREDITOCAUC3:1", "CODIGOCREDITOCAUCION5:1",
                           "procedimiento:1"};
    ASSERT_EQ(objetos(*db), nada);

    // The server goes away as the installer opens its third connection (the main screen's
    // is the first): that statement's connection and the main screen's are cut, and no new
    // one is let in.
    {
        ProxyTcp proxy;
        proxy.acceptOnly(4);
        const auto i = instalar(via(proxy), [&] {
            for (int n = 0; n < 1500 && proxy.accepted() < 4; ++n)
                QThread::msleep(20);
            proxy.stop();
        });
        esperaCorteLimpio(i, "server stopped");
        EXPECT_TRUE(i.aviso.contains(QStringLiteral("La instalación no ha terminado correctamente"))) << i.aviso.toStdString();
    }
    const QStringList tras = objetosEnteros();
    EXPECT_NE(tras, nada);
    EXPECT_NE(tras, todo);

    // A run again with the server refusing new connections after a few: it carries on from
    // where the last one stopped, and the main screen's own session closes cleanly.
    {
        ProxyTcp proxy;
        proxy.acceptOnly(11);
        const auto i = instalar(via(proxy), {});
        esperaCorteLimpio(i, "connections refused");
    }
    const QStringList tras2 = objetosEnteros();
    EXPECT_NE(tras2, tras);
    EXPECT_NE(tras2, todo);

    // The next run, with the server back, completes the installation.
    const auto i = instalar(db->connectionString(), {});
    esperaSuperviviente(i.r, "complete run");
    EXPECT_TRUE(i.aviso.contains(QStringLiteral("Proceso Terminado Correctamente"))) << i.aviso.toStdString();
    EXPECT_EQ(objetos(*db), todo);
    EXPECT_EQ(db->rows("SELECT GRUPORIESGO FROM SERIESDOCUMENTOS UNION ALL SELECT GRUPORIESGO FROM SERIESFACTURAS "
                       "UNION ALL SELECT DIASRIESGO FROM FORMASPAGO"),
              QStringList({"1", "1", "60"}));
}
