#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class QTabWidget;
class TDatos;
class TlxDBEdit;

/// One customer's whole risk situation: a page per risk group with every
/// amount of the risk procedure and the risk left, and a summary strip of the
/// risk left in the five groups. It only displays.
class TFormRiesgoClientes : public QDialog
{
    Q_OBJECT
public:
    explicit TFormRiesgoClientes(QWidget *parent = nullptr);

    TDatos *Datos = nullptr; // not owned

    TlxDBEdit *DBEditCodigo = nullptr;
    TlxDBEdit *DBEditNombre = nullptr;
    QTabWidget *PageControlGruposRiesgo = nullptr;
    QWidget *TabSheetGrupo[6] = {};
    QLabel *LabelRiesgoDisponible[6] = {};
    TlxDBEdit *EstadoRiesgo[6] = {};
    /// The summary strip: `LabelNumero`g, `EstadoRiesgo`gg, `LabelRiesgoDisponible`gg.
    QLabel *LabelNumero[6] = {};
    TlxDBEdit *EstadoRiesgoResumen[6] = {};
    QLabel *LabelRiesgoDisponibleResumen[6] = {};
    QPushButton *BitBtnSalir = nullptr;

    int exec() override;

private:
    void buildForm();
    QWidget *buildPagina(int g);
    void FormShow();
    void bind(TlxDBEdit *edit, const QString &campo);
};
