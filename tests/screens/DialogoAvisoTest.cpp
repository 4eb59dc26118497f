#include "data/ModuloDatos.h"
#include "screens/DialogoAviso.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

/// Acts on the warning dialog once it is up and has the keyboard, from the
/// event loop of its exec(). The window system activates a new window when it
/// gets round to it, so under load the dialog can be on screen for a while
/// before its focus widget exists; the action waits for that, not for a time.
void whenDialogShows(std::function<void(TFormDialogoAviso &)> action)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto *dialog = qobject_cast<TFormDialogoAviso *>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible())
            return;
        if (!dialog->isActiveWindow() || QApplication::focusWidget() == nullptr) {
            QApplication::setActiveWindow(dialog);
            return;
        }
        timer->stop();
        timer->deleteLater();
        action(*dialog);
    });
    timer->start();
}

} // namespace

TEST(DialogoAviso, ShowsEachLineOfTheTextAndAcceptsWithAceptar)
{
    TDialogosVelmora dialogos;
    fw::ui::ScopedDialogs instalados(dialogos);
    QString shown, caption;
    bool focusOnAceptar = false;
    whenDialogShows([&](TFormDialogoAviso &d) {
        caption = d.windowTitle();
        shown = d.MemoMensaje->toPlainText();
        focusOnAceptar = QApplication::focusWidget() == d.BotonAceptar;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    const bool result = MostrarAviso(QStringLiteral("Error al buscar los datos del documento ...\r\nno existe"));
    EXPECT_TRUE(result);
    EXPECT_EQ(caption, QStringLiteral("Aviso"));
    EXPECT_EQ(shown, QStringLiteral("Error al buscar los datos del documento ...\nno existe"));
    EXPECT_EQ(shown.split(QLatin1Char('\n')).size(), 2);
    EXPECT_TRUE(focusOnAceptar);
}

TEST(DialogoAviso, ClosingWithTheCloseBoxReturnsFalse)
{
    TDialogosVelmora dialogos;
    fw::ui::ScopedDialogs instalados(dialogos);
    whenDialogShows([](TFormDialogoAviso &d) { d.close(); });
    EXPECT_FALSE(MostrarAviso(QStringLiteral("texto")));
}

TEST(DialogoAviso, FocusNeverRestsOnTheMessage)
{
    TFormDialogoAviso dialog;
    dialog.EstablecerMensaje(QStringLiteral("uno\r\ndos"));
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    dialog.MemoMensaje->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), dialog.BotonAceptar);
}
