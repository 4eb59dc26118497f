#include "lxDBGrid.h"

#include "framework/host/HostPaths.h"
#include "framework/ui/DataGuard.h"
#include "framework/ui/GridLayoutStore.h"

#include <QKeyEvent>
#include <QLocale>

#include <optional>

namespace {
const QString kRejillas = QStringLiteral("Rejillas.ini");
} // namespace

TlxDBGrid::TlxDBGrid(QWidget *parent) : fw::ui::DataGrid(parent)
{
    setCalculatedFieldsEditable(true);
    setEnterAsTab(true);
    setAllowInsert(true);
    setAllowDelete(false);
    setLayoutEnabled(false);
}

void TlxDBGrid::prepararAlmacen()
{
    setLayoutEnabled(true);
    setLayoutFile(fw::host::programFile(kRejillas));
    setLayoutSection(QString());
}

void TlxDBGrid::GuardarListaColumnas()
{
    prepararAlmacen();
    saveLayout();
}

void TlxDBGrid::CargarListaColumnas()
{
    if (!dataSetOpen()) {
        setLayoutEnabled(false);
        return;
    }
    prepararAlmacen();
    loadLayout();
}

void TlxDBGrid::Comprobar_rejillas()
{
    if (!dataSetOpen())
        return;
    const fw::ui::GridLayoutStore almacen(fw::host::programFile(kRejillas), effectiveLayoutSection());
    // A layout saved before columns were added or removed is never loaded.
    if (almacen.lines().size() != columnDefinitions().size())
        GuardarListaColumnas();
}

void TlxDBGrid::CargarListaInicial()
{
    if (!m_primeraVez)
        return;
    setAddNewFieldsOnLoad(true);
    m_listaInicial = columnDefinitions();
    m_primeraVez = false;
}

void TlxDBGrid::CambioVisor(int nuevoVisor, const QSet<int> &columnas)
{
    CargarListaInicial();
    {
        std::optional<fw::ui::ControlsDisabled> sinRepintar;
        if (fw::DataSet *ds = dataSet())
            sinRepintar.emplace(*ds);
        QStringList lineas;
        for (int i = 0; i < m_listaInicial.size() && i <= 255; ++i)
            if (columnas.contains(i))
                lineas << m_listaInicial[i];
        setColumnDefinitions(lineas);
    }
    m_visor = nuevoVisor;
}

void TlxDBGrid::CambiarDisplayLabel(const QString &columna, const QString &nuevoDisplayLabel)
{
    QStringList lineas = columnDefinitions();
    for (int i = 0; i < lineas.size(); ++i) {
        const QString &linea = lineas[i];
        const QStringList partes = linea.split(QLatin1Char('\t'));
        if (partes.value(0) != columna)
            continue;
        lineas[i] = partes.value(0) + QLatin1Char('\t') + partes.value(1) + QLatin1Char('\t') + nuevoDisplayLabel +
                    QLatin1Char('\t') + linea.right(1);
        setColumnDefinitions(lineas);
        if (m_guardarColumnas) {
            try {
                CargarListaInicial();
                GuardarListaColumnas();
            } catch (...) {
                // A layout file that cannot be written leaves the new title on screen only.
            }
        }
        return;
    }
}

void TlxDBGrid::DefaultDrawColumnCell(const QRect &, int, const fw::ui::GridColumn &, fw::ui::CellStates) {}

void TlxDBGrid::keyDown(QKeyEvent *e)
{
    if (!m_enterToTab) {
        fw::ui::DataGrid::keyDown(e);
        return;
    }
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const int key = e->key();
    const int column = selectedIndex();
    // A dropped key still reaches the owner's handler; a used-up key reaches nothing.
    auto paraLaBase = [&] {
        if (m_moveByRow)
            fw::ui::DataGrid::keyDown(e);
        else
            ownerKeyDown(e);
    };
    if ((key == Qt::Key_Tab || key == Qt::Key_Return || key == Qt::Key_Enter) && !shift) {
        if (column < gridColumnCount() - 1) {
            setSelectedIndex(column + 1);
            return;
        }
        paraLaBase();
        return;
    }
    if (key == Qt::Key_Backtab || (key == Qt::Key_Tab && shift)) {
        if (column > 0) {
            setSelectedIndex(column - 1);
            return;
        }
        paraLaBase();
        return;
    }
    if (key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up || key == Qt::Key_Down) {
        paraLaBase();
        return;
    }
    fw::ui::DataGrid::keyDown(e);
}

void TlxDBGrid::keyPress(QString &text)
{
    const fw::Field *campo = gridModel()->field(selectedIndex());
    if (campo && campo->isFloat() && text.size() == 1) {
        const QString separador = QLocale().decimalPoint();
        if ((text == QLatin1String(".") && separador != QLatin1String(".")) ||
            (text == QLatin1String(",") && separador != QLatin1String(",")))
            text = separador;
    }
    fw::ui::DataGrid::keyPress(text);
}

void TlxDBGrid::doEnter()
{
    if (m_guardarColumnas) {
        if (m_filtrarRejillas)
            Comprobar_rejillas();
        CargarListaColumnas();
    }
    fw::ui::DataGrid::doEnter();
}

void TlxDBGrid::doExit()
{
    if (m_guardarColumnas)
        GuardarListaColumnas();
    fw::ui::DataGrid::doExit();
}

void TlxDBGrid::colEnter()
{
    setCalculatedFieldsEditable(false);
    fw::ui::DataGrid::colEnter();
}

void TlxDBGrid::colExit()
{
    setCalculatedFieldsEditable(true);
    fw::ui::DataGrid::colExit();
}
