#include "InstalacionPrueba.h"

#include "install/SentenciasInstalacion.h"

#include <stdexcept>

using testsupport::TestDatabase;

namespace installtest {

namespace {
void enviar(const TestDatabase &db, const QString &texto)
{
    for (int intento = 0; intento < 2; ++intento) {
        try {
            db.run(texto);
            return;
        } catch (const std::runtime_error &) {
            // A statement that already ran on an installed database fails; it is dropped.
        }
    }
}
} // namespace

void instalarModulo(const TestDatabase &db)
{
    for (const QString &sentencia : SentenciasEsquema())
        enviar(db, sentencia);
    enviar(db, QStringLiteral("SET TERM ^ ;\n") + TextoProcedimientoRiesgo().join(QLatin1Char('\n'))
                   + QStringLiteral("\n^\nSET TERM ; ^\n"));
    enviar(db, SentenciaGrant());
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
    const QStringList filas =
        db.rows(QStringLiteral("SELECT * FROM PRSITUACIONCLIENTESRIESGOGRUPOS(%1)").arg(idCliente));
    if (filas.size() != 1)
        throw std::runtime_error("the risk procedure did not return exactly one row");
    const QStringList valores = filas.first().split(QLatin1Char('|'));
    const QStringList nombres = salidasRiesgo();
    if (valores.size() != nombres.size())
        throw std::runtime_error("the risk procedure returned an unexpected number of outputs");
    std::map<QString, double> resultado;
    for (qsizetype i = 0; i < nombres.size(); ++i)
        if (valores[i] != QLatin1String("<null>"))
            resultado[nombres[i]] = valores[i].toDouble();
    return resultado;
}

} // namespace installtest
