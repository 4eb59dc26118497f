#include "components/lxBoton.h"
#include "support/ModalCatcher.h"

#include <QAction>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

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

TEST(TlxBoton, PaintedColoursFollowTheState)
{
    QWidget parent;
    auto *button = new TlxBoton(&parent);
    button->setColor(QColor(200, 200, 200));
    button->setColorWhenDown(QColor(255, 0, 0));
    EXPECT_EQ(button->property("paintedBackgroundColor").value<QColor>(), QColor(200, 200, 200));
    button->setDown(true);
    EXPECT_EQ(button->property("paintedBackgroundColor").value<QColor>(), QColor(255, 0, 0));
    button->setEnabled(false);
    EXPECT_EQ(button->property("paintedTextColor").value<QColor>(), QColor(128, 128, 128));

    // Painting every style and layout must not fail, and the disabled look uses the second frame.
    QPixmap glyph(32, 16);
    glyph.fill(Qt::magenta);
    button->setGlyph(glyph);
    button->setCaption(QStringLiteral("Explicación"));
    for (int style : {bsNormal, bsEncarta, bsModern})
        for (int layout : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom}) {
            button->setStyle(style);
            button->setLayout(layout);
            EXPECT_FALSE(button->grab().isNull());
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
