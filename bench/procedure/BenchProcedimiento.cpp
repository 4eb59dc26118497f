// The risk procedure for customers of 14, 200, 2 000 and 20 000 documents in a
// host database of 20 000 customers. For each, in alternating rounds: the
// installed PRSITUACIONCLIENTESRIESGOGRUPOS, the block-by-block procedure it
// replaced (tests/fixtures/risk-procedure-by-blocks.sql, installed beside it) and
// one pass over the customer's rows (one COUNT(*) per source table through the
// indexes the procedure uses). Prints the times, the ratios against that pass,
// the records each table gave per call through an index or by a natural scan,
// and the plan of every statement of the procedure. Both procedures must return
// the same bits. Run by hand; not a CTest test.
#include "install/SentenciasInstalacion.h"
#include "support/InstalacionPrueba.h"
#include "support/TestDatabase.h"

#include <firebird/Interface.h>

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Firebird;

namespace {

constexpr int kClientes = 20000;
constexpr int kRondas = 9;
// Each batch of calls lasts about this long, so short calls are timed over many.
constexpr double kMsPorTanda = 25.0;

const char *const kProcedimiento = "PRSITUACIONCLIENTESRIESGOGRUPOS";
const char *const kPorBloques = "PRSITUACIONRIESGOPORBLOQUES";

IMaster *master() { return fb_get_master_interface(); }

std::string mensaje(const FbException &e)
{
    char buffer[1024];
    master()->getUtilInterface()->formatStatus(buffer, sizeof buffer, e.getStatus());
    return buffer;
}

// A select prepared once in a transaction of its own, run many times.
class Consulta
{
public:
    Consulta(IAttachment *att, IStatus *status, const QString &sql) : m_status(status)
    {
        ThrowStatusWrapper st(m_status);
        m_tra = att->startTransaction(&st, 0, nullptr);
        m_stmt = att->prepare(&st, m_tra, 0, sql.toLatin1().constData(), 1, IStatement::PREPARE_PREFETCH_METADATA);
        m_meta = m_stmt->getOutputMetadata(&st);
        m_fila.resize(m_meta->getMessageLength(&st));
    }
    ~Consulta()
    {
        ThrowStatusWrapper st(m_status);
        try {
            m_stmt->free(&st);
            m_meta->release();
            m_tra->commit(&st);
        } catch (...) {
        }
    }
    Consulta(const Consulta &) = delete;
    Consulta &operator=(const Consulta &) = delete;

    // Runs the select and fetches every row; returns the last row's message.
    const std::vector<unsigned char> &ejecutar()
    {
        ThrowStatusWrapper st(m_status);
        IResultSet *rs = m_stmt->openCursor(&st, m_tra, nullptr, nullptr, m_meta, 0);
        while (rs->fetchNext(&st, m_fila.data()) == IStatus::RESULT_OK) {
        }
        rs->close(&st);
        return m_fila;
    }

    double msPorLlamada(int veces)
    {
        const auto inicio = std::chrono::steady_clock::now();
        for (int i = 0; i < veces; ++i)
            ejecutar();
        const std::chrono::duration<double, std::milli> total = std::chrono::steady_clock::now() - inicio;
        return total.count() / veces;
    }

private:
    IStatus *m_status;
    ITransaction *m_tra = nullptr;
    IStatement *m_stmt = nullptr;
    IMessageMetadata *m_meta = nullptr;
    std::vector<unsigned char> m_fila;
};

class Conexion
{
public:
    explicit Conexion(const QString &ruta) : m_status(master()->getStatus())
    {
        ThrowStatusWrapper st(m_status);
        IXpbBuilder *dpb = master()->getUtilInterface()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
        dpb->insertString(&st, isc_dpb_password, testsupport::sysdbaPassword().toLatin1().constData());
        dpb->insertString(&st, isc_dpb_lc_ctype, "ISO8859_1");
        dpb->insertInt(&st, isc_dpb_sql_dialect, 1);
        m_att = master()->getDispatcher()->attachDatabase(&st, ruta.toLatin1().constData(),
                                                         dpb->getBufferLength(&st), dpb->getBuffer(&st));
        dpb->dispose();
    }
    ~Conexion()
    {
        ThrowStatusWrapper st(m_status);
        try {
            m_att->detach(&st);
        } catch (...) {
        }
        m_status->dispose();
    }
    Conexion(const Conexion &) = delete;
    Conexion &operator=(const Conexion &) = delete;

    // One statement in a transaction of its own, as the installer sends them.
    void ejecutar(const QString &sql, bool ignorarFallo = false)
    {
        ThrowStatusWrapper st(m_status);
        ITransaction *tra = m_att->startTransaction(&st, 0, nullptr);
        try {
            m_att->execute(&st, tra, 0, sql.toLatin1().constData(), 1, nullptr, nullptr, nullptr, nullptr);
            tra->commit(&st);
        } catch (const FbException &e) {
            tra->rollback(&st);
            if (!ignorarFallo)
                throw std::runtime_error(mensaje(e) + "\n" + sql.left(300).toStdString());
        }
    }

    std::unique_ptr<Consulta> consulta(const QString &sql) { return std::make_unique<Consulta>(m_att, m_status, sql); }

    // Rows of a select as text; only integer and text columns are read.
    std::vector<std::vector<std::string>> filas(const QString &sql)
    {
        ThrowStatusWrapper st(m_status);
        ITransaction *tra = m_att->startTransaction(&st, 0, nullptr);
        IStatement *stmt = m_att->prepare(&st, tra, 0, sql.toLatin1().constData(), 1,
                                          IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata *meta = stmt->getOutputMetadata(&st);
        std::vector<unsigned char> buf(meta->getMessageLength(&st));
        IResultSet *rs = stmt->openCursor(&st, tra, nullptr, nullptr, meta, 0);
        std::vector<std::vector<std::string>> resultado;
        while (rs->fetchNext(&st, buf.data()) == IStatus::RESULT_OK) {
            std::vector<std::string> fila;
            for (unsigned i = 0; i < meta->getCount(&st); ++i) {
                const unsigned char *p = buf.data() + meta->getOffset(&st, i);
                if (*reinterpret_cast<const short *>(buf.data() + meta->getNullOffset(&st, i))) {
                    fila.push_back("");
                    continue;
                }
                switch (meta->getType(&st, i) & ~1u) {
                case SQL_LONG: fila.push_back(std::to_string(*reinterpret_cast<const ISC_LONG *>(p))); break;
                case SQL_INT64: fila.push_back(std::to_string(*reinterpret_cast<const ISC_INT64 *>(p))); break;
                case SQL_VARYING:
                    fila.emplace_back(reinterpret_cast<const char *>(p) + 2, *reinterpret_cast<const short *>(p));
                    break;
                case SQL_TEXT: fila.emplace_back(reinterpret_cast<const char *>(p), meta->getLength(&st, i)); break;
                default: fila.push_back("?");
                }
            }
            resultado.push_back(fila);
        }
        rs->close(&st);
        stmt->free(&st);
        meta->release();
        tra->commit(&st);
        return resultado;
    }

    std::string plan(const QString &sql)
    {
        ThrowStatusWrapper st(m_status);
        ITransaction *tra = m_att->startTransaction(&st, 0, nullptr);
        IStatement *stmt = m_att->prepare(&st, tra, 0, sql.toLatin1().constData(), 1, 0);
        std::string texto = stmt->getPlan(&st, false);
        stmt->free(&st);
        tra->commit(&st);
        return texto;
    }

private:
    IStatus *m_status;
    IAttachment *m_att = nullptr;
};

// A few documents of every kind for each other customer, so that reading a whole
// table would show up in the counts.
const char *const kFondo = R"(EXECUTE BLOCK AS
DECLARE C INTEGER = 100;
DECLARE K INTEGER;
DECLARE ID INTEGER;
DECLARE G INTEGER;
BEGIN
  WHILE (C < 100 + %1) DO BEGIN
    INSERT INTO CLIENTES (IDCLIENTES, CODIGO, NOMBRE, GRUPOEMPRESAS, RIESGOCONCEDIDO, RIESGOCONCEDIDO2, RIESGOCONCEDIDO3)
    VALUES (:C, :C, 'CLIENTE ' || :C, 1, 1000, 2000, 3000);
    K = 0;
    WHILE (K < 3) DO BEGIN
      ID = 100000 + C * 3 + K;
      G = MOD(C + K, 5) + 1;
      INSERT INTO PEDIDOSVENTA VALUES (:ID, :ID, :C, :G, IIF(:K = 0, 'P', 'R'), 100);
      INSERT INTO LINEASPEDIDOVENTA VALUES (:ID, :ID, 5, 2, 10);
      INSERT INTO PRESUPUESTOSVENTA VALUES (:ID, :ID, :C, :G, 'P', 40);
      INSERT INTO ALBARANESVENTA VALUES (:ID, :ID, :C, :G, IIF(:K = 0, NULL, :ID), 30);
      INSERT INTO FACTURASVENTA VALUES (:ID, :ID, :C, :G, NULL, 60);
      INSERT INTO LINEASGIROSFACTURAVENTA VALUES (:ID, :ID, 60, IIF(:K = 0, NULL, :ID), 'P');
      INSERT INTO DOCUMENTOSCOBRO VALUES (:ID, :C, 60, IIF(:K = 0, :ID, NULL), IIF(:K = 1, 7, NULL), 'F', :G);
      INSERT INTO MOVIMIENTOSCOBRO VALUES (:ID, :C, 20, IIF(:K = 2, NULL, :ID), IIF(:K = 2, :ID, NULL), NULL, NULL,
                                           IIF(:K = 0, 'CF', IIF(:K = 1, 'D', 'A')));
      K = K + 1;
    END
    C = C + 1;
  END
END)";

// One busy customer (%1) whose document ids start at %2: per step, orders pending
// and partly served, a quotation, a delivery note, an invoice with two instalments,
// returned, remitted, pending and collected collection documents, an advance, a
// collection and a free advance, plus a return movement with its source document
// on two steps of three. %3 steps make about 13.3 documents each.
const char *const kClienteOcupado = R"(EXECUTE BLOCK AS
DECLARE I INTEGER = 1;
DECLARE B INTEGER = %2;
DECLARE G INTEGER;
BEGIN
  INSERT INTO CLIENTES (IDCLIENTES, CODIGO, NOMBRE, GRUPOEMPRESAS, RIESGOCONCEDIDO, RIESGOCONCEDIDO2, RIESGOCONCEDIDO3)
  VALUES (%1, %1, 'OCUPADO %1', 1, 1000, 2000, 3000);
  WHILE (I <= %3) DO BEGIN
    G = MOD(I, 5) + 1;
    INSERT INTO PEDIDOSVENTA VALUES (:B + :I, :I, %1, :G, 'P', 10);
    INSERT INTO PEDIDOSVENTA VALUES (:B + 100000 + :I, :I, %1, :G, 'R', 20);
    INSERT INTO LINEASPEDIDOVENTA VALUES (:B + 2 * :I, :B + 100000 + :I, 10, 4, 2.5);
    INSERT INTO LINEASPEDIDOVENTA VALUES (:B + 2 * :I + 1, :B + 100000 + :I, 10, 4, 2.5);
    INSERT INTO PRESUPUESTOSVENTA VALUES (:B + :I, :I, %1, :G, 'P', 5);
    INSERT INTO ALBARANESVENTA VALUES (:B + :I, :I, %1, :G, IIF(3 * :I <= 2 * %3, NULL, :I), 3);
    INSERT INTO FACTURASVENTA VALUES (:B + :I, :I, %1, :G, NULL, 14);
    INSERT INTO LINEASGIROSFACTURAVENTA VALUES (:B + 2 * :I, :B + :I, 7, NULL, 'P');
    INSERT INTO LINEASGIROSFACTURAVENTA VALUES (:B + 2 * :I + 1, :B + :I, 7, NULL, 'P');
    INSERT INTO DOCUMENTOSCOBRO VALUES (:B + :I, %1, 11, :B + 500000 + :I, NULL, 'P', :G);
    INSERT INTO DOCUMENTOSCOBRO VALUES (:B + 100000 + :I, %1, 12, NULL, 1, 'F', :G);
    INSERT INTO DOCUMENTOSCOBRO VALUES (:B + 200000 + :I, %1, 13, NULL, NULL, 'P', :G);
    INSERT INTO DOCUMENTOSCOBRO VALUES (:B + 300000 + :I, %1, 14, :B + 600000 + :I, NULL, 'P', :G);
    INSERT INTO MOVIMIENTOSCOBRO VALUES (:B + :I, %1, 8, NULL, :B + :I, IIF(MOD(:I, 2) = 0, :B + :I, NULL), NULL, 'A');
    INSERT INTO MOVIMIENTOSCOBRO VALUES (:B + 100000 + :I, %1, 14, :B + 300000 + :I, NULL, NULL, NULL, 'CF');
    IF (MOD(:I, 3) <> 0) THEN BEGIN
      INSERT INTO DOCUMENTOSCOBRO VALUES (:B + 400000 + :I, %1, 15, NULL, NULL, 'P', :G);
      INSERT INTO MOVIMIENTOSCOBRO VALUES (:B + 200000 + :I, %1, 15, :B + 400000 + :I, NULL, NULL, NULL, 'D');
    END
    INSERT INTO MOVIMIENTOSCOBRO VALUES (:B + 300000 + :I, %1, 9, NULL, NULL, NULL, NULL, 'A');
    I = I + 1;
  END
END)";

struct Ocupado
{
    int cliente;
    int pasos;
};
// Steps chosen for about 14, 200, 2 000 and 20 000 documents.
const Ocupado kOcupados[] = {{1, 1}, {2, 15}, {3, 150}, {4, 1500}};

const char *const kTablasDocumentos[][2] = {
    {"PEDIDOSVENTA", "CLIENTE"},   {"PRESUPUESTOSVENTA", "CLIENTE"},   {"ALBARANESVENTA", "CLIENTE"},
    {"FACTURASVENTA", "CLIENTE"},  {"DOCUMENTOSCOBRO", "CLIENTEORIGEN"}, {"MOVIMIENTOSCOBRO", "CLIENTEORIGEN"}};

// The floor: every row of the customer read once, through the index the procedure
// reads it by (order lines and instalments through their order and invoice).
QString unaPasada(int cliente)
{
    return QStringLiteral(
               "SELECT\n"
               " (SELECT COUNT(*) FROM CLIENTES WHERE IDCLIENTES = %1),\n"
               " (SELECT COUNT(*) FROM PEDIDOSVENTA WHERE CLIENTE = %1),\n"
               " (SELECT COUNT(*) FROM PEDIDOSVENTA P JOIN LINEASPEDIDOVENTA L ON L.PEDIDOVENTA = P.IDPEDIDOSVENTA "
               "WHERE P.CLIENTE = %1),\n"
               " (SELECT COUNT(*) FROM PRESUPUESTOSVENTA WHERE CLIENTE = %1),\n"
               " (SELECT COUNT(*) FROM ALBARANESVENTA WHERE CLIENTE = %1),\n"
               " (SELECT COUNT(*) FROM FACTURASVENTA F JOIN LINEASGIROSFACTURAVENTA G ON G.FACTURAVENTA = "
               "F.IDFACTURASVENTA WHERE F.CLIENTE = %1),\n"
               " (SELECT COUNT(*) FROM DOCUMENTOSCOBRO WHERE CLIENTEORIGEN = %1),\n"
               " (SELECT COUNT(*) FROM MOVIMIENTOSCOBRO WHERE CLIENTEORIGEN = %1)\n"
               "FROM RDB$DATABASE")
        .arg(cliente);
}

// The same pass plus every lookup the risk figures need, one per row as the
// procedure makes them: the series of each document, the lines of partly served
// orders, the movements that come from each collection document, and the order,
// delivery note or document an advance or a return comes from. What the
// procedure costs beyond this is its own arithmetic.
QString pasadaConBusquedas(int cliente)
{
    return QStringLiteral(
               "SELECT\n"
               " (SELECT COUNT(*) FROM CLIENTES WHERE IDCLIENTES = %1),\n"
               " (SELECT COUNT(*) FROM PEDIDOSVENTA PV\n"
               "  LEFT JOIN SERIESDOCUMENTOS S ON S.IDSERIESDOCUMENTOS = PV.SERIEDOCUMENTO\n"
               "  LEFT JOIN LINEASPEDIDOVENTA L ON L.PEDIDOVENTA = IIF(PV.ESTADO = 'R', PV.IDPEDIDOSVENTA, NULL)\n"
               "  WHERE PV.CLIENTE = %1),\n"
               " (SELECT COUNT(*) FROM PRESUPUESTOSVENTA PR\n"
               "  LEFT JOIN SERIESDOCUMENTOS S ON S.IDSERIESDOCUMENTOS = PR.SERIEDOCUMENTO WHERE PR.CLIENTE = %1),\n"
               " (SELECT COUNT(*) FROM ALBARANESVENTA AV\n"
               "  LEFT JOIN SERIESDOCUMENTOS S ON S.IDSERIESDOCUMENTOS = AV.SERIEDOCUMENTO WHERE AV.CLIENTE = %1),\n"
               " (SELECT COUNT(*) FROM FACTURASVENTA F\n"
               "  LEFT JOIN SERIESFACTURAS S ON S.IDSERIESFACTURAS = F.SERIEFACTURA\n"
               "  LEFT JOIN LINEASGIROSFACTURAVENTA G ON G.FACTURAVENTA = F.IDFACTURASVENTA WHERE F.CLIENTE = %1),\n"
               " (SELECT COUNT(*) FROM DOCUMENTOSCOBRO DC\n"
               "  LEFT JOIN SERIESFACTURAS S ON S.IDSERIESFACTURAS = DC.SERIEFACTURA\n"
               "  LEFT JOIN MOVIMIENTOSCOBRO M ON M.DOCUMENTOORIGENCOBRO = DC.IDDOCUMENTOSCOBRO\n"
               "  WHERE DC.CLIENTEORIGEN = %1),\n"
               " (SELECT COUNT(*) FROM MOVIMIENTOSCOBRO M\n"
               "  LEFT JOIN PEDIDOSVENTA PV ON PV.IDPEDIDOSVENTA = M.PEDIDOORIGEN\n"
               "  LEFT JOIN SERIESDOCUMENTOS S1 ON S1.IDSERIESDOCUMENTOS = PV.SERIEDOCUMENTO\n"
               "  LEFT JOIN ALBARANESVENTA AV ON AV.IDALBARANESVENTA = M.ALBARANORIGEN\n"
               "  LEFT JOIN SERIESDOCUMENTOS S2 ON S2.IDSERIESDOCUMENTOS = AV.SERIEDOCUMENTO\n"
               "  LEFT JOIN DOCUMENTOSCOBRO DC ON DC.IDDOCUMENTOSCOBRO = IIF(M.ESTADO = 'D', M.DOCUMENTOORIGENCOBRO, "
               "NULL)\n"
               "  LEFT JOIN SERIESFACTURAS S ON S.IDSERIESFACTURAS = DC.SERIEFACTURA\n"
               "  WHERE M.CLIENTEORIGEN = %1)\n"
               "FROM RDB$DATABASE")
        .arg(cliente);
}

QString llamada(const char *procedimiento, int cliente)
{
    return QStringLiteral("SELECT * FROM %1(%2)").arg(QLatin1String(procedimiento)).arg(cliente);
}

const char *const kLecturas = R"(SELECT TRIM(T.MON$TABLE_NAME), CAST(R.MON$RECORD_IDX_READS AS INTEGER), CAST(R.MON$RECORD_SEQ_READS AS INTEGER)
FROM MON$TABLE_STATS T
JOIN MON$RECORD_STATS R ON R.MON$STAT_ID = T.MON$RECORD_STAT_ID
JOIN MON$ATTACHMENTS A ON A.MON$STAT_ID = T.MON$STAT_ID
WHERE A.MON$ATTACHMENT_ID = CURRENT_CONNECTION AND T.MON$TABLE_NAME NOT STARTING WITH 'RDB$'
ORDER BY 1)";

// Table -> {index reads, natural reads} of one execution on a fresh connection.
std::map<std::string, std::pair<long, long>> lecturas(const QString &ruta, const QString &sql)
{
    Conexion c(ruta);
    c.consulta(sql)->ejecutar();
    std::map<std::string, std::pair<long, long>> resultado;
    for (const auto &f : c.filas(QString::fromLatin1(kLecturas)))
        resultado[f[0]] = {std::stol(f[1]), std::stol(f[2])};
    return resultado;
}

// Every select of the procedure body (FOR SELECT loops included) as it would run
// for one customer, so its plan can be shown; variables read as 1.
std::vector<std::pair<QString, QString>> consultasDelProcedimiento()
{
    std::vector<std::pair<QString, QString>> consultas;
    QString titulo;
    QStringList lineas;
    int profundidad = -1; // parentheses open inside the current select
    for (const QString &linea : TextoProcedimientoRiesgo()) {
        const QString t = linea.trimmed();
        if (t.startsWith(QLatin1String("/*")) && t.endsWith(QLatin1String("*/"))) {
            titulo = t.mid(2, t.size() - 4).trimmed();
            continue;
        }
        if (profundidad < 0 && (t.startsWith(QLatin1String("SELECT ")) || t == QLatin1String("SELECT")
                                || t.startsWith(QLatin1String("FOR SELECT")))) {
            profundidad = 0;
            lineas.clear();
        }
        if (profundidad < 0)
            continue;
        if (profundidad == 0 && t.startsWith(QLatin1String("INTO "))) {
            QString sql = lineas.join(QLatin1Char('\n'));
            if (sql.startsWith(QLatin1String("FOR ")))
                sql.remove(0, 4);
            sql.replace(QRegularExpression(QStringLiteral(":[A-Za-z_0-9]+")), QStringLiteral("1"));
            consultas.emplace_back(titulo, sql);
            profundidad = -1;
            continue;
        }
        lineas << t;
        profundidad += int(t.count(QLatin1Char('('))) - int(t.count(QLatin1Char(')')));
    }
    return consultas;
}

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// What is timed for each busy customer, in the order of each round.
enum Sentencia { Pasada, ConBusquedas, Procedimiento, PorBloques, kSentencias };

QString sentencia(Sentencia s, int cliente)
{
    if (s == Pasada)
        return unaPasada(cliente);
    if (s == ConBusquedas)
        return pasadaConBusquedas(cliente);
    return llamada(s == Procedimiento ? kProcedimiento : kPorBloques, cliente);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    try {
        std::printf("preparing %d customers and the busy ones ...\n", kClientes);
        std::fflush(stdout);
        testsupport::TestDatabase db(QStringLiteral("bench-procedure"));
        const QString ruta = db.connectionString();
        {
            Conexion c(ruta);
            // The schema first, so the documents can name their series' groups.
            for (const QString &s : SentenciasEsquema())
                c.ejecutar(s, true);
            c.ejecutar(QStringLiteral("INSERT INTO GRUPOSEMPRESAS VALUES (1, '1', 'GRUPO', 1)"));
            for (int g = 1; g <= 5; ++g) {
                c.ejecutar(QStringLiteral("INSERT INTO SERIESDOCUMENTOS (IDSERIESDOCUMENTOS, CODIGO, GRUPORIESGO) "
                                          "VALUES (%1, 'D%1', %1)").arg(g));
                c.ejecutar(QStringLiteral("INSERT INTO SERIESFACTURAS (IDSERIESFACTURAS, CODIGO, GRUPORIESGO) "
                                          "VALUES (%1, 'F%1', %1)").arg(g));
            }
            c.ejecutar(QString::fromLatin1(kFondo).arg(kClientes));
            for (const Ocupado &o : kOcupados)
                c.ejecutar(QString::fromLatin1(kClienteOcupado).arg(o.cliente).arg(o.cliente * 1000000).arg(o.pasos));
            // As after a restore: the optimizer sees the real spread of every index.
            for (const auto &f : c.filas("SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES WHERE RDB$SYSTEM_FLAG = 0"))
                c.ejecutar(QStringLiteral("SET STATISTICS INDEX ") + QString::fromStdString(f[0]));
            c.ejecutar(TextoProcedimientoRiesgo().join(QLatin1Char('\n')));
            c.ejecutar(SentenciaGrant());
            c.ejecutar(installtest::textoPorBloques(QLatin1String(kPorBloques)));
        }

        std::map<int, long> documentos;
        {
            Conexion c(ruta);
            for (const Ocupado &o : kOcupados)
                for (const auto &t : kTablasDocumentos)
                    documentos[o.cliente] += std::stol(c.filas(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = %3")
                                                                   .arg(QLatin1String(t[0]), QLatin1String(t[1]))
                                                                   .arg(o.cliente))[0][0]);
        }

        // Both procedures must agree to the last bit before their times mean anything.
        bool iguales = true;
        std::map<int, std::vector<double>[kSentencias]> ms;
        {
            Conexion c(ruta);
            std::map<int, std::unique_ptr<Consulta>[kSentencias]> consultas;
            std::map<int, int[kSentencias]> veces;
            for (const Ocupado &o : kOcupados)
                for (int k = 0; k < kSentencias; ++k) {
                    auto &q = consultas[o.cliente][k];
                    q = c.consulta(sentencia(Sentencia(k), o.cliente));
                    veces[o.cliente][k] = std::max(1, int(kMsPorTanda / std::max(0.001, q->msPorLlamada(1))));
                }
            for (const Ocupado &o : kOcupados)
                if (consultas[o.cliente][Procedimiento]->ejecutar() != consultas[o.cliente][PorBloques]->ejecutar()) {
                    iguales = false;
                    std::printf("customer %d: the procedures return different values\n", o.cliente);
                }
            // Each round starts with a different statement, so none always runs first
            // after the previous customer's.
            for (int ronda = 0; ronda < kRondas; ++ronda)
                for (const Ocupado &o : kOcupados)
                    for (int i = 0; i < kSentencias; ++i) {
                        const int k = (ronda + i) % kSentencias;
                        ms[o.cliente][k].push_back(consultas[o.cliente][k]->msPorLlamada(veces[o.cliente][k]));
                    }
        }

        std::printf("\n%s against one pass over the customer's rows, %d customers, median ms per call of %d "
                    "alternating rounds\n",
                    kProcedimiento, kClientes, kRondas);
        std::printf("  %9s %9s %14s %7s %10s %7s %10s %7s\n", "documents", "one pass", "with lookups", "ratio",
                    "procedure", "ratio", "by blocks", "ratio");
        for (const Ocupado &o : kOcupados) {
            double m[kSentencias];
            for (int k = 0; k < kSentencias; ++k)
                m[k] = mediana(ms[o.cliente][k]);
            std::printf("  %9ld %9.3f %14.3f %7.2f %10.3f %7.2f %10.3f %7.2f\n", documentos[o.cliente], m[Pasada],
                        m[ConBusquedas], m[ConBusquedas] / m[Pasada], m[Procedimiento], m[Procedimiento] / m[Pasada],
                        m[PorBloques], m[PorBloques] / m[Pasada]);
        }

        long natural = 0;
        for (const Ocupado &o : kOcupados) {
            std::map<std::string, std::pair<long, long>> leidos[kSentencias];
            for (int k = 0; k < kSentencias; ++k)
                leidos[k] = lecturas(ruta, sentencia(Sentencia(k), o.cliente));
            std::printf("\n  records read per call, customer with %ld documents (index / natural)\n",
                        documentos[o.cliente]);
            std::printf("  %-26s %14s %14s %14s %14s\n", "table", "one pass", "with lookups", "procedure",
                        "by blocks");
            std::map<std::string, bool> tablas;
            for (const auto &m : leidos)
                for (const auto &[t, v] : m)
                    tablas[t] = true;
            for (const auto &[t, _] : tablas) {
                auto celda = [&t](const std::map<std::string, std::pair<long, long>> &m) {
                    const auto it = m.find(t);
                    return it == m.end() ? std::string("-")
                                         : std::to_string(it->second.first) + " / " + std::to_string(it->second.second);
                };
                std::printf("  %-26s %14s %14s %14s %14s\n", t.c_str(), celda(leidos[Pasada]).c_str(),
                            celda(leidos[ConBusquedas]).c_str(), celda(leidos[Procedimiento]).c_str(),
                            celda(leidos[PorBloques]).c_str());
                const auto &proc = leidos[Procedimiento];
                natural += proc.count(t) ? proc.at(t).second : 0;
            }
        }

        {
            Conexion c(ruta);
            std::printf("\n  plans of the procedure's statements (customer 1):\n");
            for (const auto &[titulo, consulta] : consultasDelProcedimiento()) {
                std::printf("  %s\n", qPrintable(titulo));
                const QString plan = QString::fromStdString(c.plan(consulta));
                for (const QString &linea : plan.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                    std::printf("      %s\n", qPrintable(linea));
            }
        }

        std::printf("\n%s\n", natural == 0 ? "every table was read through an index"
                                            : "WARNING: some table was read without an index");
        std::printf("%s\n", iguales ? "both procedures return the same bits for every busy customer"
                                    : "WARNING: the procedures disagree");
        return natural == 0 && iguales ? 0 : 1;
    } catch (const FbException &e) {
        std::fprintf(stderr, "%s\n", mensaje(e).c_str());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return 2;
}
