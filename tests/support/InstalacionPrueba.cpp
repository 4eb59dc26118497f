#include "support/InstalacionPrueba.h"

#include "data/Conexion.h"
#include "framework/db/Database.h"
#include "framework/db/SqlStatement.h"
#include "framework/db/Transaction.h"
#include "install/EjecutorInstalacion.h"

#include <QFile>

#include <stdexcept>
#include <utility>

using testsupport::TestDatabase;

namespace installtest {

namespace {

// A connection of its own with the module's connection and transaction settings.
struct Conexion
{
    explicit Conexion(const TestDatabase &db)
    {
        ConfigurarConexion(database, db.connectionString(), TestDatabase::user(), TestDatabase::password());
        ConfigurarTransaccion(transaction);
        transaction.setDatabase(&database);
        database.setDefaultTransaction(&transaction);
        statement.setDatabase(&database);
        statement.setTransaction(&transaction);
        database.open();
        transaction.start();
    }

    fw::Database database;
    fw::Transaction transaction;
    fw::SqlStatement statement;
};

} // namespace

Instalacion instalarModulo(const TestDatabase &db, std::function<void()> antesDeEjecutar)
{
    TEjecutorInstalacion ejecutor(db.connectionString(), TestDatabase::user(), TestDatabase::password());
    ejecutor.AntesDeEjecutar = std::move(antesDeEjecutar);
    if (!ejecutor.EjecutarInstalacionSQL())
        throw std::runtime_error("the installer refused the test database's user");
    return {ejecutor.SentenciasOmitidas(), ejecutor.PrimerError(), ejecutor.SentenciasNoEjecutadas(),
            ejecutor.PrimerErrorNoEjecutada()};
}

TestDatabase::Options sinDominioImporte()
{
    TestDatabase::Options opciones;
    opciones.editSchema = [](QString schema) {
        return schema.replace(QStringLiteral("CREATE DOMAIN TLXIMPORTE AS NUMERIC(15,2);"), QString())
            .replace(QStringLiteral(" TLXIMPORTE"), QStringLiteral(" DOUBLE PRECISION"));
    };
    return opciones;
}

QString textoPorBloques(const QString &nombre)
{
    QFile f(QStringLiteral(VELMORA_SOURCE_DIR "/tests/fixtures/risk-procedure-by-blocks.sql"));
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read tests/fixtures/risk-procedure-by-blocks.sql");
    return QString::fromLatin1(f.readAll()).replace(QStringLiteral("PRSITUACIONRIESGOPORBLOQUES"), nombre);
}

void instalarPorBloques(const testsupport::TestDatabase &db, const QString &nombre)
{
    db.run(QStringLiteral("SET TERM ^ ;\n") + textoPorBloques(nombre) + QStringLiteral("\n^\nSET TERM ; ^\n"));
}

QStringList salidasRiesgo()
{
    const char *antes[] = {"PARRIESGOCONCEDIDO", "PARFACTPTESCOBRO", "PARDEVPENDIENTES",   "PARREMPTESCONFIRMAR",
                           "PARFACTPTESREMESAR", "PARREMESASENRIESGO", "PARALBSINFACT",    "PARTOTALRIESGO",
                           "PARTOTALOTROS",      "PARPRESINACEPTAR",   "PARPEDIDOSPTES",   "PARTOTALANTICIPOS"};
    const char *despues[] = {"PARPEDIDOSPARCIALES", "PARSUMADEVCOBRADAS", "PARSUMADEVPENDIENTES",
                             "PARSUMADEVTOTALES"};
    QStringList nombres;
    for (const char *f : antes)
        for (int g = 1; g <= 5; ++g)
            nombres << QLatin1String(f) + QString::number(g);
    nombres << QStringLiteral("PARTOTALANTICIPOSLIBRES");
    for (const char *f : despues)
        for (int g = 1; g <= 5; ++g)
            nombres << QLatin1String(f) + QString::number(g);
    return nombres;
}

std::map<QString, double> situacionRiesgo(const TestDatabase &db, int idCliente)
{
    Conexion c(db);
    c.statement.setSql(QStringLiteral("SELECT * FROM PRSITUACIONCLIENTESRIESGOGRUPOS(%1)").arg(idCliente));
    c.statement.execute();
    if (c.statement.eof())
        throw std::runtime_error("the risk procedure returned no row");
    const QStringList nombres = salidasRiesgo();
    if (c.statement.fieldCount() != nombres.size())
        throw std::runtime_error("the risk procedure returned an unexpected number of outputs");
    std::map<QString, double> resultado;
    for (const QString &nombre : nombres)
        if (!c.statement.isNull(nombre))
            resultado[nombre] = c.statement.value(nombre).toDouble();
    c.statement.next();
    if (!c.statement.eof())
        throw std::runtime_error("the risk procedure returned more than one row");
    c.transaction.rollback();
    return resultado;
}

} // namespace installtest
