#pragma once
#include "framework/ui/DataGrid.h"

#include <QSet>
#include <QStringList>

/// The library's data-aware grid. On top of the grid base it moves from
/// column to column with Enter and Tab (`EnterToTab`, and out of the row only
/// with `MoveByRow`), turns a full stop or comma typed into a floating-point
/// cell into the user's decimal separator, and keeps the user's column layout
/// in the host's "Rejillas.ini", one section per window and grid, loaded when
/// the focus enters the grid and saved when it leaves.
class TlxDBGrid : public fw::ui::DataGrid
{
    Q_OBJECT
    Q_PROPERTY(bool GuardarColumnas READ GuardarColumnas WRITE setGuardarColumnas)
    Q_PROPERTY(bool FiltrarRejillas READ FiltrarRejillas WRITE setFiltrarRejillas)
    Q_PROPERTY(bool EnterToTab READ EnterToTab WRITE setEnterToTab)
    Q_PROPERTY(bool MoveByRow READ MoveByRow WRITE setMoveByRow)
    Q_PROPERTY(int Visor READ Visor)

public:
    explicit TlxDBGrid(QWidget *parent = nullptr);

    bool GuardarColumnas() const { return m_guardarColumnas; }
    void setGuardarColumnas(bool v) { m_guardarColumnas = v; }
    bool FiltrarRejillas() const { return m_filtrarRejillas; }
    void setFiltrarRejillas(bool v) { m_filtrarRejillas = v; }
    bool EnterToTab() const { return m_enterToTab; }
    void setEnterToTab(bool v) { m_enterToTab = v; }
    bool MoveByRow() const { return m_moveByRow; }
    void setMoveByRow(bool v) { m_moveByRow = v; }

    /// Number of the column view last applied by CambioVisor.
    int Visor() const { return m_visor; }
    /// The grid's columns as first defined, taken once by CargarListaInicial.
    const QStringList &ListaInicialColumnas() const { return m_listaInicial; }
    bool PrimeraVez() const { return m_primeraVez; }

    /// Saves the current layout to "Rejillas.ini" in the host's program folder.
    void GuardarListaColumnas();
    /// Loads the stored layout when the data set is open; otherwise disables the store.
    void CargarListaColumnas();
    /// Replaces a stored layout whose number of columns no longer matches the grid.
    void Comprobar_rejillas();
    /// The first time only: new fields are added when loading, and the current
    /// columns are kept in ListaInicialColumnas.
    void CargarListaInicial();
    /// Shows the columns, as first defined, at the given positions (0 to 255).
    void CambioVisor(int nuevoVisor, const QSet<int> &columnas);
    /// Gives the column of field `columna` (exact name) a new title.
    void CambiarDisplayLabel(const QString &columna, const QString &nuevoDisplayLabel);
    /// Does nothing; kept for handlers written for the usual grid interface.
    void DefaultDrawColumnCell(const QRect &rect, int dataCol, const fw::ui::GridColumn &column,
                               fw::ui::CellStates state);

protected:
    void keyDown(QKeyEvent *event) override;
    void keyPress(QString &text) override;
    void doEnter() override;
    void doExit() override;
    void colEnter() override;
    void colExit() override;

private:
    void prepararAlmacen();

    bool m_guardarColumnas = true;
    bool m_filtrarRejillas = true;
    bool m_enterToTab = true;
    bool m_moveByRow = true;
    int m_visor = 0;
    QStringList m_listaInicial;
    bool m_primeraVez = true;
};
