// A long listing through the host: the progress window follows the gathering,
// and cancelling it ends the gathering without a preview, leaving the
// listings window ready for the next listing.
#include "support/InstalacionPrueba.h"
#include "support/NorvikHostRunner.h"
#include "support/TestDatabase.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using hosttest::HostFolder;
using hosttest::leerDump;
using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

constexpr int kClientes = 20000;

QString textoDe(const std::map<QString, QJsonObject> &dump, const char *componente)
{
    const auto it = dump.find(QLatin1String(componente));
    return it == dump.end() ? QString() : it->second.value(QStringLiteral("text")).toString();
}

} // namespace

// Enough customers, each granted risk in group 1, that listing them by group
// over every group takes seconds.
TEST(ProgresoListadoE2e, CancelledListingOpensNoPreviewAndTheWindowListsAgain)
{
    const hosttest::RegionEspanola region;
    TestDatabase db(QStringLiteral("progreso-e2e"));
    HostRows r;
    r.grupoEmpresas(1, 0).empresa(1, 1, QStringLiteral("Empresa Uno"), 1).moneda(1, 2).cambio(1, 1, 1, 1.0);
    r.into(db);
    db.run(QStringLiteral("SET TERM ^ ;\n"
                          "EXECUTE BLOCK AS\n"
                          "  DECLARE C INTEGER = 1;\n"
                          "BEGIN\n"
                          "  WHILE (C <= %1) DO BEGIN\n"
                          "    INSERT INTO CLIENTES (IDCLIENTES, CODIGO, NOMBRE, GRUPOEMPRESAS, RIESGOCONCEDIDO)\n"
                          "    VALUES (:C, LPAD(:C, 7, '0'), 'CLIENTE ' || :C, 1, 1000);\n"
                          "    C = C + 1;\n"
                          "  END\n"
                          "END^\n"
                          "SET TERM ; ^")
               .arg(kClientes));
    installtest::instalarModulo(db);

    HostFolder folder;
    QString guion = QStringLiteral(
        "window \"  Modulo de Velmora\"\n"
        "click BotonListados\n"
        "window \"  Listados de Velmora\"\n"
        "set PageControlVentas \"1\"\n"
        "set CheckBoxGruposTodos \"1\"\n"
        "set PageControlVentas \"0\"\n"
        "set RadioGroupTipoListado1 \"1\"\n"
        "click BotonObtenerListadoClientes\n"
        "window \"  Obteniendo el listado\"\n"
        "dump @DIR@/progreso.json\n"
        "click BotonCancelar\n"
        "window \"  Listados de Velmora\"\n"
        "dump @DIR@/listados.json\n"
        // The second listing, over a few customers, ends in its preview as usual.
        "set CheckBoxClientesTodos \"0\"\n"
        "set lxDBEditLookupClienteDesde \"0000001\"\n"
        "set lxDBEditLookupClienteHasta \"0000003\"\n"
        "click BotonObtenerListadoClientes\n"
        "window \"SituacionRiesgoClientes\"\n"
        "dump @DIR@/vista.json\n"
        "click closeAction\n"
        "window \"  Listados de Velmora\"\n"
        "click BitBtnSalir\n"
        "window \"  Modulo de Velmora\"\n"
        "click BotonCerrar\n");
    guion.replace(QStringLiteral("@DIR@"), folder.path());
    const auto res = folder.run({QStringLiteral("AbrirConfiguracionVelmora"), QStringLiteral("--IdEmpresa"),
                                 QStringLiteral("1"), QStringLiteral("--IdGrupoEmpresa"), QStringLiteral("1"),
                                 QStringLiteral("--RutaBaseDatos"), db.connectionString(),
                                 QStringLiteral("--NombreUsuario"), TestDatabase::user(),
                                 QStringLiteral("--Password"), TestDatabase::password(), QStringLiteral("--autopilot"),
                                 folder.write(QStringLiteral("guion.autopilot"), guion)});
    ASSERT_EQ(res.exitCode, 0) << res.out.toStdString() << res.err.toStdString();

    const auto progreso = leerDump(folder.file(QStringLiteral("progreso.json")));
    EXPECT_EQ(textoDe(progreso, "LabelListado"), QStringLiteral("Riesgos por Grupos y Clientes"));
    // Every customer is read once for each of the five groups.
    const QRegularExpressionMatch leidos = QRegularExpression(QString::fromUtf8("^Clientes leídos: (\\d+) de (\\d+)$"))
                                               .match(textoDe(progreso, "LabelClientesLeidos"));
    ASSERT_TRUE(leidos.hasMatch()) << textoDe(progreso, "LabelClientesLeidos").toStdString();
    EXPECT_GT(leidos.captured(1).toInt(), 0);
    EXPECT_LT(leidos.captured(1).toInt(), 5 * kClientes);
    EXPECT_EQ(leidos.captured(2).toInt(), 5 * kClientes);

    // One preview only: the second listing's, on its three customers, too short to show the progress window.
    EXPECT_EQ(res.lines().filter(QStringLiteral("window: SituacionRiesgoClientes")).size(), 1) << res.out.toStdString();
    EXPECT_EQ(res.lines().filter(QStringLiteral("window:   Obteniendo el listado")).size(), 1) << res.out.toStdString();
    EXPECT_TRUE(leerDump(folder.file(QStringLiteral("listados.json")))["BotonObtenerListadoClientes"]
                    .value(QStringLiteral("enabled"))
                    .toBool());
    QStringList lineas;
    for (const QJsonValue &v :
         leerDump(folder.file(QStringLiteral("vista.json")))[QStringLiteral("PreviewDialog")].value(QStringLiteral("lines")).toArray())
        lineas << v.toString();
    EXPECT_EQ(lineas.filter(QRegularExpression(QStringLiteral("^000000[1-3]\\tCLIENTE [1-3]\\t"))).size(), 3)
        << lineas.join(u'\n').toStdString();
    EXPECT_TRUE(lineas.filter(QStringLiteral("0000004")).isEmpty());
}
