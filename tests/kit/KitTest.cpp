// A host written in C, built against the public header, calls both exports of
// the real library; a helper plug-in closes each window it opens and names it.
#include "support/InstalacionPrueba.h"
#include "support/NorvikHostRunner.h"
#include "support/TestDatabase.h"

#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

hosttest::HostResult llamarDesdeC(const QStringList &arguments)
{
    QProcess proceso;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    entorno.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(VELMORA_KIT_PLUGINS));
    entorno.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("cierreventanas"));
    proceso.setProcessEnvironment(entorno);
    proceso.start(hosttest::binFile(QStringLiteral("velmora-llamada-c")), arguments);
    hosttest::HostResult r;
    if (!proceso.waitForFinished(120000)) {
        proceso.kill();
        proceso.waitForFinished();
    } else {
        r.exitCode = proceso.exitStatus() == QProcess::NormalExit ? proceso.exitCode() : -1;
    }
    r.out = QString::fromUtf8(proceso.readAllStandardOutput());
    r.err = QString::fromUtf8(proceso.readAllStandardError());
    return r;
}

/// The windows the helper plug-in closed, in order; Qt's own warnings are left out.
std::vector<std::string> ventanas(const hosttest::HostResult &r)
{
    std::vector<std::string> v;
    for (const QString &linea : r.err.split(QLatin1Char('\n')))
        if (linea.startsWith(QStringLiteral("modal: ")))
            v.push_back(linea.mid(7).toStdString());
    return v;
}

TEST(KitC, CallsBothExportsWithStringsBuiltByTheHeader)
{
    TestDatabase db(QStringLiteral("kit-c"));
    HostRows rows;
    rows.grupoEmpresas(1, 0).empresa(1, 1, QStringLiteral("Empresa"), 1).moneda(1, 2).cambio(1, 1, 1, 1.0);
    rows.cliente(10, QStringLiteral("C10"), QStringLiteral("Cliente Diez"), 1, 1500.0).into(db);
    installtest::instalarModulo(db);

    const auto r = llamarDesdeC({hosttest::binFile(QStringLiteral("libvelmora.so")), db.connectionString(),
                                 TestDatabase::user(), TestDatabase::password(), QStringLiteral("10")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.out + r.err);
    EXPECT_EQ(r.out.toStdString(), "MostrarRiesgoCliente 1\nAbrirConfiguracionVelmora 1\n");
    // The overview only opens on a connected session: path, user and password arrived whole.
    EXPECT_EQ(ventanas(r), (std::vector<std::string>{"FormRiesgoClientes", "FormPantallaPrincipal"}));
}

TEST(KitC, UnreachableDatabaseIsSilentAndStillReturnsOne)
{
    const auto r = llamarDesdeC({hosttest::binFile(QStringLiteral("libvelmora.so")),
                                 QStringLiteral("localhost:/nonexistent/kit.fdb"), TestDatabase::user(),
                                 QStringLiteral("not-the-password"), QStringLiteral("10")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.out + r.err);
    EXPECT_EQ(ventanas(r), std::vector<std::string>{"FormPantallaPrincipal"});
}

} // namespace
