// The configuration window on a data module connected to an installed test
// database: what it lists, what it lets the user change, and what it refuses.
#include "components/lxDBComboBox.h"
#include "components/lxDBGrid.h"
#include "components/lxIBDataSet.h"
#include "components/lxIBQuery.h"
#include "data/ModuloDatos.h"
#include "data/SesionDatos.h"
#include "framework/host/HostPaths.h"
#include "framework/host/IniFile.h"
#include "framework/ui/Guard.h"
#include "support/InstalacionPrueba.h"
#include "screens/ConfiguracionCreditoCaucion.h"
#include "support/TestDatabase.h"
#include "support/DialogosGrabados.h"
#include "support/ModalCatcher.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

// Company group 1 holds companies 1 and 2; company 3 belongs to group 2 and
// series H points at a company that does not exist.
class ConfiguracionVentana : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        db = new TestDatabase(QStringLiteral("config-ventana"));
        HostRows rows;
        rows.grupoEmpresas(1).grupoEmpresas(2);
        rows.empresa(1, 1, QStringLiteral("Uno")).empresa(2, 1, QStringLiteral("Dos")).empresa(3, 2, QStringLiteral("Otra"));
        rows.serieDocumento(1, QStringLiteral("A"), 1)
            .serieDocumento(2, QStringLiteral("B"), 2)
            .serieDocumento(3, QStringLiteral("C"), 1)
            .serieDocumento(4, QStringLiteral("X"), 3)
            .serieDocumento(5, QStringLiteral("H"), 99);
        rows.serieFactura(1, QStringLiteral("FA"), 1).serieFactura(2, QStringLiteral("FB"), 2).serieFactura(3, QStringLiteral("FX"), 3);
        rows.formaPago(1, QStringLiteral("C1"), 1, 0, 2, 30)
            .formaPago(2, QStringLiteral("C2"), 1, 15, 2, 30)
            .formaPago(3, QStringLiteral("C3"), 1, 20, QVariant(), 30)
            .formaPago(4, QStringLiteral("C4"), 1, 10, 1, 0)
            .formaPago(5, QStringLiteral("C5"), 2, 0, 1, 30);
        rows.into(*db);
        db->run("UPDATE FORMASPAGO SET EXENTA_DE_RIESGO = 1 WHERE IDFORMASPAGO = 4;");
        installtest::instalarModulo(*db);
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }

    static TestDatabase *db;
};

TestDatabase *ConfiguracionVentana::db = nullptr;

/// A data module opened as the configuration entry opens it, and the window on it.
struct Sesion
{
    TSesionDatos sesion;
    TDatos *datos = &sesion.datos();
    std::unique_ptr<TFormConfiguracionCreditoCaucion> ventana = std::make_unique<TFormConfiguracionCreditoCaucion>();

    explicit Sesion(const TestDatabase &db)
        : sesion({.IdEmpresa = 1, .IdGrupoEmpresa = 1, .RutaBaseDatos = db.connectionString(),
                  .NombreUsuario = TestDatabase::user(), .Password = TestDatabase::password()})
    {
        sesion.conectar();
        sesion.abrirEmpresa();
        ventana->Datos = datos;
        ventana->show();
        ventana->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(ventana.get()));
    }
    /// What was not committed is rolled back: the next case starts from the same rows.
    ~Sesion()
    {
        ventana.reset();
        if (!conexionPerdida)
            sesion.deshacer();
    }
    /// The server drops this session's connection, as when it is killed by an administrator.
    void perderConexion(const TestDatabase &db)
    {
        db.run("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION;");
        conexionPerdida = true;
    }
    bool conexionPerdida = false;
    /// Closes the window and commits, as the main screen does after it.
    void cerrarYConfirmar()
    {
        ventana->btnCerrar->click();
        sesion.confirmar();
    }
};

/// Keys typed one at a time into whatever has the focus, as a user types.
void teclear(const QString &texto)
{
    for (QChar c : texto)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}
void tecla(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, mods);
}

/// Focuses the grid on row `fila` (from 0) and the column of `campo`.
void irACelda(TlxDBGrid *grid, int fila, const QString &campo)
{
    grid->setFocus();
    QApplication::processEvents();
    int columna = -1;
    for (int i = 0; i < grid->gridColumnCount(); ++i)
        if (grid->columns()[size_t(i)].fieldName == campo)
            columna = i;
    ASSERT_GE(columna, 0) << campo.toStdString();
    grid->setCurrentIndex(grid->model()->index(fila, columna));
    ASSERT_EQ(grid->dataSet()->recNo(), fila + 1);
    ASSERT_EQ(grid->selectedIndex(), columna);
}

QStringList columnaGrid(TlxDBGrid *grid, int columna)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        out << grid->model()->index(r, columna).data().toString();
    return out;
}

QStringList titulos(TlxDBGrid *grid)
{
    QStringList out;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        out << grid->model()->headerData(c, Qt::Horizontal).toString();
    return out;
}

} // namespace

TEST_F(ConfiguracionVentana, ShowsThePaymentMethodsAndTheSeriesOfTheCompanyGroup)
{
    Sesion s(*db);
    auto &v = *s.ventana;
    EXPECT_EQ(v.windowTitle(), QStringLiteral("  Configuración de Velmora"));
    EXPECT_EQ(v.PageControlConfiguracion->currentIndex(), 0);
    EXPECT_EQ(v.PageControlConfiguracion->tabText(0), QStringLiteral("  Formas de Pago  "));
    EXPECT_EQ(v.PageControlConfiguracion->tabText(1), QStringLiteral("  Series de Documentos y Facturas  "));
    EXPECT_EQ(QApplication::focusWidget(), v.lxDBGridFormasPago);
    EXPECT_EQ(v.MemoFormula->toPlainText(),
              QStringLiteral("\n- SI Dias hasta 1º Vto = 0 entonces :\n\n   Intervalo + ( Intervalo * ( Nº Vtos - 1))\n\n\n"
                             "- En caso contrario :\n\n   Dias hasta 1º Vto +\n    ( Intervalo * (NºVtos - 1 ) )"));

    EXPECT_EQ(titulos(v.lxDBGridFormasPago),
              (QStringList{" Codigo ", "Nombre", " Dias 1º Vto ", " Nº Vtos ", " Intervalo Vtos. ", " Exenta Riesgo ",
                           " Dias Calculados ", " Dias de Riesgo "}));
    EXPECT_EQ(titulos(v.lxDBGridSeriesFacturas),
              (QStringList{" Empresa ", "Nombre Empresa", " Serie ", "Nombre Serie", "Grupo Riesgo"}));
    // Payment method C5 and series X belong to another group; series H has no company.
    EXPECT_EQ(columnaGrid(v.lxDBGridFormasPago, 0), (QStringList{"C1", "C2", "C3", "C4"}));
    EXPECT_EQ(columnaGrid(v.lxDBGridSeriesDocumentos, 2), (QStringList{"A", "C", "B"})) << "company 1 before company 2";
    EXPECT_EQ(columnaGrid(v.lxDBGridSeriesFacturas, 2), (QStringList{"FA", "FB"}));
    EXPECT_EQ(columnaGrid(v.lxDBGridSeriesFacturas, 0), (QStringList{"1", "2"}));
    // The due-date columns show their numbers; the exemption shows as a tick.
    EXPECT_EQ(columnaGrid(v.lxDBGridFormasPago, 2), (QStringList{"0", "15", "20", "10"}));
    auto *m = v.lxDBGridFormasPago->model();
    EXPECT_EQ(m->index(0, 5).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_EQ(m->index(3, 5).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_FALSE(m->flags(m->index(3, 5)) & Qt::ItemIsUserCheckable);
    // Only the risk days can be edited.
    for (int c = 0; c < m->columnCount(); ++c)
        EXPECT_EQ(bool(m->flags(m->index(0, c)) & Qt::ItemIsEditable), c == 7) << c;
}

TEST_F(ConfiguracionVentana, CalculatedDaysFollowTheDueDatesAndAreOnlyShown)
{
    Sesion s(*db);
    // C1: D 0, I 30, N 2; C2: D 15; C3: N NULL, D 20; C4: D 10, N 1, I 0.
    EXPECT_EQ(columnaGrid(s.ventana->lxDBGridFormasPago, 6), (QStringList{"60", "45", "-10", "10"}));
    // The installation filled the risk days; the suggestion is not copied over them.
    EXPECT_EQ(columnaGrid(s.ventana->lxDBGridFormasPago, 7), (QStringList{"60", "45", "0", "10"}));
}

TEST_F(ConfiguracionVentana, EditedRiskDaysAndGroupsAreWrittenInTheSessionsTransaction)
{
    db->run("UPDATE FORMASPAGO SET DIASRIESGO = 7 WHERE IDFORMASPAGO IN (1, 2);\n"
            "UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = 1 WHERE IDSERIESDOCUMENTOS = 1;\n"
            "UPDATE SERIESFACTURAS SET GRUPORIESGO = 1 WHERE IDSERIESFACTURAS = 2;");
    {
        Sesion s(*db);
        auto &v = *s.ventana;
        // Zero and negative risk days are accepted as they are.
        irACelda(v.lxDBGridFormasPago, 0, QStringLiteral("DIASRIESGO"));
        teclear(QStringLiteral("-5"));
        tecla(Qt::Key_Return);
        EXPECT_EQ(s.datos->tFormasPago->recNo(), 2) << "Enter on the last column moves to the next row";
        tecla(Qt::Key_End);
        teclear(QStringLiteral("0"));
        tecla(Qt::Key_Return);

        // The group is chosen in the drop-down over the cell.
        v.PageControlConfiguracion->setCurrentIndex(1);
        irACelda(v.lxDBGridSeriesDocumentos, 0, QStringLiteral("GRUPORIESGO"));
        EXPECT_TRUE(v.lxDBComboBoxGrupoRiesgo1->isVisible());
        teclear(QStringLiteral("4"));
        EXPECT_EQ(QApplication::focusWidget(), v.lxDBComboBoxGrupoRiesgo1);
        tecla(Qt::Key_Return);
        irACelda(v.lxDBGridSeriesFacturas, 1, QStringLiteral("GRUPORIESGO"));
        teclear(QStringLiteral("5"));
        tecla(Qt::Key_Return);

        // Posted, but nothing is committed while the window is open.
        EXPECT_EQ(db->value("SELECT DIASRIESGO FROM FORMASPAGO WHERE IDFORMASPAGO = 1"), QStringLiteral("7"));
        s.cerrarYConfirmar();
    }
    EXPECT_EQ(db->rows("SELECT IDFORMASPAGO, DIASRIESGO FROM FORMASPAGO WHERE IDFORMASPAGO IN (1, 2) ORDER BY 1"),
              (QStringList{"1|-5", "2|0"}));
    EXPECT_EQ(db->value("SELECT GRUPORIESGO FROM SERIESDOCUMENTOS WHERE IDSERIESDOCUMENTOS = 1"), QStringLiteral("4"));
    EXPECT_EQ(db->value("SELECT GRUPORIESGO FROM SERIESFACTURAS WHERE IDSERIESFACTURAS = 2"), QStringLiteral("5"));
}

TEST_F(ConfiguracionVentana, ClosingKeepsAnEditStillPendingInTheCurrentRow)
{
    db->run("UPDATE FORMASPAGO SET DIASRIESGO = 7 WHERE IDFORMASPAGO = 3;\n"
            "UPDATE SERIESFACTURAS SET GRUPORIESGO = 1 WHERE IDSERIESFACTURAS = 1;");
    for (bool porTeclado : {false, true}) {
        Sesion s(*db);
        auto &v = *s.ventana;
        if (porTeclado) {
            // Typed into the grid's editor, neither confirmed nor left.
            irACelda(v.lxDBGridFormasPago, 2, QStringLiteral("DIASRIESGO"));
            teclear(QStringLiteral("33"));
        } else {
            v.PageControlConfiguracion->setCurrentIndex(1);
            irACelda(v.lxDBGridSeriesFacturas, 0, QStringLiteral("GRUPORIESGO"));
            teclear(QStringLiteral("3"));
        }
        s.cerrarYConfirmar();
        EXPECT_FALSE(s.datos->tFormasPago->active());
        EXPECT_FALSE(s.datos->tSeriesFacturas->active());
    }
    EXPECT_EQ(db->value("SELECT DIASRIESGO FROM FORMASPAGO WHERE IDFORMASPAGO = 3"), QStringLiteral("33"));
    EXPECT_EQ(db->value("SELECT GRUPORIESGO FROM SERIESFACTURAS WHERE IDSERIESFACTURAS = 1"), QStringLiteral("3"));
}

TEST_F(ConfiguracionVentana, APendingValueThatCannotBeStoredKeepsTheWindowOpen)
{
    Sesion s(*db);
    auto &v = *s.ventana;
    v.PageControlConfiguracion->setCurrentIndex(1);
    irACelda(v.lxDBGridSeriesDocumentos, 0, QStringLiteral("GRUPORIESGO"));
    teclear(QStringLiteral("9"));
    {
        ModalCatcher mensajes;
        v.btnCerrar->click();
        QTest::qWait(30);
        EXPECT_FALSE(mensajes.seen().isEmpty());
    }
    EXPECT_TRUE(v.isVisible());
    EXPECT_TRUE(s.datos->tSeriesDocumentos->active());
    // Once the edit is dropped the window closes.
    s.datos->tSeriesDocumentos->cancel();
    v.btnCerrar->click();
    EXPECT_FALSE(v.isVisible());
    EXPECT_FALSE(s.datos->tSeriesDocumentos->active());
}

TEST_F(ConfiguracionVentana, AfterTheConnectionIsLostClosingOffersToDropThePendingEdit)
{
    db->run("UPDATE FORMASPAGO SET DIASRIESGO = 7 WHERE IDFORMASPAGO = 1;");
    {
        Sesion s(*db);
        auto &v = *s.ventana;
        irACelda(v.lxDBGridFormasPago, 0, QStringLiteral("DIASRIESGO"));
        teclear(QStringLiteral("33"));
        s.perderConexion(*db);

        // Asked even though the main screen discards stray errors.
        const fw::ui::ScopedErrorPolicy comoPantallaPrincipal(fw::ui::ErrorPolicy::Discard);
        testsupport::DialogosGrabados dialogos;
        const QString pregunta = QStringLiteral("confirm|  Configuración de Velmora|No se ha podido guardar el cambio pendiente: ");
        // Staying is offered and honoured; every way of closing asks again.
        dialogos.respuesta = false;
        v.btnCerrar->click();
        EXPECT_TRUE(v.isVisible());
        dialogos.respuesta = true;
        v.close();
        EXPECT_FALSE(v.isVisible());
        ASSERT_EQ(dialogos.vistos.size(), 2) << dialogos.vistos.join(QLatin1Char('\n')).toStdString();
        const QString oferta = QStringLiteral("\r\n\r\n¿Cerrar la ventana sin guardarlo?");
        for (const QString &visto : dialogos.vistos) {
            ASSERT_TRUE(visto.startsWith(pregunta) && visto.endsWith(oferta)) << visto.toStdString();
            EXPECT_FALSE(visto.mid(pregunta.size()).chopped(oferta.size()).trimmed().isEmpty())
                << "the database's own text follows";
        }
        EXPECT_FALSE(s.datos->tFormasPago->active());
    }
    EXPECT_EQ(db->value("SELECT DIASRIESGO FROM FORMASPAGO WHERE IDFORMASPAGO = 1"), QStringLiteral("7"));
}

TEST_F(ConfiguracionVentana, RiskGroupOutsideOneToFiveIsRefusedInTheCell)
{
    Sesion s(*db);
    auto &v = *s.ventana;
    v.PageControlConfiguracion->setCurrentIndex(1);
    fw::Field &grupo = s.datos->tSeriesDocumentos->fieldByName(QStringLiteral("GRUPORIESGO"));
    for (const char *valor : {"0", "6", "9"}) {
        SCOPED_TRACE(valor);
        irACelda(v.lxDBGridSeriesDocumentos, 1, QStringLiteral("GRUPORIESGO"));
        const int antes = grupo.asInteger();
        ModalCatcher mensajes;
        teclear(QString::fromLatin1(valor));
        tecla(Qt::Key_Return);
        QTest::qWait(50);
        ASSERT_FALSE(mensajes.seen().isEmpty());
        EXPECT_TRUE(mensajes.seen()[0].contains(QStringLiteral("Debe estar entre 1 y 5"))) << mensajes.seen()[0].toStdString();
        EXPECT_EQ(grupo.asInteger(), antes);
        EXPECT_EQ(s.datos->tSeriesDocumentos->recNo(), 2) << "the cursor stays on the row";
        // Escape drops what was typed and the row stays as it was.
        v.activateWindow(); // the message box took the activation away
        ASSERT_TRUE(QTest::qWaitForWindowActive(&v));
        QTest::keyClick(v.lxDBGridSeriesDocumentos, Qt::Key_Escape);
        EXPECT_TRUE(v.isVisible());
        EXPECT_EQ(s.datos->tSeriesDocumentos->state(), fw::DataSetState::Browse);
        EXPECT_EQ(grupo.asInteger(), antes);
    }
    // A key cannot empty the drop-down.
    irACelda(v.lxDBGridSeriesDocumentos, 1, QStringLiteral("GRUPORIESGO"));
    v.lxDBComboBoxGrupoRiesgo1->setFocus();
    v.lxDBComboBoxGrupoRiesgo1->lineEdit()->selectAll();
    tecla(Qt::Key_Backspace);
    EXPECT_FALSE(v.lxDBComboBoxGrupoRiesgo1->currentText().isEmpty());
}

TEST_F(ConfiguracionVentana, RiskDaysTooLargeAreRefusedOnceWhicheverWayTheCellIsLeft)
{
    Sesion s(*db);
    auto &v = *s.ventana;
    TlxDBGrid *grid = v.lxDBGridFormasPago;
    const QString mensaje = QStringLiteral("  Configuración de Velmora|99999999999 no es un valor válido para Dias de "
                                           "Riesgo. Debe estar entre -2147483648 y 2147483647");
    struct Salida
    {
        const char *como;
        std::function<void()> salir;
        bool sigueEnLaCelda;
    };
    const Salida salidas[] = {
        {"Enter", [] { tecla(Qt::Key_Return); }, true},
        {"a click on another row",
         [&] {
             QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                               grid->visualRect(grid->model()->index(2, 1)).center());
         },
         false},
        {"the focus leaving the grid", [&] { v.btnCerrar->setFocus(); }, false},
    };
    for (const Salida &salida : salidas) {
        SCOPED_TRACE(salida.como);
        irACelda(grid, 0, QStringLiteral("DIASRIESGO"));
        const QVariant antes = grid->rowValue(0, QStringLiteral("DIASRIESGO"));
        ModalCatcher mensajes;
        teclear(QStringLiteral("99999999999"));
        salida.salir();
        QTest::qWait(50);
        EXPECT_EQ(mensajes.seen(), QStringList{mensaje});
        EXPECT_EQ(s.datos->tFormasPago->state(), fw::DataSetState::Browse);
        EXPECT_EQ(grid->rowValue(0, QStringLiteral("DIASRIESGO")), antes);
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        EXPECT_EQ(editor != nullptr && editor->text() == QStringLiteral("99999999999"), salida.sigueEnLaCelda);
        if (salida.sigueEnLaCelda)
            tecla(Qt::Key_Escape);
    }
}

TEST_F(ConfiguracionVentana, ASeriesPostedWithoutAGroupStoresOne)
{
    db->run("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = NULL WHERE IDSERIESDOCUMENTOS = 3;\n"
            "UPDATE SERIESFACTURAS SET GRUPORIESGO = NULL WHERE IDSERIESFACTURAS = 2;");
    {
        Sesion s(*db);
        for (TlxIBDataSet *t : {s.datos->tSeriesDocumentos, s.datos->tSeriesFacturas}) {
            SCOPED_TRACE(t->objectName().toStdString());
            t->last();
            fw::Field &grupo = t->fieldByName(QStringLiteral("GRUPORIESGO"));
            if (t == s.datos->tSeriesDocumentos) {
                ASSERT_TRUE(t->locate(QStringLiteral("CODIGOSERIE"), QStringLiteral("C")));
            }
            ASSERT_TRUE(grupo.isNull());
            t->edit();
            grupo.clear();
            t->post();
            EXPECT_EQ(grupo.asInteger(), 1);
        }
        s.cerrarYConfirmar();
    }
    EXPECT_EQ(db->value("SELECT GRUPORIESGO FROM SERIESDOCUMENTOS WHERE IDSERIESDOCUMENTOS = 3"), QStringLiteral("1"));
    EXPECT_EQ(db->value("SELECT GRUPORIESGO FROM SERIESFACTURAS WHERE IDSERIESFACTURAS = 2"), QStringLiteral("1"));
}

TEST_F(ConfiguracionVentana, NoRowIsAddedByInsertOrByMovingPastTheLastRow)
{
    Sesion s(*db);
    auto &v = *s.ventana;
    ModalCatcher mensajes;
    const std::pair<int, TlxDBGrid *> rejillas[] = {
        {0, v.lxDBGridFormasPago}, {1, v.lxDBGridSeriesDocumentos}, {1, v.lxDBGridSeriesFacturas}};
    for (const auto &[pagina, grid] : rejillas) {
        SCOPED_TRACE(grid->objectName().toStdString());
        v.PageControlConfiguracion->setCurrentIndex(pagina);
        fw::DataSet *ds = grid->dataSet();
        const int filas = ds->recordCount();
        irACelda(grid, filas - 1, QStringLiteral("NOMBRE%1").arg(pagina == 0 ? QString() : QStringLiteral("SERIE")));
        tecla(Qt::Key_Insert);
        tecla(Qt::Key_Down);
        tecla(Qt::Key_Return); // not the last column: the next cell only
        grid->setSelectedIndex(grid->gridColumnCount() - 1);
        tecla(Qt::Key_Tab);
        EXPECT_EQ(ds->state(), fw::DataSetState::Browse);
        EXPECT_EQ(ds->recordCount(), filas);
        EXPECT_EQ(grid->model()->rowCount(), filas);
        EXPECT_EQ(ds->recNo(), filas);
    }
    // Refused without a word.
    QTest::qWait(30);
    EXPECT_TRUE(mensajes.seen().isEmpty()) << mensajes.seen().join(QLatin1Char('\n')).toStdString();
}

TEST_F(ConfiguracionVentana, SwitchingPagesPutsTheFocusInThatPagesGrid)
{
    Sesion s(*db);
    auto &v = *s.ventana;
    QTabBar *pestanas = v.PageControlConfiguracion->tabBar();
    v.btnCerrar->setFocus();
    QTest::mouseClick(pestanas, Qt::LeftButton, {}, pestanas->tabRect(1).center());
    EXPECT_EQ(v.PageControlConfiguracion->currentIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), v.lxDBGridSeriesDocumentos);
    v.lxDBGridSeriesFacturas->setFocus();
    QTest::mouseClick(pestanas, Qt::LeftButton, {}, pestanas->tabRect(0).center());
    EXPECT_EQ(QApplication::focusWidget(), v.lxDBGridFormasPago);
}

TEST_F(ConfiguracionVentana, EditableColumnsStandOutAndTheSuggestionIsNavy)
{
    Sesion s(*db);
    auto &v = *s.ventana;
    const QBrush info = QApplication::palette().brush(QPalette::ToolTipBase);
    struct Caso
    {
        TlxDBGrid *grid;
        int columna;
        QColor texto;
        bool negrita;
        bool relleno;
    };
    const QColor normal = v.lxDBGridFormasPago->palette().color(QPalette::Text);
    const Caso casos[] = {{v.lxDBGridFormasPago, 7, QColor(255, 0, 0), true, true},
                          {v.lxDBGridFormasPago, 6, QColor(0, 0, 128), false, false},
                          {v.lxDBGridFormasPago, 1, normal, false, false},
                          {v.lxDBGridSeriesDocumentos, 4, QColor(255, 0, 0), true, true},
                          {v.lxDBGridSeriesFacturas, 4, QColor(255, 0, 0), true, true},
                          {v.lxDBGridSeriesFacturas, 3, normal, false, false}};
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.grid->objectName().toStdString() + " " + std::to_string(c.columna));
        const fw::ui::CellLook look = c.grid->cellLook(1, c.columna);
        EXPECT_EQ(look.textColor, c.texto);
        EXPECT_EQ(look.font.bold(), c.negrita);
        EXPECT_EQ(look.background == info, c.relleno);
    }
}

TEST_F(ConfiguracionVentana, AWidenedColumnComesBackOnTheNextOpening)
{
    const QString rejillas = fw::host::programFile(QStringLiteral("Rejillas.ini"));
    const QString seccion = QStringLiteral("FormConfiguracionCreditoCaucionlxDBGridFormasPago");
    auto borrar = [&] {
        fw::host::IniFile ini(rejillas);
        ini.load();
        ini.eraseSection(seccion);
        ini.save();
    };
    borrar();
    {
        Sesion s(*db);
        TlxDBGrid *grid = s.ventana->lxDBGridFormasPago;
        grid->setFocus();
        grid->setColumnWidth(1, grid->charsToPixels(40));
        s.ventana->btnCerrar->setFocus(); // leaving the grid stores its layout
    }
    {
        // The window opens with the focus in this grid, which loads the stored layout.
        Sesion s(*db);
        TlxDBGrid *grid = s.ventana->lxDBGridFormasPago;
        EXPECT_EQ(grid->columnWidthInChars(1), 40);
        EXPECT_EQ(grid->columnWidthInChars(2), 10);
        EXPECT_EQ(grid->gridColumnCount(), 8);
    }
    borrar();
}
