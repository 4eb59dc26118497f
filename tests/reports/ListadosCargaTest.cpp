// What the three listings gather into the memory table and their running
// totals, read while the preview is open, for the filters a user sets.
#include "ListadosPrueba.h"

#include "components/lxDBEditLookupSrc.h"
#include "framework/db/Database.h"
#include "framework/db/Transaction.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>
#include <optional>

using namespace listados;

namespace {

enum class Riesgos { Todos, Excedidos, NoExcedidos };

struct Filtro
{
    bool gruposTodos = true;
    std::vector<int> grupos;  ///< group boxes ticked
    Riesgos riesgos = Riesgos::Todos;
    std::optional<std::pair<QString, QString>> clientes; ///< customer range; none: "Todos"
};

Filtro conRiesgos(Riesgos r)
{
    Filtro f;
    f.riesgos = r;
    return f;
}

Filtro conGrupos(std::vector<int> grupos)
{
    Filtro f;
    f.gruposTodos = false;
    f.grupos = std::move(grupos);
    return f;
}

Filtro conClientes(const QString &desde, const QString &hasta)
{
    Filtro f;
    f.clientes = std::pair{desde, hasta};
    return f;
}

void aplicar(TFormListadosVelmora &w, const Filtro &f)
{
    w.CheckBoxGruposTodos->setChecked(f.gruposTodos);
    QCheckBox *casillas[5] = {w.CheckBoxGrupoRiesgo1, w.CheckBoxGrupoRiesgo2, w.CheckBoxGrupoRiesgo3,
                              w.CheckBoxGrupoRiesgo4, w.CheckBoxGrupoRiesgo5};
    for (int g = 1; g <= 5; ++g)
        casillas[g - 1]->setChecked(std::find(f.grupos.begin(), f.grupos.end(), g) != f.grupos.end());
    (f.riesgos == Riesgos::Todos       ? w.RadioButtonRiesgosTodos
     : f.riesgos == Riesgos::Excedidos ? w.RadioButtonRiesgosExcedidos
                                       : w.RadioButtonRiesgosNoExcedidos)
        ->setChecked(true);
    w.CheckBoxClientesTodos->setChecked(!f.clientes.has_value());
    if (f.clientes) {
        w.lxDBEditLookupClienteDesde->setText(f.clientes->first);
        w.lxDBEditLookupClienteHasta->setText(f.clientes->second);
    }
}

Listado porCliente(Ventana &v)
{
    v.w.RadioGroupTipoListado->findChild<QRadioButton *>(QStringLiteral("RadioGroupTipoListado0"))->setChecked(true);
    return v.listar(v.w.BotonObtenerListadoClientes);
}

Listado porGrupo(Ventana &v)
{
    v.w.RadioGroupTipoListado->findChild<QRadioButton *>(QStringLiteral("RadioGroupTipoListado1"))->setChecked(true);
    return v.listar(v.w.BotonObtenerListadoClientes);
}

const QString kUno = QStringLiteral("C01|Cliente Uno|");
const QString kBlanco = QStringLiteral(" | |");
const QString kTres = QStringLiteral("C03|Cliente Tres|1");
const QString kCuatro = QStringLiteral("C04|Cliente Cuatro|1");

/// The seven totals of the client situation listing against the sums of their columns.
void totalesSonSumas(const TFormListadosVelmora &w, const Listado &l, const char *caso)
{
    EXPECT_DOUBLE_EQ(w.SumaPedidos, l.suma("PedidosPtes")) << caso;
    EXPECT_DOUBLE_EQ(w.SumaAlbaranes, l.suma("AlbaranesSinFacturar")) << caso;
    EXPECT_DOUBLE_EQ(w.SumaVtos, l.suma("FacturasPtesCobro")) << caso;
    EXPECT_DOUBLE_EQ(w.SumaRemesas, l.suma("RemesasEnRiesgo")) << caso;
    EXPECT_DOUBLE_EQ(w.SumaTotalRiesgo, l.suma("TotalRiesgo")) << caso;
    EXPECT_DOUBLE_EQ(w.SumaRiesgoConcedido, l.suma("RiesgoConcedido")) << caso;
    EXPECT_DOUBLE_EQ(w.SumaSaldo, l.suma("Excedente")) << caso;
}

} // namespace

TEST_F(Listados, RiskRowsFollowTheGroupRiskAndCustomerFilters)
{
    struct Caso
    {
        const char *que;
        Filtro filtro;
        QStringList porCliente;
        QStringList porGrupo;
    };
    const Caso casos[] = {
        {"every group, every risk: later rows of a customer are blank by customer",
         {},
         {kUno + "1", kBlanco + "3", kTres, kCuatro},
         {kUno + "1", kTres, kCuatro, kUno + "3"}},
        {"only exceeded: a balance of exactly 0 is left out", conRiesgos(Riesgos::Excedidos), {kCuatro}, {kCuatro}},
        {"only not exceeded: a balance of exactly 0 is listed",
         conRiesgos(Riesgos::NoExcedidos),
         {kUno + "1", kBlanco + "3", kTres},
         {kUno + "1", kTres, kUno + "3"}},
        {"no group ticked", conGrupos({}), {}, {}},
        {"group 3 only: the customer's first row carries his code", conGrupos({3}), {kUno + "3"}, {kUno + "3"}},
        {"a customer range", conClientes(QStringLiteral("C02"), QStringLiteral("C04")), {kTres, kCuatro},
         {kTres, kCuatro}},
        {"customers not all, range left empty", conClientes(QString(), QString()), {}, {}},
        {"quotes in the range are compared as text", conClientes(QStringLiteral("C0\""), QStringLiteral("C03'")),
         {kUno + "1", kBlanco + "3", kTres}, {kUno + "1", kTres, kUno + "3"}},
    };
    Ventana v(*db);
    for (const Caso &c : casos) {
        aplicar(v.w, c.filtro);
        const Listado cliente = porCliente(v);
        EXPECT_TRUE(cliente.vista) << c.que;
        EXPECT_TRUE(cliente.tablaCerrada) << c.que;
        EXPECT_EQ(cliente.mensajes.join(u'\n').toStdString(), "") << c.que;
        EXPECT_EQ(cliente.claves(), c.porCliente) << c.que;
        totalesSonSumas(v.w, cliente, c.que);

        const Listado grupo = porGrupo(v);
        EXPECT_TRUE(grupo.vista) << c.que;
        EXPECT_EQ(grupo.mensajes.join(u'\n').toStdString(), "") << c.que;
        EXPECT_EQ(grupo.claves(), c.porGrupo) << c.que;
        // The by-group listing keeps the client situation totals at 0.
        for (double total : {v.w.SumaPedidos, v.w.SumaAlbaranes, v.w.SumaVtos, v.w.SumaRemesas, v.w.SumaTotalRiesgo,
                             v.w.SumaRiesgoConcedido, v.w.SumaSaldo})
            EXPECT_EQ(total, 0) << c.que;
    }
}

TEST_F(Listados, RiskRowsCarryTheProcedureAmountsOfTheirGroup)
{
    Ventana v(*db);
    aplicar(v.w, {});
    const Listado l = porCliente(v);
    ASSERT_EQ(l.filas.size(), 4u);
    const Fila &g1 = l.filas[0];
    const std::pair<const char *, double> grupo1[] = {
        {"IdCliente", 1},          {"RiesgoConcedido", 1000}, {"FacturasPtesCobro", 100}, {"AlbaranesSinFacturar", 500},
        {"TotalRiesgo", 600},      {"PedidosPtes", 110},      {"PedidosParciales", 30},   {"TotalAnticipos", 40},
        {"Excedente", 440},        {"RemesasEnRiesgo", 0},    {"TotalOtros", 80},         {"DiasCondicionPago", 0}};
    for (const auto &[campo, valor] : grupo1)
        EXPECT_DOUBLE_EQ(g1.value(QLatin1String(campo)).toDouble(), valor) << campo;
    const Fila &g3 = l.filas[1];
    const std::pair<const char *, double> grupo3[] = {{"IdCliente", 1},           {"RiesgoConcedido", 500},
                                                      {"RemesasPtesConfirmar", 60}, {"RemesasEnRiesgo", 120},
                                                      {"TotalRiesgo", 120},        {"Excedente", 380}};
    for (const auto &[campo, valor] : grupo3)
        EXPECT_DOUBLE_EQ(g3.value(QLatin1String(campo)).toDouble(), valor) << campo;
    EXPECT_DOUBLE_EQ(l.filas[3].value("Excedente").toDouble(), -100);
    EXPECT_DOUBLE_EQ(v.w.SumaSaldo, 440 + 380 + 0 - 100);
}

TEST_F(Listados, SalesDeclarationSplitsThePeriodsSalesOfTheDeclaredGroup)
{
    struct Caso
    {
        const char *que;
        std::vector<int> grupos;
        bool seriesTodas;
        QStringList filas;
        double saldo;
        // 30C, 60C, 90C, >90C, then 30, 60, 90, >90
        std::array<double, 8> cubos;
    };
    const Caso casos[] = {
        {"no group ticked declares group 1", {}, true, {}, 0, {0, 0, 0, 0, 0, 100, 0, 0}},
        {"group 2: covered customers with sales, negative sales included",
         {1, 2},
         true,
         {QStringLiteral("C11|Cliente Once|2"), QStringLiteral("C13|Cliente Trece|2")},
         1150,
         {-50, 0, 1200, 0, 0, 500, 0, 0}},
        {"groups 1 and 3 declare group 3", {1, 3}, true, {}, 0, {0, 0, 0, 0, 0, 0, 444, 0}},
        {"series not all, range left empty: no sales", {2}, false, {}, 0, {0, 0, 0, 0, 0, 0, 0, 0}},
    };
    Ventana v(*db);
    v.w.DateTimeDesde->setDate(QDate(2024, 3, 1));
    v.w.DateTimeHasta->setDate(QDate(2024, 3, 31));
    // "Todos los grupos" takes no part in choosing the declared group.
    v.w.CheckBoxGruposTodos->setChecked(true);
    for (const Caso &c : casos) {
        QCheckBox *casillas[5] = {v.w.CheckBoxGrupoRiesgo1, v.w.CheckBoxGrupoRiesgo2, v.w.CheckBoxGrupoRiesgo3,
                                  v.w.CheckBoxGrupoRiesgo4, v.w.CheckBoxGrupoRiesgo5};
        for (int g = 1; g <= 5; ++g)
            casillas[g - 1]->setChecked(std::find(c.grupos.begin(), c.grupos.end(), g) != c.grupos.end());
        v.w.CheckBoxSeriesTodas->setChecked(c.seriesTodas);
        const Listado l = v.listar(v.w.suiButton2);
        EXPECT_TRUE(l.vista) << c.que;
        EXPECT_EQ(l.mensajes.join(u'\n').toStdString(), "") << c.que;
        EXPECT_EQ(l.claves(), c.filas) << c.que;
        EXPECT_DOUBLE_EQ(v.w.SumaSaldo, c.saldo) << c.que;
        EXPECT_DOUBLE_EQ(l.suma("TotalRiesgo"), c.saldo) << c.que;
        const double cubos[8] = {v.w.Suma30C, v.w.Suma60C, v.w.Suma90C, v.w.SuperiorC,
                                 v.w.Suma30,  v.w.Suma60,  v.w.Suma90,  v.w.Superior};
        for (int i = 0; i < 8; ++i)
            EXPECT_DOUBLE_EQ(cubos[i], c.cubos[size_t(i)]) << c.que << " bucket " << i;
    }

    // The rows of group 2 in full: cover, sales, what is left, days, the insurer's code and the period's last day.
    for (QCheckBox *c : {v.w.CheckBoxGrupoRiesgo1, v.w.CheckBoxGrupoRiesgo3})
        c->setChecked(false);
    v.w.CheckBoxGrupoRiesgo2->setChecked(true);
    v.w.CheckBoxSeriesTodas->setChecked(true);
    const Listado l = v.listar(v.w.suiButton2);
    ASSERT_EQ(l.filas.size(), 2u);
    const Fila &once = l.filas[0];
    EXPECT_EQ(once.value("IdCliente").toInt(), 11);
    EXPECT_DOUBLE_EQ(once.value("RiesgoConcedido").toDouble(), 1000);
    EXPECT_DOUBLE_EQ(once.value("TotalRiesgo").toDouble(), 1200);
    EXPECT_DOUBLE_EQ(once.value("Excedente").toDouble(), -200);
    EXPECT_EQ(once.value("DiasCondicionPago").toInt(), 90);
    EXPECT_EQ(once.value("CodigoCaucion").toString(), QStringLiteral("CC11"));
    EXPECT_EQ(once.value("FechaCaucion").toDate(), QDate(2024, 3, 31));
    const Fila &trece = l.filas[1];
    EXPECT_DOUBLE_EQ(trece.value("TotalRiesgo").toDouble(), -50);
    EXPECT_DOUBLE_EQ(trece.value("Excedente").toDouble(), 250);
    EXPECT_EQ(trece.value("DiasCondicionPago").toInt(), 10);
}

TEST_F(Listados, FailedGatheringWarnsAndLeavesNoTotalsOfThePreviousListing)
{
    Ventana v(*db);
    aplicar(v.w, {});
    const Listado antes = porCliente(v);
    ASSERT_EQ(antes.filas.size(), 4u);
    ASSERT_NE(v.w.SumaSaldo, 0);

    // A code longer than the column's seven characters is refused by the server.
    aplicar(v.w, conClientes(QStringLiteral("CLIENTE01"), QStringLiteral("CLIENTE99")));
    for (auto listar : {porCliente, porGrupo}) {
        const Listado l = listar(v);
        ASSERT_EQ(l.avisos.size(), 1);
        EXPECT_TRUE(l.avisos[0].startsWith(QStringLiteral("Error al cargar los clientes ...\r\n"))) << l.avisos[0].toStdString();
        EXPECT_TRUE(l.vista);
        EXPECT_TRUE(l.filas.empty());
        EXPECT_TRUE(l.tablaCerrada);
        for (double total : {v.w.SumaPedidos, v.w.SumaAlbaranes, v.w.SumaVtos, v.w.SumaRemesas, v.w.SumaTotalRiesgo,
                             v.w.SumaRiesgoConcedido, v.w.SumaSaldo})
            EXPECT_EQ(total, 0);
    }
}

// The progress window's "de M" comes from these counts: each must match what its statement walks.
TEST_F(Listados, CustomerCountsMatchTheCustomersEachStatementReads)
{
    Ventana v(*db);
    struct Caso
    {
        std::optional<std::pair<QString, QString>> rango;
        int riesgo;  ///< C01, C03, C04 have a group 1 granted risk; C09 is of another company group
        int caucion; ///< every customer of the company group
    };
    const Caso casos[] = {
        {std::nullopt, 3, 8},
        {std::pair{QStringLiteral("C01"), QStringLiteral("C03")}, 2, 3},
        {std::pair{QStringLiteral("C10"), QStringLiteral("C13")}, 0, 4},
        {std::pair{QString(), QString()}, 0, 0},
    };
    for (const Caso &c : casos) {
        const QString caso = c.rango ? c.rango->first + QStringLiteral("..") + c.rango->second : QStringLiteral("todos");
        v.w.CheckBoxClientesTodos->setChecked(!c.rango);
        v.w.CheckBoxClientesTodos2->setChecked(!c.rango);
        if (c.rango) {
            v.w.lxDBEditLookupClienteDesde->setText(c.rango->first);
            v.w.lxDBEditLookupClienteHasta->setText(c.rango->second);
            v.w.lxDBEditLookupClienteDesde2->setText(c.rango->first);
            v.w.lxDBEditLookupClienteHasta2->setText(c.rango->second);
        }
        EXPECT_EQ(v.w.ContarClientesRiesgo(), c.riesgo) << caso.toStdString();
        EXPECT_EQ(v.w.ContarClientesCaucion(), c.caucion) << caso.toStdString();
    }
}
