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

    /// The closing message: the success text when every statement ran (or found
    /// its object there already); otherwise how many could not be run and the
    /// first error, so that the user knows to run the installation again.
    static QString MensajeFinal(int noEjecutadas, const QString &primerError);

private:
    void buildForm();
    void BitBtnAceptarClick();
};
