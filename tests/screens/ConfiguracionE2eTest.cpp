// The configuration action end to end: the host opens the main screen, the
// user edits risk days and risk groups, closes, and the changes are committed.
#include "support/NorvikHostRunner.h"
#include "support/InstalacionPrueba.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <string>

using hosttest::HostFolder;
using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

// Document series A and B, invoice series FA and FB, payment methods C1 and C2,
// all of company group 1.
class ConfiguracionE2e : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        db = new TestDatabase(QStringLiteral("config-e2e"));
        HostRows rows;
        rows.grupoEmpresas(1).empresa(1, 1, QStringLiteral("Uno"));
        rows.serieDocumento(1, QStringLiteral("A"), 1).serieDocumento(2, QStringLiteral("B"), 1);
        rows.serieFactura(1, QStringLiteral("FA"), 1).serieFactura(2, QStringLiteral("FB"), 1);
        rows.formaPago(1, QStringLiteral("C1"), 1, 0, 2, 30).formaPago(2, QStringLiteral("C2"), 1, 15, 2, 30);
        rows.into(*db);
        installtest::instalarModulo(*db);
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }

    /// Every group 1; the risk days the installation worked out (60 and 45).
    static void reiniciar()
    {
        db->run("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = 1;\n"
                "UPDATE SERIESFACTURAS SET GRUPORIESGO = 1;\n"
                "UPDATE FORMASPAGO SET DIASRIESGO = 60 WHERE IDFORMASPAGO = 1;\n"
                "UPDATE FORMASPAGO SET DIASRIESGO = 45 WHERE IDFORMASPAGO = 2;");
    }

    /// The host's arguments to open the configuration window from the main
    /// screen, run `guion` in it (it must close the window), then close the main screen.
    static QStringList argumentos(const HostFolder &folder, const QString &guion)
    {
        const QString completo = QStringLiteral("window \"  Modulo de Velmora\"\n"
                                                "click BotonConfigurar\n"
                                                "window \"  Configuración de Velmora\"\n") +
                                 guion +
                                 QStringLiteral("window \"  Modulo de Velmora\"\n"
                                                "click BotonCerrar\n");
        return {QStringLiteral("AbrirConfiguracionVelmora"), QStringLiteral("--IdEmpresa"), QStringLiteral("1"),
                QStringLiteral("--IdGrupoEmpresa"), QStringLiteral("1"), QStringLiteral("--RutaBaseDatos"),
                db->connectionString(), QStringLiteral("--NombreUsuario"), TestDatabase::user(),
                QStringLiteral("--Password"), TestDatabase::password(), QStringLiteral("--autopilot"),
                folder.write(QStringLiteral("guion.autopilot"), completo)};
    }
    static hosttest::HostResult configurar(const QString &guion)
    {
        HostFolder folder;
        return folder.run(argumentos(folder, guion));
    }

    /// "code|value" rows joined by blanks, as they read in a failure.
    static std::string grupos(const char *tabla)
    {
        return db->rows(QStringLiteral("SELECT CODIGO, GRUPORIESGO FROM %1 ORDER BY CODIGO").arg(QLatin1String(tabla)))
            .join(QLatin1Char(' '))
            .toStdString();
    }
    static std::string dias()
    {
        return db->rows("SELECT CODIGO, DIASRIESGO FROM FORMASPAGO ORDER BY CODIGO").join(QLatin1Char(' ')).toStdString();
    }

    static TestDatabase *db;
};

TestDatabase *ConfiguracionE2e::db = nullptr;

/// "caption|text" of every message box the host showed.
QStringList mensajes(const hosttest::HostResult &r)
{
    QStringList out;
    const QStringList lines = r.lines();
    for (int i = 1; i < lines.size(); ++i)
        if (lines[i].startsWith(QLatin1String("message: ")) && lines[i - 1].startsWith(QLatin1String("window: ")))
            out << lines[i - 1].mid(8) + QLatin1Char('|') + lines[i].mid(9);
    return out;
}

} // namespace

TEST_F(ConfiguracionE2e, EditedRiskDaysAndGroupsAreCommittedWhenTheWindowCloses)
{
    reiniciar();
    // Risk days typed and confirmed with Enter; a document series' group typed
    // and confirmed; an invoice series' group typed and left pending at the close.
    const auto r = configurar(QStringLiteral("key End\n"
                                             "type \"-45\"\n"
                                             "key Return\n"
                                             "set PageControlConfiguracion \"1\"\n"
                                             "key End\n"
                                             "type \"3\"\n"
                                             "key Return\n"
                                             "click lxDBGridSeriesFacturas\n"
                                             "key End\n"
                                             "type \"4\"\n"
                                             "click btnCerrar\n"));
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.lines().contains(QStringLiteral("resultado=1"))) << r.out.toStdString();

    EXPECT_EQ(dias(), "C1|-45 C2|45");
    EXPECT_EQ(grupos("SERIESDOCUMENTOS"), "A|3 B|1");
    EXPECT_EQ(grupos("SERIESFACTURAS"), "FA|4 FB|1");
}

TEST_F(ConfiguracionE2e, CellKeysAndChoicesActOnTheCellTheUserIsIn)
{
    struct Caso
    {
        const char *que;
        const char *guion;
        const char *documentos;
        const char *facturas;
        const char *formasPago;
        QStringList mensajes;
    };
    const char *gruposIniciales = "A|1 B|1";
    const char *facturasIniciales = "FA|1 FB|1";
    const char *diasIniciales = "C1|60 C2|45";
    const QString rango = QStringLiteral(" no es un valor válido para Dias de Riesgo. Debe estar entre -2147483648 y 2147483647");
    const Caso casos[] = {
        {"a group chosen from the document series list, then the row left",
         "set PageControlConfiguracion \"1\"\n"
         "key End\n"
         "set lxDBComboBoxGrupoRiesgo1 \"4\"\n"
         "key Tab\n"
         "click btnCerrar\n",
         "A|4 B|1", facturasIniciales, diasIniciales, {}},
        {"a group chosen from the invoice series list, pending at the close",
         "set PageControlConfiguracion \"1\"\n"
         "click lxDBGridSeriesFacturas\n"
         "key End\n"
         "set lxDBComboBoxGrupoRiesgo2 \"4\"\n"
         "click btnCerrar\n",
         gruposIniciales, "FA|4 FB|1", diasIniciales, {}},
        {"Down and Up in the group cell move the row and keep what was typed",
         "set PageControlConfiguracion \"1\"\n"
         "key End\n"
         "type \"3\"\n"
         "key Down\n"
         "type \"5\"\n"
         "key Up\n"
         "click btnCerrar\n",
         "A|3 B|5", facturasIniciales, diasIniciales, {}},
        {"Escape drops what is being typed and otherwise leaves the window open",
         "key End\n"
         "type \"77\"\n"
         "key Escape\n"
         "key Escape\n"
         "type \"12\"\n"
         "key Return\n"
         "set PageControlConfiguracion \"1\"\n"
         "key End\n"
         "type \"4\"\n"
         "key Escape\n"
         "key Escape\n"
         "click btnCerrar\n",
         gruposIniciales, facturasIniciales, "C1|12 C2|45", {}},
        {"risk days too large for the column are refused in the cell",
         "key End\n"
         "type \"99999999999\"\n"
         "key Return\n"
         "click-text \"OK\"\n"
         "key Escape\n"
         "type \"3000000000\"\n"
         "key Tab\n"
         "click-text \"OK\"\n"
         "key Escape\n"
         "type \"15\"\n"
         "key Return\n"
         "click btnCerrar\n",
         gruposIniciales, facturasIniciales, "C1|15 C2|45",
         {QStringLiteral("  Configuración de Velmora|99999999999") + rango,
          QStringLiteral("  Configuración de Velmora|3000000000") + rango}},
        {"a group outside 1 to 5 is refused as the cell is left, by its title",
         "set PageControlConfiguracion \"1\"\n"
         "key End\n"
         "type \"9\"\n"
         "key Return\n"
         "click-text \"OK\"\n"
         "key Escape\n"
         "type \"2\"\n"
         "key Return\n"
         "click btnCerrar\n",
         "A|2 B|1", facturasIniciales, diasIniciales,
         {QStringLiteral("  Configuración de Velmora|9 no es un valor válido para Grupo Riesgo. Debe estar entre 1 y 5")}},
        {"Ctrl+Tab and Ctrl+Shift+Tab switch pages from inside a grid and its cell",
         "key Ctrl+Tab\n"
         "expect-text PageControlConfiguracion \"  Series de Documentos y Facturas  \"\n"
         "key End\n"
         "type \"5\"\n"
         "key Ctrl+Shift+Tab\n"
         "expect-text PageControlConfiguracion \"  Formas de Pago  \"\n"
         "click btnCerrar\n",
         "A|5 B|1", facturasIniciales, diasIniciales, {}},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.que);
        reiniciar();
        const auto r = configurar(QString::fromUtf8(c.guion));
        EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
        EXPECT_EQ(grupos("SERIESDOCUMENTOS"), c.documentos);
        EXPECT_EQ(grupos("SERIESFACTURAS"), c.facturas);
        EXPECT_EQ(dias(), c.formasPago);
        EXPECT_EQ(mensajes(r).join(QLatin1Char('\n')).toStdString(), c.mensajes.join(QLatin1Char('\n')).toStdString())
            << r.out.toStdString();
    }
}

TEST_F(ConfiguracionE2e, AfterTheConnectionIsLostTheWindowClosesWithoutThePendingEdit)
{
    reiniciar();
    HostFolder folder;
    // The script waits while the test kills the connection from the server's side.
    const QString listo = folder.file(QStringLiteral("listo.json"));
    hosttest::HostProcess host(argumentos(folder, QStringLiteral("key End\n"
                                                                 "type \"33\"\n"
                                                                 "dump %1\n"
                                                                 "sleep 6000\n"
                                                                 "click btnCerrar\n"
                                                                 "click-text \"No\"\n"
                                                                 "click btnCerrar\n"
                                                                 "click-text \"Yes\"\n"
                                                                 "click-text \"OK\"\n")
                                                      .arg(listo)),
                               folder.host(), folder.path());
    QElapsedTimer reloj;
    reloj.start();
    while (!QFileInfo::exists(listo) && reloj.elapsed() < 60000)
        QThread::msleep(50);
    ASSERT_TRUE(QFileInfo::exists(listo));
    db->run("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION;");
    const auto r = host.wait();

    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.lines().contains(QStringLiteral("resultado=1"))) << r.out.toStdString();
    // Asked at each close; once the user lets the change go, the main screen's commit reports the lost connection.
    const QStringList vistos = mensajes(r);
    ASSERT_EQ(vistos.size(), 3) << r.out.toStdString();
    for (int i : {0, 1}) {
        EXPECT_TRUE(vistos[i].startsWith(QStringLiteral("  Configuración de Velmora|No se ha podido guardar el cambio "
                                                        "pendiente: ")))
            << vistos[i].toStdString();
    }
    EXPECT_EQ(dias(), "C1|60 C2|45");
}
