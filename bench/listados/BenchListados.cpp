// Times the listings' gathering on 20 000 customers of one company group, each
// with a few documents of every kind and a March invoice, against the floor measured in the
// same run on the same connection and transaction: the same statements walked
// by the bare Firebird client.
//   - CargarRiesgosPorCliente (every group, every risk) against the customer
//     risk statement prepared, executed and fetched to the end.
//   - CargarVentasCaucion (group 1, March) against the customer statement and
//     the sales statement prepared once and run for each customer; and that
//     floor against one grouped statement giving the same sums.
//   - The client's peak memory while walking 2 000 and 20 000 customers with no
//     group ticked (so no row is kept): it must not grow with the customers.
//   - CargarRiesgosPorCliente with the window on screen under the progress
//     window against the same gathering without it: following the gathering
//     must cost nothing measurable.
//   - The client situation and credit-insurer listings from the button to the
//     last page laid out (gathering, building the report, generating its pages)
//     against the gathering floor above; the report's pages per second when
//     generated and when written as PDF, and the peak memory of the whole road.
// With --por-bloques the risk procedure is replaced, under its own name, by the
// block-by-block text it superseded (tests/fixtures/risk-procedure-by-blocks.sql),
// so one run with and one without give the listings' figures before and after.
#include "components/lxDBEditLookupSrc.h"
#include "components/lxRxMemoryData.h"
#include "data/ModuloDatos.h"
#include "data/SesionDatos.h"
#include "framework/db/Database.h"
#include "framework/db/Params.h"
#include "framework/db/Transaction.h"
#include "framework/ui/Dialogs.h"
#include "reports/InformesVelmora.h"
#include "reports/ListadosVelmora.h"
#include "support/InstalacionPrueba.h"
#include "support/TestDatabase.h"

#include <firebird/Interface.h>

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QRadioButton>
#include <QLineEdit>
#include <QTemporaryDir>

#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

constexpr int kClientes = 20000;
constexpr int kRepeticiones = 5;
const QDate kDesde(2024, 3, 1);
const QDate kHasta(2024, 3, 31);

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

/// Wall time of `f`, in ms; its client CPU time goes to `cpu` when given.
double ms(const std::function<void()> &f, std::vector<double> *cpu = nullptr)
{
    const double c0 = cpuMs();
    QElapsedTimer t;
    t.start();
    f();
    const double pared = double(t.nsecsElapsed()) / 1e6;
    if (cpu)
        cpu->push_back(cpuMs() - c0);
    return pared;
}

// Customers 0000001 ... with a granted risk in group 1 (and in 2 or 3 for some)
// and, in turn over groups 1 to 3, three documents of every kind the risk
// procedure reads (orders pending and partly served, quotations, delivery notes,
// invoices with instalments, collection documents and movements); two customers
// in three also have a March invoice in group 1.
void llenar(const TestDatabase &db)
{
    HostRows r;
    r.grupoEmpresas(1, 0).empresa(1, 1, QStringLiteral("Empresa"), 1).moneda(1, 2).cambio(1, 1, 1, 1.0);
    for (int g = 1; g <= 3; ++g) {
        r.serieDocumento(g, QStringLiteral("S%1").arg(g), 1);
        r.serieFactura(g, QStringLiteral("F%1").arg(g), 1);
    }
    for (int f = 1; f <= 4; ++f)
        r.formaPago(f, QStringLiteral("P%1").arg(f), 1, f * 30 - 15, 1, 0);
    r.into(db);
    db.run(QStringLiteral(R"(SET TERM ^ ;
EXECUTE BLOCK AS
  DECLARE C INTEGER = 1;
  DECLARE K INTEGER;
  DECLARE ID INTEGER;
  DECLARE G INTEGER;
BEGIN
  WHILE (C <= %1) DO BEGIN
    INSERT INTO CLIENTES (IDCLIENTES, CODIGO, NOMBRE, GRUPOEMPRESAS, FORMAPAGO, RIESGOCONCEDIDO)
    VALUES (:C, LPAD(:C, 7, '0'), 'CLIENTE ' || :C, 1, MOD(:C, 4) + 1, 500 + MOD(:C, 7) * 250);
    K = 0;
    WHILE (K < 3) DO BEGIN
      ID = :C * 10 + :K;
      G = MOD(:C + :K, 3) + 1;
      INSERT INTO PEDIDOSVENTA (IDPEDIDOSVENTA, NUMERO, CLIENTE, SERIEDOCUMENTO, ESTADO, IMPORTEPEDIDO)
      VALUES (:ID, :ID, :C, :G, IIF(:K = 0, 'P', 'R'), 80);
      INSERT INTO LINEASPEDIDOVENTA (IDLINEASPEDIDOVENTA, PEDIDOVENTA, CANTIDADPEDIDASTOCK1, CANTIDADSERVIDASTOCK1, PRECIO)
      VALUES (:ID, :ID, 5, 2, 10);
      INSERT INTO PRESUPUESTOSVENTA (IDPRESUPUESTOSVENTA, NUMERO, CLIENTE, SERIEDOCUMENTO, ESTADO, IMPORTEPRESUPUESTO)
      VALUES (:ID, :ID, :C, :G, 'P', 40);
      INSERT INTO ALBARANESVENTA (IDALBARANESVENTA, NUMERO, CLIENTE, SERIEDOCUMENTO, FACTURAVENTA, IMPORTEALBARAN)
      VALUES (:ID, :ID, :C, :G, IIF(:K = 0, NULL, :ID), 30 + MOD(:C, 500));
      INSERT INTO FACTURASVENTA (IDFACTURASVENTA, NUMERO, CLIENTE, SERIEFACTURA, FECHAALTAFACTURA, TOTALFACTURA)
      VALUES (:ID, :ID, :C, :G, '2024-02-10', 150);
      INSERT INTO LINEASGIROSFACTURAVENTA (IDLINEASGIROSFACTURAVENTA, FACTURAVENTA, IMPORTEVTO, DOCUMENTOCOBRO, ESTADO)
      VALUES (:ID, :ID, 150, IIF(:K = 0, NULL, :ID), 'P');
      INSERT INTO DOCUMENTOSCOBRO (IDDOCUMENTOSCOBRO, CLIENTEORIGEN, IMPORTEDOCUMENTO, REMESA, ESTADO, SERIEFACTURA)
      VALUES (:ID, :C, 60, IIF(:K = 1, 7, NULL), 'F', :G);
      INSERT INTO MOVIMIENTOSCOBRO (IDMOVIMIENTOSCOBRO, CLIENTEORIGEN, IMPORTEMOVIMIENTO, PEDIDOORIGEN, ESTADO)
      VALUES (:ID, :C, 20, IIF(:K = 2, :ID, NULL), IIF(:K = 0, 'CF', 'A'));
      K = K + 1;
    END
    IF (MOD(:C, 3) > 0) THEN
      INSERT INTO FACTURASVENTA (IDFACTURASVENTA, NUMERO, CLIENTE, SERIEFACTURA, FECHAALTAFACTURA, TOTALFACTURA)
      VALUES (:C * 10 + 5, :C * 10 + 5, :C, 1, CAST('2024-03-01' AS DATE) + MOD(:C, 28), 200 + MOD(:C, 900));
    C = C + 1;
  END
END^
SET TERM ; ^)")
               .arg(kClientes));
    installtest::instalarModulo(db);
    db.run("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = IDSERIESDOCUMENTOS;\n"
           "UPDATE SERIESFACTURAS SET GRUPORIESGO = IDSERIESFACTURAS;\n"
           "UPDATE FORMASPAGO SET DIASRIESGO = DIASPRIMERVENCIMIENTO;\n"
           "UPDATE CLIENTES SET RIESGOCONCEDIDO2 = IIF(MOD(IDCLIENTES, 2) = 0, 2000, 0),\n"
           "  RIESGOCONCEDIDO3 = IIF(MOD(IDCLIENTES, 5) = 0, 3000, 0),\n"
           "  CODIGOCREDITOCAUCION = 'CC' || IDCLIENTES;");
    // As after a restore: the optimizer knows the spread of every index.
    QString estadisticas;
    for (const QString &indice : db.rows("SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES WHERE RDB$SYSTEM_FLAG = 0"))
        estadisticas += QStringLiteral("SET STATISTICS INDEX %1;\n").arg(indice);
    db.run(estadisticas);
}

/// The bare client on the data module's attachment and transaction.
class ClienteDesnudo
{
public:
    ClienteDesnudo(fw::Database &db, fw::Transaction &tra)
        : m_att(db.attachment()), m_tra(tra.handle()), m_status(Firebird::fb_get_master_interface()->getStatus()),
          m_util(Firebird::fb_get_master_interface()->getUtilInterface())
    {
    }
    ~ClienteDesnudo() { m_status.dispose(); }

    /// A prepared statement with its named parameters' positions and its buffers.
    struct Sentencia
    {
        Firebird::IStatement *stmt = nullptr;
        Firebird::IMessageMetadata *entrada = nullptr;
        Firebird::IMessageMetadata *salida = nullptr;
        QStringList posiciones;
        std::vector<unsigned char> bufferEntrada, bufferSalida;
    };

    Sentencia preparar(const QStringList &lineas)
    {
        const fw::ParsedSql parsed = fw::parseNamedParams(lineas.join(QLatin1Char('\n')));
        Sentencia s;
        s.stmt = m_att->prepare(&m_status, m_tra, 0, parsed.sql.toLatin1().constData(), 1,
                                Firebird::IStatement::PREPARE_PREFETCH_METADATA);
        s.entrada = s.stmt->getInputMetadata(&m_status);
        s.salida = s.stmt->getOutputMetadata(&m_status);
        s.posiciones = parsed.positions;
        s.bufferEntrada.assign(s.entrada->getMessageLength(&m_status), 0);
        s.bufferSalida.assign(s.salida->getMessageLength(&m_status), 0);
        return s;
    }
    void liberar(Sentencia &s)
    {
        s.entrada->release();
        s.salida->release();
        s.stmt->free(&m_status);
    }
    /// Writes an integer or a date into every position of that parameter.
    void poner(Sentencia &s, const QString &nombre, const QVariant &valor)
    {
        for (unsigned i = 0; i < unsigned(s.posiciones.size()); ++i) {
            if (s.posiciones[int(i)].compare(nombre, Qt::CaseInsensitive) != 0)
                continue;
            unsigned char *p = s.bufferEntrada.data() + s.entrada->getOffset(&m_status, i);
            *reinterpret_cast<short *>(s.bufferEntrada.data() + s.entrada->getNullOffset(&m_status, i)) = 0;
            switch (s.entrada->getType(&m_status, i) & ~1u) {
            case SQL_SHORT: *reinterpret_cast<short *>(p) = short(valor.toInt()); break;
            case SQL_LONG: *reinterpret_cast<ISC_LONG *>(p) = valor.toInt(); break;
            case SQL_INT64: *reinterpret_cast<ISC_INT64 *>(p) = valor.toLongLong(); break;
            case SQL_TIMESTAMP: {
                const QDate d = valor.toDate();
                auto *ts = reinterpret_cast<ISC_TIMESTAMP *>(p);
                ts->timestamp_date = m_util->encodeDate(unsigned(d.year()), unsigned(d.month()), unsigned(d.day()));
                ts->timestamp_time = 0;
                break;
            }
            default: throw std::runtime_error("parameter type not handled");
            }
        }
    }
    Firebird::IResultSet *abrir(Sentencia &s)
    {
        return s.stmt->openCursor(&m_status, m_tra, s.entrada, s.bufferEntrada.data(), s.salida, 0);
    }
    bool siguiente(Firebird::IResultSet *rs, Sentencia &s)
    {
        return rs->fetchNext(&m_status, s.bufferSalida.data()) == Firebird::IStatus::RESULT_OK;
    }
    void cerrar(Firebird::IResultSet *rs) { rs->close(&m_status); }
    /// Offset of an output column in the row buffer.
    unsigned columna(Sentencia &s, const char *nombre)
    {
        for (unsigned i = 0; i < s.salida->getCount(&m_status); ++i)
            if (qstrcmp(s.salida->getAlias(&m_status, i), nombre) == 0)
                return s.salida->getOffset(&m_status, i);
        throw std::runtime_error(std::string("no column ") + nombre);
    }

private:
    Firebird::IAttachment *m_att;
    Firebird::ITransaction *m_tra;
    Firebird::ThrowStatusWrapper m_status;
    Firebird::IUtil *m_util;
};

/// The risk statement for the company group, fetched to the end; returns the rows.
int sueloRiesgos(ClienteDesnudo &c)
{
    auto s = c.preparar(SentenciaRiesgosClientes(false));
    c.poner(s, QStringLiteral("PARGRUPOEMPRESAS"), 1);
    int filas = 0;
    Firebird::IResultSet *rs = c.abrir(s);
    while (c.siguiente(rs, s))
        ++filas;
    c.cerrar(rs);
    c.liberar(s);
    return filas;
}

/// The customer statement, and the sales statement prepared once and run for each customer.
double sueloVentasPorCliente(ClienteDesnudo &c)
{
    auto clientes = c.preparar(SentenciaClientesCaucion(false));
    auto ventas = c.preparar(SentenciaVentasCliente(false));
    c.poner(clientes, QStringLiteral("PARGRUPOEMPRESAS"), 1);
    c.poner(ventas, QStringLiteral("PARGRUPO"), 1);
    c.poner(ventas, QStringLiteral("PARFECHADESDE"), kDesde);
    c.poner(ventas, QStringLiteral("PARFECHAHASTA"), kHasta);
    const unsigned id = c.columna(clientes, "IDCLIENTES");
    const unsigned importe = c.columna(ventas, "TOTALVENTAS");
    double total = 0;
    Firebird::IResultSet *rs = c.abrir(clientes);
    while (c.siguiente(rs, clientes)) {
        c.poner(ventas, QStringLiteral("PARCLIENTE"), *reinterpret_cast<const ISC_LONG *>(clientes.bufferSalida.data() + id));
        Firebird::IResultSet *v = c.abrir(ventas);
        if (c.siguiente(v, ventas))
            total += *reinterpret_cast<const double *>(ventas.bufferSalida.data() + importe);
        c.cerrar(v);
    }
    c.cerrar(rs);
    c.liberar(ventas);
    c.liberar(clientes);
    return total;
}

/// The same sums from one statement: the customers joined to their grouped sales.
void sueloVentasAgrupadas(ClienteDesnudo &c)
{
    QStringList sql = SentenciaClientesCaucion(false);
    sql.removeLast(); // ORDER BY, put back after the join
    sql.replace(0, sql[0] + QStringLiteral("V.TOTALVENTAS, "));
    sql.insert(sql.indexOf(QStringLiteral("WHERE (C.GRUPOEMPRESAS = :PARGRUPOEMPRESAS)")),
               QStringLiteral("  LEFT OUTER JOIN (SELECT F.CLIENTE, SUM(F.TOTALFACTURA) AS TOTALVENTAS"
                              " FROM FACTURASVENTA F LEFT OUTER JOIN SERIESFACTURAS S"
                              " ON (F.SERIEFACTURA = S.IDSERIESFACTURAS)"
                              " WHERE (S.GRUPORIESGO = :PARGRUPO) AND (S.PRIVADOSN = 0)"
                              " AND (F.FECHAALTAFACTURA >= :PARFECHADESDE) AND (F.FECHAALTAFACTURA <= :PARFECHAHASTA)"
                              " GROUP BY F.CLIENTE) V ON (V.CLIENTE = C.IDCLIENTES)"));
    sql << QStringLiteral("ORDER BY C.CODIGO ASC");
    auto s = c.preparar(sql);
    c.poner(s, QStringLiteral("PARGRUPOEMPRESAS"), 1);
    c.poner(s, QStringLiteral("PARGRUPO"), 1);
    c.poner(s, QStringLiteral("PARFECHADESDE"), kDesde);
    c.poner(s, QStringLiteral("PARFECHAHASTA"), kHasta);
    Firebird::IResultSet *rs = c.abrir(s);
    while (c.siguiente(rs, s)) {
    }
    c.cerrar(rs);
    c.liberar(s);
}

/// The listings window, gathering without the preview.
class Ventana : public TFormListadosVelmora
{
public:
    using TFormListadosVelmora::CargarConProgreso;
    using TFormListadosVelmora::CargarRiesgosPorCliente;
    using TFormListadosVelmora::CargarVentasCaucion;
};

/// Warnings go to standard error; a benchmark cannot answer a dialog.
class DialogosConsola : public fw::ui::Dialogs
{
public:
    void inform(const QString &t) override { std::fprintf(stderr, "%s\n", qPrintable(t)); }
    bool warn(const QString &t) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(t));
        return true;
    }
    bool confirm(const QString &, const QString &) override { return false; }
    void error(const QString &t, const QString &) override { inform(t); }
};

long kilobytes(const char *clave)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &linea : f.readAll().split('\n'))
        if (linea.startsWith(clave))
            return linea.mid(qstrlen(clave)).trimmed().split(' ').value(0).toLong();
    return -1;
}

/// Peak resident memory above the start while `f` runs, in kB.
long picoMemoria(const std::function<void()> &f)
{
    malloc_trim(0);
    QFile limpiar(QStringLiteral("/proc/self/clear_refs"));
    if (limpiar.open(QIODevice::WriteOnly))
        limpiar.write("5"); // resets the peak
    limpiar.close();
    const long antes = kilobytes("VmRSS:");
    f();
    return kilobytes("VmHWM:") - antes;
}

/// One listing's road from the button: gather, build the report, lay out its pages; then its PDF.
struct MedidaInforme
{
    std::vector<double> boton, generar, pdf;
    int filas = 0; // rows gathered
    int paginas = 0;
    long memoria = 0;
};

MedidaInforme medirInforme(const std::function<void()> &reunir,
                           const std::function<std::unique_ptr<fw::report::Report>()> &crear, TDatos &datos,
                           const QString &pdf)
{
    MedidaInforme m;
    auto recorrido = [&](bool exportar) {
        std::shared_ptr<const fw::report::Document> documento;
        std::unique_ptr<fw::report::Report> informe;
        double generar = 0;
        m.boton.push_back(ms([&] {
            reunir();
            m.filas = datos.RxClientesRiesgo->recordCount();
            informe = crear();
            generar = ms([&] { documento = informe->generate(); });
        }));
        m.generar.push_back(generar);
        m.paginas = documento->pageCount();
        if (exportar)
            m.pdf.push_back(ms([&] { ExportarDocumento(*documento, pdf); }));
        informe.reset();
        datos.RxClientesRiesgo->close();
    };
    for (int i = 0; i < 3; ++i)
        recorrido(true);
    m.memoria = picoMemoria([&] { recorrido(false); });
    return m;
}

void imprimirInforme(const char *nombre, const MedidaInforme &m, double suelo)
{
    const double boton = mediana(m.boton), generar = mediana(m.generar), pdf = mediana(m.pdf);
    std::printf("  %s: %d rows, %d pages\n", nombre, m.filas, m.paginas);
    std::printf("    button to last page: %.0f ms; gathering floor %.0f ms; ratio %.2fx\n", boton, suelo,
                suelo > 0 ? boton / suelo : 0);
    std::printf("    page generation: %.0f ms, %.0f pages/s (target 300)\n", generar,
                generar > 0 ? m.paginas * 1000.0 / generar : 0);
    std::printf("    PDF export: %.0f ms, %.0f pages/s (target 100)\n", pdf, pdf > 0 ? m.paginas * 1000.0 / pdf : 0);
    std::printf("    peak client memory from the button to the last page: %ld kB\n", m.memoria);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    DialogosConsola dialogos;
    fw::ui::ScopedDialogs instalados(dialogos);
    try {
        std::printf("preparing %d customers ...\n", kClientes);
        std::fflush(stdout);
        TestDatabase base(QStringLiteral("bench-listados"));
        llenar(base);
        const bool porBloques = argc > 1 && QByteArray(argv[1]) == "--por-bloques";
        if (porBloques)
            installtest::instalarPorBloques(base, QStringLiteral("PRSITUACIONCLIENTESRIESGOGRUPOS"));
        std::printf("risk procedure: %s\n", porBloques ? "the block-by-block text it replaced" : "as installed");

        TSesionDatos sesion({.IdEmpresa = 1, .IdGrupoEmpresa = 1, .RutaBaseDatos = base.connectionString(),
                             .NombreUsuario = TestDatabase::user(), .Password = TestDatabase::password()});
        sesion.conectar();
        sesion.abrirEmpresa();
        TDatos &datos = sesion.datos();
        Ventana w;
        w.Datos = &datos;
        w.CheckBoxGruposTodos->setChecked(true);
        w.DateTimeDesde->setDate(kDesde);
        w.DateTimeHasta->setDate(kHasta);
        ClienteDesnudo desnudo(*datos.BaseDatosNORVIK, *datos.IBTransaccion);

        // Warm the server's cache and the procedure.
        const int filasSuelo = sueloRiesgos(desnudo);
        w.CargarRiesgosPorCliente();
        const int filasTabla = datos.RxClientesRiesgo->recordCount();
        datos.RxClientesRiesgo->close();

        std::vector<double> suelo, rutina, sueloVentas, rutinaVentas, agrupado;
        std::vector<double> cpuSuelo, cpuRutina, cpuSueloVentas, cpuRutinaVentas;
        // Floor and routine take turns going first, so neither always finds the cache warmer.
        for (int i = 0; i < kRepeticiones; ++i) {
            auto suelos = [&] {
                suelo.push_back(ms([&] { sueloRiesgos(desnudo); }, &cpuSuelo));
                sueloVentas.push_back(ms([&] { sueloVentasPorCliente(desnudo); }, &cpuSueloVentas));
                agrupado.push_back(ms([&] { sueloVentasAgrupadas(desnudo); }));
            };
            if (i % 2 == 0)
                suelos();
            rutina.push_back(ms([&] { w.CargarRiesgosPorCliente(); }, &cpuRutina));
            datos.RxClientesRiesgo->close();
            rutinaVentas.push_back(ms([&] { w.CargarVentasCaucion(); }, &cpuRutinaVentas));
            datos.RxClientesRiesgo->close();
            if (i % 2 == 1)
                suelos();
        }
        const int filasVentas = [&] {
            w.CargarVentasCaucion();
            const int n = datos.RxClientesRiesgo->recordCount();
            datos.RxClientesRiesgo->close();
            return n;
        }();

        // No group ticked: every customer is walked (and his procedure run) but no row is kept.
        w.CheckBoxGruposTodos->setChecked(false);
        w.CheckBoxClientesTodos->setChecked(false);
        w.lxDBEditLookupClienteDesde->setText(QStringLiteral("0000001"));
        w.lxDBEditLookupClienteHasta->setText(QStringLiteral("0002000"));
        const long memoriaPocos = picoMemoria([&] { w.CargarRiesgosPorCliente(); });
        w.CheckBoxClientesTodos->setChecked(true);
        const long memoriaTodos = picoMemoria([&] { w.CargarRiesgosPorCliente(); });
        datos.RxClientesRiesgo->close();

        const double s = mediana(suelo), r = mediana(rutina);
        const double sv = mediana(sueloVentas), rv = mediana(rutinaVentas), ag = mediana(agrupado);
        std::printf("listings over %d customers of one company group, median of %d (RelWithDebInfo):\n", kClientes,
                    kRepeticiones);
        std::printf("  CargarRiesgosPorCliente: %.0f ms for %d statement rows -> %d table rows\n", r, filasSuelo,
                    filasTabla);
        std::printf("    floor, the risk statement walked by the bare client: %.0f ms\n", s);
        std::printf("    ratio %.3fx (target <= 1.1x)\n", s > 0 ? r / s : 0);
        std::printf("    client CPU: routine %.0f ms, floor %.0f ms; the routine's own work is %.1f%% of the floor\n",
                    mediana(cpuRutina), mediana(cpuSuelo),
                    s > 0 ? 100 * (mediana(cpuRutina) - mediana(cpuSuelo)) / s : 0);
        std::printf("  CargarVentasCaucion (group 1, March): %.0f ms -> %d table rows\n", rv, filasVentas);
        std::printf("    floor, customer statement + sales statement per customer (prepared once): %.0f ms\n", sv);
        std::printf("    ratio %.3fx\n", sv > 0 ? rv / sv : 0);
        std::printf("    client CPU: routine %.0f ms, floor %.0f ms\n", mediana(cpuRutinaVentas),
                    mediana(cpuSueloVentas));
        std::printf("    one grouped statement giving the same sums: %.0f ms; per-customer floor / grouped %.2fx\n",
                    ag, ag > 0 ? sv / ag : 0);
        std::printf("  peak client memory walking customers with no row kept: %ld kB for 2 000, %ld kB for %d\n",
                    memoriaPocos, memoriaTodos, kClientes);
        std::fflush(stdout);

        // The same gathering with the window on screen, under the progress window (shown after half a
        // second, counting the customers then, refreshed every 100 ms), against it without.
        w.CheckBoxGruposTodos->setChecked(true);
        w.show();
        std::vector<double> sinProgreso, conProgreso;
        for (int i = 0; i < kRepeticiones; ++i) {
            auto sin = [&] {
                sinProgreso.push_back(ms([&] { w.CargarRiesgosPorCliente(); }));
                datos.RxClientesRiesgo->close();
            };
            if (i % 2 == 0)
                sin();
            conProgreso.push_back(ms([&] {
                w.CargarConProgreso(QStringLiteral("Riesgos"), [&] { return w.ContarClientesRiesgo(); },
                                    [&] { w.CargarRiesgosPorCliente(); });
            }));
            datos.RxClientesRiesgo->close();
            if (i % 2 == 1)
                sin();
        }
        w.hide();
        // Showing the window proposed last month; the reports below declare March again.
        w.DateTimeDesde->setDate(kDesde);
        w.DateTimeHasta->setDate(kHasta);
        const double sp = mediana(sinProgreso), cp = mediana(conProgreso);
        std::printf("  progress window: CargarRiesgosPorCliente %.0f ms with it, %.0f ms without; ratio %.3fx\n", cp, sp,
                    sp > 0 ? cp / sp : 0);
        std::fflush(stdout);

        QTemporaryDir carpeta;
        const MedidaInforme situacion = medirInforme(
            [&] { w.CargarRiesgosPorCliente(); },
            [&] {
                TextosSituacionClientes t;
                t.Titulo = QStringLiteral("Situación de riesgo");
                return CrearInformeSituacionClientes(datos, t);
            },
            datos, carpeta.filePath(QStringLiteral("situacion.pdf")));
        const MedidaInforme caucion = medirInforme(
            [&] { w.CargarVentasCaucion(); },
            [&] {
                TextosVentasCaucion t;
                t.Titulo = QStringLiteral("Ventas");
                t.FechaHasta = kHasta;
                return CrearInformeVentasCaucion(datos, t);
            },
            datos, carpeta.filePath(QStringLiteral("caucion.pdf")));
        std::printf("reports, median of 3:\n");
        imprimirInforme("client situation", situacion, s);
        imprimirInforme("credit-insurer sales", caucion, sv);
        return 0;
    } catch (const Firebird::FbException &e) {
        char texto[1024];
        Firebird::fb_get_master_interface()->getUtilInterface()->formatStatus(texto, sizeof texto, e.getStatus());
        std::fprintf(stderr, "%s\n", texto);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "failed\n");
    }
    return 2;
}
