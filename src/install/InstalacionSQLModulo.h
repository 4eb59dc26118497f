#pragma once
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TDatos;

/// The installer window: installs the module's domain, columns, fix-ups, risk
/// procedure and grant in the host database, or brings them up to date, through
/// a TEjecutorInstalacion (EjecutorInstalacion.h) with the data module's
/// database and credentials. The data module's own connection is never used.
class TFormInstalacionSQLModulo : public QDialog
{
    Q_OBJECT
public:
    explicit TFormInstalacionSQLModulo(QWidget *parent = nullptr);
    ~TFormInstalacionSQLModulo() override;

    /// Gives the database location and the user's credentials. Not owned.
    TDatos *Datos = nullptr;

    QLabel *LabelTitulo = nullptr;
    QPlainTextEdit *MemoInformacion = nullptr;
    QLabel *LabelAviso = nullptr;
    QPushButton *BitBtnAceptar = nullptr;
    QPushButton *btnCerrar = nullptr;

    /// Checks that the user is SYSDBA, runs the whole statement sequence and
    /// tells how it ended.
    void EjecutarInstalacionSQL();

private:
    void buildForm();
    void BitBtnAceptarClick();
};
