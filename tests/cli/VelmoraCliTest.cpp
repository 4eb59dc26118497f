// The velmora program: each subcommand on a small installed database, its exit
// codes, and credentials that only ever come from the environment.
#include "support/InstalacionPrueba.h"
#include "support/NorvikHostRunner.h"
#include "support/TestDatabase.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

/// Company 1 of company group 2.
///   C01 granted 1000 in group 1, delivery notes 500: balance 500.
///   C04 granted 300 in group 1, delivery notes 400: exceeded by 100.
///   C10 no cover in group 2, 500 invoiced in March 2024 in F2: not declared.
///   C11 cover 1000 in group 2 ("CC11"), 700 invoiced in March 2024 in F2.
class VelmoraCli : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        db = new TestDatabase(QStringLiteral("velmora-cli"));
        HostRows r;
        r.moneda(1, 2).cambio(1, 1, 1, 1.0).grupoEmpresas(2, 0).empresa(1, 2, QStringLiteral("Empresa Uno"), 1);
        for (int g = 1; g <= 2; ++g) {
            r.serieDocumento(g, QStringLiteral("S%1").arg(g), 1);
            r.serieFactura(g, QStringLiteral("F%1").arg(g), 1);
        }
        r.formaPago(1, QStringLiteral("D45"), 2, 45, 1, 0);
        r.cliente(1, QStringLiteral("C01"), QStringLiteral("Cliente Uno"), 2, 1000.0).albaran(101, 1, 1, QVariant(), 500.0);
        r.cliente(4, QStringLiteral("C04"), QStringLiteral("Cliente Cuatro"), 2, 300.0).albaran(401, 4, 1, QVariant(), 400.0);
        r.cliente(10, QStringLiteral("C10"), QStringLiteral("Cliente Diez"), 2, 0.0, {{"FORMAPAGO", 1}});
        r.cliente(11, QStringLiteral("C11"), QStringLiteral("Cliente Once"), 2, 0.0, {{"FORMAPAGO", 1}});
        r.factura(1001, 10, 2, {{"FECHAALTAFACTURA", QDate(2024, 3, 15)}, {"TOTALFACTURA", 500.0}});
        r.factura(1101, 11, 2, {{"FECHAALTAFACTURA", QDate(2024, 3, 1)}, {"TOTALFACTURA", 700.0}});
        r.into(*db);
        installtest::instalarModulo(*db);
        db->run("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = IDSERIESDOCUMENTOS;\n"
                "UPDATE SERIESFACTURAS SET GRUPORIESGO = IDSERIESFACTURAS;\n"
                "UPDATE FORMASPAGO SET DIASRIESGO = DIASPRIMERVENCIMIENTO;\n"
                "UPDATE CLIENTES SET RIESGOCONCEDIDO2 = 1000, CODIGOCREDITOCAUCION2 = 'CC11' WHERE IDCLIENTES = 11;");
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }
    static inline TestDatabase *db = nullptr;

    /// Runs velmora with the company options after the subcommand and the
    /// credentials in the environment.
    static hosttest::HostResult velmora(const QString &orden, const QStringList &resto,
                                        const QString &clave = TestDatabase::password(),
                                        const TestDatabase *base = db)
    {
        QStringList args{orden};
        if (!orden.isEmpty())
            args << QStringLiteral("--base") << base->connectionString() << QStringLiteral("--empresa")
                 << QStringLiteral("1") << QStringLiteral("--grupo-empresas") << QStringLiteral("2");
        args << resto;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ISC_USER"), TestDatabase::user());
        env.insert(QStringLiteral("ISC_PASSWORD"), clave);
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("es_ES.UTF-8"));
        p.setProcessEnvironment(env);
        p.start(hosttest::binFile(QStringLiteral("velmora")), args);
        hosttest::HostResult r;
        if (p.waitForFinished(120000))
            r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        else
            p.kill(), p.waitForFinished();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    static QString leer(const QString &fichero)
    {
        QFile f(fichero);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    static QString textoPdf(const QString &fichero)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), fichero, QStringLiteral("-")});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    QTemporaryDir dir;
};

TEST_F(VelmoraCli, DeclarationListsTheCoveredCustomersInEveryFormat)
{
    for (const char *extension : {"pdf", "csv", "txt", "xls"}) {
        SCOPED_TRACE(extension);
        const QString salida = dir.filePath(QStringLiteral("declaracion.") + QLatin1String(extension));
        const auto r = velmora(QStringLiteral("declaracion"),
                               {"--mes", "3", "--anio", "2024", "--grupo-riesgo", "2", "--salida", salida, "--silencioso"});
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
        ASSERT_TRUE(QFile::exists(salida));
        if (QLatin1String(extension) == QLatin1String("xls"))
            continue;
        const QString texto = QLatin1String(extension) == QLatin1String("pdf") ? textoPdf(salida) : leer(salida);
        EXPECT_TRUE(texto.contains(QStringLiteral("Cliente Once"))) << qPrintable(texto);
        EXPECT_TRUE(texto.contains(QStringLiteral("CC11")));
        EXPECT_FALSE(texto.contains(QStringLiteral("Cliente Diez")));
        EXPECT_TRUE(texto.contains(QStringLiteral("Marzo / 2024"))) << qPrintable(texto);
    }
}

TEST_F(VelmoraCli, DeclarationWithNothingToListFailsOnlyWhenAsked)
{
    const QString salida = dir.filePath(QStringLiteral("vacia.csv"));
    const QStringList filtros{"--mes", "3", "--anio", "2024", "--clientes", "C01..C04", "--salida", salida};
    auto r = velmora(QStringLiteral("declaracion"), filtros);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_TRUE(QFile::exists(salida));
    QFile::remove(salida);

    r = velmora(QStringLiteral("declaracion"), filtros + QStringList{"--fallar-si-vacio"});
    EXPECT_EQ(r.exitCode, 3) << qPrintable(r.err);
    EXPECT_FALSE(QFile::exists(salida));
}

TEST_F(VelmoraCli, SituationFiltersByBalance)
{
    struct Caso
    {
        QStringList opciones;
        QStringList dentro, fuera;
    };
    const Caso casos[] = {
        {{}, {"C01", "C04"}, {}},
        {{"--solo-excedidos"}, {"C04"}, {"C01"}},
        {{"--solo-no-excedidos", "--por-grupos", "--grupos", "1,3"}, {"C01"}, {"C04"}},
        {{"--grupos", "2"}, {}, {"C01", "C04"}},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(qPrintable(c.opciones.join(' ')));
        const QString salida = dir.filePath(QStringLiteral("situacion.csv"));
        const auto r = velmora(QStringLiteral("situacion"), QStringList{"--salida", salida} + c.opciones);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
        const QString texto = leer(salida);
        for (const QString &codigo : c.dentro)
            EXPECT_TRUE(texto.contains(codigo)) << qPrintable(codigo + " in\n" + texto);
        for (const QString &codigo : c.fuera)
            EXPECT_FALSE(texto.contains(codigo)) << qPrintable(codigo + " in\n" + texto);
    }
}

TEST_F(VelmoraCli, RiskGivesTheFiveGroupsAsTableOrJson)
{
    auto r = velmora(QStringLiteral("riesgo"), {"--cliente", "4", "--json"});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(o.value("codigo").toString(), QStringLiteral("C04"));
    const QJsonArray grupos = o.value("grupos").toArray();
    ASSERT_EQ(grupos.size(), 5);
    const QJsonObject g1 = grupos.at(0).toObject();
    EXPECT_DOUBLE_EQ(g1.value("concedido").toDouble(), 300.0);
    EXPECT_DOUBLE_EQ(g1.value("en_uso").toDouble(), 400.0);
    EXPECT_DOUBLE_EQ(g1.value("saldo").toDouble(), -100.0);
    EXPECT_TRUE(g1.value("excedido").toBool());
    EXPECT_FALSE(grupos.at(1).toObject().value("excedido").toBool());

    r = velmora(QStringLiteral("riesgo"), {"--cliente", "1"});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.out.contains(QStringLiteral("C01 Cliente Uno"))) << qPrintable(r.out);
    EXPECT_EQ(r.out.count(QLatin1Char('\n')), 7) << qPrintable(r.out);

    r = velmora(QStringLiteral("riesgo"), {"--cliente", "999"});
    EXPECT_EQ(r.exitCode, 1);
}

TEST_F(VelmoraCli, WrongPasswordIsADatabaseErrorWithTheServersText)
{
    const auto r = velmora(QStringLiteral("riesgo"), {"--cliente", "1"}, QStringLiteral("not-the-password"));
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("password"), Qt::CaseInsensitive)) << qPrintable(r.err);
}

TEST_F(VelmoraCli, ListingCutShortByADatabaseErrorWritesNoFile)
{
    // The module's procedure is missing: the window would warn and preview what it had.
    TestDatabase sinModulo(QStringLiteral("velmora-cli-sin-modulo"));
    HostRows().grupoEmpresas(2, 0).empresa(1, 2).cliente(1, QStringLiteral("C01"), QStringLiteral("Uno"), 2, 1000.0)
        .into(sinModulo);
    const QString salida = dir.filePath(QStringLiteral("situacion.pdf"));
    const auto r = velmora(QStringLiteral("situacion"), {"--salida", salida}, TestDatabase::password(), &sinModulo);
    EXPECT_EQ(r.exitCode, 2) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(QStringLiteral("PRSITUACIONCLIENTESRIESGOGRUPOS"))) << qPrintable(r.err);
    EXPECT_FALSE(QFile::exists(salida));
}

TEST_F(VelmoraCli, BadArgumentsExitWithOneAndTheUsageLine)
{
    const QString pdf = dir.filePath(QStringLiteral("x.pdf"));
    const QList<QPair<QString, QStringList>> casos = {
        {QString(), {}},
        // A password on the command line would show in the process list: there is no such option.
        {QStringLiteral("riesgo"), {"--cliente", "1", "--password", "x"}},
        {QStringLiteral("riesgo"), {"--cliente", "1", "--clave", "x"}},
        {QStringLiteral("declaracion"), {"--mes", "13", "--salida", pdf}},
        {QStringLiteral("declaracion"), {"--mes", "3", "--series", "S1", "--salida", pdf}},
        {QStringLiteral("declaracion"), {"--mes", "3", "--salida", dir.filePath(QStringLiteral("x.doc"))}},
        {QStringLiteral("situacion"), {"--solo-excedidos", "--solo-no-excedidos", "--salida", pdf}},
        {QStringLiteral("situacion"), {"--grupos", "6", "--salida", pdf}},
    };
    for (const auto &[orden, resto] : casos) {
        SCOPED_TRACE(qPrintable(orden + ' ' + resto.join(' ')));
        const auto r = velmora(orden, resto);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Usage: velmora"))) << qPrintable(r.err);
        EXPECT_FALSE(QFile::exists(pdf));
    }
}

} // namespace
