#include "components/lxBoton.h"
#include "components/lxDBComboBox.h"
#include "components/lxDBEdit.h"
#include "components/lxDBGrid.h"
#include "support/ModalCatcher.h"
#include "framework/base/Error.h"
#include "framework/db/MemoryDataSet.h"
#include "framework/host/HostPaths.h"
#include "framework/host/IniFile.h"
#include "framework/ui/GridLayoutStore.h"
#include "framework/ui/WaitCursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

using fw::FieldType;

namespace {

// Spanish number format, as the module's users have it.
struct SpanishLocale
{
    QLocale before = QLocale();
    SpanishLocale() { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); }
    ~SpanishLocale() { QLocale::setDefault(before); }
};

// Three rows of CODIGO, NOMBRE, IMPORTE (float), EXENTA (small integer), GRUPORIESGO, FECHA.
std::unique_ptr<fw::MemoryDataSet> tabla()
{
    auto ds = std::make_unique<fw::MemoryDataSet>();
    ds->addField(QStringLiteral("CODIGO"), FieldType::String, 6);
    ds->addField(QStringLiteral("NOMBRE"), FieldType::String, 30);
    ds->addField(QStringLiteral("IMPORTE"), FieldType::Float);
    ds->addField(QStringLiteral("EXENTA"), FieldType::SmallInt);
    ds->addField(QStringLiteral("GRUPORIESGO"), FieldType::Integer);
    ds->addField(QStringLiteral("FECHA"), FieldType::Date);
    ds->open();
    const char *nombres[] = {"Uno", "Dos", "Tres"};
    for (int i = 0; i < 3; ++i) {
        ds->append();
        ds->fieldByName(QStringLiteral("CODIGO")).setAsString(QString::number(i + 1));
        ds->fieldByName(QStringLiteral("NOMBRE")).setAsString(QString::fromLatin1(nombres[i]));
        ds->fieldByName(QStringLiteral("IMPORTE")).setAsFloat(10.5 * (i + 1));
        ds->fieldByName(QStringLiteral("EXENTA")).setAsInteger(i % 2);
        ds->fieldByName(QStringLiteral("GRUPORIESGO")).setAsInteger(1);
        ds->post();
    }
    ds->first();
    return ds;
}

const QStringList kTresColumnas = {QStringLiteral("CODIGO\t6\t Codigo \tF"), QStringLiteral("NOMBRE\t27\tNombre\tF"),
                                   QStringLiteral("IMPORTE\t10\tImporte\tF")};

// A window with a grid between two edits, shown and active.
struct Ventana
{
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QLineEdit *antes = new QLineEdit(window.get());
    TlxDBGrid *grid = new TlxDBGrid(window.get());
    QLineEdit *despues = new QLineEdit(window.get());
    fw::DataSource source;

    Ventana(fw::DataSet &ds, const QString &windowName, const QStringList &columns, bool guardar)
    {
        window->setObjectName(windowName);
        grid->setObjectName(QStringLiteral("lxDBGridPrueba"));
        grid->setGuardarColumnas(guardar);
        auto *layout = new QVBoxLayout(window.get());
        layout->addWidget(antes);
        layout->addWidget(grid);
        layout->addWidget(despues);
        source.setDataSet(&ds);
        grid->setDataSource(&source);
        grid->setColumnDefinitions(columns);
        window->resize(700, 300);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        antes->setFocus();
    }
};

fw::host::IniFile rejillas()
{
    return fw::host::IniFile(fw::host::programFile(QStringLiteral("Rejillas.ini")));
}

void borrarSeccion(const QString &section)
{
    auto ini = rejillas();
    ini.load();
    ini.eraseSection(section);
    ini.save();
}

QStringList seccion(const QString &section)
{
    auto ini = rejillas();
    ini.load();
    QStringList lines;
    for (const QString &key : ini.keys(section))
        lines << ini.readString(section, key);
    return lines;
}

} // namespace

TEST(TlxDBGrid, EnterMovesAcrossColumnsAndOutOfTheRowOnlyWithMoveByRow)
{
    for (bool moveByRow : {true, false}) {
        auto ds = tabla();
        Ventana v(*ds, QStringLiteral("VentanaTeclas"), kTresColumnas, false);
        v.grid->setMoveByRow(moveByRow);
        int vistas = 0; // keys that reached the owner's handler
        v.grid->onKeyDown = [&](int &, Qt::KeyboardModifiers) { ++vistas; };
        v.grid->setFocus();
        v.grid->setSelectedIndex(0);

        QTest::keyClick(v.grid, Qt::Key_Return);
        EXPECT_EQ(v.grid->selectedIndex(), 1);
        QTest::keyClick(v.grid, Qt::Key_Tab);
        EXPECT_EQ(v.grid->selectedIndex(), 2);
        EXPECT_EQ(vistas, 0) << "keys used up inside the row reach nothing else";

        QTest::keyClick(v.grid, Qt::Key_Return);
        EXPECT_EQ(vistas, 1);
        if (moveByRow) {
            EXPECT_EQ(ds->recNo(), 2);
            EXPECT_EQ(v.grid->selectedIndex(), 0);
            QTest::keyClick(v.grid, Qt::Key_Down);
            EXPECT_EQ(ds->recNo(), 3);
            QTest::keyClick(v.grid, Qt::Key_Up);
            EXPECT_EQ(ds->recNo(), 2);
        } else {
            EXPECT_EQ(ds->recNo(), 1);
            EXPECT_EQ(v.grid->selectedIndex(), 2);
            QTest::keyClick(v.grid, Qt::Key_Down);
            QTest::keyClick(v.grid, Qt::Key_Up);
            QTest::keyClick(v.grid, Qt::Key_PageDown);
            EXPECT_EQ(ds->recNo(), 1);
            EXPECT_EQ(vistas, 4);
        }
        // Shift+Tab walks back; on the first column it leaves the row only with MoveByRow.
        v.grid->setSelectedIndex(1);
        QTest::keyClick(v.grid, Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(v.grid->selectedIndex(), 0);
        const int fila = ds->recNo();
        QTest::keyClick(v.grid, Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(ds->recNo(), moveByRow ? fila - 1 : fila);
    }
}

TEST(TlxDBGrid, RefusedInsertAddsNoRowAndEditsPostWhenTheRowIsLeft)
{
    auto ds = tabla();
    ds->beforeInsert = [](fw::DataSet &) { throw fw::Abort(); };
    Ventana v(*ds, QStringLiteral("VentanaEdicion"), kTresColumnas, false);
    v.grid->setFocus();
    ds->last();
    QTest::keyClick(v.grid, Qt::Key_Down);
    QTest::keyClick(v.grid, Qt::Key_Insert);
    EXPECT_EQ(ds->recordCount(), 3);
    EXPECT_EQ(ds->state(), fw::DataSetState::Browse);

    ds->first();
    v.grid->setSelectedIndex(1);
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("{F2}^aCambiado{DOWN}"), true));
    EXPECT_EQ(ds->state(), fw::DataSetState::Browse);
    EXPECT_EQ(ds->recNo(), 2);
    ds->first();
    EXPECT_EQ(ds->fieldByName(QStringLiteral("NOMBRE")).asString(), QStringLiteral("Cambiado"));
    EXPECT_EQ(v.grid->gridModel()->index(0, 1).data().toString(), QStringLiteral("Cambiado"));
    EXPECT_EQ(v.grid->gridModel()->index(2, 1).data().toString(), QStringLiteral("Tres"));

    // A post the data set refuses silently keeps the row in edit, without a message.
    ds->beforePost = [](fw::DataSet &) { throw fw::Abort(); };
    ModalCatcher catcher;
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("{F2}^aOtra vez{DOWN}"), true));
    EXPECT_EQ(ds->state(), fw::DataSetState::Edit);
    EXPECT_EQ(ds->recNo(), 1);
    EXPECT_TRUE(catcher.seen().isEmpty());
    ds->cancel();
}

TEST(TlxDBGrid, DecimalKeyBecomesTheUsersSeparator)
{
    SpanishLocale es;
    auto ds = tabla();
    Ventana v(*ds, QStringLiteral("VentanaDecimal"), kTresColumnas, false);
    v.grid->setFocus();
    v.grid->setSelectedIndex(2);
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("1.5"), true));
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("1,5"));
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("{ENTER}"), true));
    EXPECT_EQ(ds->recNo(), 2); // Enter on the last column posted and moved on
    ds->first();
    EXPECT_DOUBLE_EQ(ds->fieldByName(QStringLiteral("IMPORTE")).asFloat(), 1.5);
    // Letters never reach a number column.
    v.grid->setSelectedIndex(2);
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("x"), true));
    auto *otro = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(otro, nullptr);
    EXPECT_EQ(otro->text(), QStringLiteral("1,5"));
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("{ESC}"), true));
    EXPECT_DOUBLE_EQ(ds->fieldByName(QStringLiteral("IMPORTE")).asFloat(), 1.5);
    EXPECT_EQ(ds->state(), fw::DataSetState::Browse);
}

TEST(TlxDBGrid, CellColoursArePainted)
{
    auto ds = tabla();
    Ventana v(*ds, QStringLiteral("VentanaColores"), kTresColumnas, false);
    QStringList vistos;
    v.grid->onCalcCellColors = [&](fw::Field *f, fw::ui::CellStates, bool, fw::ui::CellLook &look) {
        vistos << (f ? f->fieldName() : QString());
        if (f && f->fieldName().compare(QStringLiteral("importe"), Qt::CaseInsensitive) == 0) {
            look.background = QBrush(Qt::yellow);
            look.textColor = Qt::red;
            look.font.setBold(true);
        }
    };
    const QModelIndex importe = v.grid->gridModel()->index(2, 2);
    EXPECT_EQ(importe.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    EXPECT_TRUE(importe.data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(v.grid->gridModel()->index(2, 1).data(Qt::BackgroundRole).value<QBrush>().color(),
              v.grid->palette().color(QPalette::Base));

    const QImage shot = v.grid->viewport()->grab().toImage();
    const QRect cell = v.grid->visualRect(importe);
    EXPECT_EQ(shot.pixelColor(cell.topLeft() + QPoint(2, 2)), QColor(Qt::yellow));
    EXPECT_TRUE(vistos.contains(QStringLiteral("IMPORTE")));
}

TEST(TlxDBGrid, SmallIntegerColumnsShowCheckBoxes)
{
    auto ds = tabla();
    Ventana v(*ds, QStringLiteral("VentanaChecks"), kTresColumnas + QStringList{QStringLiteral("EXENTA\t5\tExenta\tT")},
              false);
    auto *model = v.grid->gridModel();
    EXPECT_EQ(model->index(0, 3).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_EQ(model->index(1, 3).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_FALSE(model->index(1, 3).data(Qt::DisplayRole).isValid());
    // The column is read-only: the tick cannot be changed.
    EXPECT_FALSE(model->setData(model->index(0, 3), Qt::Checked, Qt::CheckStateRole));
}

TEST(TlxDBGrid, WidenedColumnComesBackFromRejillasIni)
{
    const QString ventana = QStringLiteral("VentanaPruebaRejillas");
    const QString section = ventana + QStringLiteral("lxDBGridPrueba");
    borrarSeccion(section);
    auto ds = tabla();
    {
        Ventana v(*ds, ventana, kTresColumnas, true);
        v.grid->setFocus();
        v.grid->setColumnWidth(1, v.grid->charsToPixels(40));
        ds->edit(); // rows changing under the grid keep the width
        ds->fieldByName(QStringLiteral("NOMBRE")).setAsString(QStringLiteral("Otro"));
        ds->post();
        EXPECT_EQ(v.grid->columnWidthInChars(1), 40);
        v.despues->setFocus(); // leaving the grid stores its layout
    }
    const QStringList stored = seccion(section);
    ASSERT_EQ(stored.size(), 3);
    EXPECT_TRUE(stored[1].startsWith(QStringLiteral("NOMBRE\t40\tNombre\t"))) << stored[1].toStdString();

    {
        Ventana otra(*ds, ventana, kTresColumnas, true);
        EXPECT_EQ(otra.grid->columnWidthInChars(1), 27);
        otra.grid->setFocus();
        EXPECT_EQ(otra.grid->columnWidthInChars(1), 40);
        EXPECT_EQ(otra.grid->columnDefinitions(), stored);
    }
    borrarSeccion(section);
}

TEST(TlxDBGrid, StoredLayoutWithOtherColumnCountIsReplaced)
{
    const QString ventana = QStringLiteral("VentanaPruebaFiltro");
    const QString section = ventana + QStringLiteral("lxDBGridPrueba");
    borrarSeccion(section);
    const QStringList seis = kTresColumnas + QStringList{QStringLiteral("EXENTA\t5\tExenta\tF"),
                                                         QStringLiteral("GRUPORIESGO\t8\tGrupo\tF"),
                                                         QStringLiteral("FECHA\t10\tFecha\tF")};
    // A layout saved before the sixth column was added, with other widths.
    auto guardarCinco = [&](bool anchos) {
        borrarSeccion(section);
        auto ini = rejillas();
        ini.load();
        for (int i = 0; i < 5; ++i) {
            QString linea = seis[i];
            if (anchos)
                linea.replace(QRegularExpression(QStringLiteral("\t\\d+\t")), QStringLiteral("\t50\t"));
            ini.writeString(section, QStringLiteral("Columna%1").arg(i + 1), linea);
        }
        ASSERT_TRUE(ini.save());
    };
    auto ds = tabla();
    for (bool filtrar : {true, false}) {
        guardarCinco(true);
        Ventana v(*ds, ventana, seis, true);
        v.grid->setFiltrarRejillas(filtrar);
        v.grid->setFocus();
        if (filtrar) {
            EXPECT_EQ(seccion(section), seis);
            EXPECT_EQ(v.grid->columnDefinitions(), seis);
        } else {
            // Unfiltered, the stored five columns are loaded as they are.
            EXPECT_EQ(v.grid->gridColumnCount(), 5);
            EXPECT_EQ(v.grid->columnWidthInChars(0), 50);
        }
    }
    {
        // Unfiltered, a grid told to add new fields still shows its sixth column.
        guardarCinco(false);
        Ventana v(*ds, ventana, seis, true);
        v.grid->setFiltrarRejillas(false);
        v.grid->CargarListaInicial();
        v.grid->setFocus();
        EXPECT_EQ(v.grid->columnDefinitions(), seis);
    }
    borrarSeccion(section);
}

TEST(TlxDBGrid, StoredWidthsOutsideTheSaneRangeTakeTheDefinedWidth)
{
    const QString ventana = QStringLiteral("VentanaPruebaAnchos");
    const QString section = ventana + QStringLiteral("lxDBGridPrueba");
    struct Caso
    {
        const char *ancho;
        int esperado;
    };
    const Caso casos[] = {
        {"40", 40}, {"1000", 1000}, {"1001", 27}, {"2147483647", 27},
        {"-5", 27}, {"0", 27},      {"99999999999", 27},
    };
    auto ds = tabla();
    for (const Caso &c : casos) {
        borrarSeccion(section);
        auto ini = rejillas();
        ASSERT_TRUE(ini.load());
        ini.writeString(section, QStringLiteral("Columna1"), kTresColumnas[0]);
        ini.writeString(section, QStringLiteral("Columna2"),
                        QStringLiteral("NOMBRE\t%1\tNombre\tF").arg(QLatin1String(c.ancho)));
        ini.writeString(section, QStringLiteral("Columna3"), kTresColumnas[2]);
        ASSERT_TRUE(ini.save());
        Ventana v(*ds, ventana, kTresColumnas, true);
        v.grid->setFocus();
        EXPECT_EQ(v.grid->columnWidthInChars(1), c.esperado) << c.ancho;
        EXPECT_EQ(v.grid->columnWidthInChars(0), 6) << c.ancho;
    }
    borrarSeccion(section);
}

TEST(GridLayoutStore, WritesTheGridsSectionInPlaceAndIgnoresAnUnreadableFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Rejillas.ini"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Antes]\r\nx = 1\r\n[FormRejilla]\r\nColumna1=A\t5\tA\tF\r\nColumna2=B\t5\tB\tF\r\n"
                "Columna3=C\t5\tC\tF\r\n\r\n[Despues]\r\ny=2\r\n");
    }
    const fw::ui::GridLayoutStore store(path, QStringLiteral("FormRejilla"));
    store.write({QStringLiteral("B\t8\tBe\tF"), QStringLiteral("A\t5\tA\tF")});
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[Antes]\r\nx = 1\r\n[FormRejilla]\r\nColumna1=B\t8\tBe\tF\r\n"
                                      "Columna2=A\t5\tA\tF\r\n\r\n[Despues]\r\ny=2\r\n"));
    EXPECT_EQ(store.lines(), QStringList({QStringLiteral("B\t8\tBe\tF"), QStringLiteral("A\t5\tA\tF")}));

    const QString carpeta = dir.filePath(QStringLiteral("Carpeta"));
    ASSERT_TRUE(QDir().mkpath(carpeta));
    const fw::ui::GridLayoutStore enCarpeta(carpeta, QStringLiteral("FormRejilla"));
    EXPECT_TRUE(enCarpeta.lines().isEmpty());
    EXPECT_NO_THROW(enCarpeta.write({QStringLiteral("A\t5\tA\tF")}));
    EXPECT_TRUE(QFileInfo(carpeta).isDir());
    // A title the host's code page cannot hold leaves the file as it was.
    EXPECT_THROW(store.write({QStringLiteral("A\t5\tΩ\tF")}), fw::Error);
    EXPECT_EQ(store.lines().size(), 2);
}

TEST(GridLayoutStore, ALayoutWrittenOverEntriesOutOfOrderReadsBackInItsOrder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Rejillas.ini"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // Edited by hand: the entries stand in another order than their numbers.
        f.write("[FormRejilla]\r\nColumna2=B\t5\tB\tF\r\ncolumna1=A\t5\tA\tF\r\n[Despues]\r\ny=2\r\n");
    }
    const fw::ui::GridLayoutStore store(path, QStringLiteral("FormRejilla"));
    const QStringList layout = {QStringLiteral("A\t6\tA\tF"), QStringLiteral("B\t7\tB\tT"),
                                QStringLiteral("C\t8\tC\tF")};
    store.write(layout);
    EXPECT_EQ(store.lines(), layout);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[FormRejilla]\r\nColumna1=A\t6\tA\tF\r\nColumna2=B\t7\tB\tT\r\n"
                                      "Columna3=C\t8\tC\tF\r\n[Despues]\r\ny=2\r\n"));
}

TEST(TlxDBGrid, CellEditorWidgetEditsItsColumn)
{
    auto ds = tabla();
    const QStringList columnas = {QStringLiteral("CODIGO\t4\t Serie \tF"), QStringLiteral("GRUPORIESGO\t10\tGrupo Riesgo\tF")};
    Ventana v(*ds, QStringLiteral("VentanaSeries"), columnas, false);
    auto *combo = new TlxDBComboBox;
    combo->setObjectName(QStringLiteral("lxDBComboBoxGrupoRiesgo1"));
    for (int g = 1; g <= 5; ++g)
        combo->addStoredItem(QString::number(g));
    combo->setDataSource(&v.source);
    combo->setDataField(QStringLiteral("GRUPORIESGO"));
    v.grid->setCellEditor(QStringLiteral("GRUPORIESGO"), combo);
    v.grid->setFocus();
    v.grid->setSelectedIndex(0);
    EXPECT_FALSE(combo->isVisible());
    v.grid->setSelectedIndex(1);
    EXPECT_TRUE(combo->isVisible());
    EXPECT_EQ(combo->geometry(), v.grid->visualRect(v.grid->currentIndex()));

    EXPECT_TRUE(EnviarTeclas(QStringLiteral("3"), true));
    EXPECT_EQ(QApplication::focusWidget(), combo);
    EXPECT_EQ(combo->currentText(), QStringLiteral("3"));
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("~"), true)); // last column: on to the next row
    EXPECT_TRUE(v.grid->hasFocus());
    EXPECT_EQ(ds->recNo(), 2);
    ds->first();
    EXPECT_EQ(ds->fieldByName(QStringLiteral("GRUPORIESGO")).asInteger(), 3);
}

TEST(TlxDBGrid, CambiarDisplayLabelMatchesTheFieldNameExactly)
{
    auto ds = tabla();
    Ventana v(*ds, QStringLiteral("VentanaTitulos"), kTresColumnas, false);
    v.grid->CambiarDisplayLabel(QStringLiteral("nombre"), QStringLiteral("Otro"));
    EXPECT_EQ(v.grid->columnDefinitions(), kTresColumnas);
    v.grid->CambiarDisplayLabel(QStringLiteral("NOMBRE"), QStringLiteral(" Razón social "));
    EXPECT_EQ(v.grid->columnDefinitions()[1], QStringLiteral("NOMBRE\t27\t Razón social \tF"));
    EXPECT_EQ(v.grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral(" Razón social "));
}

TEST(TlxDBGrid, CambioVisorShowsTheChosenInitialColumns)
{
    auto ds = tabla();
    Ventana v(*ds, QStringLiteral("VentanaVisor"), kTresColumnas, false);
    v.grid->CambioVisor(2, {0, 2, 300});
    EXPECT_EQ(v.grid->Visor(), 2);
    EXPECT_EQ(v.grid->columnDefinitions(), (QStringList{kTresColumnas[0], kTresColumnas[2]}));
    v.grid->CambioVisor(1, {1});
    EXPECT_EQ(v.grid->columnDefinitions(), QStringList{kTresColumnas[1]});
    EXPECT_EQ(v.grid->ListaInicialColumnas(), kTresColumnas);
}

// --- edit and drop-down --------------------------------------------------------------

namespace {

struct Formulario
{
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QLabel *etiqueta1 = new QLabel(QStringLiteral("Código"), window.get());
    QLabel *etiqueta2 = new QLabel(QStringLiteral("Importe"), window.get());
    QLineEdit *primero = new QLineEdit(window.get());
    TlxDBEdit *edit = new TlxDBEdit(window.get());
    TlxDBComboBox *combo = new TlxDBComboBox(window.get());
    QLineEdit *ultimo = new QLineEdit(window.get());
    fw::DataSource source;

    explicit Formulario(fw::DataSet &ds)
    {
        auto *layout = new QVBoxLayout(window.get());
        for (QWidget *w : std::initializer_list<QWidget *>{etiqueta1, etiqueta2, primero, edit, combo, ultimo})
            layout->addWidget(w);
        source.setDataSet(&ds);
        edit->setDataSource(&source);
        edit->setDataField(QStringLiteral("IMPORTE"));
        for (int g = 1; g <= 5; ++g)
            combo->addStoredItem(QString::number(g), g);
        combo->setDataSource(&source);
        combo->setDataField(QStringLiteral("EXENTA"));
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        primero->setFocus();
    }
};

QColor textColor(QWidget *w)
{
    return w->palette().color(w->foregroundRole());
}

} // namespace

TEST(TlxDBEdit, DecimalKeyWithCommaSeparator)
{
    SpanishLocale es;
    auto ds = tabla();
    Formulario f(*ds);
    f.edit->setFocus();
    EXPECT_EQ(f.edit->text(), QStringLiteral("10,5"));
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("^a1.5,.x"), true));
    EXPECT_EQ(f.edit->text(), QStringLiteral("1,5"));
    f.primero->setFocus();
    EXPECT_DOUBLE_EQ(ds->fieldByName(QStringLiteral("IMPORTE")).asFloat(), 1.5);
}

TEST(TlxDBEdit, FocusHighlightsEditAndCaptions)
{
    struct Case
    {
        int tag;
        bool conEtiqueta1;
        bool cambiaFondo;
    };
    for (const Case c : {Case{0, true, true}, Case{9999, true, false}, Case{0, false, true}}) {
        auto ds = tabla();
        Formulario f(*ds);
        f.edit->setTag(c.tag);
        f.edit->setEtiqueta(true);
        if (c.conEtiqueta1)
            f.edit->setEtiqueta1(f.etiqueta1);
        f.edit->setEtiqueta2(f.etiqueta2);
        const QColor fondo = f.edit->palette().color(QPalette::Base);
        const QColor texto = textColor(f.etiqueta1);

        f.edit->setFocus();
        EXPECT_EQ(f.edit->palette().color(QPalette::Base), c.cambiaFondo ? TlxDBEdit::colorFoco() : fondo);
        EXPECT_TRUE(f.edit->font().bold());
        EXPECT_EQ(textColor(f.etiqueta2), QColor(Qt::red));
        EXPECT_TRUE(f.etiqueta2->font().bold());
        EXPECT_EQ(textColor(f.etiqueta1), c.conEtiqueta1 ? QColor(Qt::red) : texto);
        EXPECT_EQ(f.etiqueta1->font().bold(), c.conEtiqueta1);

        f.ultimo->setFocus();
        EXPECT_EQ(f.edit->palette().color(QPalette::Base), fondo);
        EXPECT_FALSE(f.edit->font().bold());
        EXPECT_EQ(textColor(f.etiqueta2), texto);
        EXPECT_FALSE(f.etiqueta2->font().bold());
    }
}

TEST(TlxDBEdit, DestroyedCaptionsAreForgotten)
{
    auto ds = tabla();
    Formulario f(*ds);
    f.edit->setEtiqueta(true);
    f.edit->setEtiqueta2(f.etiqueta2);
    delete f.etiqueta2;
    EXPECT_EQ(f.edit->Etiqueta2(), nullptr);
    EXPECT_FALSE(f.edit->Etiqueta());
    f.edit->setFocus(); // nothing left to highlight, nothing to crash on
    EXPECT_TRUE(f.edit->hasFocus());
}

TEST(TlxDBEdit, EnterDownAndUpMoveTheFocusThroughTheKeySender)
{
    auto ds = tabla();
    Formulario f(*ds);
    int vistas = 0;
    f.edit->onKeyDown = [&](int &key, Qt::KeyboardModifiers) {
        if (key != Qt::Key_Shift) // the key sender holds Shift down for "+{TAB}", as a typist would
            ++vistas;
    };
    for (int key : {int(Qt::Key_Return), int(Qt::Key_Down)}) {
        f.edit->setFocus();
        QTest::keyClick(f.edit, Qt::Key(key));
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), f.combo);
    }
    f.edit->setFocus();
    QTest::keyClick(f.edit, Qt::Key_Up);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), f.primero);
    EXPECT_EQ(vistas, 3); // keys not passed on still reach the owner's handler

    f.edit->setEnterToTab(false);
    f.edit->setFocus();
    QTest::keyClick(f.edit, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), f.edit);
}

TEST(TlxDBComboBox, ChoosesStoredValuesAndEnterMovesOn)
{
    auto ds = tabla();
    Formulario f(*ds);
    f.combo->setAllowClear(false);
    EXPECT_EQ(f.combo->currentText(), QStringLiteral("0")); // no item holds 0: shown as text
    ds->next();
    EXPECT_EQ(f.combo->currentText(), QStringLiteral("1"));
    f.combo->setFocus();
    QTest::keyClick(f.combo, Qt::Key_Down);
    QTest::keyClick(f.combo, Qt::Key_Down);
    EXPECT_EQ(ds->fieldByName(QStringLiteral("EXENTA")).asInteger(), 3);
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("{END}{BKSP}"), true));
    EXPECT_EQ(f.combo->currentText(), QStringLiteral("3"));
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("^a4~"), true));
    EXPECT_EQ(QApplication::focusWidget(), f.ultimo);
    EXPECT_EQ(ds->fieldByName(QStringLiteral("EXENTA")).asInteger(), 4);
}

TEST(WaitCursor, IsOneStateAndNeverTakesAwayACursorItDidNotShow)
{
    QApplication::setOverrideCursor(Qt::PointingHandCursor); // the host's own
    {
        const fw::ui::WaitCursor fuera;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            const fw::ui::WaitCursor dentro;
        }
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor)
            << "the first guard that ends puts the cursor back";
        const fw::ui::WaitCursor otra;
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        fw::ui::WaitCursor::restore();
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    }
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor) << "the host's cursor survives";
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
