#pragma once
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TDatos;

namespace fw {
class Database;
class SqlStatement;
class Transaction;
} // namespace fw

/// The installer window: installs the module's domain, columns, fix-ups, risk
/// procedure and grant in the host database, or brings them up to date. Each
/// statement runs on the window's own connection and transaction, opened and
/// closed for that statement, and a failed statement is tried once more and then
/// dropped, so the same sequence serves a new database and one installed before.
/// The data module's own connection is never used.
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
    /// Hidden: the lines of the statement being assembled.
    QPlainTextEdit *RichEdit = nullptr;

    fw::Database *BaseDatosActualizacion = nullptr;
    fw::Transaction *IBTAdmin_ActualizacionInterna = nullptr;
    fw::SqlStatement *IBSQLActualizacionInterna = nullptr;

    /// Checks that the user is SYSDBA and runs the whole statement sequence.
    void EjecutarInstalacionSQL();
    /// Runs the statement held in RichEdit and empties it. Never raises.
    void EjecutarSentenciaSQL();

private:
    void buildForm();
    void BitBtnAceptarClick();
    void EjecutarSentenciaSQLSinVaciar();
};
