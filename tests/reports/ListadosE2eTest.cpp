// The listings through the host: the main screen's listings action opens the
// window, whose default period follows the system clock (faked from outside
// the process), and a listing ends in the report preview even when gathering
// its rows fails.
#include "support/InstalacionPrueba.h"
#include "support/NorvikHostRunner.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

using hosttest::HostFolder;
using hosttest::leerDump;
using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

// Company 1 of company group 1; customer C01 has 1000 granted in group 1 and a
// delivery note of 250 in a series of that group.
class ListadosE2e : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        region = new hosttest::RegionEspanola;
        db = new TestDatabase(QStringLiteral("listados-e2e"));
        HostRows rows;
        rows.grupoEmpresas(1, 0).empresa(1, 1, QStringLiteral("Empresa Uno"), 1).moneda(1, 2).cambio(1, 1, 1, 1.0);
        rows.serieDocumento(1, QStringLiteral("S1"), 1);
        rows.cliente(1, QStringLiteral("C01"), QStringLiteral("Cliente Uno"), 1, 1000.0)
            .albaran(101, 1, 1, QVariant(), 250.0);
        rows.into(*db);
        installtest::instalarModulo(*db);
        db->run("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = 1;");
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
        delete region;
        region = nullptr;
    }
    static inline hosttest::RegionEspanola *region = nullptr;

    /// The main screen with an autopilot script (`@DIR@` is the host's folder),
    /// under a clock that starts at `ahora` when one is given.
    static hosttest::HostResult abrir(const HostFolder &folder, const QString &guion, const QString &ahora = {})
    {
        QString texto = guion;
        texto.replace(QStringLiteral("@DIR@"), folder.path());
        const QStringList args{QStringLiteral("AbrirConfiguracionVelmora"),
                               QStringLiteral("--IdEmpresa"), QStringLiteral("1"),
                               QStringLiteral("--IdGrupoEmpresa"), QStringLiteral("1"),
                               QStringLiteral("--RutaBaseDatos"), db->connectionString(),
                               QStringLiteral("--NombreUsuario"), TestDatabase::user(),
                               QStringLiteral("--Password"), TestDatabase::password(),
                               QStringLiteral("--autopilot"), folder.write(QStringLiteral("guion.autopilot"), texto)};
        if (ahora.isEmpty())
            return folder.run(args);
        // The clock runs on from the faked moment; timers keep the real monotonic clock.
        return hosttest::HostProcess(QStringList{QStringLiteral("-m"), QStringLiteral("--exclude-monotonic"), ahora,
                                                 folder.host()} + args,
                                     QStringLiteral("faketime"), folder.path())
            .wait();
    }

    static inline TestDatabase *db = nullptr;
};

const QString kAbrirListados = QStringLiteral("window \"  Modulo de Velmora\"\n"
                                              "click BotonListados\n"
                                              "window \"  Listados de Velmora\"\n");
const QString kCerrarListados = QStringLiteral("click BitBtnSalir\n"
                                               "window \"  Modulo de Velmora\"\n"
                                               "click BotonCerrar\n");

} // namespace

TEST_F(ListadosE2e, DefaultPeriodIsTheMonthBeforeTodayAndFollowsTheMonthChosen)
{
    struct Caso
    {
        const char *ahora;
        const char *mesElegido; // null: the default
        const char *mes;
        const char *desde;
        const char *hasta;
        const char *subtitulo;
    };
    const Caso casos[] = {
        {"2024-01-15 10:00:00", nullptr, "Diciembre", "01/12/2023", "31/12/2023",
         "Listado Cred. y Caución - Diciembre / 2023"},
        {"2024-03-10 10:00:00", nullptr, "Febrero", "01/02/2024", "29/02/2024",
         "Listado Cred. y Caución - Febrero / 2024"},
        {"2024-03-10 10:00:00", "Abril", "Abril", "01/04/2024", "30/04/2024", "Listado Cred. y Caución - Abril / 2024"},
    };
    for (const Caso &c : casos) {
        HostFolder folder;
        QString guion = kAbrirListados + QStringLiteral("set PageControlVentas \"1\"\n");
        if (c.mesElegido)
            guion += QStringLiteral("set lxDBComboBoxDeMes \"%1\"\n").arg(QLatin1String(c.mesElegido));
        guion += QStringLiteral("expect-text lxDBComboBoxDeMes \"%1\"\n"
                                "expect-text DateTimeDesde \"%2\"\n"
                                "expect-text DateTimeHasta \"%3\"\n"
                                "expect-text EditSubTituloListado2 \"%4\"\n")
                     .arg(QLatin1String(c.mes), QLatin1String(c.desde), QLatin1String(c.hasta),
                          QString::fromUtf8(c.subtitulo))
                 + kCerrarListados;
        const auto r = abrir(folder, guion, QLatin1String(c.ahora));
        EXPECT_EQ(r.exitCode, 0) << c.ahora << " " << r.out.toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.lines().contains(QStringLiteral("resultado=1"))) << r.out.toStdString();
    }
}

TEST_F(ListadosE2e, ListingOpensThePreviewOnTheGatheredRowsAndTotals)
{
    HostFolder folder;
    const auto r = abrir(folder, kAbrirListados
                                     + QStringLiteral("set PageControlVentas \"1\"\n"
                                                      "set CheckBoxGruposTodos \"1\"\n"
                                                      "set PageControlVentas \"0\"\n"
                                                      "click BotonObtenerListadoClientes\n"
                                                      "window \"SituacionRiesgoClientes\"\n"
                                                      "dump @DIR@/vista.json\n"
                                                      "click closeAction\n"
                                                      "window \"  Listados de Velmora\"\n")
                                     + kCerrarListados);
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    auto d = leerDump(folder.file(QStringLiteral("vista.json")));
    QStringList lineas;
    for (const QJsonValue &v : d[QStringLiteral("PreviewDialog")].value(QStringLiteral("lines")).toArray())
        lineas << v.toString();
    const QString todas = lineas.join(QLatin1Char('\n'));
    EXPECT_TRUE(lineas.contains(QStringLiteral("Situación de Riesgo de Clientes"))) << todas.toStdString();
    // Granted 1.000,00 with 250,00 in use leaves 750,00, in the company's two decimals.
    EXPECT_TRUE(lineas.contains(QStringLiteral("C01\tCliente Uno\t1\t0,00  \t250,00  \t0,00  \t0,00  \t250,00  \t"
                                               "1.000,00  \t750,00  ")))
        << todas.toStdString();
    EXPECT_TRUE(lineas.contains(QStringLiteral("Totales .....\t0,00\t250,00\t0,00\t0,00\t250,00\t1.000,00\t750,00")))
        << todas.toStdString();
}

TEST_F(ListadosE2e, ListingWhoseRowsCannotBeGatheredWarnsAndStillOpensThePreview)
{
    TestDatabase sinProcedimiento(QStringLiteral("listados-e2e-sin"));
    HostRows rows;
    rows.grupoEmpresas(1, 0).empresa(1, 1, QStringLiteral("Empresa Uno"));
    rows.cliente(1, QStringLiteral("C01"), QStringLiteral("Cliente Uno"), 1, 1000.0);
    rows.into(sinProcedimiento);
    installtest::instalarModulo(sinProcedimiento);
    sinProcedimiento.run("DROP PROCEDURE PRSITUACIONCLIENTESRIESGOGRUPOS;");

    HostFolder folder;
    // The library query reports the failed preparation itself (a plain message
    // box) before the routine's own warning.
    const QString guion = kAbrirListados
                          + QStringLiteral("set PageControlVentas \"1\"\n"
                                           "set CheckBoxGruposTodos \"1\"\n"
                                           "set PageControlVentas \"0\"\n"
                                           "click BotonObtenerListadoClientes\n"
                                           "click-text \"OK\"\n"
                                           "window \"Aviso\"\n"
                                           "dump @DIR@/aviso.json\n"
                                           "click BotonAceptar\n"
                                           "window \"SituacionRiesgoClientes\"\n"
                                           "click closeAction\n"
                                           "window \"  Listados de Velmora\"\n")
                          + kCerrarListados;
    QString texto = guion;
    texto.replace(QStringLiteral("@DIR@"), folder.path());
    const auto r = folder.run({QStringLiteral("AbrirConfiguracionVelmora"), QStringLiteral("--IdEmpresa"),
                               QStringLiteral("1"), QStringLiteral("--IdGrupoEmpresa"), QStringLiteral("1"),
                               QStringLiteral("--RutaBaseDatos"), sinProcedimiento.connectionString(),
                               QStringLiteral("--NombreUsuario"), TestDatabase::user(), QStringLiteral("--Password"),
                               TestDatabase::password(), QStringLiteral("--autopilot"),
                               folder.write(QStringLiteral("guion.autopilot"), texto)});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    auto d = leerDump(folder.file(QStringLiteral("aviso.json")));
    const QString mensaje = d[QStringLiteral("MemoMensaje")].value(QStringLiteral("text")).toString();
    EXPECT_TRUE(mensaje.startsWith(QStringLiteral("Error al cargar los clientes ...\n"))) << mensaje.toStdString();
    EXPECT_TRUE(mensaje.contains(QStringLiteral("PRSITUACIONCLIENTESRIESGOGRUPOS"))) << mensaje.toStdString();
    EXPECT_EQ(r.lines().filter(QStringLiteral("window: SituacionRiesgoClientes")).size(), 1) << r.out.toStdString();
    EXPECT_TRUE(r.lines().contains(QStringLiteral("resultado=1")));
}
