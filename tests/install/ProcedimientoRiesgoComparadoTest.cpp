// The installed risk procedure reads each table once per call. The text it
// replaced, one aggregate query per group and block, is kept in
// tests/fixtures/risk-procedure-by-blocks.sql as the reference: on random
// documents of every kind and state, both must return the same 81 doubles, bit
// for bit, for every customer.
#include "InstalacionPrueba.h"

#include <QVariant>

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <map>
#include <random>
#include <stdexcept>
#include <vector>

using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

constexpr const char *kProcedimiento = "PRSITUACIONCLIENTESRIESGOGRUPOS";

// Customers 1 to kClientes; a few more ids hold documents but no customer row.
constexpr int kClientes = 24;
constexpr int kSinCliente = 3;

// Document and invoice series: 1 to 5 in the group of their id, 6 and 7 in groups
// 1 and 3 again, 8 without a group, 9 in group 2 without a code (advances tied to
// it count nowhere); invoice series 9 is private. 99 names a series that does not exist.
constexpr int kSeries = 9;
constexpr int kSerieInexistente = 99;
const QVariant kGrupoDeSerie[kSeries + 1] = {QVariant(), 1, 2, 3, 4, 5, 1, 3, QVariant(), 2};

// Company groups with the pending-orders switch at 0, 1, NULL and -1; 88 does not exist.
const QVariant kGruposEmpresas[] = {1, 2, 3, 4, QVariant(), 88};
const QVariant kSwitches[] = {0, 1, QVariant(), -1};

class Generador
{
public:
    explicit Generador(unsigned semilla) : m_azar(semilla) {}

    bool suerte(double p) { return std::bernoulli_distribution(p)(m_azar); }
    int entre(int desde, int hasta) { return std::uniform_int_distribution<int>(desde, hasta)(m_azar); }
    template <typename T, size_t N> T uno(const T (&opciones)[N]) { return opciones[entre(0, int(N) - 1)]; }

    // An amount in cents, now and then negative, zero or NULL, so that the order
    // of the additions shows in the last bits.
    QVariant importe()
    {
        if (suerte(0.06))
            return QVariant();
        if (suerte(0.03))
            return 0.0;
        const int centimos = entre(1, 250000);
        return (suerte(0.1) ? -centimos : centimos) / 100.0;
    }
    QVariant cantidad() { return suerte(0.08) ? QVariant() : QVariant(entre(0, 40) / 4.0); }
    QVariant serie()
    {
        if (suerte(0.05))
            return QVariant();
        return suerte(0.04) ? kSerieInexistente : entre(1, kSeries);
    }
    QVariant estado(std::initializer_list<const char *> estados)
    {
        if (suerte(0.05))
            return QVariant();
        const auto *e = estados.begin() + entre(0, int(estados.size()) - 1);
        return QString::fromLatin1(*e);
    }

private:
    std::mt19937 m_azar;
};

// Random documents for every customer id; ids of each table are numbered in the
// order the rows are made, so rows point at rows made before them.
class Documentos
{
public:
    explicit Documentos(HostRows &h) : m_h(h), m_g(20240611) {}

    void cliente(int c)
    {
        // Most customers have a handful of documents per kind; every fifth has many,
        // so that each group's sums add up long runs of amounts.
        const int escala = c % 5 == 0 ? 8 : 2;
        for (int i = m_g.entre(1, 5 * escala); i > 0; --i)
            pedido(c);
        for (int i = m_g.entre(1, 4 * escala); i > 0; --i)
            m_h.insert("PRESUPUESTOSVENTA", {{"IDPRESUPUESTOSVENTA", ++m_presupuestos}, {"CLIENTE", c},
                                             {"SERIEDOCUMENTO", m_g.serie()}, {"ESTADO", m_g.estado({"P", "A"})},
                                             {"IMPORTEPRESUPUESTO", m_g.importe()}});
        for (int i = m_g.entre(1, 4 * escala); i > 0; --i)
            m_h.insert("ALBARANESVENTA", {{"IDALBARANESVENTA", ++m_albaranes}, {"CLIENTE", c},
                                          {"SERIEDOCUMENTO", m_g.serie()},
                                          {"FACTURAVENTA", m_g.suerte(0.4) ? QVariant(m_g.entre(1, 500)) : QVariant()},
                                          {"IMPORTEALBARAN", m_g.importe()}});
        for (int i = m_g.entre(1, 3 * escala); i > 0; --i)
            factura(c);
        std::vector<int> propios;
        for (int i = m_g.entre(1, 8 * escala); i > 0; --i)
            propios.push_back(documentoCobro(c, QVariant()));
        for (int i = m_g.entre(1, 8 * escala); i > 0; --i)
            movimiento(c, propios);
    }

private:
    void pedido(int c)
    {
        const QVariant estado = m_g.estado({"P", "R", "R", "S"});
        m_h.insert("PEDIDOSVENTA", {{"IDPEDIDOSVENTA", ++m_pedidos}, {"CLIENTE", c}, {"SERIEDOCUMENTO", m_g.serie()},
                                    {"ESTADO", estado}, {"IMPORTEPEDIDO", m_g.importe()}});
        for (int i = m_g.entre(0, 4); i > 0; --i)
            m_h.insert("LINEASPEDIDOVENTA", {{"IDLINEASPEDIDOVENTA", ++m_lineas}, {"PEDIDOVENTA", m_pedidos},
                                             {"CANTIDADPEDIDASTOCK1", m_g.cantidad()},
                                             {"CANTIDADSERVIDASTOCK1", m_g.cantidad()}, {"PRECIO", m_g.importe()}});
    }

    void factura(int c)
    {
        m_h.insert("FACTURASVENTA", {{"IDFACTURASVENTA", ++m_facturas}, {"CLIENTE", c}, {"SERIEFACTURA", m_g.serie()}});
        for (int i = m_g.entre(0, 3); i > 0; --i)
            m_h.insert("LINEASGIROSFACTURAVENTA",
                       {{"IDLINEASGIROSFACTURAVENTA", ++m_giros}, {"FACTURAVENTA", m_facturas},
                        {"IMPORTEVTO", m_g.importe()},
                        {"DOCUMENTOCOBRO", m_g.suerte(0.3) ? QVariant(m_g.entre(1, 500)) : QVariant()},
                        {"ESTADO", m_g.estado({"P", "P", "X"})}});
    }

    // devolucion: the return movement this document was made from, if any.
    int documentoCobro(int c, QVariant devolucion)
    {
        if (devolucion.isNull() && m_g.suerte(0.35))
            devolucion = m_g.entre(900000, 900100); // returned, the return movement elsewhere
        m_h.insert("DOCUMENTOSCOBRO", {{"IDDOCUMENTOSCOBRO", ++m_documentos}, {"CLIENTEORIGEN", c},
                                       {"IMPORTEDOCUMENTO", m_g.importe()}, {"MOVIMIENTODEVOLUCION", devolucion},
                                       {"REMESA", m_g.suerte(0.4) ? QVariant(m_g.entre(1, 20)) : QVariant()},
                                       {"ESTADO", m_g.estado({"P", "F", "F", "X"})}, {"SERIEFACTURA", m_g.serie()}});
        // A returned document collected since, now and then in two parts.
        if (!devolucion.isNull() && m_g.suerte(0.3))
            for (int i = m_g.suerte(0.3) ? 2 : 1; i > 0; --i)
                m_h.insert("MOVIMIENTOSCOBRO", {{"IDMOVIMIENTOSCOBRO", ++m_movimientos}, {"CLIENTEORIGEN", c},
                                                {"IMPORTEMOVIMIENTO", m_g.importe()},
                                                {"ESTADO", QStringLiteral("CF")},
                                                {"DOCUMENTOORIGENCOBRO", m_documentos}});
        return m_documentos;
    }

    // Advances tied to orders and delivery notes (the customer's own, another
    // customer's or missing ones), settled or not; collections, collected returns
    // and returns from the customer's documents, now and then from another
    // customer's; and new documents made of some returns.
    void movimiento(int c, const std::vector<int> &propios)
    {
        HostRows::Columns m{{"IDMOVIMIENTOSCOBRO", ++m_movimientos}, {"CLIENTEORIGEN", c},
                            {"IMPORTEMOVIMIENTO", m_g.importe()}};
        if (m_g.suerte(0.45)) {
            m.push_back({"ESTADO", QStringLiteral("A")});
            if (m_g.suerte(0.6))
                m.push_back({"PEDIDOORIGEN", m_g.entre(1, m_pedidos + 3)});
            if (m_g.suerte(0.4))
                m.push_back({"ALBARANORIGEN", m_g.entre(1, m_albaranes + 3)});
            if (m_g.suerte(0.15))
                m.push_back({"FACTURALIQUIDACION", m_g.entre(1, 50)});
            m_h.insert("MOVIMIENTOSCOBRO", m);
            return;
        }
        const bool ajeno = propios.empty() || m_g.suerte(0.1);
        const int documento = ajeno ? m_g.entre(1, m_documentos + 2) : propios[m_g.entre(0, int(propios.size()) - 1)];
        const QVariant estado = m_g.estado({"C", "CF", "D", "D"});
        m.push_back({"ESTADO", estado});
        m.push_back({"DOCUMENTOORIGENCOBRO", documento});
        if (m_g.suerte(0.1))
            m.push_back({"PEDIDOORIGEN", m_g.entre(1, m_pedidos + 1)});
        m_h.insert("MOVIMIENTOSCOBRO", m);
        if (estado == QVariant(QStringLiteral("D")) && m_g.suerte(0.4))
            documentoCobro(c, m_movimientos);
    }

    HostRows &m_h;
    Generador m_g;
    int m_pedidos = 0, m_lineas = 0, m_presupuestos = 0, m_albaranes = 0, m_facturas = 0, m_giros = 0,
        m_documentos = 0, m_movimientos = 0;
};

void datosAleatorios(const TestDatabase &db)
{
    Generador g(7);
    HostRows h;
    for (int i = 0; i < 4; ++i)
        h.grupoEmpresas(i + 1, kSwitches[i]);
    h.empresa(10, 1);
    for (int s = 1; s <= kSeries; ++s) {
        h.insert("SERIESDOCUMENTOS", {{"IDSERIESDOCUMENTOS", s},
                                      {"CODIGO", s == kSeries ? QVariant() : QVariant(QStringLiteral("D%1").arg(s))},
                                      {"EMPRESA", 10}, {"GRUPORIESGO", kGrupoDeSerie[s]}});
        h.insert("SERIESFACTURAS", {{"IDSERIESFACTURAS", s}, {"CODIGO", QStringLiteral("F%1").arg(s)}, {"EMPRESA", 10},
                                    {"GRUPORIESGO", kGrupoDeSerie[s]}, {"PRIVADOSN", s == kSeries ? 1 : 0}});
    }
    for (int c = 1; c <= kClientes; ++c) {
        HostRows::Columns cliente{{"IDCLIENTES", c}, {"CODIGO", QString::number(c)},
                                  {"GRUPOEMPRESAS", g.uno(kGruposEmpresas)}, {"RIESGOCONCEDIDO", g.importe()}};
        for (int n = 2; n <= 5; ++n)
            cliente.push_back({QStringLiteral("RIESGOCONCEDIDO%1").arg(n), g.importe()});
        h.insert("CLIENTES", cliente);
    }
    Documentos documentos(h);
    for (int c = 1; c <= kClientes + kSinCliente; ++c)
        documentos.cliente(c);
    h.into(db);
}

// Every id from 1 to one past the last with documents: output name -> value.
std::map<int, std::map<QString, double>> situaciones(const TestDatabase &db)
{
    std::map<int, std::map<QString, double>> resultado;
    for (int c = 1; c <= kClientes + kSinCliente + 1; ++c)
        resultado[c] = installtest::situacionRiesgo(db, c);
    return resultado;
}

bool fuenteContiene(const TestDatabase &db, const QString &fragmento)
{
    return db.value(QStringLiteral("SELECT COUNT(*) FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = '%1' "
                                   "AND POSITION('%2' IN RDB$PROCEDURE_SOURCE) > 0")
                        .arg(QLatin1String(kProcedimiento), fragmento))
           == QLatin1String("1");
}

QString bits(double v)
{
    return QStringLiteral("%1 (0x%2)").arg(v, 0, 'g', 17).arg(std::bit_cast<std::uint64_t>(v), 16, 16, QLatin1Char('0'));
}

// Where two runs differ: "id OUTPUT: a vs b", NULL read as missing.
QStringList diferencias(const std::map<int, std::map<QString, double>> &a,
                        const std::map<int, std::map<QString, double>> &b)
{
    QStringList d;
    for (const auto &[id, filaA] : a)
        for (const QString &salida : installtest::salidasRiesgo()) {
            const auto x = filaA.find(salida), y = b.at(id).find(salida);
            const QString textoX = x == filaA.end() ? QStringLiteral("NULL") : bits(x->second);
            const QString textoY = y == b.at(id).end() ? QStringLiteral("NULL") : bits(y->second);
            if (x == filaA.end() || y == b.at(id).end()
                || std::bit_cast<std::uint64_t>(x->second) != std::bit_cast<std::uint64_t>(y->second))
                d << QStringLiteral("%1 %2: %3 vs %4").arg(id).arg(salida, textoX, textoY);
        }
    return d;
}

} // namespace

TEST(ProcedimientoRiesgoUnaPasada, ReturnsTheBlockByBlockBitsAndAReinstallPutsItBack)
{
    TestDatabase db(QStringLiteral("install-risk-compared"));
    installtest::instalarModulo(db);
    datosAleatorios(db);
    const auto unaPasada = situaciones(db);

    installtest::instalarPorBloques(db, QLatin1String(kProcedimiento));
    ASSERT_TRUE(fuenteContiene(db, QStringLiteral("/* 1Pedidos Pendientes de Servir */")));
    const auto porBloques = situaciones(db);

    const QStringList d = diferencias(unaPasada, porBloques);
    EXPECT_TRUE(d.isEmpty()) << d.size() << " outputs differ, first ones:\n"
                             << qPrintable(d.mid(0, 20).join(QLatin1Char('\n')));

    // The data must reach every output, or the comparison would prove little.
    for (const QString &salida : installtest::salidasRiesgo()) {
        bool conValor = false;
        for (const auto &[id, fila] : unaPasada)
            conValor = conValor || (fila.count(salida) && fila.at(salida) != 0.0);
        EXPECT_TRUE(conValor) << qPrintable(salida) << " is 0 for every customer";
    }

    // Installing again over the block-by-block text replaces it.
    installtest::instalarModulo(db);
    EXPECT_FALSE(fuenteContiene(db, QStringLiteral("/* 1Pedidos Pendientes de Servir */")));
    EXPECT_TRUE(fuenteContiene(db, QStringLiteral("FOR SELECT")));
}
