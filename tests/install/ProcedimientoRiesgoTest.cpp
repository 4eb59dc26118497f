#include "InstalacionPrueba.h"

#include <QVariant>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <ostream>

using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

// Document series 1 to 5 and invoice series 1 to 5 belong to the group of their
// id; series 9 of each kind has no group; series 77 does not exist.
constexpr int kSinGrupo = 9;
constexpr int kInexistente = 77;

// Company groups with each setting of the pending-orders switch.
constexpr int kSwitchCero = 1, kSwitchUno = 2, kSwitchNulo = 3, kSwitchNegativo = 4, kGrupoInexistente = 88;

HostRows &cliente(HostRows &h, int id, QVariant grupo = kSwitchCero, HostRows::Columns extra = {})
{
    HostRows::Columns columnas{{"IDCLIENTES", id}, {"CODIGO", QString::number(id)},
                               {"NOMBRE", QStringLiteral("Cliente %1").arg(id)}, {"GRUPOEMPRESAS", grupo}};
    columnas.insert(columnas.end(), extra.begin(), extra.end());
    return h.insert(QStringLiteral("CLIENTES"), columnas);
}

// A movement that originates from a collection document (a collection or a return).
HostRows &movimientoDesde(HostRows &h, int id, int clienteId, double importe, const QString &estado, int documento)
{
    return h.movimientoCobro(id, clienteId, importe, estado, {{"DOCUMENTOORIGENCOBRO", documento}});
}

struct Caso
{
    const char *nombre;
    int cliente;
    std::function<void(HostRows &, int c)> documentos;
    std::map<QString, double> esperado; // every other output must be 0
};

void PrintTo(const Caso &caso, std::ostream *os) { *os << caso.nombre; }

// Pending orders and delivery notes of one customer, to see which switch settings
// add the orders to the risk in use.
Caso casoSwitch(const char *nombre, int c, QVariant grupo, bool sumaPedidos)
{
    return {nombre, c,
            [grupo](HostRows &h, int c) {
                cliente(h, c, grupo);
                h.pedido(c * 100 + 1, c, 1, QStringLiteral("P"), 100.0);
                h.albaran(c * 100 + 2, c, 1, QVariant(), 10.0);
            },
            {{"PARPEDIDOSPTES1", 100},
             {"PARALBSINFACT1", 10},
             {"PARTOTALOTROS1", 100},
             {"PARTOTALRIESGO1", sumaPedidos ? 110 : 10}}};
}

std::vector<Caso> casos()
{
    return {
        {"SinDocumentosSoloRiesgoConcedido", 1,
         [](HostRows &h, int c) {
             cliente(h, c, kSwitchCero,
                     {{"RIESGOCONCEDIDO", 1500.0}, {"RIESGOCONCEDIDO2", QVariant()}, {"RIESGOCONCEDIDO3", 200.0}});
         },
         {{"PARRIESGOCONCEDIDO1", 1500}, {"PARRIESGOCONCEDIDO3", 200}}},

        {"ClienteInexistenteDevuelveCeros", 999, nullptr, {}},

        {"PedidosPendientesPorGrupoDeSuSerie", 3,
         [](HostRows &h, int c) {
             cliente(h, c);
             h.pedido(301, c, 1, "P", 100.0).pedido(302, c, 1, "P", 25.0).pedido(303, c, 2, "P", 50.0);
             h.pedido(304, c, 1, "R", 999.0);                // not pending
             h.pedido(305, c, kSinGrupo, "P", 999.0);        // series without group
             h.pedido(306, c, kInexistente, "P", 999.0);     // series missing
             h.pedido(307, c, QVariant(), "P", 999.0);       // no series
             h.pedido(308, c + 1000, 1, "P", 999.0);         // another customer
         },
         {{"PARPEDIDOSPTES1", 125}, {"PARPEDIDOSPTES2", 50}, {"PARTOTALOTROS1", 125}, {"PARTOTALOTROS2", 50}}},

        casoSwitch("SwitchCeroDejaFueraLosPedidos", 11, kSwitchCero, false),
        casoSwitch("SwitchNuloComoCero", 12, kSwitchNulo, false),
        casoSwitch("SinGrupoDeEmpresasComoCero", 13, QVariant(), false),
        casoSwitch("GrupoDeEmpresasInexistenteComoCero", 14, kGrupoInexistente, false),
        casoSwitch("SwitchUnoSumaLosPedidos", 15, kSwitchUno, true),
        casoSwitch("SwitchNegativoSumaLosPedidos", 16, kSwitchNegativo, true),

        {"PedidosParcialmenteServidos", 5,
         [](HostRows &h, int c) {
             cliente(h, c);
             h.pedido(501, c, 1, "R", 999.0)
                 .lineaPedido(511, 501, 10.0, 4.0, 2.5)       // 6 undelivered at 2.5
                 .lineaPedido(512, 501, 5.0, 5.0, 3.0)        // served in full
                 .lineaPedido(513, 501, 3.0, 1.0, QVariant()) // no price
                 .lineaPedido(514, 501, 2.0, 3.0, 7.0);       // served beyond the order
             h.pedido(502, c, 1, "R", 999.0).lineaPedido(521, 502, 4.0, 4.0, 9.0);
             h.pedido(503, c, 1, "P", 1.0).lineaPedido(531, 503, 2.0, 0.0, 100.0); // pending, not partial
             h.pedido(504, c, 2, "R", 999.0).lineaPedido(541, 504, 2.0, 0.0, 10.0);
             h.pedido(505, c, kSinGrupo, "R", 999.0).lineaPedido(551, 505, 1.0, 0.0, 999.0);
         },
         {{"PARPEDIDOSPARCIALES1", 15},
          {"PARPEDIDOSPARCIALES2", 20},
          {"PARPEDIDOSPTES1", 1},
          {"PARTOTALOTROS1", 1}}},

        {"AnticiposPorGrupoDelPedidoYDelAlbaran", 6,
         [](HostRows &h, int c) {
             cliente(h, c);
             h.pedido(601, c, 1, "S", 0.0).pedido(604, c, kSinGrupo, "S", 0.0);
             h.albaran(602, c, 2, 1, 0.0).albaran(603, c, 1, 1, 0.0);
             h.movimientoCobro(611, c, 30.0, "A", {{"PEDIDOORIGEN", 601}, {"ALBARANORIGEN", 602}}); // groups 1 and 2
             h.movimientoCobro(612, c, 5.0, "A", {{"PEDIDOORIGEN", 601}});
             h.movimientoCobro(613, c, 11.0, "A", {{"PEDIDOORIGEN", 601}, {"ALBARANORIGEN", 603}}); // once in group 1
             h.movimientoCobro(614, c, 1000.0, "A", {{"PEDIDOORIGEN", 601}, {"FACTURALIQUIDACION", 1}});
             h.movimientoCobro(615, c, 7.0, "A");                                    // free advance
             h.movimientoCobro(616, c, 2000.0, "A", {{"FACTURALIQUIDACION", 1}});    // settled
             h.movimientoCobro(617, c, 3000.0, "A", {{"PEDIDOORIGEN", 601}, {"DOCUMENTOORIGENCOBRO", 1}});
             h.movimientoCobro(618, c, 4000.0, "A", {{"PEDIDOORIGEN", 604}});        // order without group
         },
         {{"PARTOTALANTICIPOS1", 46}, {"PARTOTALANTICIPOS2", 30}, {"PARTOTALANTICIPOSLIBRES", 7}}},

        {"PresupuestosSinAceptar", 7,
         [](HostRows &h, int c) {
             cliente(h, c);
             h.presupuesto(701, c, 1, "P", 40.0).presupuesto(702, c, 1, "A", 999.0);
             h.presupuesto(703, c, 3, "P", 8.0).presupuesto(704, c, kSinGrupo, "P", 999.0);
         },
         {{"PARPRESINACEPTAR1", 40}, {"PARPRESINACEPTAR3", 8}, {"PARTOTALOTROS1", 40}, {"PARTOTALOTROS3", 8}}},

        {"AlbaranesSinFacturar", 8,
         [](HostRows &h, int c) {
             cliente(h, c);
             h.albaran(801, c, 1, QVariant(), 60.0).albaran(802, c, 1, 5, 999.0);
             h.albaran(803, c, kSinGrupo, QVariant(), 999.0).albaran(804, c, 4, QVariant(), 6.0);
         },
         {{"PARALBSINFACT1", 60}, {"PARALBSINFACT4", 6}, {"PARTOTALRIESGO1", 60}, {"PARTOTALRIESGO4", 6}}},

        {"VencimientosSinDocumentoDeCobro", 9,
         [](HostRows &h, int c) {
             cliente(h, c);
             h.factura(901, c, 1)
                 .giro(911, 901, 100.0, QVariant(), "P")
                 .giro(912, 901, 200.0, 1, "P")          // already has its collection document
                 .giro(913, 901, 300.0, QVariant(), "X");
             h.factura(902, c, 2); // no instalments
             h.factura(903, c, kSinGrupo).giro(931, 903, 999.0, QVariant(), "P");
             h.factura(904, c, 3).giro(941, 904, 12.0, QVariant(), "P");
         },
         {{"PARFACTPTESCOBRO1", 100}, {"PARFACTPTESCOBRO3", 12}, {"PARTOTALRIESGO1", 100}, {"PARTOTALRIESGO3", 12}}},

        {"DocumentosDeCobroSegunSuSituacion", 10,
         [](HostRows &h, int c) {
             cliente(h, c);
             h.documentoCobro(1001, c, 100.0, 1, "P", QVariant(), 9001); // returned
             h.documentoCobro(1003, c, 800.0, 1, "P", QVariant(), 9003); // returned, collected since
             movimientoDesde(h, 1051, c, 800.0, "C", 1003);
             h.documentoCobro(1004, c, 200.0, 1, "F", 5);                // remitted, at risk
             h.documentoCobro(1006, c, 300.0, 1, "P");                   // to remit
             h.documentoCobro(1008, c, 999.0, 1, "P");                   // collected
             movimientoDesde(h, 1052, c, 999.0, "C", 1008);
             h.documentoCobro(1009, c, 400.0, 2, "F", 5);                // collected, still at risk
             movimientoDesde(h, 1053, c, 400.0, "C", 1009);
             h.documentoCobro(1010, c, 999.0, kSinGrupo, "P");
             h.documentoCobro(1011, c, 999.0, kInexistente, "F", 5);
         },
         {{"PARDEVPENDIENTES1", 100},
          {"PARREMPTESCONFIRMAR1", 200},
          {"PARREMESASENRIESGO1", 200},
          {"PARFACTPTESREMESAR1", 300},
          {"PARTOTALRIESGO1", 800},
          {"PARREMESASENRIESGO2", 400},
          {"PARTOTALRIESGO2", 400}}},

        {"EstadoXSoloCuentaDevueltoORemesado", 20,
         [](HostRows &h, int c) {
             cliente(h, c);
             h.documentoCobro(2001, c, 999.0, 1, "X");                   // neither returned nor remitted
             h.documentoCobro(2002, c, 50.0, 1, "X", QVariant(), 9002);  // returned
             h.documentoCobro(2003, c, 70.0, 1, "X", 5);                 // remitted
         },
         {{"PARDEVPENDIENTES1", 50}, {"PARREMPTESCONFIRMAR1", 70}, {"PARTOTALRIESGO1", 120}}},

        {"DevolucionCobradaCuentaUnaVez", 21,
         [](HostRows &h, int c) {
             cliente(h, c);
             h.documentoCobro(2101, c, 500.0, 1, "P", QVariant(), 9101);
             movimientoDesde(h, 2111, c, 250.0, "CF", 2101); // collected in two parts
             movimientoDesde(h, 2112, c, 250.0, "CF", 2101);
             h.documentoCobro(2102, c, 80.0, 2, "P", QVariant(), 9102);
             movimientoDesde(h, 2113, c, 80.0, "CF", 2102);
             movimientoDesde(h, 2114, c, 80.0, "C", 2102);
             h.documentoCobro(2103, c, 999.0, 1, "P"); // not a returned document
             movimientoDesde(h, 2115, c, 999.0, "CF", 2103);
             h.documentoCobro(2104, c, 999.0, 1, "P", QVariant(), 9104);
             movimientoDesde(h, 2116, c, 999.0, "C", 2104);
         },
         {{"PARSUMADEVCOBRADAS1", 500},
          {"PARSUMADEVCOBRADAS2", 80},
          {"PARSUMADEVTOTALES1", 500},
          {"PARSUMADEVTOTALES2", 80}}},

        {"MovimientosDeDevolucionPendientes", 22,
         [](HostRows &h, int c) {
             cliente(h, c);
             h.documentoCobro(2201, c, 999.0, 1, "P");
             movimientoDesde(h, 2211, c, 25.0, "D", 2201);
             movimientoDesde(h, 2212, c, 35.0, "D", 2201);            // already a new document
             h.documentoCobro(2202, c, 60.0, 1, "P", QVariant(), 2212);
             movimientoDesde(h, 2214, c, 999.0, "C", 2201);
             h.documentoCobro(2203, c, 999.0, 2, "P");
             movimientoDesde(h, 2213, c, 45.0, "D", 2203);
             h.documentoCobro(2204, c, 999.0, kSinGrupo, "P");
             movimientoDesde(h, 2215, c, 999.0, "D", 2204);
         },
         {{"PARSUMADEVPENDIENTES1", 25},
          {"PARSUMADEVPENDIENTES2", 45},
          {"PARSUMADEVTOTALES1", 25},
          {"PARSUMADEVTOTALES2", 45},
          {"PARDEVPENDIENTES1", 60},
          {"PARTOTALRIESGO1", 60}}},

        // One document of each kind in group 4, amounts powers of two, so the
        // totals show which terms they add up.
        {"TotalesConElSwitchActivo", 23,
         [](HostRows &h, int c) {
             cliente(h, c, kSwitchUno);
             h.factura(2301, c, 4).giro(2311, 2301, 1.0, QVariant(), "P");
             h.documentoCobro(2302, c, 2.0, 4, "F", 5);
             h.documentoCobro(2303, c, 4.0, 4, "P", QVariant(), 9303);
             h.documentoCobro(2304, c, 8.0, 4, "P");
             h.albaran(2305, c, 4, QVariant(), 16.0);
             h.pedido(2306, c, 4, "P", 32.0);
             h.presupuesto(2307, c, 4, "P", 64.0);
             h.pedido(2308, c, 4, "R", 0.0).lineaPedido(2318, 2308, 1.0, 0.0, 128.0);
             h.movimientoCobro(2309, c, 256.0, "A", {{"ALBARANORIGEN", 2305}});
         },
         {{"PARFACTPTESCOBRO4", 1},
          {"PARREMESASENRIESGO4", 2},
          {"PARREMPTESCONFIRMAR4", 2},
          {"PARDEVPENDIENTES4", 4},
          {"PARFACTPTESREMESAR4", 8},
          {"PARALBSINFACT4", 16},
          {"PARPEDIDOSPTES4", 32},
          {"PARPRESINACEPTAR4", 64},
          {"PARPEDIDOSPARCIALES4", 128},
          {"PARTOTALANTICIPOS4", 256},
          {"PARTOTALRIESGO4", 65},
          {"PARTOTALOTROS4", 96}}},
    };
}

class ProcedimientoRiesgo : public ::testing::TestWithParam<Caso>
{
public:
    static void SetUpTestSuite()
    {
        db = std::make_unique<TestDatabase>(QStringLiteral("install-risk-procedure"));
        installtest::instalarModulo(*db);
        HostRows h;
        h.grupoEmpresas(kSwitchCero, 0).grupoEmpresas(kSwitchUno, 1);
        h.grupoEmpresas(kSwitchNulo, QVariant()).grupoEmpresas(kSwitchNegativo, -1);
        h.empresa(10, kSwitchCero);
        for (int g = 1; g <= 5; ++g) {
            h.serieDocumento(g, QStringLiteral("D%1").arg(g), 10, {{"GRUPORIESGO", g}});
            h.serieFactura(g, QStringLiteral("F%1").arg(g), 10, {{"GRUPORIESGO", g}});
        }
        h.serieDocumento(kSinGrupo, QStringLiteral("DN"), 10, {{"GRUPORIESGO", QVariant()}});
        h.serieFactura(kSinGrupo, QStringLiteral("FN"), 10, {{"GRUPORIESGO", QVariant()}});
        for (const Caso &caso : casos())
            if (caso.documentos)
                caso.documentos(h, caso.cliente);
        h.into(*db);
    }
    static void TearDownTestSuite() { db.reset(); }

    static std::unique_ptr<TestDatabase> db;
};

std::unique_ptr<TestDatabase> ProcedimientoRiesgo::db;

TEST_P(ProcedimientoRiesgo, ReturnsOneRowWithEveryOutputSet)
{
    const Caso &caso = GetParam();
    const std::map<QString, double> fila = installtest::situacionRiesgo(*db, caso.cliente);
    for (const QString &salida : installtest::salidasRiesgo()) {
        const auto it = fila.find(salida);
        ASSERT_NE(it, fila.end()) << qPrintable(salida) << " is NULL";
        const auto esperado = caso.esperado.find(salida);
        EXPECT_DOUBLE_EQ(it->second, esperado == caso.esperado.end() ? 0.0 : esperado->second)
            << qPrintable(salida);
    }
}

INSTANTIATE_TEST_SUITE_P(Casos, ProcedimientoRiesgo, ::testing::ValuesIn(casos()),
                         [](const ::testing::TestParamInfo<Caso> &info) { return std::string(info.param.nombre); });

} // namespace
