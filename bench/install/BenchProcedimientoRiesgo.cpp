// Builds a host database of 20 000 customers with a few documents each, gives
// customer 1 some 2 000 documents spread over every kind the risk procedure
// reads, installs the module and then measures PRSITUACIONCLIENTESRIESGOGRUPOS
// for that customer: time per call, the ratio against one plain pass over the
// customer's rows, and the records each table gave through an index or by a
// natural (whole-table) scan.
#include "install/SentenciasInstalacion.h"
#include "support/TestDatabase.h"

#include <firebird/Interface.h>

#include <QCoreApplication>
#include <QRegularExpression>

#include <chrono>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Firebird;

namespace {

constexpr int kClientes = 20000;
constexpr int kCliente = 1;
constexpr int kLlamadas = 200;

IMaster *master() { return fb_get_master_interface(); }

std::string mensaje(const FbException &e)
{
    char buffer[1024];
    master()->getUtilInterface()->formatStatus(buffer, sizeof buffer, e.getStatus());
    return buffer;
}

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

    // Rows of a select as text columns; only integer, double and text columns are read.
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
                case SQL_DOUBLE: fila.push_back(std::to_string(*reinterpret_cast<const double *>(p))); break;
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

    // Milliseconds per execution of a select prepared once and fetched to the end.
    double milisegundosPorLlamada(const QString &sql, int veces)
    {
        ThrowStatusWrapper st(m_status);
        ITransaction *tra = m_att->startTransaction(&st, 0, nullptr);
        IStatement *stmt = m_att->prepare(&st, tra, 0, sql.toLatin1().constData(), 1,
                                          IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata *meta = stmt->getOutputMetadata(&st);
        std::vector<unsigned char> buf(meta->getMessageLength(&st));
        const auto inicio = std::chrono::steady_clock::now();
        for (int i = 0; i < veces; ++i) {
            IResultSet *rs = stmt->openCursor(&st, tra, nullptr, nullptr, meta, 0);
            while (rs->fetchNext(&st, buf.data()) == IStatus::RESULT_OK) {
            }
            rs->close(&st);
        }
        const std::chrono::duration<double, std::milli> total = std::chrono::steady_clock::now() - inicio;
        stmt->free(&st);
        meta->release();
        tra->commit(&st);
        return total.count() / veces;
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
DECLARE C INTEGER = 1;
DECLARE K INTEGER;
DECLARE ID INTEGER;
DECLARE G INTEGER;
BEGIN
  WHILE (C <= %1) DO BEGIN
    INSERT INTO CLIENTES (IDCLIENTES, CODIGO, NOMBRE, GRUPOEMPRESAS, RIESGOCONCEDIDO, RIESGOCONCEDIDO2, RIESGOCONCEDIDO3)
    VALUES (:C, :C, 'CLIENTE ' || :C, 1, 1000, 2000, 3000);
    K = 0;
    WHILE ((C > 1) AND (K < 3)) DO BEGIN
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

// Customer 1: 150 documents of each kind (orders pending and partly served,
// quotations, delivery notes, invoices with two instalments, returned, remitted,
// pending and collected collection documents, advances, collections, free
// advances) plus 100 return movements and their source documents: 2 000 in all.
const char *const kClienteOcupado = R"(EXECUTE BLOCK AS
DECLARE I INTEGER = 1;
DECLARE G INTEGER;
BEGIN
  WHILE (I <= 150) DO BEGIN
    G = MOD(I, 5) + 1;
    INSERT INTO PEDIDOSVENTA VALUES (:I, :I, 1, :G, 'P', 10);
    INSERT INTO PEDIDOSVENTA VALUES (1000 + :I, 1000 + :I, 1, :G, 'R', 20);
    INSERT INTO LINEASPEDIDOVENTA VALUES (2 * :I, 1000 + :I, 10, 4, 2.5);
    INSERT INTO LINEASPEDIDOVENTA VALUES (2 * :I + 1, 1000 + :I, 10, 4, 2.5);
    INSERT INTO PRESUPUESTOSVENTA VALUES (:I, :I, 1, :G, 'P', 5);
    INSERT INTO ALBARANESVENTA VALUES (:I, :I, 1, :G, IIF(:I <= 100, NULL, :I), 3);
    INSERT INTO FACTURASVENTA VALUES (:I, :I, 1, :G, NULL, 14);
    INSERT INTO LINEASGIROSFACTURAVENTA VALUES (2 * :I, :I, 7, NULL, 'P');
    INSERT INTO LINEASGIROSFACTURAVENTA VALUES (2 * :I + 1, :I, 7, NULL, 'P');
    INSERT INTO DOCUMENTOSCOBRO VALUES (:I, 1, 11, 50000 + :I, NULL, 'P', :G);
    INSERT INTO DOCUMENTOSCOBRO VALUES (1000 + :I, 1, 12, NULL, 1, 'F', :G);
    INSERT INTO DOCUMENTOSCOBRO VALUES (2000 + :I, 1, 13, NULL, NULL, 'P', :G);
    INSERT INTO DOCUMENTOSCOBRO VALUES (3000 + :I, 1, 14, 60000 + :I, NULL, 'P', :G);
    INSERT INTO MOVIMIENTOSCOBRO VALUES (:I, 1, 8, NULL, :I, IIF(MOD(:I, 2) = 0, :I, NULL), NULL, 'A');
    INSERT INTO MOVIMIENTOSCOBRO VALUES (1000 + :I, 1, 14, 3000 + :I, NULL, NULL, NULL, 'CF');
    IF (I <= 100) THEN BEGIN
      INSERT INTO DOCUMENTOSCOBRO VALUES (4000 + :I, 1, 15, NULL, NULL, 'P', :G);
      INSERT INTO MOVIMIENTOSCOBRO VALUES (2000 + :I, 1, 15, 4000 + :I, NULL, NULL, NULL, 'D');
    END
    INSERT INTO MOVIMIENTOSCOBRO VALUES (3000 + :I, 1, 9, NULL, NULL, NULL, NULL, 'A');
    I = I + 1;
  END
END)";

const char *const kTablasDocumentos[] = {"PEDIDOSVENTA", "PRESUPUESTOSVENTA", "ALBARANESVENTA", "FACTURASVENTA",
                                         "DOCUMENTOSCOBRO", "MOVIMIENTOSCOBRO"};

// The floor: every row of the customer read once through its customer index.
const char *const kUnaPasada = R"(SELECT
 (SELECT SUM(IMPORTEPEDIDO) FROM PEDIDOSVENTA WHERE CLIENTE = 1),
 (SELECT SUM(L.PRECIO) FROM PEDIDOSVENTA P JOIN LINEASPEDIDOVENTA L ON L.PEDIDOVENTA = P.IDPEDIDOSVENTA WHERE P.CLIENTE = 1),
 (SELECT SUM(IMPORTEPRESUPUESTO) FROM PRESUPUESTOSVENTA WHERE CLIENTE = 1),
 (SELECT SUM(IMPORTEALBARAN) FROM ALBARANESVENTA WHERE CLIENTE = 1),
 (SELECT SUM(G.IMPORTEVTO) FROM FACTURASVENTA F JOIN LINEASGIROSFACTURAVENTA G ON G.FACTURAVENTA = F.IDFACTURASVENTA WHERE F.CLIENTE = 1),
 (SELECT SUM(IMPORTEDOCUMENTO) FROM DOCUMENTOSCOBRO WHERE CLIENTEORIGEN = 1),
 (SELECT SUM(IMPORTEMOVIMIENTO) FROM MOVIMIENTOSCOBRO WHERE CLIENTEORIGEN = 1)
FROM RDB$DATABASE)";

const char *const kLecturas = R"(SELECT TRIM(T.MON$TABLE_NAME), CAST(R.MON$RECORD_IDX_READS AS INTEGER), CAST(R.MON$RECORD_SEQ_READS AS INTEGER)
FROM MON$TABLE_STATS T
JOIN MON$RECORD_STATS R ON R.MON$STAT_ID = T.MON$RECORD_STAT_ID
JOIN MON$ATTACHMENTS A ON A.MON$STAT_ID = T.MON$STAT_ID
WHERE A.MON$ATTACHMENT_ID = CURRENT_CONNECTION AND T.MON$TABLE_NAME NOT STARTING WITH 'RDB$'
ORDER BY 1)";

// The procedure's queries for group 1 (and the ones run once), each on its own
// for the customer, to show the plan the server picks for it.
std::vector<std::pair<QString, QString>> consultasDelProcedimiento()
{
    std::vector<std::pair<QString, QString>> consultas;
    QString titulo;
    QStringList lineas;
    for (const QString &linea : TextoProcedimientoRiesgo()) {
        const QString t = linea.trimmed();
        if (t.startsWith(QLatin1String("/*")) && t.endsWith(QLatin1String("*/"))) {
            titulo = t.mid(2, t.size() - 4).trimmed();
            lineas.clear();
        } else if (!titulo.isEmpty() && t.startsWith(QLatin1String("INTO "))) {
            if (!titulo.contains(QRegularExpression(QStringLiteral("^[2-5]"))))
                consultas.emplace_back(titulo, lineas.join(QLatin1Char('\n'))
                                                   .replace(QLatin1String(":PARCLIENTE"), QString::number(kCliente))
                                                   .replace(QLatin1String(":AUXIDGRUPOSEMPRESAS"), QStringLiteral("1")));
            titulo.clear();
        } else if (!titulo.isEmpty()) {
            lineas << t;
        }
    }
    return consultas;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    try {
        std::printf("preparing %d customers ...\n", kClientes);
        std::fflush(stdout);
        testsupport::TestDatabase db(QStringLiteral("bench-install"));
        {
            Conexion c(db.connectionString());
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
            c.ejecutar(QString::fromLatin1(kClienteOcupado));
            // As after a restore: the optimizer sees the real spread of every index.
            for (const auto &f : c.filas("SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES WHERE RDB$SYSTEM_FLAG = 0"))
                c.ejecutar(QStringLiteral("SET STATISTICS INDEX ") + QString::fromStdString(f[0]));
            c.ejecutar(TextoProcedimientoRiesgo().join(QLatin1Char('\n')));
            c.ejecutar(SentenciaGrant());
        }

        long documentos = 0;
        {
            Conexion c(db.connectionString());
            for (const char *t : kTablasDocumentos) {
                const char *columna = QByteArray(t).startsWith("DOCUMENTOS") || QByteArray(t).startsWith("MOVIMIENTOS")
                                          ? "CLIENTEORIGEN"
                                          : "CLIENTE";
                documentos += std::stol(
                    c.filas(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = %3").arg(t, columna).arg(kCliente))[0][0]);
            }
        }

        std::vector<std::pair<QString, std::string>> planes;
        {
            Conexion c(db.connectionString());
            for (const auto &[titulo, consulta] : consultasDelProcedimiento())
                planes.emplace_back(titulo, c.plan(consulta));
        }

        const QString llamada = QStringLiteral("SELECT * FROM PRSITUACIONCLIENTESRIESGOGRUPOS(%1)").arg(kCliente);
        double msProcedimiento = 0, msPasada = 0;
        {
            Conexion c(db.connectionString());
            c.milisegundosPorLlamada(llamada, 3); // compiles and caches the procedure
            msProcedimiento = c.milisegundosPorLlamada(llamada, kLlamadas);
            msPasada = c.milisegundosPorLlamada(QString::fromLatin1(kUnaPasada), kLlamadas);
        }

        // One call on a fresh connection: its record counts are the call's own.
        std::vector<std::vector<std::string>> lecturas;
        {
            Conexion c(db.connectionString());
            c.milisegundosPorLlamada(llamada, 1);
            lecturas = c.filas(QString::fromLatin1(kLecturas));
        }

        std::printf("\nPRSITUACIONCLIENTESRIESGOGRUPOS, customer with %ld documents, %d customers\n", documentos,
                    kClientes);
        std::printf("  time per call               %8.3f ms (%d calls)\n", msProcedimiento, kLlamadas);
        std::printf("  one pass over its rows      %8.3f ms\n", msPasada);
        std::printf("  ratio call / one pass       %8.2f\n\n", msProcedimiento / msPasada);
        std::printf("  %-26s %12s %12s\n", "table", "index reads", "natural");
        long indice = 0, natural = 0;
        for (const auto &f : lecturas) {
            std::printf("  %-26s %12s %12s\n", f[0].c_str(), f[1].c_str(), f[2].c_str());
            indice += std::stol(f[1]);
            natural += std::stol(f[2]);
        }
        std::printf("  %-26s %12ld %12ld\n", "total", indice, natural);
        std::printf("  index reads per document    %8.2f\n", double(indice) / double(documentos));
        std::printf("\n  plans (group 1):\n");
        for (const auto &[titulo, texto] : planes) {
            std::printf("  %s\n", qPrintable(titulo));
            for (const QString &linea : QString::fromStdString(texto).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                std::printf("      %s\n", qPrintable(linea));
        }
        std::printf("\n%s\n", natural == 0 ? "every table was read through an index"
                                            : "WARNING: some table was read without an index");
        return natural == 0 ? 0 : 1;
    } catch (const FbException &e) {
        std::fprintf(stderr, "%s\n", mensaje(e).c_str());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return 2;
}
