#include "support/InstalacionPrueba.h"

#include "data/Conexion.h"
#include "framework/base/Error.h"
#include "framework/db/Database.h"
#include "framework/db/SqlStatement.h"
#include "framework/db/Transaction.h"
#include "install/SentenciasInstalacion.h"

#include <stdexcept>

using testsupport::TestDatabase;

namespace installtest {

namespace {

// A connection of its own for one statement, with the installer's parameters.
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

// Each statement commits on its own; one that fails is tried once more on a
// fresh connection and then dropped, as on a database installed before.
void enviar(const TestDatabase &db, const QStringList &lineas)
{
    for (int intento = 0; intento < 2; ++intento) {
        try {
            Conexion c(db);
            c.statement.setSql(lineas);
            c.statement.execute();
            c.transaction.commit();
            return;
        } catch (const fw::Error &) {
        }
    }
}

} // namespace

void instalarModulo(const TestDatabase &db)
{
    for (const QString &sentencia : SentenciasEsquema())
        enviar(db, {sentencia});
    enviar(db, TextoProcedimientoRiesgo());
    enviar(db, {SentenciaGrant()});
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
