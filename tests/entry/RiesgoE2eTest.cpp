// The host's risk check end to end: document context, risk query, the dialog
// or the overview, and the database left as it was.
#include "support/NorvikHostRunner.h"
#include "support/InstalacionPrueba.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <map>

using hosttest::HostFolder;
using hosttest::leerDump;
using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

// Customers: 10 has 1.500,00 granted in group 1 and nothing used; 20 is over its
// limit by 0,01 in group 2; 30 has 100.10 granted + 50.20 advances against
// 150.30 in use in group 3, which leaves a tiny negative residue.
class RiesgoE2e : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        region = new hosttest::RegionEspanola;
        db = new TestDatabase(QStringLiteral("riesgo-e2e"));
        HostRows rows;
        rows.grupoEmpresas(1, 0).empresa(1, 1, QStringLiteral("Empresa"), 1).moneda(1, 2).cambio(1, 1, 1, 1.0);
        for (int g = 1; g <= 6; ++g)
            rows.serieDocumento(g, QStringLiteral("S%1").arg(g), 1);
        rows.cliente(10, QStringLiteral("C10"), QStringLiteral("Cliente Diez"), 1, 1500.0)
            .cliente(20, QStringLiteral("C20"), QStringLiteral("Cliente Veinte"), 1, 0.0)
            .cliente(30, QStringLiteral("C30"), QStringLiteral("Cliente Treinta"), 1, 0.0)
            .albaran(200, 20, 2, QVariant(), 0.01)
            .pedido(300, 30, 3, QStringLiteral("S"), 50.20)
            .albaran(301, 30, 3, QVariant(), 150.30)
            .movimientoCobro(302, 30, 50.20, QStringLiteral("A"), {{"PEDIDOORIGEN", 300}})
            .pedido(100, 10, 1, QStringLiteral("P"), 10.0)
            .into(*db);
        installtest::instalarModulo(*db);
        db->run("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = IDSERIESDOCUMENTOS WHERE IDSERIESDOCUMENTOS <= 5;\n"
                "UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = NULL WHERE IDSERIESDOCUMENTOS = 6;\n"
                "UPDATE CLIENTES SET RIESGOCONCEDIDO3 = 100.10 WHERE IDCLIENTES = 30;");
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
        delete region;
        region = nullptr;
    }
    static inline hosttest::RegionEspanola *region = nullptr;

    struct Llamada
    {
        int cliente;
        int serie;
        int documento;
        int tipo;
    };

    /// Runs the risk check with an autopilot script; `@DIR@` in it is the host's folder.
    static hosttest::HostResult riesgo(const HostFolder &folder, const Llamada &l, const QString &script)
    {
        QStringList args{QStringLiteral("MostrarRiesgoCliente"),
                         QStringLiteral("--IdEmpresa"), QStringLiteral("1"),
                         QStringLiteral("--IdGrupoEmpresa"), QStringLiteral("1"),
                         QStringLiteral("--IdCliente"), QString::number(l.cliente),
                         QStringLiteral("--IDSerie"), QString::number(l.serie),
                         QStringLiteral("--IdDocumento"), QString::number(l.documento),
                         QStringLiteral("--TipoDocumento"), QString::number(l.tipo),
                         QStringLiteral("--RutaBaseDatos"), db->connectionString(),
                         QStringLiteral("--NombreUsuario"), TestDatabase::user(),
                         QStringLiteral("--Password"), TestDatabase::password()};
        if (!script.isEmpty()) {
            QString text = script;
            text.replace(QStringLiteral("@DIR@"), folder.path());
            args << QStringLiteral("--autopilot") << folder.write(QStringLiteral("guion.autopilot"), text);
        }
        return folder.run(args);
    }

    static QString estadoBase() { return db->rows("SELECT * FROM SERIESDOCUMENTOS").join(QLatin1Char('\n')); }

    static TestDatabase *db;
};

TestDatabase *RiesgoE2e::db = nullptr;

QString texto(const std::map<QString, QJsonObject> &d, const QString &name)
{
    auto it = d.find(name);
    return it == d.end() ? QStringLiteral("<falta %1>").arg(name) : it->second.value(QStringLiteral("text")).toString();
}
QString color(const std::map<QString, QJsonObject> &d, const QString &name, const char *key)
{
    auto it = d.find(name);
    return it == d.end() ? QStringLiteral("<falta>") : it->second.value(QLatin1String(key)).toString();
}

} // namespace

TEST_F(RiesgoE2e, WithoutADocumentTheOverviewOpensOnGroupFive)
{
    HostFolder folder;
    const auto r = riesgo(folder, {10, 0, 0, -1},
                          QStringLiteral("window \"  Modulo de Velmora\"\n"
                                         "dump @DIR@/vista.json\n"
                                         "key Escape\n"));
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    const auto d = leerDump(folder.file(QStringLiteral("vista.json")));
    EXPECT_EQ(texto(d, QStringLiteral("PageControlGruposRiesgo")), QStringLiteral("  Grupo Riesgo 5  "));
    EXPECT_EQ(texto(d, QStringLiteral("RiesgoConcedido1")), QStringLiteral("1.500,00  "));
    EXPECT_EQ(texto(d, QStringLiteral("DBEditCodigo")), QStringLiteral("C10"));
    // A balance of exactly 0 (group 4) shows in grey on beige-grey, still "Disponible".
    EXPECT_EQ(texto(d, QStringLiteral("LabelNumero4")), QStringLiteral("4"));
    EXPECT_EQ(color(d, QStringLiteral("LabelNumero4"), "textColor"), QStringLiteral("#808080"));
    EXPECT_EQ(texto(d, QStringLiteral("EstadoRiesgo44")), QStringLiteral("0,00  "));
    EXPECT_EQ(color(d, QStringLiteral("EstadoRiesgo44"), "textColor"), QStringLiteral("#808080"));
    EXPECT_EQ(color(d, QStringLiteral("EstadoRiesgo44"), "backgroundColor"), QStringLiteral("#efebde"));
    EXPECT_EQ(texto(d, QStringLiteral("LabelRiesgoDisponible44")), QStringLiteral("Disponible"));
    EXPECT_EQ(color(d, QStringLiteral("LabelRiesgoDisponible44"), "textColor"), QStringLiteral("#808080"));
    EXPECT_EQ(texto(d, QStringLiteral("LabelRiesgoDisponible4")), QStringLiteral("Riesgo Disponible"));
    // A positive balance keeps its designed look.
    EXPECT_EQ(texto(d, QStringLiteral("EstadoRiesgo11")), QStringLiteral("1.500,00  "));
    EXPECT_EQ(color(d, QStringLiteral("EstadoRiesgo11"), "textColor"), QStringLiteral("#000000"));
    // The pages' contents are disabled, yet their captions stay readable in the system's grey text.
    for (const char *etiqueta : {"LabelRiesgoConcedido5", "LabelPARPRESINACEPTAR5", "LabelPARALBSINFACT1",
                                 "LabelPARTOTALANTICIPOS3", "LabelRiesgoDisponible4"}) {
        EXPECT_EQ(color(d, QString::fromLatin1(etiqueta), "textColor").toStdString(), "#808080") << etiqueta;
    }
}

TEST_F(RiesgoE2e, DocumentWhoseGroupIsNotExceededShowsNothing)
{
    HostFolder folder;
    const QString antes = estadoBase();
    const auto r = riesgo(folder, {10, 1, 100, 1}, QString());
    EXPECT_TRUE(r.out.contains(QStringLiteral("resultado=1")));
    EXPECT_FALSE(r.out.contains(QStringLiteral("window:"))) << r.out.toStdString();
    EXPECT_EQ(estadoBase(), antes);
}

TEST_F(RiesgoE2e, ExceededGroupOpensTheDialogWithItsRowHighlighted)
{
    struct Case
    {
        const char *what;
        Llamada llamada;
        int grupo; // highlighted row, 0 for none
        const char *saldo;
    };
    const Case cases[] = {
        {"balance -0,01 in group 2", {20, 2, 200, 2}, 2, "-0,01  "},
        {"residue of 100.10 + 50.20 - 150.30 in group 3", {30, 3, 301, 2}, 3, "0,00  "},
        {"series without a group", {10, 6, 100, 1}, 0, nullptr},
    };
    for (const Case &c : cases) {
        HostFolder folder;
        const auto r = riesgo(folder, c.llamada,
                              QStringLiteral("window \"  Control de Riesgo\"\n"
                                             "dump @DIR@/control.json\n"
                                             "key Escape\n"
                                             "click btnCerrar\n"));
        ASSERT_EQ(r.exitCode, 0) << c.what << r.out.toStdString() << r.err.toStdString();
        const auto d = leerDump(folder.file(QStringLiteral("control.json")));
        for (int g = 1; g <= 5; ++g) {
            const bool marcado = g == c.grupo;
            const QString n = QString::number(g);
            EXPECT_EQ(color(d, QStringLiteral("EstadoRiesgo") + n, "textColor"),
                      marcado ? QStringLiteral("#ff0000") : QStringLiteral("#000000"))
                << c.what << " group " << g;
            for (const char *cell : {"RiesgoConcedigo", "TotalRiesgo", "TotalAnticipos", "EstadoRiesgo"}) {
                const QString bg = color(d, QString::fromLatin1(cell) + n, "backgroundColor");
                if (marcado) {
                    EXPECT_EQ(bg, QStringLiteral("#ffffff")) << c.what << " " << cell << g;
                } else {
                    EXPECT_NE(bg, QStringLiteral("#ffffff")) << c.what << " " << cell << g;
                }
            }
            if (!marcado) {
                EXPECT_EQ(color(d, QStringLiteral("RiesgoConcedigo") + n, "textColor"), QStringLiteral("#808080"));
            }
        }
        if (c.saldo != nullptr) {
            EXPECT_EQ(texto(d, QStringLiteral("EstadoRiesgo") + QString::number(c.grupo)), QString::fromLatin1(c.saldo))
                << c.what;
        }
        EXPECT_TRUE(r.out.contains(QStringLiteral("resultado=1")));
    }
}

TEST_F(RiesgoE2e, UnknownDocumentTypeWarnsAndThenTestsTheSeriesGroup)
{
    HostFolder folder;
    // The library query reports the failed prepare itself (a plain message box)
    // before the routine's own warning.
    const auto r = riesgo(folder, {20, 2, 200, 3},
                          QStringLiteral("click-text \"OK\"\n"
                                         "window \"Aviso\"\n"
                                         "dump @DIR@/aviso.json\n"
                                         "click BotonAceptar\n"
                                         "window \"  Control de Riesgo\"\n"
                                         "click btnCerrar\n"));
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    const auto d = leerDump(folder.file(QStringLiteral("aviso.json")));
    EXPECT_TRUE(texto(d, QStringLiteral("MemoMensaje")).startsWith(QStringLiteral("Error al buscar los datos del documento ...\n")))
        << texto(d, QStringLiteral("MemoMensaje")).toStdString();
    EXPECT_EQ(r.lines().filter(QStringLiteral("window: Aviso")).size(), 1);
    EXPECT_EQ(r.lines().filter(QStringLiteral("message:")).size(), 1);
}

TEST_F(RiesgoE2e, VerRiesgoOpensTheOverviewAndClosingItClosesTheDialog)
{
    HostFolder folder;
    const QString antes = estadoBase();
    const auto r = riesgo(folder, {20, 2, 200, 2},
                          QStringLiteral("window \"  Control de Riesgo\"\n"
                                         "click BitBtnVerRiesgo\n"
                                         "window \"  Modulo de Velmora\"\n"
                                         "expect-text DBEditCodigo \"C20\"\n"
                                         "expect-text LabelRiesgoDisponible2 \"Excedido\"\n"
                                         "expect-text LabelRiesgoDisponible22 \"Excedido\"\n"
                                         "click BitBtnSalir\n"));
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    const QStringList ventanas = r.lines().filter(QStringLiteral("window:"));
    EXPECT_EQ(ventanas, (QStringList{QStringLiteral("window:   Control de Riesgo"),
                                     QStringLiteral("window:   Modulo de Velmora")}));
    EXPECT_TRUE(r.out.contains(QStringLiteral("resultado=1")));
    EXPECT_EQ(estadoBase(), antes);
}
