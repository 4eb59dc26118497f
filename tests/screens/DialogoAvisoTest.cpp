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

/// Acts on the warning dialog once it is up, from the event loop of its exec().
void whenDialogShows(std::function<void(TFormDialogoAviso &)> action)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto *dialog = qobject_cast<TFormDialogoAviso *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(*dialog);
        }
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
