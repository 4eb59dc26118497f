#pragma once
// The listings window on a data module opened as the main screen's listings
// action opens it, over one installed test database shared by the suite.
#include "components/lxRxMemoryData.h"
#include "data/ModuloDatos.h"
#include "data/SesionDatos.h"
#include "framework/report/PreviewDialog.h"
#include "reports/ListadosVelmora.h"
#include "support/DialogosGrabados.h"
#include "support/InstalacionPrueba.h"
#include "support/TestDatabase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLocale>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace listados {

using testsupport::HostRows;
using testsupport::TestDatabase;

constexpr int kEmpresa = 1;
constexpr int kGrupoEmpresas = 2;

/// Company 1 of company group 2; currency with 2 decimals. Document series
/// S1..S5 and invoice series F1..F5 belong to risk groups 1..5; invoice series
/// FP (group 2) is private. Payment methods of 10, 45 and 90 risk days.
///
/// Risk customers (group 1 granted risk > 0 unless said):
///   C01 granted 1000 in group 1 and 500 in group 3. Group 1: delivery notes
///       500, instalments pending 100, orders pending 80 and partly served 30,
///       advances 40: risk 600, balance 440. Group 3: a remitted collection
///       document of 60 (at risk and pending confirmation): risk 120, balance 380.
///   C02 granted 0 in group 1 and 800 in group 2: in no risk listing.
///   C03 granted 1000, delivery notes 1000: balance exactly 0.
///   C04 granted 300, delivery notes 400: balance -100.
///   C09 of another company group: never listed.
/// Sales customers (March 2024, no group 1 granted risk):
///   C10 no cover in group 2, 45 days: 500 in F2 and 100 in F1.
///   C11 cover 1000 in group 2 (code "CC11"), 90 days: 700 on the 1st and 500
///       on the 31st in F2; 999 on 1 April, 333 in the private series, 444 in F3.
///   C12 cover 1000 in group 2, no invoices, no payment method.
///   C13 cover 200 in group 2, 10 days: 300 and -350 in F2.
class Listados : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
        db = new TestDatabase(QStringLiteral("listados"));
        HostRows r;
        r.moneda(1, 2).cambio(1, 1, 1, 1.0);
        r.grupoEmpresas(kGrupoEmpresas, 0).grupoEmpresas(9, 0);
        r.empresa(kEmpresa, kGrupoEmpresas, QStringLiteral("Empresa Uno"), 1).empresa(5, 9, QStringLiteral("Otra"), 1);
        for (int g = 1; g <= 5; ++g) {
            r.serieDocumento(g, QStringLiteral("S%1").arg(g), kEmpresa);
            r.serieFactura(g, QStringLiteral("F%1").arg(g), kEmpresa);
        }
        r.serieFactura(6, QStringLiteral("FP"), kEmpresa);
        r.formaPago(1, QStringLiteral("D10"), kGrupoEmpresas, 10, 1, 0)
            .formaPago(2, QStringLiteral("D45"), kGrupoEmpresas, 45, 1, 0)
            .formaPago(3, QStringLiteral("D90"), kGrupoEmpresas, 90, 1, 0);

        r.cliente(1, QStringLiteral("C01"), QStringLiteral("Cliente Uno"), kGrupoEmpresas, 1000.0)
            .albaran(101, 1, 1, QVariant(), 500.0)
            .pedido(102, 1, 1, QStringLiteral("P"), 80.0)
            .pedido(103, 1, 1, QStringLiteral("R"), 0.0)
            .lineaPedido(103, 103, 10, 4, 5.0)
            .factura(104, 1, 1)
            .giro(104, 104, 100.0, QVariant(), QStringLiteral("P"))
            .documentoCobro(105, 1, 60.0, 3, QStringLiteral("F"), 1)
            .movimientoCobro(106, 1, 40.0, QStringLiteral("A"), {{"PEDIDOORIGEN", 102}});
        r.cliente(2, QStringLiteral("C02"), QStringLiteral("Cliente Dos"), kGrupoEmpresas, 0.0);
        r.cliente(3, QStringLiteral("C03"), QStringLiteral("Cliente Tres"), kGrupoEmpresas, 1000.0)
            .albaran(301, 3, 1, QVariant(), 1000.0);
        r.cliente(4, QStringLiteral("C04"), QStringLiteral("Cliente Cuatro"), kGrupoEmpresas, 300.0)
            .albaran(401, 4, 1, QVariant(), 400.0);
        r.cliente(9, QStringLiteral("C09"), QStringLiteral("Cliente Ajeno"), 9, 1000.0);

        auto factura = [&r](int id, int cliente, int serie, const char *fecha, double total) {
            r.factura(id, cliente, serie, {{"FECHAALTAFACTURA", QDate::fromString(QLatin1String(fecha), Qt::ISODate)},
                                           {"TOTALFACTURA", total}});
        };
        r.cliente(10, QStringLiteral("C10"), QStringLiteral("Cliente Diez"), kGrupoEmpresas, 0.0, {{"FORMAPAGO", 2}});
        factura(1001, 10, 2, "2024-03-15", 500);
        factura(1002, 10, 1, "2024-03-15", 100);
        r.cliente(11, QStringLiteral("C11"), QStringLiteral("Cliente Once"), kGrupoEmpresas, 0.0, {{"FORMAPAGO", 3}});
        factura(1101, 11, 2, "2024-03-01", 700);
        factura(1102, 11, 2, "2024-03-31", 500);
        factura(1103, 11, 2, "2024-04-01", 999);
        factura(1104, 11, 6, "2024-03-15", 333);
        factura(1105, 11, 3, "2024-03-15", 444);
        r.cliente(12, QStringLiteral("C12"), QStringLiteral("Cliente Doce"), kGrupoEmpresas, 0.0);
        r.cliente(13, QStringLiteral("C13"), QStringLiteral("Cliente Trece"), kGrupoEmpresas, 0.0, {{"FORMAPAGO", 1}});
        factura(1301, 13, 2, "2024-03-10", 300);
        factura(1302, 13, 2, "2024-03-20", -350);
        r.into(*db);

        installtest::instalarModulo(*db);
        db->run("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = IDSERIESDOCUMENTOS;\n"
                "UPDATE SERIESFACTURAS SET GRUPORIESGO = IDSERIESFACTURAS WHERE IDSERIESFACTURAS <= 5;\n"
                "UPDATE SERIESFACTURAS SET GRUPORIESGO = 2, PRIVADOSN = 1 WHERE IDSERIESFACTURAS = 6;\n"
                "UPDATE FORMASPAGO SET DIASRIESGO = DIASPRIMERVENCIMIENTO;\n"
                "UPDATE CLIENTES SET RIESGOCONCEDIDO3 = 500 WHERE IDCLIENTES = 1;\n"
                "UPDATE CLIENTES SET RIESGOCONCEDIDO2 = 800 WHERE IDCLIENTES = 2;\n"
                "UPDATE CLIENTES SET RIESGOCONCEDIDO2 = 1000, CODIGOCREDITOCAUCION2 = 'CC11' WHERE IDCLIENTES = 11;\n"
                "UPDATE CLIENTES SET RIESGOCONCEDIDO2 = 1000 WHERE IDCLIENTES = 12;\n"
                "UPDATE CLIENTES SET RIESGOCONCEDIDO2 = 200 WHERE IDCLIENTES = 13;");
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }
    static inline TestDatabase *db = nullptr;
};

/// A row of the memory table: field name -> value.
using Fila = QVariantMap;

/// What one click on a listing's button left: the rows the preview was opened
/// on, the warnings, and whether the memory table was closed afterwards.
struct Listado
{
    std::vector<Fila> filas;
    QStringList avisos;
    QStringList mensajes;
    bool vista = false;
    bool tablaCerrada = false;
    /// What the preview's pages read, a line of print each, its texts separated by tabs.
    QStringList lineas;

    /// "code|name|group" of every row, in order.
    QStringList claves() const
    {
        QStringList out;
        for (const Fila &f : filas)
            out << QStringLiteral("%1|%2|%3").arg(f.value("CodigoCliente").toString(), f.value("ClienteNombre").toString(),
                                                 f.value("GrupoRiesgo").toString());
        return out;
    }
    double suma(const char *campo) const
    {
        double s = 0;
        for (const Fila &f : filas)
            s += f.value(QLatin1String(campo)).toDouble();
        return s;
    }
};

/// The listings window on its own session, shown as the main screen shows it.
struct Ventana
{
    TSesionDatos sesion;
    TFormListadosVelmora w;

    explicit Ventana(const TestDatabase &base)
        : sesion({.IdEmpresa = kEmpresa, .IdGrupoEmpresa = kGrupoEmpresas, .RutaBaseDatos = base.connectionString(),
                  .NombreUsuario = TestDatabase::user(), .Password = TestDatabase::password()})
    {
        sesion.conectar();
        sesion.abrirEmpresa();
        w.Datos = &sesion.datos();
        w.show();
        // Focus moves (leaving an edit confirms it) need the window to be the active one.
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    ~Ventana() { w.hide(); }

    TDatos &datos() { return sesion.datos(); }

    /// Clicks a listing's button and reads the memory table while the preview is open, then closes it.
    Listado listar(QAbstractButton *boton)
    {
        testsupport::DialogosGrabados dialogos;
        Listado out;
        QTimer vigia;
        QObject::connect(&vigia, &QTimer::timeout, [&] {
            auto *vista = qobject_cast<fw::report::PreviewDialog *>(QApplication::activeModalWidget());
            if (vista == nullptr)
                return;
            out.vista = true;
            out.lineas = vista->textLines();
            TlxRxMemoryData &t = *datos().RxClientesRiesgo;
            if (t.active()) {
                for (t.first(); !t.eof(); t.next()) {
                    Fila f;
                    for (const auto &campo : t.fields())
                        f.insert(campo->fieldName(), campo->value());
                    out.filas.push_back(f);
                }
            }
            vista->closePreview();
        });
        vigia.start(10);
        boton->click();
        vigia.stop();
        out.avisos = dialogos.avisos();
        out.mensajes = dialogos.vistos;
        out.tablaCerrada = !datos().RxClientesRiesgo->active();
        return out;
    }
};

} // namespace listados
