// The data module's risk evaluation against a real server: derived balances,
// the document context and the exceeded test, the currency lookup and the
// amount text.
#include "components/lxIBQuery.h"
#include "components/lxRxMemoryData.h"
#include "data/ModuloDatos.h"
#include "data/SesionDatos.h"
#include "support/InstalacionPrueba.h"
#include "support/TestDatabase.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <memory>

using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

TestDatabase *db = nullptr;

class RiesgoDatos : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        db = new TestDatabase(QStringLiteral("riesgo-datos"));
        HostRows rows;
        rows.grupoEmpresas(1, 0)
            .empresa(1, 1, QStringLiteral("Dos decimales"), 1)
            .empresa(2, 1, QStringLiteral("Sin cambio"), 2)
            .empresa(3, 1, QStringLiteral("Cambio cero"), 3)
            .moneda(1, 2)
            .moneda(2, 2)
            .moneda(3, 2)
            .cambio(1, 1, 1, 1.0)
            .cambio(3, 3, 3, 0.0);
        for (int g = 1; g <= 5; ++g)
            rows.serieDocumento(g, QStringLiteral("S%1").arg(g), 1);
        rows.serieDocumento(6, QStringLiteral("SN"), 1);
        // Customer 1: granted 1000 in group 1, 1000 in use; 0.01 in use in group 3;
        // 250 of free advances.
        rows.cliente(1, QStringLiteral("C1"), QStringLiteral("Uno"), 1, 1000.0)
            .albaran(1, 1, 1, QVariant(), 1000.0)
            .albaran(2, 1, 3, QVariant(), 0.01)
            .movimientoCobro(1, 1, 250.0, QStringLiteral("A"))
            .pedido(7, 1, 2, QStringLiteral("P"), 1.0, 4321)
            .into(*db);
        installtest::instalarModulo(*db);
        db->run("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = IDSERIESDOCUMENTOS WHERE IDSERIESDOCUMENTOS <= 5;\n"
                "UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = NULL WHERE IDSERIESDOCUMENTOS = 6;");
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }
    // Amounts are asserted as a Spanish user reads them: 1.000,00.
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); }
    void TearDown() override { QLocale::setDefault(m_localeAnterior); }
    QLocale m_localeAnterior;

    /// A session opened as the risk check opens it; `->` reaches its data module.
    struct Sesion
    {
        explicit Sesion(int empresa = 1, int cliente = 1)
            : sesion({.IdEmpresa = empresa, .IdCliente = cliente, .RutaBaseDatos = db->connectionString(),
                      .NombreUsuario = TestDatabase::user(), .Password = TestDatabase::password()})
        {
            sesion.conectar();
            sesion.abrirEmpresa();
        }
        TDatos *operator->() const { return &sesion.datos(); }
        TDatos &operator*() const { return sesion.datos(); }

        TSesionDatos sesion;
    };
    static double campo(TDatos &d, const QString &nombre)
    {
        return d.IBQSituacionClientesRiesgo->fieldByName(nombre).asFloat();
    }
};

} // namespace

TEST_F(RiesgoDatos, BalancesPerGroupTheirSumAndTheGlobalBalance)
{
    Sesion d{};
    d->IBQSituacionClientesRiesgo->open();
    ASSERT_TRUE(d->IBQSituacionClientesRiesgo->active());
    EXPECT_EQ(campo(*d, QStringLiteral("TOTALEXCEDIDO1")), 0.0); // exactly used up
    EXPECT_DOUBLE_EQ(campo(*d, QStringLiteral("TOTALEXCEDIDO3")), -0.01);
    EXPECT_DOUBLE_EQ(campo(*d, QStringLiteral("TOTALEXCEDIDOGLOBAL")), -0.01);
    EXPECT_DOUBLE_EQ(campo(*d, QStringLiteral("SALDOGLOBAL")), 249.99);
    EXPECT_EQ(d->IBQSituacionClientesRiesgo->fieldByName(QStringLiteral("CODIGO")).asString(), QStringLiteral("C1"));
    // Every amount shows through the module's amount text.
    EXPECT_EQ(d->IBQSituacionClientesRiesgo->fieldByName(QStringLiteral("PARRIESGOCONCEDIDO1")).displayText(),
              QStringLiteral("1.000,00  "));
    EXPECT_EQ(d->IBQSituacionClientesRiesgo->fieldByName(QStringLiteral("TOTALEXCEDIDO3")).displayText(),
              QStringLiteral("-0,01  "));
}

TEST_F(RiesgoDatos, ExceededTestActsOnTheDocumentsGroupOnly)
{
    struct Case
    {
        int serie;
        int tipo;
        int documento;
        int grupo;
        bool sobrepasado;
    };
    const Case cases[] = {
        {1, 2, 1, 1, false}, // balance exactly 0
        {3, 2, 2, 3, true},  // -0.01
        {2, 1, 7, 2, false}, // nothing granted, nothing used
        {6, 1, 7, 0, true},  // series without a group
        {99, 1, 7, 0, true}, // no such series
    };
    for (const Case &c : cases) {
        Sesion d{};
        d->IDSerie = c.serie;
        d->TipoDocumento = c.tipo;
        d->IdDocumento = c.documento;
        d->CargarDatosDocumento();
        d->IBQSituacionClientesRiesgo->open();
        EXPECT_EQ(d->GrupoRiesgo, c.grupo) << "serie " << c.serie;
        EXPECT_EQ(d->SobrepasadoRiesgo(), c.sobrepasado) << "serie " << c.serie;
    }
}

TEST_F(RiesgoDatos, DocumentContextReadsSeriesAndNumber)
{
    Sesion d{};
    d->IDSerie = 2;
    d->TipoDocumento = 1;
    d->IdDocumento = 7;
    d->CargarDatosDocumento();
    EXPECT_EQ(d->CodigoSerie, QStringLiteral("S2"));
    EXPECT_EQ(d->NombreSerie, QStringLiteral("Serie S2"));
    EXPECT_EQ(d->NumeroDocumento, 4321);

    Sesion sinDocumento{};
    sinDocumento->IDSerie = 2;
    sinDocumento->TipoDocumento = 1;
    sinDocumento->IdDocumento = 999;
    sinDocumento->CargarDatosDocumento();
    EXPECT_EQ(sinDocumento->NumeroDocumento, 0);
    EXPECT_EQ(sinDocumento->GrupoRiesgo, 2);
}

TEST_F(RiesgoDatos, CurrencyLookup)
{
    struct Case
    {
        int empresa;
        double cambio;
        int decimales;
        const char *texto1500;
    };
    const Case cases[] = {
        {1, 1.0, 2, "1.500,00  "}, // base-to-base row
        {2, 1.0, 0, "1.500  "},    // no row: undivided, no decimals
        {3, 0.0, 2, "1.500,00  "}, // rate 0 is taken as 1
    };
    for (const Case &c : cases) {
        Sesion d{c.empresa};
        double cambio = -1;
        std::int32_t decimales = -1;
        d->ObtenerDatosMoneda(d->MonedaEmpresaBase, cambio, decimales);
        EXPECT_EQ(cambio, c.cambio) << "empresa " << c.empresa;
        EXPECT_EQ(decimales, c.decimales) << "empresa " << c.empresa;

        d->RxClientesRiesgo->open();
        d->RxClientesRiesgo->append();
        d->RxClientesRiesgo->fieldByName(QStringLiteral("RiesgoConcedido")).setAsFloat(1500.4);
        d->RxClientesRiesgo->post();
        EXPECT_EQ(d->RxClientesRiesgo->fieldByName(QStringLiteral("RiesgoConcedido")).displayText(),
                  QString::fromLatin1(c.texto1500).replace(QStringLiteral("1.500,00"), QStringLiteral("1.500,40")))
            << "empresa " << c.empresa;
    }
}

TEST_F(RiesgoDatos, NewListingRowStartsAtZero)
{
    Sesion d{};
    d->RxClientesRiesgo->open();
    d->RxClientesRiesgo->append();
    d->RxClientesRiesgo->post();
    for (const char *f : {"RiesgoConcedido", "TotalRiesgo", "Excedente", "DevolucionesPtesGestionar"})
        EXPECT_EQ(d->RxClientesRiesgo->fieldByName(QString::fromLatin1(f)).displayText(), QStringLiteral("0,00  ")) << f;
    EXPECT_EQ(d->RxClientesRiesgo->fieldByName(QStringLiteral("DiasCondicionPago")).asInteger(), 0);
    EXPECT_FALSE(d->RxClientesRiesgo->fieldByName(QStringLiteral("DiasCondicionPago")).isNull());
    EXPECT_TRUE(d->RxClientesRiesgo->fieldByName(QStringLiteral("GrupoRiesgo")).isNull());
}

TEST(RedondearDecimales, SinglePrecisionPowerAndHalvesToEven)
{
    EXPECT_DOUBLE_EQ(RedondearDecimales(2, 0.125), 0.12);
    EXPECT_DOUBLE_EQ(RedondearDecimales(2, 0.375), 0.38);
    EXPECT_EQ(RedondearDecimales(0, 2.5), 2.0);
    EXPECT_EQ(RedondearDecimales(0, 3.5), 4.0);
    EXPECT_DOUBLE_EQ(RedondearDecimales(2, 1.005), 1.0);
    EXPECT_DOUBLE_EQ(RedondearDecimales(2, -987.456), -987.46);
    // Beyond the 32-bit range the value is kept rather than wrapped.
    EXPECT_EQ(RedondearDecimales(2, 30000000.123), 30000000.123);
}
