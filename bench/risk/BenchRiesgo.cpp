// Times the host's risk check (no window: the document's group is not exceeded)
// against its floor, the same attach, procedure select and detach done with the
// bare Firebird client. Two customers: a usual one with 14 documents and a busy
// one with some 2 000. Each is measured with the host's own connection held open
// (the database stays open on the server between calls) and cold (no other
// attachment: every call opens the database). The module's export and the floor
// take turns call by call in one process; the ratio of every round of calls is
// printed, with the network round trips per call counted at the client's socket.
// A third caller, also bare, sends every statement the module sends (company,
// series, document number, currency, risk query) in the module's transaction
// settings: module over it is what the module's own code costs, it over the
// floor is what those statements cost the server and the network.
#include "HostStringBuilder.h"
#include "support/InstalacionPrueba.h"
#include "support/TestDatabase.h"

#include <firebird/Interface.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include <dlfcn.h>
#include <sys/socket.h>

using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

// The client library's socket calls come through here (this program exports
// them), so every request sent and every wait for the server's answer is counted:
// a round trip is a receive that follows a send.
struct Conteo
{
    long idasYVueltas = 0;
    bool enviado = false;
};
Conteo g_red;

} // namespace

extern "C" __attribute__((visibility("default"))) ssize_t send(int fd, const void *buf, size_t n, int flags)
{
    using Send = ssize_t (*)(int, const void *, size_t, int);
    static const auto real = reinterpret_cast<Send>(::dlsym(RTLD_NEXT, "send"));
    g_red.enviado = true;
    return real(fd, buf, n, flags);
}

extern "C" __attribute__((visibility("default"))) ssize_t recv(int fd, void *buf, size_t n, int flags)
{
    using Recv = ssize_t (*)(int, void *, size_t, int);
    static const auto real = reinterpret_cast<Recv>(::dlsym(RTLD_NEXT, "recv"));
    if (g_red.enviado) {
        ++g_red.idasYVueltas;
        g_red.enviado = false;
    }
    return real(fd, buf, n, flags);
}

namespace {

constexpr int kRondas = 5;

constexpr int kClienteHabitual = 1;
constexpr int kClienteOcupado = 2;
constexpr int kSerie = 1; // risk group 1
constexpr int kAlbaranHabitual = 1;
constexpr int kAlbaranOcupado = 100001;

using Exportada = std::int32_t (*)(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                   std::int32_t, const char16_t *, const char16_t *,
                                   const char16_t *);

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// 14 documents: orders pending and partly served, quotations, delivery notes with
// and without invoice, invoices with their instalments, collection documents and
// an advance.
void clienteHabitual(HostRows &rows)
{
    const int c = kClienteHabitual;
    rows.cliente(c, QStringLiteral("C1"), QStringLiteral("Cliente habitual"), 1, 1000000.0);
    rows.pedido(1, c, kSerie, QStringLiteral("P"), 120.0).pedido(2, c, 2, QStringLiteral("R"), 80.0);
    rows.lineaPedido(1, 2, 10, 4, 2.5).pedido(3, c, kSerie, QStringLiteral("P"), 45.5);
    rows.presupuesto(1, c, kSerie, QStringLiteral("P"), 300.0).presupuesto(2, c, 3, QStringLiteral("P"), 12.0);
    rows.factura(1, c, 1).giro(1, 1, 50.0, QVariant(), QStringLiteral("P")).giro(2, 1, 50.0, 1, QStringLiteral("P"));
    rows.factura(2, c, 1).giro(3, 2, 75.0, QVariant(), QStringLiteral("P"));
    rows.albaran(kAlbaranHabitual, c, kSerie, QVariant(), 210.0).albaran(2, c, 2, QVariant(), 33.0);
    rows.albaran(3, c, kSerie, 1, 100.0);
    rows.documentoCobro(1, c, 50.0, 1, QStringLiteral("P"), 7).documentoCobro(2, c, 20.0, 1, QStringLiteral("F"));
    rows.movimientoCobro(1, c, 25.0, QStringLiteral("A"), {{"PEDIDOORIGEN", 1}});
    rows.movimientoCobro(2, c, 20.0, QStringLiteral("CF"), {{"DOCUMENTOORIGENCOBRO", 2}});
}

// Some 2 000 documents of every kind, spread over the five groups.
void clienteOcupado(HostRows &rows)
{
    const int c = kClienteOcupado;
    rows.cliente(c, QStringLiteral("C2"), QStringLiteral("Cliente ocupado"), 1, 100000000.0);
    for (int i = 1; i <= 165; ++i) {
        const int id = 100000 + i, serie = i % 5 + 1;
        rows.pedido(id, c, serie, QStringLiteral("P"), 10.0).pedido(id + 1000, c, serie, QStringLiteral("R"), 20.0);
        rows.lineaPedido(id, id + 1000, 10, 4, 2.5);
        rows.presupuesto(id, c, serie, QStringLiteral("P"), 5.0);
        rows.albaran(i == 1 ? kAlbaranOcupado : id, c, i == 1 ? kSerie : serie, i <= 100 ? QVariant() : QVariant(id),
                     3.0);
        rows.factura(id, c, serie % 5 + 1).giro(2 * id, id, 7.0, QVariant(), QStringLiteral("P"));
        rows.giro(2 * id + 1, id, 7.0, QVariant(), QStringLiteral("P"));
        rows.documentoCobro(id, c, 11.0, serie, QStringLiteral("P"), 50000 + i);
        rows.documentoCobro(id + 1000, c, 12.0, serie, QStringLiteral("F"), QVariant(), 1);
        rows.documentoCobro(id + 2000, c, 13.0, serie, QStringLiteral("P"));
        rows.movimientoCobro(id, c, 8.0, QStringLiteral("A"), {{"PEDIDOORIGEN", id}});
        rows.movimientoCobro(id + 1000, c, 14.0, QStringLiteral("CF"), {{"DOCUMENTOORIGENCOBRO", id + 2000}});
        rows.movimientoCobro(id + 2000, c, 9.0, QStringLiteral("A"));
        if (i <= 100)
            rows.documentoCobro(id + 3000, c, 15.0, serie, QStringLiteral("P"))
                .movimientoCobro(id + 3000, c, 15.0, QStringLiteral("D"), {{"DOCUMENTOORIGENCOBRO", id + 3000}});
    }
}

// The floor's connection, and the host's own connection held open during a run.
class Conexion
{
public:
    explicit Conexion(const TestDatabase &db) : m_status(Firebird::fb_get_master_interface()->getStatus())
    {
        using namespace Firebird;
        IMaster *master = Firebird::fb_get_master_interface();
        IUtil *util = master->getUtilInterface();
        IXpbBuilder *dpb = util->getXpbBuilder(&m_status, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&m_status, isc_dpb_user_name, TestDatabase::user().toLatin1().constData());
        dpb->insertString(&m_status, isc_dpb_password, TestDatabase::password().toLatin1().constData());
        dpb->insertString(&m_status, isc_dpb_lc_ctype, "ISO8859_1");
        dpb->insertInt(&m_status, isc_dpb_sql_dialect, 1);
        IProvider *provider = master->getDispatcher();
        m_att = provider->attachDatabase(&m_status, db.connectionString().toLocal8Bit().constData(),
                                         dpb->getBufferLength(&m_status), dpb->getBuffer(&m_status));
        provider->release();
        dpb->dispose();
    }
    ~Conexion()
    {
        m_att->detach(&m_status);
        m_status.dispose();
    }

    // The risk query as the module sends it, fetched to its end.
    void situacion(int cliente)
    {
        Firebird::ITransaction *tra = m_att->startTransaction(&m_status, 0, nullptr);
        consultar(tra, sqlSituacion(cliente));
        tra->rollback(&m_status);
    }

    // Every statement of the module's risk check, in its order, in a transaction
    // started as the module starts its own.
    void comoElModulo(int cliente, int serie, int albaran)
    {
        const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_nowait};
        Firebird::ITransaction *tra = m_att->startTransaction(&m_status, sizeof tpb, tpb);
        consultar(tra, "SELECT * FROM EMPRESAS WHERE IDEMPRESAS = ?", 1);
        consultar(tra, "SELECT SE.CODIGO AS CODIGOSERIE, SE.NOMBRE AS NOMBRESERIE, SE.GRUPORIESGO FROM SERIESDOCUMENTOS "
                       "SE WHERE (IDSERIESDOCUMENTOS = ?)",
                  serie);
        consultar(tra, "SELECT NUMERO FROM ALBARANESVENTA WHERE (IDALBARANESVENTA = ?)", albaran);
        consultar(tra, "SELECT CD.CambioVentas AS Cambio, ME.DecimalesVisualizar AS DecimalesCambio, "
                       "MD.DecimalesVisualizar AS DecimalesMoneda, MD.Simbolo FROM CambioDivisas CD LEFT OUTER JOIN "
                       "Monedas ME ON (CD.MonedaInicio = ME.IdMonedas) LEFT OUTER JOIN Monedas MD ON (CD.MonedaFin = "
                       "MD.IdMonedas) WHERE (CD.MonedaInicio = 1) AND (CD.MonedaFin =1)");
        consultar(tra, sqlSituacion(cliente));
        tra->rollback(&m_status);
    }

private:
    static QByteArray sqlSituacion(int cliente)
    {
        return QStringLiteral("SELECT PRSITUACIONCLIENTESRIESGOGRUPOS.*, C.CODIGO, C.NOMBRE, "
                              "C.IDCLIENTES FROM PRSITUACIONCLIENTESRIESGOGRUPOS(%1) LEFT OUTER JOIN "
                              "CLIENTES C ON (%1 = C.IdClientes)")
            .arg(cliente)
            .toLatin1();
    }

    // Prepares, opens with one integer parameter if given, fetches every row and frees.
    void consultar(Firebird::ITransaction *tra, const QByteArray &sql, std::optional<int> parametro = std::nullopt)
    {
        using namespace Firebird;
        IStatement *stmt = m_att->prepare(&m_status, tra, 0, sql.constData(), 1, IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata *meta = stmt->getOutputMetadata(&m_status);
        std::vector<unsigned char> buffer(meta->getMessageLength(&m_status));
        IMessageMetadata *entrada = nullptr;
        unsigned char mensaje[8] = {};
        if (parametro) {
            IMetadataBuilder *b = master()->getMetadataBuilder(&m_status, 1);
            b->setType(&m_status, 0, SQL_LONG + 1);
            b->setLength(&m_status, 0, sizeof(std::int32_t));
            entrada = b->getMetadata(&m_status);
            b->release();
            const std::int32_t v = *parametro;
            std::memcpy(mensaje + entrada->getOffset(&m_status, 0), &v, sizeof v);
        }
        IResultSet *rs = stmt->openCursor(&m_status, tra, entrada, entrada ? mensaje : nullptr, meta, 0);
        while (rs->fetchNext(&m_status, buffer.data()) == IStatus::RESULT_OK) {
        }
        rs->close(&m_status);
        if (entrada)
            entrada->release();
        meta->release();
        stmt->free(&m_status);
    }

    static Firebird::IMaster *master() { return Firebird::fb_get_master_interface(); }

    Firebird::ThrowStatusWrapper m_status;
    Firebird::IAttachment *m_att = nullptr;
};

struct Medida
{
    double milisegundos = 0;
    double cpu = 0; // this process's own processor time, in milliseconds
    long idasYVueltas = 0;
};

double cpuMilisegundos()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

template <typename F>
Medida medir(F &&f)
{
    const Conteo antes = g_red;
    const double cpu = cpuMilisegundos();
    QElapsedTimer t;
    t.start();
    f();
    return {double(t.nsecsElapsed()) / 1e6, cpuMilisegundos() - cpu, g_red.idasYVueltas - antes.idasYVueltas};
}

QByteArray cargaDelSistema()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readLine() : QByteArray("unknown\n");
}

struct Caso
{
    const char *nombre;
    int cliente;
    int albaran;
    bool conexionDelHost;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // Calls per round; the first argument may change it, and a second names
    // another build of the library to measure.
    const int kLlamadasPorRonda = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    try {
        TestDatabase db(QStringLiteral("bench-riesgo"));
        HostRows rows;
        rows.grupoEmpresas(1, 0).empresa(1, 1, QStringLiteral("Empresa"), 1).moneda(1, 2).cambio(1, 1, 1, 1.0);
        for (int g = 1; g <= 5; ++g)
            rows.serieDocumento(g, QStringLiteral("S%1").arg(g), 1).serieFactura(g, QStringLiteral("F%1").arg(g), 1);
        clienteHabitual(rows);
        clienteOcupado(rows);
        rows.into(db);
        installtest::instalarModulo(db);
        db.run("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = IDSERIESDOCUMENTOS;\n"
               "UPDATE SERIESFACTURAS SET GRUPORIESGO = IDSERIESFACTURAS;");

        const QString biblioteca = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                            : testsupport::binFolder() + QStringLiteral("/libvelmora.so");
        void *modulo = ::dlopen(QFile::encodeName(biblioteca).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!modulo) {
            std::fprintf(stderr, "cannot load %s: %s\n", qPrintable(biblioteca), ::dlerror());
            return 1;
        }
        const auto riesgo = reinterpret_cast<Exportada>(::dlsym(modulo, "MostrarRiesgoCliente"));
        if (!riesgo) {
            std::fprintf(stderr, "%s does not export MostrarRiesgoCliente\n", qPrintable(biblioteca));
            return 1;
        }
        const norvik::HostString ruta(db.connectionString()), usuario(TestDatabase::user()),
            clave(TestDatabase::password());

        const Caso casos[] = {{"usual customer (14 documents), host connection held", kClienteHabitual,
                               kAlbaranHabitual, true},
                              {"usual customer (14 documents), cold", kClienteHabitual, kAlbaranHabitual, false},
                              {"busy customer (2 000 documents), host connection held", kClienteOcupado,
                               kAlbaranOcupado, true},
                              {"busy customer (2 000 documents), cold", kClienteOcupado, kAlbaranOcupado, false}};
        std::printf("%d rounds of %d calls, module and floor alternating call by call; load average %s", kRondas,
                    kLlamadasPorRonda, cargaDelSistema().constData());
        for (const Caso &caso : casos) {
            std::unique_ptr<Conexion> delHost;
            if (caso.conexionDelHost)
                delHost = std::make_unique<Conexion>(db);
            auto llamarModulo = [&] {
                riesgo(1, 1, 1, caso.cliente, kSerie, caso.albaran, 2, ruta.get(), usuario.get(), clave.get());
            };
            auto llamarSuelo = [&] {
                Conexion c(db);
                c.situacion(caso.cliente);
            };
            auto llamarMismas = [&] {
                Conexion c(db);
                c.comoElModulo(caso.cliente, kSerie, caso.albaran);
            };
            // The first call of each loads what stays loaded (plug-ins, the procedure's compiled form).
            llamarModulo();
            llamarSuelo();
            llamarMismas();
            std::vector<double> modulo, suelo, mismas, ratios, ratiosMismas, cpuModulo, cpuSuelo, cpuMismas;
            long viajesModulo = 0, viajesSuelo = 0, viajesMismas = 0;
            for (int r = 0; r < kRondas; ++r) {
                std::vector<double> m, s, t;
                for (int i = 0; i < kLlamadasPorRonda; ++i) {
                    const Medida a = medir(llamarModulo);
                    const Medida b = medir(llamarSuelo);
                    const Medida c = medir(llamarMismas);
                    m.push_back(a.milisegundos);
                    s.push_back(b.milisegundos);
                    t.push_back(c.milisegundos);
                    cpuModulo.push_back(a.cpu);
                    cpuSuelo.push_back(b.cpu);
                    cpuMismas.push_back(c.cpu);
                    viajesModulo = a.idasYVueltas;
                    viajesSuelo = b.idasYVueltas;
                    viajesMismas = c.idasYVueltas;
                }
                ratios.push_back(mediana(m) / mediana(s));
                ratiosMismas.push_back(mediana(m) / mediana(t));
                modulo.insert(modulo.end(), m.begin(), m.end());
                suelo.insert(suelo.end(), s.begin(), s.end());
                mismas.insert(mismas.end(), t.begin(), t.end());
            }
            std::printf("\n%s\n", caso.nombre);
            std::printf("  median per call: module %.2f ms, bare client %.2f ms, ratio %.2fx\n", mediana(modulo),
                        mediana(suelo), mediana(modulo) / mediana(suelo));
            std::printf("  ratio per round:");
            for (double r : ratios)
                std::printf(" %.2fx", r);
            std::printf("\n  bare client with the module's statements %.2f ms: %.2fx the floor; module over it %.2fx "
                        "(per round:",
                        mediana(mismas), mediana(mismas) / mediana(suelo), mediana(modulo) / mediana(mismas));
            for (double r : ratiosMismas)
                std::printf(" %.2fx", r);
            std::printf(")\n  round trips per call: module %ld, bare client %ld, with the module's statements %ld\n",
                        viajesModulo, viajesSuelo, viajesMismas);
            std::printf("  client processor time per call: module %.2f ms, bare client %.2f ms, with the module's "
                        "statements %.2f ms\n",
                        mediana(cpuModulo), mediana(cpuSuelo), mediana(cpuMismas));
        }
        std::printf("\ntargets: usual customer <= 1.15x with the host connection held, <= 1.10x cold\n");
        std::printf("load average at the end %s", cargaDelSistema().constData());
    } catch (const Firebird::FbException &e) {
        char texto[1024];
        Firebird::fb_get_master_interface()->getUtilInterface()->formatStatus(texto, sizeof texto, e.getStatus());
        std::fprintf(stderr, "%s\n", texto);
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
