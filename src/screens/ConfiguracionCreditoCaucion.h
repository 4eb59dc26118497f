#pragma once
#include "framework/ui/DataGrid.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TDatos;
class TlxDBComboBox;
class TlxDBGrid;

namespace fw {
class Field;
}

/// The configuration window: the risk days of every payment method and the
/// risk group of every document and invoice series of the company group. It
/// edits only those two columns, adds and deletes no rows, and commits
/// nothing itself: rows are posted into the data module's transaction, which
/// the main screen commits after the window has closed.
class TFormConfiguracionCreditoCaucion : public QDialog
{
    Q_OBJECT
public:
    explicit TFormConfiguracionCreditoCaucion(QWidget *parent = nullptr);

    /// Set by whoever shows the window, before showing it; not owned.
    TDatos *Datos = nullptr;

    QWidget *PanelTitulo = nullptr;
    QTabWidget *PageControlConfiguracion = nullptr;
    QWidget *TabSheetFormasPago = nullptr;
    QWidget *TabSheetSeries = nullptr;
    QLabel *LabelFormasPago = nullptr;
    QLabel *LabelFormula = nullptr;
    QPlainTextEdit *MemoFormula = nullptr;
    QLabel *LabelSeriesDocumentos = nullptr;
    QLabel *LabelSeriesFacturas = nullptr;
    TlxDBGrid *lxDBGridFormasPago = nullptr;
    TlxDBGrid *lxDBGridSeriesDocumentos = nullptr;
    TlxDBGrid *lxDBGridSeriesFacturas = nullptr;
    TlxDBComboBox *lxDBComboBoxGrupoRiesgo1 = nullptr;
    TlxDBComboBox *lxDBComboBoxGrupoRiesgo2 = nullptr;
    QPushButton *btnCerrar = nullptr;

    /// Closing first writes and posts an edit still pending in a grid, so what
    /// the user typed is kept. When that fails the user is told what is lost
    /// and may close without it (the edit is cancelled) or stay.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    /// The window has no cancel button: Escape never closes it.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildForm();
    QWidget *buildPaginaFormasPago();
    QWidget *buildPaginaSeries();
    void enlazarDatos();
    bool publicarPendientes();
    void descartarPendientes();

    void FormShow();
    void FormClose();
    void PageControlConfiguracionChange(int pagina);
    void lxDBGridSeriesDocumentosCalcCellColors(fw::Field *Field, fw::ui::CellStates State, bool Highlight,
                                                fw::ui::CellLook &Look);
    void lxDBGridFormasPagoCalcCellColors(fw::Field *Field, fw::ui::CellStates State, bool Highlight,
                                          fw::ui::CellLook &Look);

    // Set while code (not the user) changes the page.
    bool m_paginaDesdeCodigo = false;
    bool m_cerrado = false;
};
