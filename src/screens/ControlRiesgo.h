#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class TDatos;
class TlxDBEdit;

/// The risk control dialog shown while a sales document is entered when its
/// risk group is over its limit (or its series has no group): granted risk,
/// risk in use, advances and balance per group, with the document's group
/// highlighted. It only informs; it changes nothing.
class TFormControlRiesgo : public QDialog
{
    Q_OBJECT
public:
    explicit TFormControlRiesgo(QWidget *parent = nullptr);

    TDatos *Datos = nullptr; // not owned

    TlxDBEdit *DBEditCodigo = nullptr;
    TlxDBEdit *DBEditNombre = nullptr;
    TlxDBEdit *RiesgoConcedigo[6] = {};
    TlxDBEdit *TotalRiesgo[6] = {};
    TlxDBEdit *TotalAnticipos[6] = {};
    TlxDBEdit *EstadoRiesgo[6] = {};
    TlxDBEdit *SumaSaldo = nullptr;
    TlxDBEdit *AnticiposLibres = nullptr;
    TlxDBEdit *SaldoGlobal = nullptr;
    QPushButton *BitBtnVerRiesgo = nullptr;
    QPushButton *btnCerrar = nullptr;

    int exec() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildForm();
    void FormShow();
    void BitBtnVerRiesgoClick();
};
