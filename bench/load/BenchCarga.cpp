// Risk checks under load: first one norvik-host process alone, then fifty side
// by side, each calling the export again and again on its own customer for the
// same length of time. Prints the calls per second, the median and 99th
// percentile of one call, the ratio of the loaded median to the lone one, the
// errors and the connections the hosts left open.
//
// An error is a host that does not end cleanly, a call that shows a window (the
// chosen documents never exceed their group, so any window is an error message),
// or a call that could not connect: the risk check keeps that silent, so the
// database counts the hosts' connections and the bench compares with the calls.
#include "support/InstalacionPrueba.h"
#include "support/NorvikHostRunner.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

constexpr int kClientes = 20000;
constexpr int kProcesos = 50;

// Customers 100 to 100 + %1, each with a few documents of every kind in groups 1 to 5.
const char *const kClientesConDocumentos = R"(SET TERM ^ ;
EXECUTE BLOCK AS
DECLARE C INTEGER = 100;
DECLARE K INTEGER;
DECLARE ID INTEGER;
BEGIN
  WHILE (C < 100 + %1) DO BEGIN
    INSERT INTO CLIENTES (IDCLIENTES, CODIGO, NOMBRE, GRUPOEMPRESAS, RIESGOCONCEDIDO)
    VALUES (:C, :C, 'CLIENTE ' || :C, 1, 100000);
    K = 0;
    WHILE (K < 4) DO BEGIN
      ID = 100000 + C * 4 + K;
      INSERT INTO PEDIDOSVENTA VALUES (:ID, :ID, :C, MOD(:K, 5) + 1, 'P', 100);
      INSERT INTO ALBARANESVENTA VALUES (:ID, :ID, :C, MOD(:K + 1, 5) + 1, NULL, 30);
      INSERT INTO FACTURASVENTA VALUES (:ID, :ID, :C, MOD(:K + 2, 5) + 1, NULL, 60);
      INSERT INTO LINEASGIROSFACTURAVENTA VALUES (:ID, :ID, 60, NULL, 'P');
      INSERT INTO DOCUMENTOSCOBRO VALUES (:ID, :C, 60, NULL, NULL, 'P', MOD(:K + 3, 5) + 1);
      K = K + 1;
    END
    C = C + 1;
  END
END^
SET TERM ; ^
)";

struct Tanda
{
    std::vector<double> ms; ///< every call's time
    double segundos = 0;
    long llamadas = 0;
    long errores = 0;
};

double percentil(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

QStringList argumentos(const TestDatabase &db, int cliente, double segundos)
{
    return {QStringLiteral("--durante"), QString::number(segundos), QStringLiteral("MostrarRiesgoCliente"),
            QStringLiteral("--IdEmpresa"), QStringLiteral("1"), QStringLiteral("--IdGrupoEmpresa"),
            QStringLiteral("1"), QStringLiteral("--IDSerie"), QStringLiteral("1"), QStringLiteral("--IdCliente"),
            QString::number(cliente), QStringLiteral("--TipoDocumento"), QStringLiteral("2"),
            QStringLiteral("--RutaBaseDatos"), db.connectionString(), QStringLiteral("--NombreUsuario"),
            TestDatabase::user(), QStringLiteral("--Password"), TestDatabase::password()};
}

long conexiones(const TestDatabase &db)
{
    return db.value("SELECT GEN_ID(G_CONEXIONES_HOST, 0) FROM RDB$DATABASE").toLong();
}

Tanda tanda(const TestDatabase &db, int procesos, double segundos)
{
    const long antes = conexiones(db);
    QElapsedTimer reloj;
    reloj.start();
    std::vector<std::unique_ptr<hosttest::HostProcess>> hosts;
    for (int i = 0; i < procesos; ++i) {
        // Customers spread over the whole table, one per host.
        const int cliente = 100 + (i * 7919) % kClientes;
        hosts.push_back(std::make_unique<hosttest::HostProcess>(argumentos(db, cliente, segundos)));
    }
    Tanda t;
    static const QRegularExpression llamada(QStringLiteral("^llamada \\d+: ([0-9.]+) ms$"));
    for (auto &h : hosts) {
        const hosttest::HostResult r = h->wait(int(segundos * 1000) + 120000);
        if (r.exitCode != 0 || !r.lines().contains(QStringLiteral("resultado=1"))) {
            if (t.errores++ == 0)
                std::fprintf(stderr, "a host failed (exit %d):\n%s%s\n", r.exitCode, qPrintable(r.out.right(2000)),
                             qPrintable(r.err.right(2000)));
        }
        for (const QString &linea : r.lines()) {
            if (const auto m = llamada.match(linea); m.hasMatch()) {
                t.ms.push_back(m.captured(1).toDouble());
                ++t.llamadas;
            } else if (linea.startsWith(QStringLiteral("window:"))) {
                ++t.errores;
            }
        }
    }
    t.segundos = double(reloj.nsecsElapsed()) / 1e9;
    t.errores += std::max(0L, t.llamadas - (conexiones(db) - antes));
    return t;
}

void imprimir(const char *nombre, const Tanda &t)
{
    std::printf("%-22s calls %6ld  %7.1f calls/s  median %7.2f ms  p99 %8.2f ms  errors %ld\n", nombre, t.llamadas,
                double(t.llamadas) / t.segundos, percentil(t.ms, 0.5), percentil(t.ms, 0.99), t.errores);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The hosts need no screen: without one they could not even start.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const double segundos = argc > 1 ? std::atof(argv[1]) : 60.0;
    try {
        std::printf("preparing %d customers ...\n", kClientes);
        std::fflush(stdout);
        TestDatabase db(QStringLiteral("bench-load"));
        HostRows()
            .grupoEmpresas(1, 0)
            .empresa(1, 1, QStringLiteral("Empresa Uno"), 1)
            .moneda(1, 2)
            .cambio(1, 1, 1, 1.0)
            .serieDocumento(1, QStringLiteral("A"), 1)
            .into(db);
        installtest::instalarModulo(db);
        db.run(QStringLiteral("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = 1;\n")
               + QString::fromLatin1(kClientesConDocumentos).arg(kClientes));
        db.run("CREATE SEQUENCE G_CONEXIONES_HOST;\n"
               "COMMIT;\n"
               "SET TERM ^ ;\n"
               "CREATE TRIGGER TR_CUENTA_HOST ON CONNECT AS BEGIN\n"
               "  IF (RDB$GET_CONTEXT('SYSTEM', 'CLIENT_PROCESS') CONTAINING 'norvik-host') THEN\n"
               "    RDB$SET_CONTEXT('USER_SESSION', 'X', GEN_ID(G_CONEXIONES_HOST, 1));\n"
               "END^\n"
               "SET TERM ; ^\n");
        for (const QString &indice : db.rows("SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES WHERE RDB$SYSTEM_FLAG = 0"))
            db.run(QStringLiteral("SET STATISTICS INDEX %1;").arg(indice));

        std::printf("one host for %.0f s, then %d hosts side by side for %.0f s\n", segundos / 4, kProcesos, segundos);
        const Tanda sola = tanda(db, 1, segundos / 4);
        const Tanda carga = tanda(db, kProcesos, segundos);
        const QString quedan = db.value("SELECT COUNT(*) FROM MON$ATTACHMENTS WHERE MON$SYSTEM_FLAG = 0 "
                                        "AND MON$REMOTE_PROCESS CONTAINING 'norvik-host'");
        imprimir("1 host", sola);
        imprimir("50 hosts", carga);
        std::printf("loaded median / lone median: %.2f\n", percentil(carga.ms, 0.5) / percentil(sola.ms, 0.5));
        std::printf("connections left open by the hosts: %s\n", qPrintable(quedan));
        return carga.errores == 0 && sola.errores == 0 && quedan == QLatin1String("0") ? 0 : 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_load: %s\n", e.what());
        return 2;
    }
}
