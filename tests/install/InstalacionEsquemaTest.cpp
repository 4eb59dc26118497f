#include "support/InstalacionPrueba.h"

#include "install/EjecutorInstalacion.h"

#include <QVariant>

#include <gtest/gtest.h>

using installtest::instalarModulo;
using installtest::situacionRiesgo;
using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

const char *const kProcedimiento = "PRSITUACIONCLIENTESRIESGOGRUPOS";

struct ColumnaAnadida
{
    const char *tabla;
    const char *columna;
    const char *dominio;
};

const ColumnaAnadida kColumnas[] = {
    {"SERIESDOCUMENTOS", "GRUPORIESGO", "TLXGRUPORIESGO"},
    {"SERIESFACTURAS", "GRUPORIESGO", "TLXGRUPORIESGO"},
    {"FORMASPAGO", "DIASRIESGO", "TLXID"},
    {"CLIENTES", "RIESGOCONCEDIDO2", "TLXIMPORTE"},
    {"CLIENTES", "RIESGOCONCEDIDO3", "TLXIMPORTE"},
    {"CLIENTES", "RIESGOCONCEDIDO4", "TLXIMPORTE"},
    {"CLIENTES", "RIESGOCONCEDIDO5", "TLXIMPORTE"},
    {"CLIENTES", "FECHAREDUCCIONCREDITOCAUC2", "TLXFECHA"},
    {"CLIENTES", "FECHAREDUCCIONCREDITOCAUC3", "TLXFECHA"},
    {"CLIENTES", "FECHAREDUCCIONCREDITOCAUC4", "TLXFECHA"},
    {"CLIENTES", "FECHAREDUCCIONCREDITOCAUC5", "TLXFECHA"},
    {"CLIENTES", "CODIGOCREDITOCAUCION2", "TLXCODIGOCUENTA"},
    {"CLIENTES", "CODIGOCREDITOCAUCION3", "TLXCODIGOCUENTA"},
    {"CLIENTES", "CODIGOCREDITOCAUCION4", "TLXCODIGOCUENTA"},
    {"CLIENTES", "CODIGOCREDITOCAUCION5", "TLXCODIGOCUENTA"},
};

QString dominioDe(const TestDatabase &db, const ColumnaAnadida &c)
{
    return db.value(QStringLiteral("SELECT TRIM(RDB$FIELD_SOURCE) FROM RDB$RELATION_FIELDS "
                                   "WHERE RDB$RELATION_NAME = '%1' AND RDB$FIELD_NAME = '%2'")
                        .arg(QLatin1String(c.tabla), QLatin1String(c.columna)));
}

bool existeProcedimiento(const TestDatabase &db)
{
    return db.value(QStringLiteral("SELECT COUNT(*) FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = '%1'")
                        .arg(QLatin1String(kProcedimiento)))
           == QLatin1String("1");
}

bool concedidoAPublic(const TestDatabase &db)
{
    return db.value(QStringLiteral("SELECT COUNT(*) FROM RDB$USER_PRIVILEGES WHERE RDB$USER = 'PUBLIC' "
                                   "AND RDB$RELATION_NAME = '%1' AND RDB$PRIVILEGE = 'X'")
                        .arg(QLatin1String(kProcedimiento)))
           == QLatin1String("1");
}

// Risk days expected from a payment method's first due day D, number of
// instalments N and interval I; NULL anywhere leaves the method at 0.
struct CasoDiasRiesgo
{
    int id;
    QVariant d, n, i;
    int esperado;
};

const CasoDiasRiesgo kDiasRiesgo[] = {
    {1, 0, 3, 30, 90},          // first instalment one interval after the document
    {2, 15, 3, 30, 75},         // first instalment D days after
    {3, 10, 1, 30, 10},         // a single instalment
    {4, 0, 0, 30, 0},           // N = 0 still follows the formula
    {5, 10, 0, 30, -20},
    {6, QVariant(), 3, 30, 0},  // D NULL: neither formula applies
    {7, 15, QVariant(), 30, 0}, // N NULL: the formula yields NULL
    {8, 0, 3, QVariant(), 0},   // I NULL
};

int diasRiesgo(const TestDatabase &db, int id)
{
    return db.value(QStringLiteral("SELECT DIASRIESGO FROM FORMASPAGO WHERE IDFORMASPAGO = %1").arg(id)).toInt();
}

} // namespace

TEST(InstalacionModulo, AddsTheSchemaFixesExistingRowsAndSurvivesASecondRun)
{
    TestDatabase db(QStringLiteral("install-schema"));
    HostRows filas;
    filas.grupoEmpresas(1, 0).empresa(10, 1).cliente(100, QStringLiteral("C100"), QStringLiteral("Antiguo"), 1, 1500.0);
    filas.serieDocumento(1, QStringLiteral("A"), 10).serieDocumento(2, QStringLiteral("B"), 10);
    filas.serieFactura(1, QStringLiteral("F"), 10);
    for (const CasoDiasRiesgo &c : kDiasRiesgo)
        filas.formaPago(c.id, QString::number(c.id), 1, c.d, c.n, c.i);
    filas.into(db);

    const auto primera = instalarModulo(db);
    EXPECT_EQ(primera.omitidas, 0);
    EXPECT_EQ(primera.primerError, QString());
    EXPECT_EQ(primera.noEjecutadas, 0);

    EXPECT_EQ(db.value("SELECT COUNT(*) FROM RDB$FIELDS WHERE RDB$FIELD_NAME = 'TLXGRUPORIESGO'"), "1");
    EXPECT_THROW(db.run("INSERT INTO SERIESDOCUMENTOS (IDSERIESDOCUMENTOS, GRUPORIESGO) VALUES (50, 6);"),
                 std::runtime_error);
    for (const ColumnaAnadida &c : kColumnas)
        EXPECT_EQ(dominioDe(db, c), QLatin1String(c.dominio)) << c.tabla << "." << c.columna;

    EXPECT_EQ(db.rows("SELECT GRUPORIESGO FROM SERIESDOCUMENTOS UNION ALL SELECT GRUPORIESGO FROM SERIESFACTURAS"),
              QStringList({"1", "1", "1"}));
    for (const CasoDiasRiesgo &c : kDiasRiesgo)
        EXPECT_EQ(diasRiesgo(db, c.id), c.esperado) << "payment method " << c.id;

    // A customer that existed before keeps NULL in the new amounts; the procedure reads them as 0.
    EXPECT_EQ(db.value("SELECT RIESGOCONCEDIDO2 FROM CLIENTES WHERE IDCLIENTES = 100"), "<null>");
    EXPECT_TRUE(existeProcedimiento(db));
    EXPECT_TRUE(concedidoAPublic(db));
    const auto situacion = situacionRiesgo(db, 100);
    EXPECT_DOUBLE_EQ(situacion.at("PARRIESGOCONCEDIDO1"), 1500.0);
    EXPECT_DOUBLE_EQ(situacion.at("PARRIESGOCONCEDIDO2"), 0.0);

    // Rows the host adds afterwards without naming the new columns get their defaults.
    HostRows()
        .serieDocumento(3, QStringLiteral("C"), 10)
        .serieFactura(3, QStringLiteral("G"), 10)
        .formaPago(20, QStringLiteral("N"), 1, 0, 3, 30)
        .cliente(101, QStringLiteral("C101"), QStringLiteral("Nuevo"), 1)
        .into(db);
    EXPECT_EQ(db.value("SELECT GRUPORIESGO FROM SERIESDOCUMENTOS WHERE IDSERIESDOCUMENTOS = 3"), "1");
    EXPECT_EQ(db.value("SELECT GRUPORIESGO FROM SERIESFACTURAS WHERE IDSERIESFACTURAS = 3"), "1");
    EXPECT_EQ(diasRiesgo(db, 20), 0);
    EXPECT_EQ(db.value("SELECT RIESGOCONCEDIDO5 FROM CLIENTES WHERE IDCLIENTES = 101").toDouble(), 0.0);

    // What the user configures survives a second run; only values still NULL are filled in.
    db.run("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = 3 WHERE IDSERIESDOCUMENTOS = 2;\n"
           "UPDATE SERIESFACTURAS SET GRUPORIESGO = 5 WHERE IDSERIESFACTURAS = 1;\n"
           "UPDATE FORMASPAGO SET DIASRIESGO = 0 WHERE IDFORMASPAGO = 1;\n"
           "UPDATE FORMASPAGO SET DIASRIESGO = 45 WHERE IDFORMASPAGO = 2;\n"
           "UPDATE FORMASPAGO SET DIASRIESGO = NULL WHERE IDFORMASPAGO = 20;\n"
           "UPDATE CLIENTES SET RIESGOCONCEDIDO3 = 250 WHERE IDCLIENTES = 100;\n");
    const auto segunda = instalarModulo(db);
    // The domain and the 15 columns exist already: those 16 statements fail twice and are skipped.
    EXPECT_EQ(segunda.omitidas, 16);
    EXPECT_TRUE(segunda.primerError.contains(QLatin1String("CREATE DOMAIN TLXGRUPORIESGO failed")))
        << segunda.primerError.toStdString();
    // Those objects are there, so nothing is missing and the run counts as clean.
    EXPECT_EQ(segunda.noEjecutadas, 0);
    EXPECT_EQ(segunda.errorNoEjecutada, QString());

    EXPECT_EQ(db.rows("SELECT GRUPORIESGO FROM SERIESDOCUMENTOS ORDER BY IDSERIESDOCUMENTOS"),
              QStringList({"1", "3", "1"}));
    EXPECT_EQ(db.value("SELECT GRUPORIESGO FROM SERIESFACTURAS WHERE IDSERIESFACTURAS = 1"), "5");
    EXPECT_EQ(diasRiesgo(db, 1), 0);
    EXPECT_EQ(diasRiesgo(db, 2), 45);
    EXPECT_EQ(diasRiesgo(db, 20), 90);
    EXPECT_EQ(db.value("SELECT RIESGOCONCEDIDO3 FROM CLIENTES WHERE IDCLIENTES = 100").toDouble(), 250.0);
    EXPECT_TRUE(existeProcedimiento(db));
    EXPECT_TRUE(concedidoAPublic(db));
    EXPECT_DOUBLE_EQ(situacionRiesgo(db, 100).at("PARRIESGOCONCEDIDO3"), 250.0);
}

TEST(InstalacionModulo, StoresTheProcedureWithItsParameterAndVariableReferences)
{
    TestDatabase db(QStringLiteral("install-source"));
    instalarModulo(db);

    // Every output is a double, declared in the order readers rely on.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT TRIM(P.RDB$PARAMETER_NAME), F.RDB$FIELD_TYPE "
                                     "FROM RDB$PROCEDURE_PARAMETERS P JOIN RDB$FIELDS F "
                                     "ON F.RDB$FIELD_NAME = P.RDB$FIELD_SOURCE "
                                     "WHERE P.RDB$PROCEDURE_NAME = '%1' AND P.RDB$PARAMETER_TYPE = 1 "
                                     "ORDER BY P.RDB$PARAMETER_NUMBER")
                          .arg(QLatin1String(kProcedimiento))),
              [] {
                  QStringList esperado;
                  for (const QString &n : installtest::salidasRiesgo())
                      esperado << n + QStringLiteral("|27");
                  return esperado;
              }());

    const char *fragmentos[] = {
        "(IDCLIENTES = :PARCLIENTE)",
        "INTO :PARRIESGOCONCEDIDO1, :PARRIESGOCONCEDIDO2,",
        ":AUXIDGRUPOSEMPRESAS;",
        "(IDGRUPOSEMPRESAS = :AUXIDGRUPOSEMPRESAS)",
        "INTO :AuxControlar_Riesgo_PedidosV;",
        "(PV.CLIENTE = :PARCLIENTE)",
        "(M.ClienteOrigen = :PARCLIENTE)",
        ":PARSUMADEVPENDIENTES4, :PARSUMADEVPENDIENTES5;",
        "INTO :AUXIMPORTE, :AUXGRUPO,",
        "(PV.ESTADO = \"P\")",
        "(MC.ESTADO = \"CF\")",
    };
    for (const char *f : fragmentos) {
        QString literal = QLatin1String(f);
        literal.replace(QLatin1Char('\''), QStringLiteral("''"));
        EXPECT_EQ(db.value(QStringLiteral("SELECT COUNT(*) FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = '%1' "
                                          "AND POSITION('%2' IN RDB$PROCEDURE_SOURCE) > 0")
                               .arg(QLatin1String(kProcedimiento), literal)),
                  "1")
            << f;
    }
}

TEST(InstalacionModulo, WithoutTheAmountDomainAddsTheOtherColumnsAndNoProcedure)
{
    TestDatabase db(QStringLiteral("install-no-importe"), installtest::sinDominioImporte());
    const auto instalacion = instalarModulo(db);
    // The four amount columns, then the procedure that reads them and its grant.
    EXPECT_EQ(instalacion.omitidas, 6);
    EXPECT_TRUE(instalacion.primerError.contains(QLatin1String("ALTER TABLE CLIENTES failed")))
        << instalacion.primerError.toStdString();
    // None of them is there: all six could not be run.
    EXPECT_EQ(instalacion.noEjecutadas, 6);
    EXPECT_EQ(instalacion.errorNoEjecutada, instalacion.primerError);

    for (const ColumnaAnadida &c : kColumnas) {
        const bool depende = QLatin1String(c.dominio) == QLatin1String("TLXIMPORTE");
        EXPECT_EQ(dominioDe(db, c), depende ? QString() : QString::fromLatin1(c.dominio))
            << c.tabla << "." << c.columna;
    }
    EXPECT_FALSE(existeProcedimiento(db));
    EXPECT_FALSE(concedidoAPublic(db));
}

TEST(InstalacionModulo, RunnerRefusesOtherUsersAndSkipsEveryStatementOfAnUnreachableDatabase)
{
    const QString ruta = QStringLiteral("localhost:/tmp/velmora-test-db/no-existe-ejecutor.fdb");
    for (const char *usuario : {"sysdba", "PEPE"}) {
        TEjecutorInstalacion ejecutor(ruta, QLatin1String(usuario), TestDatabase::password());
        EXPECT_FALSE(ejecutor.EjecutarInstalacionSQL()) << usuario;
        EXPECT_EQ(ejecutor.SentenciasOmitidas(), 0) << usuario;
    }

    TEjecutorInstalacion ejecutor(ruta, TestDatabase::user(), TestDatabase::password());
    int ejecuciones = 0;
    ejecutor.AntesDeEjecutar = [&] { ++ejecuciones; };
    EXPECT_TRUE(ejecutor.EjecutarInstalacionSQL());
    EXPECT_EQ(ejecutor.SentenciasOmitidas(), TEjecutorInstalacion::Sentencias().size());
    EXPECT_EQ(ejecutor.SentenciasNoEjecutadas(), TEjecutorInstalacion::Sentencias().size());
    EXPECT_EQ(TEjecutorInstalacion::Sentencias().size(), 23);
    EXPECT_TRUE(ejecutor.PrimerError().contains(QLatin1String("no-existe-ejecutor.fdb")))
        << ejecutor.PrimerError().toStdString();
    EXPECT_EQ(ejecuciones, 0);
}

TEST(InstalacionModulo, ConnectionLostPartWayCountsTheStatementsThatCouldNotRun)
{
    TestDatabase db(QStringLiteral("install-connection-lost"));
    // The 21 schema statements run; from the procedure on, every attempt loses its connection
    // just before it executes, as when the server stops.
    int ejecuciones = 0;
    const auto instalacion = instalarModulo(db, [&] {
        if (++ejecuciones > 21)
            db.run(QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION;"));
    });
    EXPECT_EQ(instalacion.noEjecutadas, 2);
    EXPECT_EQ(instalacion.omitidas, 2);
    EXPECT_FALSE(instalacion.errorNoEjecutada.isEmpty());
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM RDB$FIELDS WHERE RDB$FIELD_NAME = 'TLXGRUPORIESGO'"), "1");
    EXPECT_FALSE(existeProcedimiento(db));
}
