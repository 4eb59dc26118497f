#include "components/lxBoton.h"
#include "support/ModalCatcher.h"

#include <QAction>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// A window with three edits, shown and active so that keys reach its focus widget.
struct ThreeEdits
{
    QWidget window;
    QLineEdit *first = new QLineEdit(&window);
    QLineEdit *second = new QLineEdit(&window);
    QLineEdit *third = new QLineEdit(&window);

    ThreeEdits()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(first);
        layout->addWidget(second);
        layout->addWidget(third);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        first->setFocus();
    }
};

} // namespace

TEST(EnviarTeclas, TabAndShiftTabMoveTheFocusLikeTypedKeys)
{
    ThreeEdits w;
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("{TAB}"), true));
    EXPECT_EQ(QApplication::focusWidget(), w.second);
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("{TAB}"), true));
    EXPECT_EQ(QApplication::focusWidget(), w.third);
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("+{TAB}"), true));
    EXPECT_EQ(QApplication::focusWidget(), w.second);

    // Without waiting the keys are queued and reach whichever widget has the focus then.
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("x{TAB}y"), false));
    EXPECT_EQ(QApplication::focusWidget(), w.second);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.second->text(), QStringLiteral("x"));
    EXPECT_EQ(w.third->text(), QStringLiteral("y"));
    EXPECT_EQ(QApplication::focusWidget(), w.third);
}

TEST(EnviarTeclas, KeyStringsTypeWhatTheyName)
{
    struct Case
    {
        const char *start;
        const char *keys;
        const char *text;
        int cursor;
    };
    const Case cases[] = {
        {"abcdef", "{LEFT 3}", "abcdef", 3},
        {"abcdef", "{LEFT 3}{BKSP}", "abdef", 2},
        {"abcdef", "{HOME}{DEL}{delete}", "cdef", 0},
        {"", "+abc", "Abc", 3},
        {"", "+(abc)d", "ABCd", 4},
        {"", "{a 3}{x}", "aaax", 4},
        {"", "{{}{}}{+}{~}{%}{^}{(}{)}", "{}+~%^()", 8},
        {"old", "^ax", "x", 1},
        {"", "Ñandú 5€", "Ñandú 5€", 8},
    };
    for (const Case &c : cases) {
        ThreeEdits w;
        w.first->setText(QString::fromUtf8(c.start));
        EXPECT_TRUE(EnviarTeclas(QString::fromUtf8(c.keys), true)) << c.keys;
        EXPECT_EQ(w.first->text(), QString::fromUtf8(c.text)) << c.keys;
        EXPECT_EQ(w.first->cursorPosition(), c.cursor) << c.keys;
    }
}

TEST(EnviarTeclas, EnterIsTheReturnKey)
{
    ThreeEdits w;
    QSignalSpy returns(w.first, &QLineEdit::returnPressed);
    EXPECT_TRUE(EnviarTeclas(QStringLiteral("~{ENTER}"), true));
    EXPECT_EQ(returns.count(), 2);
}

TEST(EnviarTeclas, ProblemsAreShownInASendKeysBox)
{
    struct Case
    {
        QString keys;
        bool result;
        QString text;
        QString message;
    };
    const Case cases[] = {
        {QStringLiteral("abc{ENTER"), false, QStringLiteral("abc"), QStringLiteral("SendKeys|No Close")},
        {QStringLiteral("a{NOSUCHKEY}b"), true, QStringLiteral("ab"), QStringLiteral("SendKeys|Invalid Key Name")},
        {QStringLiteral("{TABTABTABTABTABTABTAB}b"), true, QStringLiteral("b"), QStringLiteral("SendKeys|Invalid Key Name")},
        {QStringLiteral("a") + QChar(0x01) + QStringLiteral("b"), true, QStringLiteral("ab"),
         QStringLiteral("SendKeys|Invalid KeyName")},
        {QStringLiteral("a") + QChar(0x4e2d) + QStringLiteral("b"), true, QStringLiteral("ab"),
         QStringLiteral("SendKeys|Invalid KeyName")},
    };
    for (const Case &c : cases) {
        for (bool wait : {true, false}) {
            ThreeEdits w;
            ModalCatcher catcher;
            EXPECT_EQ(EnviarTeclas(c.keys, wait), c.result) << c.keys.toStdString();
            QCoreApplication::processEvents();
            EXPECT_EQ(w.first->text(), c.text) << c.keys.toStdString() << " wait=" << wait;
            EXPECT_EQ(catcher.seen(), QStringList{c.message}) << c.keys.toStdString();
        }
    }
}

TEST(TlxBoton, GroupedButtonsKeepAtMostOneDown)
{
    for (bool allowAllUp : {false, true}) {
        QWidget parent;
        auto *first = new TlxBoton(&parent);
        auto *second = new TlxBoton(&parent);
        auto *other = new TlxBoton(&parent); // another group: left alone
        second->move(0, 30);
        for (TlxBoton *b : {first, second})
            b->setGroupIndex(1);
        other->setGroupIndex(2);
        second->setAllowAllUp(allowAllUp);
        first->setDown(true);
        other->setDown(true);
        parent.show();

        QTest::mouseClick(second, Qt::LeftButton);
        EXPECT_TRUE(second->Down());
        EXPECT_FALSE(first->Down());
        EXPECT_TRUE(other->Down());

        QTest::mouseClick(second, Qt::LeftButton);
        EXPECT_EQ(second->Down(), !allowAllUp);
    }
}

TEST(TlxBoton, UngroupedButtonGoesUpAgainAndClicksOnce)
{
    QWidget parent;
    auto *button = new TlxBoton(&parent);
    EXPECT_EQ(button->size(), QSize(100, 23));
    parent.show();
    QSignalSpy clicks(button, &TlxBoton::clicked);
    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_TRUE(button->Down());
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_FALSE(button->Down());
    EXPECT_EQ(clicks.count(), 1);

    // Released outside: up again, but no click.
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(150, 5));
    EXPECT_FALSE(button->Down());
    EXPECT_EQ(clicks.count(), 1);
}

TEST(TlxBoton, ClickTypesItsKeysIntoItsControl)
{
    ThreeEdits w;
    auto *button = new TlxBoton(&w.window);
    button->SetParametros(QStringLiteral("Siguiente"), true, QStringLiteral("12{TAB}"), w.second);
    QSignalSpy clicks(button, &TlxBoton::clicked);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(w.second->text(), QStringLiteral("12"));
    EXPECT_EQ(QApplication::focusWidget(), w.third);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);

    button->setControl(nullptr); // clears the button
    EXPECT_TRUE(button->Caption().isEmpty());
    EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(button->Teclas().isEmpty());
}

TEST(TlxBoton, NumGlyphsFollowsTheImage)
{
    TlxBoton button;
    button.setGlyph(QPixmap(48, 16));
    EXPECT_EQ(button.NumGlyphs(), 3);
    button.setGlyph(QPixmap(16, 16));
    EXPECT_EQ(button.NumGlyphs(), 1);
    button.setGlyph(QPixmap());
    EXPECT_EQ(button.NumGlyphs(), 0);
}

namespace {

// Two 16 x 16 frames, blue for enabled and green for disabled, on magenta: the
// bottom-left pixel, and so the colour left out when the image is drawn.
QPixmap dosFotogramas()
{
    QImage image(32, 16, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    for (int y = 2; y < 14; ++y)
        for (int x = 2; x < 14; ++x) {
            image.setPixelColor(x, y, Qt::blue);
            image.setPixelColor(16 + x, y, Qt::green);
        }
    return QPixmap::fromImage(image);
}

bool contiene(const QImage &image, const QColor &color)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == color)
                return true;
    return false;
}

} // namespace

TEST(TlxBoton, PaintsFrameBackgroundCaptionAndImageForEachState)
{
    const QColor fondo(200, 200, 200), rojo(255, 0, 0), tinta(0, 0, 160), gris(128, 128, 128), padre(10, 160, 10);
    struct Caso
    {
        const char *estado;
        std::function<void(TlxBoton &)> preparar;
        QColor arribaIzquierda, abajoDerecha, relleno, texto, imagen;
    };
    const Caso casos[] = {
        {"normal", [](TlxBoton &) {}, Qt::white, Qt::black, fondo, tinta, Qt::blue},
        {"down", [](TlxBoton &b) { b.setDown(true); }, Qt::black, Qt::white, rojo, tinta, Qt::blue},
        {"disabled", [](TlxBoton &b) { b.setEnabled(false); }, fondo, fondo, fondo, gris, Qt::green},
        {"flat", [](TlxBoton &b) { b.setFlat(true); }, fondo, fondo, fondo, tinta, Qt::blue},
        {"flat and down", [](TlxBoton &b) { b.setFlat(true), b.setDown(true); }, Qt::black, Qt::white, rojo, tinta,
         Qt::blue},
        {"transparent", [](TlxBoton &b) { b.setTransparent(true); }, Qt::white, Qt::black, padre, tinta, Qt::blue},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.estado);
        QWidget ventana;
        QPalette pv = ventana.palette();
        pv.setColor(QPalette::Window, padre);
        ventana.setPalette(pv);
        ventana.setAutoFillBackground(true);
        auto *button = new TlxBoton(&ventana);
        button->setGeometry(0, 0, 140, 26);
        button->setColor(fondo);
        button->setColorWhenDown(rojo);
        QPalette pb = button->palette();
        pb.setColor(QPalette::ButtonText, tinta);
        button->setPalette(pb);
        QFont sinSuavizado = button->font();
        sinSuavizado.setStyleStrategy(QFont::NoAntialias); // text pixels in the pen's own colour
        button->setFont(sinSuavizado);
        button->setGlyph(dosFotogramas());
        button->setCaption(QStringLiteral("Explicación"));
        c.preparar(*button);
        ventana.show();

        const QImage pintado = ventana.grab(button->geometry()).toImage();
        EXPECT_EQ(pintado.pixelColor(0, 0), c.arribaIzquierda);
        EXPECT_EQ(pintado.pixelColor(pintado.width() - 1, pintado.height() - 1), c.abajoDerecha);
        EXPECT_EQ(pintado.pixelColor(pintado.width() - 3, 2), c.relleno);
        EXPECT_TRUE(contiene(pintado, c.texto));
        EXPECT_TRUE(contiene(pintado, c.imagen));
        EXPECT_FALSE(contiene(pintado, c.imagen == Qt::blue ? QColor(Qt::green) : QColor(Qt::blue)));
        EXPECT_FALSE(contiene(pintado, Qt::magenta));
        EXPECT_FALSE(contiene(pintado, c.texto == gris ? tinta : gris));
    }
}

TEST(TlxBoton, InALayoutItTakesTheSizeOfItsPictureAndCaptionAndCanBeClicked)
{
    for (int layout : {blGlyphLeft, blGlyphTop}) {
        SCOPED_TRACE(layout);
        QWidget ventana;
        auto *columna = new QVBoxLayout(&ventana);
        auto *button = new TlxBoton;
        button->setGlyph(dosFotogramas());
        button->setLayout(layout);
        button->setCaption(QStringLiteral("Explicación"));
        columna->addWidget(button);
        columna->addStretch(1);
        ventana.resize(300, 200);
        ventana.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&ventana));

        const QFontMetrics fm(button->font());
        const int texto = fm.horizontalAdvance(QStringLiteral("Explicación"));
        const int separacion = fm.horizontalAdvance(QLatin1Char(' '));
        const QSize contenido = layout == blGlyphLeft
                                    ? QSize(16 + separacion + texto, std::max(16, fm.height()))
                                    : QSize(std::max(16, texto), 16 + separacion + fm.height());
        EXPECT_GE(button->width(), contenido.width() + 8);
        EXPECT_GE(button->height(), contenido.height() + 8);
        EXPECT_EQ(button->height(), button->sizeHint().height());

        QSignalSpy clicks(button, &TlxBoton::clicked);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(clicks.count(), 1);
    }
}

TEST(TlxBoton, AutoSizeKeepsTheRightEdgeWhenRightAligned)
{
    QWidget parent;
    auto *button = new TlxBoton(&parent);
    button->setGeometry(200, 10, 100, 23);
    button->setAlignment(Qt::AlignRight);
    button->setAutoSize(true);
    button->setCaption(QStringLiteral("Un texto bastante más largo que el botón"));
    EXPECT_GT(button->width(), 100);
    EXPECT_EQ(button->geometry().right(), 299);
}

TEST(TlxBoton, ActionDrivesCaptionAndTheDownStateOfAnInStepGroupedButton)
{
    QWidget parent;
    auto *button = new TlxBoton(&parent);
    QAction action(QStringLiteral("Explicación"));
    action.setCheckable(true);
    QPixmap icon(16, 16);
    icon.fill(Qt::blue);
    action.setIcon(QIcon(icon));
    button->setGroupIndex(1);
    button->setAllowAllUp(true);
    button->setAction(&action);
    EXPECT_EQ(button->Caption(), QStringLiteral("Explicación"));
    EXPECT_EQ(button->NumGlyphs(), 1); // the action's image, as the button had none

    action.setChecked(true); // grouped, all-up allowed, in step: the button follows
    EXPECT_TRUE(button->Down());
    action.setChecked(false);
    EXPECT_FALSE(button->Down());
    button->setAllowAllUp(false); // no longer linked
    action.setChecked(true);
    EXPECT_FALSE(button->Down());

    QSignalSpy triggered(&action, &QAction::triggered);
    button->Click();
    EXPECT_EQ(triggered.count(), 1);
    action.setEnabled(false);
    EXPECT_FALSE(button->isEnabled());
}
