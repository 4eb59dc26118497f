// The lookup edit and its search window driven by a user's keys and mouse
// through norvik-host, on a stand-in plug-in window.
#include "support/NorvikHostRunner.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using hosttest::binFile;
using hosttest::runHost;
using testsupport::HostRows;
using testsupport::TestDatabase;

TEST(BusquedaE2e, TheUserFindsAndChoosesWithTheKeysAndTheMouse)
{
    TestDatabase base("busqueda_e2e");
    HostRows rows;
    rows.grupoEmpresas(1).grupoEmpresas(2).empresa(1, 1).empresa(2, 2);
    rows.cliente(1, "C001", "GARCIA LOPEZ, ANA", 1);
    rows.cliente(2, "C002", "GARCIA PEREZ, LUIS", 1);
    rows.cliente(3, "C003", "GARRIDO SANZ, EVA", 1);
    rows.cliente(4, "C004", "MARTIN ROS, JUAN", 1);
    rows.cliente(5, "C005", "GARCIA DE OTRO GRUPO", 2);
    rows.serieFactura(1, "A01", 1).serieFactura(2, "B01", 1).serieFactura(3, "B02", 1).serieFactura(4, "B00", 2);
    rows.into(base);

    QTemporaryDir carpeta;
    const QString guion = carpeta.filePath("guion.txt");
    QFile f(guion);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral(R"(window " Prueba de búsqueda "
# F4: by name, in the large window, with what was typed
type "gar"
key F4
window "Seleccione un Cliente Búsqueda por Nombre de Clientes"
expect-text StaticTextNumeroRegistros "Nº Reg: 3"
key Down
key Down
key Return
window " Prueba de búsqueda "
expect-text lxDBEditLookupCliente "C002"
expect-text EtiquetaConfirmada "C002 GARCIA PEREZ, LUIS"
# F5: names containing the text; typing searches again; Esc leaves the edit as it was
key F5
window "Seleccione un Cliente Scan por Nombre de Clientes"
expect-text StaticTextNumeroRegistros "Nº Reg: 0"
set wwIncrementalSearchScan "rrido"
expect-text StaticTextNumeroRegistros "Nº Reg: 1"
key Escape
window " Prueba de búsqueda "
expect-text lxDBEditLookupCliente "C002"
# F2: by code; a double click takes the row
key F2
window "Seleccione un Cliente Búsqueda por Código de Clientes"
set wwIncrementalSearchScan "c00"
key F2
expect-text StaticTextNumeroRegistros "Nº Reg: 4"
double-click lxDBGridScan
window " Prueba de búsqueda "
expect-text lxDBEditLookupCliente "C001"
expect-text EtiquetaConfirmada "C001 GARCIA LOPEZ, ANA"
# The small window lists every series of the company and stands on the one typed
key Tab
type "b"
key F2
window "Seleccione una Serie Búsqueda por Código de SERIESFACTURAS"
expect-text wwIncrementalSearchScan "b"
key Return
window " Prueba de búsqueda "
expect-text lxDBEditSerie "B01"
expect-text EtiquetaConfirmada "B01 Facturas B01"
click BotonCerrar
)")
                .toUtf8());
    f.close();

    const auto r = runHost({"AbrirConfiguracionVelmora", "--biblioteca", binFile("libvelmora_busqueda_prueba.so"),
                            "--autopilot", guion, "--IdEmpresa", "1", "--IdGrupoEmpresa", "1", "--RutaBaseDatos",
                            base.connectionString(), "--NombreUsuario", TestDatabase::user(), "--Password",
                            TestDatabase::password()});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.lines().contains("resultado=1")) << r.out.toStdString();
}
