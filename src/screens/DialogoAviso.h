#pragma once
#include "framework/ui/Dialogs.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTextEdit;

/// The module's one warning dialog: a picture, a read-only message box and
/// "&Aceptar". Shown by MostrarAviso.
class TFormDialogoAviso : public QDialog
{
    Q_OBJECT
public:
    explicit TFormDialogoAviso(QWidget *parent = nullptr);

    /// Clears the message and shows `texto`; CR LF pairs start new lines.
    void EstablecerMensaje(const QString &texto);

    QLabel *ImagenAviso = nullptr;
    QTextEdit *MemoMensaje = nullptr;
    QPushButton *BotonAceptar = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    void MemoMensajeEnter();
};

/// The module's dialogs: plain message boxes, and TFormDialogoAviso for the
/// warning that MostrarAviso shows. Each entry point installs them for the
/// length of its call, so the data layer never depends on the windows.
class TDialogosVelmora : public fw::ui::MessageBoxDialogs
{
public:
    bool warn(const QString &texto) override;
};
