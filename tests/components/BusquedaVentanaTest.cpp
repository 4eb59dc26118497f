// The search window and the lookup edit on a real host database with a few
// dozen customers: what the user sees listed, counted, sorted and chosen.
#include "components/lxDBEditLookupSrc.h"
#include "components/lxDBGrid.h"
#include "components/lxIBQuery.h"
#include "components/lxRxMemoryData.h"
#include "components/lxScan.h"
#include "components/lxBoton.h"
#include "framework/db/DataSource.h"
#include "framework/db/MemoryDataSet.h"
#include "support/DialogosGrabados.h"
#include "support/SesionPrueba.h"
#include "support/TestDatabase.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

using testsupport::DialogosGrabados;
using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

const QStringList kSqlClientes = {
    "SELECT C.Codigo,",
    "C.Nombre, C.NIF, C.RAZONSOCIAL, C.TELEFONO1, C.DIRECCION, C.IdClientes, C.RiesgoConcedido,",
    "C.AplicarDtoSobreIVA, CA.CODIGO AS CodigoCartera, FP.NOMBRE AS NombreFormaPago, AG.NOMBRE AS NombreAgente",
    "FROM Clientes C",
    "LEFT OUTER JOIN CARTERAS CA ON (C.Cartera = CA.IDCARTERAS)",
    "LEFT OUTER JOIN FormasPago FP ON (C.FormaPago = FP.IdFormasPago)",
    "LEFT OUTER JOIN AGENTESVENTA AG ON (C.AGENTEVENTA = AG.IDAGENTESVENTA)",
};
const QStringList kFormatoClientes = {"CODIGO@7@Código",           "NOMBRE@35@Nombre",
                                      "NIF@12@N.I.F.",             "RAZONSOCIAL@35@Razón Social",
                                      "TELEFONO1@15@Teléfono",     "DIRECCION@35@Dirección"};
const QStringList kFormatoCorto = {"CODIGO@7@Código", "NOMBRE@35@Nombre"};
constexpr int kGrupo = 1;
constexpr int kGrupoGrande = 3;
constexpr int kClientesGrupoGrande = 250;

// One connection and transaction, as the data module holds them.
using Sesion = testsupport::SesionPrueba;

/// Acts on the search window once it is shown modally; stops looking when it goes.
class AlAbrirse
{
public:
    explicit AlAbrirse(std::function<void(TlxScan &)> accion) : m_accion(std::move(accion))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto *scan = qobject_cast<TlxScan *>(QApplication::activeModalWidget());
            if (!scan || !scan->isVisible())
                return;
            m_timer.stop();
            m_vista = true;
            m_accion(*scan);
        });
        m_timer.start(10);
    }
    bool vista() const { return m_vista; }

private:
    std::function<void(TlxScan &)> m_accion;
    QTimer m_timer;
    bool m_vista = false;
};

/// Answers the next input box with `texto`.
void responderCuadro(const QString &texto)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, texto] {
        auto *cuadro = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!cuadro)
            return;
        timer->stop();
        timer->deleteLater();
        cuadro->setTextValue(texto);
        cuadro->accept();
    });
    timer->start(10);
}

QString primeraColumna(const TlxScan &scan)
{
    return scan.lxQueryScan->active() && !scan.lxQueryScan->isEmpty() ? scan.lxQueryScan->field(0).asString()
                                                                      : QString();
}

int filas(const TlxScan &scan)
{
    return scan.lxDBGridScan->model()->rowCount();
}

} // namespace

class Busqueda : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        base = new TestDatabase("busqueda");
        HostRows rows;
        rows.grupoEmpresas(kGrupo).grupoEmpresas(2).grupoEmpresas(kGrupoGrande).empresa(1, kGrupo);
        rows.insert("CARTERAS", {{"IDCARTERAS", 1}, {"CODIGO", "CA1"}, {"NOMBRE", "Cartera uno"}});
        rows.cliente(1, "C001", "GARCIA LOPEZ, ANA", kGrupo, 1000.0, {{"NIF", "B12345678"}, {"CARTERA", 1}});
        rows.cliente(2, "C002", "GARCIA PEREZ, LUIS", kGrupo, {}, {{"NIF", "A11111111"}});
        rows.cliente(3, "C003", "GARRIDO SANZ, EVA", kGrupo, {}, {{"NIF", "X00000000"}});
        rows.cliente(4, "C004", "Bar \"El Puerto\"", kGrupo);
        rows.cliente(5, "1000", "MIL", kGrupo);
        rows.cliente(6, "1001", "MIL UNO", kGrupo);
        for (int i = 7; i <= 30; ++i)
            rows.cliente(i, QStringLiteral("C%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("CLIENTE %1").arg(i),
                         kGrupo);
        rows.cliente(40, "C040", "ZAPATA ROS, JUAN", kGrupo);
        rows.cliente(90, "C900", "GARCIA DE OTRO GRUPO", 2);
        for (int i = 0; i < kClientesGrupoGrande; ++i)
            rows.cliente(1000 + i, QStringLiteral("G%1").arg(i, 4, 10, QLatin1Char('0')),
                         QStringLiteral("GRANDE %1").arg(i, 4, 10, QLatin1Char('0')), kGrupoGrande);
        rows.into(*base);
    }
    static void TearDownTestSuite()
    {
        delete base;
        base = nullptr;
    }
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
        sesion = std::make_unique<Sesion>(*base);
    }
    void TearDown() override
    {
        sesion.reset();
        QLocale::setDefault(QLocale::c());
    }

    /// The customer search as the listings window sets it up (large window, company group).
    void inicializarClientes(TlxScan &scan, int tipo, const QString &texto, bool contar = true,
                             const QStringList &formato = kFormatoClientes, const QStringList &sql = kSqlClientes)
    {
        scan.Inicializar(false, false, true, false, false, true, kGrupo, std::int16_t(tipo), sql, formato, {}, texto,
                         "Seleccione un Cliente", &sesion->db, {}, true, false, false, contar, false, {}, {}, {}, {},
                         {}, {}, 0);
    }

    static TestDatabase *base;
    std::unique_ptr<Sesion> sesion;
    DialogosGrabados dialogos;
};

TestDatabase *Busqueda::base = nullptr;

TEST_F(Busqueda, WindowWidthFollowsTheColumnsAndTheTariffChoice)
{
    struct Caso
    {
        QStringList formato;
        bool tarifas;
        int ancho;
    };
    for (const Caso &c : {Caso{kFormatoCorto, false, 600}, Caso{kFormatoCorto, true, 753},
                          Caso{kFormatoClientes, false, 834}}) {
        TlxScan scan;
        scan.Inicializar(false, false, true, false, false, true, kGrupo, 1, kSqlClientes, c.formato, {}, "gar",
                         "Seleccione un Cliente", &sesion->db, {}, true, false, false, true, c.tarifas, "T1",
                         "Tarifa general", "T2", "Tarifa cliente", "A1", "Central", 0);
        scan.show();
        EXPECT_EQ(scan.width(), c.ancho) << c.formato.size() << " columns, tariffs " << c.tarifas;
    }
    TlxScan scan;
    inicializarClientes(scan, 1, "gar", true, kFormatoCorto);
    EXPECT_EQ(scan.Long(), 42);
    EXPECT_EQ(scan.LabelF2->text(), "   F2\r\nCódigo");
    EXPECT_EQ(scan.LabelF4->text(), "   F4\r\nNombre");
    EXPECT_TRUE(dialogos.vistos.isEmpty()) << dialogos.vistos.join('\n').toStdString();
}

TEST_F(Busqueda, CountsTheMatchesOrListsNothingUntilTheUserSearches)
{
    TlxScan contado;
    inicializarClientes(contado, 1, "gar");
    contado.show();
    EXPECT_EQ(contado.windowTitle(), "Seleccione un Cliente Búsqueda por Nombre de Clientes");
    EXPECT_EQ(contado.StaticTextNumeroRegistros->text(), "Nº Reg: 3");
    EXPECT_EQ(filas(contado), 3);
    EXPECT_EQ(primeraColumna(contado), "C001");
    // F6 hands the caller the code of the current row.
    EXPECT_EQ(contado.BotonF6->text(), "F6   Alta Rápida");
    QString codigoF6;
    contado.setOnF6Click([&](QObject *sender, const QString &codigo) {
        EXPECT_EQ(sender, contado.wwIncrementalSearchScan);
        codigoF6 = codigo;
    });
    QTest::keyClick(contado.wwIncrementalSearchScan, Qt::Key_F6);
    EXPECT_EQ(codigoF6, "C001");

    TlxScan sinContar;
    inicializarClientes(sinContar, 1, "gar", false);
    sinContar.show();
    EXPECT_EQ(sinContar.StaticTextNumeroRegistros->text(), "Nº Reg: ¿?");
    EXPECT_EQ(filas(sinContar), 3);

    // Opened with no text, the large customer window lists nothing; typing five letters searches.
    TlxScan vacio;
    inicializarClientes(vacio, 1, "");
    vacio.show();
    EXPECT_EQ(vacio.StaticTextNumeroRegistros->text(), "Nº Reg: ¿?");
    EXPECT_FALSE(vacio.lxQueryScan->active());
    EXPECT_FALSE(vacio.chkDesactivarAutoscan->isChecked());
    QTest::keyClicks(vacio.wwIncrementalSearchScan, "garci");
    EXPECT_EQ(vacio.StaticTextNumeroRegistros->text(), "Nº Reg: 2");
    EXPECT_EQ(filas(vacio), 2);

    // With "Desactivar autoscan" ticked, typing only positions the list.
    vacio.chkDesactivarAutoscan->setChecked(true);
    QTest::keyClicks(vacio.wwIncrementalSearchScan, "a p");
    EXPECT_EQ(filas(vacio), 2);
    QTest::keyClick(vacio.wwIncrementalSearchScan, Qt::Key_F4);
    EXPECT_EQ(filas(vacio), 1);
    EXPECT_TRUE(dialogos.vistos.isEmpty()) << dialogos.vistos.join('\n').toStdString();
}

TEST_F(Busqueda, TheTariffChoiceRunsTheSearchWithTheChosenTariff)
{
    fw::Params parametros;
    parametros.add("ParCodigoTarifa").setValue("T1");
    TlxScan scan;
    scan.Inicializar(false, false, true, false, false, true, kGrupo, 1,
                     {"SELECT C.Codigo,", "C.Nombre, CAST(:ParCodigoTarifa AS CHAR(2)) AS TARIFA", "FROM Clientes C"},
                     kFormatoCorto, {}, "garr", "Seleccione un Cliente", &sesion->db, parametros, true, false, false,
                     true, true, "T1", "General", "T2", "Mayorista", "A1", "Central", 0);
    scan.show();
    EXPECT_EQ(scan.LabelAlmacenStock->text(), "Almacén: A1 Central");
    EXPECT_EQ(scan.RGTarifaVentasCliente->text(), "   Cliente   T2 Mayorista");
    ASSERT_TRUE(scan.RGTarifaVentasDefecto->isChecked());
    EXPECT_EQ(scan.lxQueryScan->fieldByName("TARIFA").asString(), "T1");
    scan.RGTarifaVentasCliente->click();
    EXPECT_EQ(scan.lxQueryScan->fieldByName("TARIFA").asString(), "T2");
    EXPECT_EQ(primeraColumna(scan), "C003");
    EXPECT_TRUE(dialogos.vistos.isEmpty()) << dialogos.vistos.join('\n').toStdString();
}

TEST_F(Busqueda, SortsDescendingByTheClickedColumnTitle)
{
    TlxScan scan;
    inicializarClientes(scan, 1, "g");
    scan.show();
    ASSERT_EQ(filas(scan), 3);
    QHeaderView *cabecera = scan.lxDBGridScan->horizontalHeader();
    QTest::mouseClick(cabecera->viewport(), Qt::LeftButton, {}, QPoint(cabecera->sectionViewportPosition(1) + 5, 5));
    ASSERT_TRUE(scan.PopupMenuScan->isVisible());
    EXPECT_EQ(scan.OrdenarelCampoDescendente->text(), "Ordenar Descendente por el Campo:   Nombre");
    scan.OrdenarelCampoDescendente->trigger();
    scan.PopupMenuScan->close();

    EXPECT_EQ(scan.lxQueryScan->sql().last(), "ORDER BY NOMBRE DESC;");
    EXPECT_EQ(scan.lxQueryScan->recNo(), 1);
    EXPECT_EQ(scan.lxQueryScan->fieldByName("NOMBRE").asString(), "GARRIDO SANZ, EVA");
    EXPECT_EQ(scan.lxDBGridScan->currentIndex().row(), 0);
    EXPECT_TRUE(dialogos.vistos.isEmpty()) << dialogos.vistos.join('\n').toStdString();
}

TEST_F(Busqueda, TypedQuotesAreSearchedForAndNeverEndTheLiteral)
{
    const QString inyectado = R"(a" OR 1=1 OR ")";
    // Passed in by the caller (the lookup edit's text).
    for (const auto &[texto, encontrados] : {std::pair{QStringLiteral("bar \"el"), 1}, std::pair{inyectado, 0}}) {
        TlxScan scan;
        inicializarClientes(scan, 1, texto);
        scan.show();
        EXPECT_EQ(filas(scan), encontrados) << texto.toStdString();
        EXPECT_EQ(scan.StaticTextNumeroRegistros->text(), QStringLiteral("Nº Reg: %1").arg(encontrados));
    }
    // Pasted into the search edit.
    TlxScan pegado;
    inicializarClientes(pegado, 1, "");
    pegado.show();
    QApplication::clipboard()->setText("Bar \"El Puerto");
    QTest::keySequence(pegado.wwIncrementalSearchScan, QKeySequence::Paste);
    EXPECT_EQ(filas(pegado), 1);
    EXPECT_EQ(primeraColumna(pegado), "C004");
    QApplication::clipboard()->setText(inyectado);
    pegado.wwIncrementalSearchScan->clear();
    QTest::keySequence(pegado.wwIncrementalSearchScan, QKeySequence::Paste);
    EXPECT_EQ(filas(pegado), 0);
    // Answered in the other-searches input box.
    TlxScan otra;
    inicializarClientes(otra, 1, "gar");
    otra.show();
    responderCuadro(inyectado);
    otra.OtrasBusquedas(2);
    EXPECT_EQ(otra.windowTitle(), "Seleccione un Cliente Scan por N.I.F.");
    EXPECT_EQ(filas(otra), 0);
    EXPECT_EQ(otra.StaticTextNumeroRegistros->text(), "Nº Reg: 0");
    EXPECT_TRUE(dialogos.vistos.isEmpty()) << dialogos.vistos.join('\n').toStdString();
}

TEST_F(Busqueda, OtherSearchesAskForTheTextOfTheChosenColumn)
{
    TlxScan scan;
    inicializarClientes(scan, 1, "gar");
    scan.show();
    responderCuadro("2345");
    scan.OtrasBusquedas(2);
    EXPECT_EQ(scan.ScanCampoNombre(), " C.NIF");
    EXPECT_EQ(filas(scan), 1);
    EXPECT_EQ(primeraColumna(scan), "C001");
    EXPECT_EQ(scan.wwIncrementalSearchScan->text(), "2345");
}

TEST_F(Busqueda, AStatementErrorShowsTheErrorBoxAndKeepsTheWindowUsable)
{
    QStringList sql = kSqlClientes;
    sql[1] = "C.Nombre, C.NOEXISTE,";
    TlxScan scan;
    inicializarClientes(scan, 1, "gar", true, kFormatoCorto, sql);
    scan.show();
    ASSERT_EQ(dialogos.vistos.size(), 1);
    EXPECT_TRUE(dialogos.vistos[0].startsWith("error|Error|Error en el Scan, detalles:\r\nError en SCAN: "))
        << dialogos.vistos[0].toStdString();
    EXPECT_TRUE(dialogos.vistos[0].contains("NOEXISTE"));
    EXPECT_FALSE(scan.lxQueryScan->active());
    EXPECT_TRUE(scan.isVisible());
}

TEST_F(Busqueda, GridReadsTheResultAsTheUserScrolls)
{
    TlxScan scan;
    // The small window lists the whole table of the group.
    scan.Inicializar(false, false, true, true, false, true, kGrupoGrande, 0, {"SELECT CODIGO,", "NOMBRE", "FROM CLIENTES C"},
                     kFormatoCorto, {}, "", "Seleccione un Cliente", &sesion->db, {}, false, false, true, true, false,
                     {}, {}, {}, {}, {}, {}, 0);
    scan.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&scan));
    EXPECT_EQ(scan.StaticTextNumeroRegistros->text(), QStringLiteral("Nº Reg: %1").arg(kClientesGrupoGrande));
    EXPECT_EQ(scan.lxQueryScan->recordCount(), 100);
    EXPECT_EQ(filas(scan), 100);

    // Down on the last row read moves on to the next record.
    TlxDBGrid *grid = scan.lxDBGridScan;
    grid->setCurrentIndex(grid->model()->index(99, 0));
    ASSERT_EQ(scan.lxQueryScan->recNo(), 100);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(scan.lxQueryScan->recNo(), 101);
    EXPECT_EQ(scan.lxQueryScan->fieldByName("CODIGO").asString(), "G0100");
    EXPECT_EQ(grid->currentIndex().row(), 100);
    EXPECT_EQ(filas(scan), 200);

    // Scrolling to the bottom reads the rest.
    for (int i = 0; i < 5 && filas(scan) < kClientesGrupoGrande; ++i) {
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(filas(scan), kClientesGrupoGrande);
    EXPECT_EQ(scan.lxQueryScan->recNo(), 101);
}

// --- lookup edit ---------------------------------------------------------------------

class EditLookup : public Busqueda
{
protected:
    void SetUp() override
    {
        Busqueda::SetUp();
        documento.addField("CLIENTE", fw::FieldType::String, 7);
        fuente.setDataSet(&documento);
        documento.open();
        documento.append();

        ventana.setObjectName("VentanaPrueba");
        auto *layout = new QHBoxLayout(&ventana);
        etiqueta = new QLabel("Cliente", &ventana);
        edit = new TlxDBEditLookup(&ventana);
        edit->setObjectName("lxDBEditLookupCliente");
        siguiente = new QLineEdit(&ventana);
        layout->addWidget(etiqueta);
        layout->addWidget(edit);
        layout->addWidget(siguiente);
        edit->setDataBase(&sesion->db);
        edit->setSQL(kSqlClientes);
        edit->setFormatoCampos(kFormatoClientes);
        edit->setOpcionesBusqueda(Filtrar_por_Grupo_de_Empresas | Es_Tabla_Clientes);
        edit->setValorGrupoEmpresas(kGrupo);
        edit->setCaption_Ventana("Seleccione un Cliente");
        edit->setDataSource(&fuente);
        edit->setDataField("CLIENTE");
        edit->OnConfirmarCambios = [this](QObject *) {
            // The chosen record is there while the event runs.
            confirmados << edit->DataSetResultado()->fieldByName("NOMBRE").asString();
        };
        ventana.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&ventana));
        edit->setFocus();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        ventana.hide();
        Busqueda::TearDown();
    }
    QString cliente() const { return documento.fieldByName("CLIENTE").asString(); }

    fw::MemoryDataSet documento;
    fw::DataSource fuente;
    QWidget ventana;
    QLabel *etiqueta = nullptr;
    TlxDBEditLookup *edit = nullptr;
    QLineEdit *siguiente = nullptr;
    QStringList confirmados;
};

TEST_F(EditLookup, ACodeTypedInLowerCaseAndTabLoadsTheCustomer)
{
    edit->setEtiqueta(true);
    edit->setEtiqueta1(etiqueta);
    siguiente->setFocus();
    edit->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(etiqueta->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_TRUE(etiqueta->font().bold());

    QTest::keyClicks(edit, "c001");
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_TRUE(siguiente->hasFocus());
    EXPECT_EQ(edit->text(), "C001");
    EXPECT_EQ(cliente(), "C001");
    EXPECT_EQ(confirmados, QStringList{"GARCIA LOPEZ, ANA"});
    EXPECT_FALSE(edit->DataSetResultado()->active());
    EXPECT_FALSE(etiqueta->font().bold());

    // A code that matches nothing still reaches the field, unconfirmed.
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, "zz9");
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(cliente(), "zz9");
    EXPECT_EQ(confirmados.size(), 1);

    // The field's value shows in the edit.
    documento.fieldByName("CLIENTE").setValue("C002");
    EXPECT_EQ(edit->text(), "C002");
    EXPECT_TRUE(dialogos.vistos.isEmpty()) << dialogos.vistos.join('\n').toStdString();
}

TEST_F(EditLookup, TheSearchWindowChoosesOrLeavesTheEditAsItWas)
{
    // F4 searches by name with the edit's text; Cancel changes nothing.
    edit->setText("gar");
    AlAbrirse cancelar([](TlxScan &scan) {
        EXPECT_EQ(scan.windowTitle(), "Seleccione un Cliente Búsqueda por Nombre de Clientes");
        EXPECT_EQ(filas(scan), 3);
        scan.BitBtnCancelar->click();
    });
    QTest::keyClick(edit, Qt::Key_F4);
    EXPECT_TRUE(cancelar.vista());
    EXPECT_EQ(edit->text(), "gar");
    EXPECT_TRUE(confirmados.isEmpty());

    // F2 searches by code; Enter takes the current row.
    edit->setText("c00");
    AlAbrirse aceptar([](TlxScan &scan) {
        EXPECT_EQ(scan.windowTitle(), "Seleccione un Cliente Búsqueda por Código de Clientes");
        QTest::keyClick(scan.lxDBGridScan, Qt::Key_Down);
        QTest::keyClick(scan.lxDBGridScan, Qt::Key_Return);
    });
    QTest::keyClick(edit, Qt::Key_F2);
    EXPECT_TRUE(aceptar.vista());
    EXPECT_EQ(edit->text(), "C002");
    EXPECT_EQ(cliente(), "C002");
    EXPECT_EQ(confirmados, QStringList{"GARCIA PEREZ, LUIS"});
    // Leaving after the choice confirms nothing again.
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(confirmados.size(), 1);

    // A read-only edit opens nothing.
    edit->setFocus();
    edit->setReadOnly(true);
    AlAbrirse nunca([](TlxScan &scan) { scan.reject(); });
    QTest::keyClick(edit, Qt::Key_F2);
    EXPECT_FALSE(nunca.vista());
    EXPECT_TRUE(dialogos.vistos.isEmpty()) << dialogos.vistos.join('\n').toStdString();
}

TEST_F(EditLookup, TypingCompletesTheCode)
{
    edit->setAutoScan(true);
    QTest::keyClicks(edit, "10");
    EXPECT_EQ(edit->text(), "1000");
    EXPECT_EQ(edit->selectedText(), "00");
    EXPECT_EQ(edit->Contador_AutoScan(), 2);
    // Typing on replaces the completed part.
    QTest::keyClicks(edit, "01");
    EXPECT_EQ(edit->text(), "1001");
    EXPECT_TRUE(confirmados.isEmpty());
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(confirmados, QStringList{"MIL UNO"});
    EXPECT_EQ(cliente(), "1001");
}

TEST(EditLookupSinBase, ButtonOptionsAndParametersTakeOnlyWhatIsConsistent)
{
    DialogosGrabados dialogos;
    TlxDBEditLookup edit;
    edit.resize(135, 24);
    EXPECT_EQ(edit.WidthButton(), 16);
    edit.setWidthButton(80);
    EXPECT_EQ(edit.WidthButton(), 16);
    edit.setWidthButton(20);
    EXPECT_EQ(edit.Boton()->width(), 20);
    EXPECT_EQ(edit.textMargins().right(), 22);
    EXPECT_EQ(edit.Boton()->geometry().right(), edit.width() - 3);
    edit.setSide(sbLeft);
    EXPECT_EQ(edit.textMargins().left(), 22);
    EXPECT_EQ(edit.Boton()->x(), 2);
    edit.setVisibleButton(false);
    EXPECT_EQ(edit.textMargins().left(), 3);

    edit.setEnabled(false);
    EXPECT_FALSE(edit.Boton()->isEnabled());
    EXPECT_EQ(edit.ImageButton().toImage(), QPixmap(":/lx/ICONOBOTONAPAGADO").toImage());
    edit.setEnabled(true);
    EXPECT_EQ(edit.ImageButton().toImage(), QPixmap(":/lx/ICONOBOTON").toImage());
    EXPECT_FALSE(edit.ImageButton().isNull());

    edit.setOpcionesBusqueda(Filtrar_por_Empresa | Filtrar_por_Grupo_de_Empresas | Incluir_Valores_Repetidos);
    EXPECT_EQ(edit.OpcionesBusqueda(), TOpciones(Incluir_Valores_Repetidos));
    edit.setOpcionesBusqueda(Es_Tabla_Articulos | Es_Tabla_Clientes | Filtrar_por_Empresa);
    EXPECT_EQ(edit.OpcionesBusqueda(), TOpciones(Filtrar_por_Empresa));

    fw::Params parametros;
    parametros.add("PAREMPRESA").setValue(4);
    edit.setParametrosSQL(parametros);
    ASSERT_NE(edit.ParamByName("parempresa"), nullptr);
    EXPECT_EQ(edit.ParamByName("parempresa")->asInteger(), 4);
    EXPECT_EQ(edit.ParamByName("NOHAY"), nullptr);
    ASSERT_EQ(dialogos.vistos.size(), 1);
    EXPECT_TRUE(dialogos.vistos[0].startsWith("inform|Error en ParamByName\r\n")) << dialogos.vistos[0].toStdString();
}
