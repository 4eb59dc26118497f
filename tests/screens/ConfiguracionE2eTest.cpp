// The configuration action end to end: the host opens the main screen, the
// user edits risk days and risk groups, closes, and the changes are committed.
#include "support/NorvikHostRunner.h"
#include "support/InstalacionPrueba.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

using hosttest::HostFolder;
using testsupport::HostRows;
using testsupport::TestDatabase;

TEST(ConfiguracionE2e, EditedRiskDaysAndGroupsAreCommittedWhenTheWindowCloses)
{
    TestDatabase db(QStringLiteral("config-e2e"));
    HostRows rows;
    rows.grupoEmpresas(1).empresa(1, 1, QStringLiteral("Uno"));
    rows.serieDocumento(1, QStringLiteral("A"), 1).serieDocumento(2, QStringLiteral("B"), 1);
    rows.serieFactura(1, QStringLiteral("FA"), 1);
    rows.formaPago(1, QStringLiteral("C1"), 1, 0, 2, 30).formaPago(2, QStringLiteral("C2"), 1, 15, 2, 30);
    rows.into(db);
    installtest::instalarModulo(db);

    HostFolder folder;
    // Risk days typed and confirmed with Enter; a document series' group chosen
    // and confirmed; an invoice series' group typed and left pending at the close.
    const QString guion = QStringLiteral(
        "window \"  Modulo de Velmora\"\n"
        "click BotonConfigurar\n"
        "window \"  Configuración de Velmora\"\n"
        "key End\n"
        "type \"-45\"\n"
        "key Return\n"
        "set PageControlConfiguracion \"1\"\n"
        "key End\n"
        "type \"3\"\n"
        "key Return\n"
        "click lxDBGridSeriesFacturas\n"
        "key End\n"
        "type \"4\"\n"
        "click btnCerrar\n"
        "window \"  Modulo de Velmora\"\n"
        "click BotonCerrar\n");
    const auto r = folder.run({QStringLiteral("AbrirConfiguracionVelmora"), QStringLiteral("--IdEmpresa"),
                               QStringLiteral("1"), QStringLiteral("--IdGrupoEmpresa"), QStringLiteral("1"),
                               QStringLiteral("--RutaBaseDatos"), db.connectionString(), QStringLiteral("--NombreUsuario"),
                               TestDatabase::user(), QStringLiteral("--Password"), TestDatabase::password(),
                               QStringLiteral("--autopilot"),
                               folder.write(QStringLiteral("guion.autopilot"), guion)});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.lines().contains(QStringLiteral("resultado=1"))) << r.out.toStdString();

    EXPECT_EQ(db.rows("SELECT CODIGO, DIASRIESGO FROM FORMASPAGO ORDER BY CODIGO"), (QStringList{"C1|-45", "C2|45"}));
    EXPECT_EQ(db.rows("SELECT CODIGO, GRUPORIESGO FROM SERIESDOCUMENTOS ORDER BY CODIGO"), (QStringList{"A|3", "B|1"}));
    EXPECT_EQ(db.rows("SELECT CODIGO, GRUPORIESGO FROM SERIESFACTURAS ORDER BY CODIGO"), QStringList{"FA|4"});
}
