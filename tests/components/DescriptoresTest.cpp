#include "ModalesAutomaticos.h"
#include "components/lxIBDataSet.h"
#include "components/lxIBQuery.h"
#include "components/lxRxMemoryData.h"
#include "framework/base/Error.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Installs an access list as the process-wide one for the length of a test.
struct AccesosGlobales
{
    TListaAccesoCampos lista;
    AccesosGlobales() { ListaAccesosGlobal = &lista; }
    ~AccesosGlobales() { ListaAccesosGlobal = nullptr; }
    AccesosGlobales &con(const QString &clave, int nivel)
    {
        auto *e = new TNivelAccesoCampo;
        e->Campo = clave;
        e->NivelAcceso = nivel;
        lista.Agregar(e);
        return *this;
    }
};

std::unique_ptr<TlxRxMemoryData> tablaEmpresas()
{
    auto t = std::make_unique<TlxRxMemoryData>();
    t->setObjectName(QStringLiteral("IBQEmpresas"));
    t->addField(QStringLiteral("IDEMPRESAS"), fw::FieldType::Integer);
    t->addField(QStringLiteral("NOMBRE"), fw::FieldType::String, 35);
    t->addField(QStringLiteral("IMPORTE"), fw::FieldType::Float);
    return t;
}

int nivel(const TlxRxMemoryData &t, const QString &campo)
{
    const TlxCampo *c = t.GetlxCampo(t.findField(campo));
    return c ? c->AccesoVisualizacion : -999;
}

} // namespace

TEST(Descriptores, FirstOpenBindsOneDescriptorPerDeclaredFieldWithTheDefaultLevel)
{
    auto t = tablaEmpresas();
    EXPECT_EQ(t->GetlxCampo(t->findField("NOMBRE")), nullptr) << "never opened: no descriptors yet";
    t->SetlxCampo(t->findField("NOMBRE"), 1, 2, "*", 1, 2, true, "", "", true); // changes nothing, raises nothing
    EXPECT_EQ(t->ListaCampos(), nullptr);

    t->open();
    ASSERT_NE(t->ListaCampos(), nullptr);
    ASSERT_EQ(t->ListaCampos()->Count(), 3);
    EXPECT_EQ(t->ListaAccesos(), nullptr);
    for (int i = 0; i < 3; ++i) {
        const TlxCampo *c = t->ListaCampos()->Items(i);
        EXPECT_EQ(c->Field, &t->field(i));
        EXPECT_EQ(c->AccesoVisualizacion, 4);
        EXPECT_EQ(t->GetlxCampo(&t->field(i)), c);
    }
    EXPECT_FALSE(t->PrimeraVez);

    // Closing and reopening keeps the same descriptors; a field declared later gets none.
    TlxCampo *primero = t->ListaCampos()->Items(0);
    t->close();
    fw::Field &nuevo = t->addField(QStringLiteral("NUEVO"), fw::FieldType::Integer);
    t->open();
    EXPECT_EQ(t->ListaCampos()->Items(0), primero);
    EXPECT_EQ(t->GetlxCampo(&nuevo), nullptr);

    // Another data set's field with the same name is not this one's.
    auto otra = tablaEmpresas();
    otra->open();
    EXPECT_EQ(t->GetlxCampo(otra->findField("NOMBRE")), nullptr);
}

TEST(Descriptores, AnyDataSetLeadsToItsDescriptorsAndEachFieldToItsOwn)
{
    TlxRxMemoryData tabla;
    TlxIBDataSet editable;
    TlxIBQuery consulta;
    fw::MemoryDataSet simple;
    EXPECT_EQ(lx::descriptores(tabla), static_cast<lx::Descriptores *>(&tabla));
    EXPECT_EQ(lx::descriptores(editable), static_cast<lx::Descriptores *>(&editable));
    EXPECT_EQ(lx::descriptores(consulta), static_cast<lx::Descriptores *>(&consulta));
    EXPECT_EQ(lx::descriptores(simple), nullptr) << "a framework data set keeps no descriptors";

    auto t = tablaEmpresas();
    fw::Field &importe = t->fieldByName("IMPORTE");
    EXPECT_EQ(lx::descriptor(importe), nullptr) << "not opened yet";
    t->open();
    ASSERT_NE(lx::descriptor(importe), nullptr);
    EXPECT_EQ(lx::descriptor(importe), t->GetlxCampo(&importe));

    // Filled through the home as through the class; a kind without a name keeps its number.
    lx::descriptores(*t)->SetlxCampo(&importe, lx::Presentacion{.Tipo = tcImporte, .Decimales = 0});
    EXPECT_EQ(lx::descriptor(importe)->MascaraVisualizacion, "#,##0");
    EXPECT_EQ(lx::descriptor(importe)->AccesoVisualizacion, 4) << "the default level -1 keeps it";
    t->SetlxCampo(&importe, 5, -1, "*", 0, 2, true, "", "", false);
    EXPECT_EQ(lx::descriptor(importe)->Tipo, 5);

    simple.addField("ID", fw::FieldType::Integer);
    simple.open();
    EXPECT_EQ(lx::descriptor(simple.fieldByName("ID")), nullptr);
}

TEST(Descriptores, AccessLevelsComeFromTheGlobalListByKeyIgnoringCaseFirstEntryWins)
{
    auto *global = new AccesosGlobales;
    global->con("ibqempresasidempresas", 1).con("IBQEMPRESASNOMBRE", 2).con("IBQEMPRESASNOMBRE", 3);
    auto t = tablaEmpresas();
    t->open();
    EXPECT_EQ(t->ListaAccesos(), &global->lista);
    EXPECT_EQ(nivel(*t, "IDEMPRESAS"), 1);
    EXPECT_EQ(nivel(*t, "NOMBRE"), 2);
    EXPECT_EQ(nivel(*t, "IMPORTE"), 4);

    // Levels are taken at the first open only.
    global->con("IBQEMPRESASIMPORTE", 0);
    t->close();
    t->open();
    EXPECT_EQ(nivel(*t, "IMPORTE"), 4);

    // The list is not the data set's: it outlives it, and the data set never frees it.
    t.reset();
    EXPECT_EQ(global->lista.Count(), 4);
    delete global;
}

TEST(Descriptores, SetlxCampoFillsTheDescriptorAndBuildsTheMask)
{
    struct Caso
    {
        int tipo, acceso, decimales;
        bool separador;
        QString mascara; // expected; the previous one is "previa"
        int accesoEsperado;
    };
    const Caso casos[] = {
        {1, -1, 3, false, "#0.000", 4},
        {1, 2, 2, true, "#,##0.00", 2},
        {2, 4, 0, true, "#,##0", 4},
        {3, 1, 0, false, "#0", 1},
        {4, -1, 2, true, "previa", 4},
        {6, 3, 2, true, "dd/mm/yyyy", 3}, // the memory table's own date mask
        {9, 0, 2, true, "previa", 0},
    };
    for (const Caso &k : casos) {
        SCOPED_TRACE(k.tipo);
        auto t = tablaEmpresas();
        t->open();
        const fw::Field *campo = t->findField("IMPORTE");
        TlxCampo *c = t->GetlxCampo(campo);
        ASSERT_NE(c, nullptr);
        c->MascaraVisualizacion = "previa";
        t->SetlxCampo(campo, k.tipo, k.acceso, "#", 166.386, k.decimales, k.separador, "<", "  ", true);
        EXPECT_EQ(c->Tipo, k.tipo);
        EXPECT_EQ(c->AccesoVisualizacion, k.accesoEsperado);
        EXPECT_EQ(c->MascaraVisualizacion, k.mascara);
        EXPECT_EQ(c->TextoNoAccesoVisualizacion, "#");
        EXPECT_DOUBLE_EQ(c->CambioMoneda, 166.386);
        EXPECT_EQ(c->Decimales, k.decimales);
        EXPECT_EQ(c->SeparadorMiles, k.separador);
        EXPECT_EQ(c->TextoFijoAnterior, "<");
        EXPECT_EQ(c->TextoFijoPosterior, "  ");
        EXPECT_TRUE(c->GetText);
    }
}

TEST(TablaMemoria, NewRecordStartsWithZeroInFloatAndSmallIntegerFieldsOnly)
{
    TlxRxMemoryData t;
    t.addField("IMPORTE", fw::FieldType::Float);
    t.addField("PRECIO", fw::FieldType::Currency);
    t.addField("GRUPO", fw::FieldType::SmallInt);
    t.addField("ID", fw::FieldType::Integer);
    t.addField("NOMBRE", fw::FieldType::String, 10);
    int llamadasDelDueno = 0;
    t.onNewRecord = [&](fw::DataSet &ds) {
        ++llamadasDelDueno;
        ds.fieldByName("IMPORTE").setValue(5.0); // the owner's value is overwritten by the zeros
    };
    t.open();
    t.append();
    EXPECT_EQ(llamadasDelDueno, 1);
    EXPECT_EQ(t.fieldByName("IMPORTE").value(), QVariant(0.0));
    EXPECT_EQ(t.fieldByName("PRECIO").value(), QVariant(0.0));
    EXPECT_EQ(t.fieldByName("GRUPO").value(), QVariant(0));
    EXPECT_TRUE(t.fieldByName("ID").isNull());
    EXPECT_TRUE(t.fieldByName("NOMBRE").isNull());
}

TEST(TablaMemoria, BeforeOpenErrorIsShownWithItsPrefixAndNotPassedOn)
{
    TlxRxMemoryData t;
    t.addField("ID", fw::FieldType::Integer);
    t.beforeOpen = [](fw::DataSet &) { throw fw::Error("campo desconocido"); };
    ModalesAutomaticos modales;
    EXPECT_NO_THROW(t.open());
    EXPECT_EQ(modales.textos(), QStringList{"Error en DoBeforeOpen: campo desconocido"});
    EXPECT_TRUE(t.active());
    EXPECT_NE(t.ListaCampos(), nullptr);
}

TEST(Auditoria, AuditColumnsAreRecognisedOnlyByTheirExactUpperCaseNames)
{
    const struct
    {
        QStringList campos;
        bool existen;
    } casos[] = {
        {{}, false},
        {{"ID", "USUARIOALTA", "FECHAALTA"}, true},
        {{"ID", "USUARIOMODIFICACION"}, true},
        {{"ID", "UsuarioAlta", "FECHAALTA"}, false},
        {{"ID", "USUARIOALTAS"}, false},
    };
    for (const auto &k : casos) {
        SCOPED_TRACE(k.campos.join(QLatin1Char(',')).toStdString());
        TlxIBDataSet t;
        for (const QString &n : k.campos)
            t.addField(n, fw::FieldType::Integer);
        EXPECT_EQ(t.ExistenCamposAuditoria(), k.existen);
    }
}
