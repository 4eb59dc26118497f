#include "KeyInjection.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

#include <deque>

namespace fw::ui {

namespace {

struct QueuedKey
{
    KeyStroke stroke;
    bool press;
};

// Keys posted without waiting, delivered in order by queued calls; the target
// is chosen at delivery, as the keyboard does.
std::deque<QueuedKey> &queue()
{
    static std::deque<QueuedKey> keys;
    return keys;
}

void deliver(const KeyStroke &stroke, bool press)
{
    QWidget *target = keyTarget();
    if (!target)
        return;
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, stroke.key, stroke.modifiers, stroke.text);
    QApplication::sendEvent(target, &event);
}

void deliverFirstQueued()
{
    if (queue().empty())
        return;
    const QueuedKey next = queue().front();
    queue().pop_front();
    deliver(next.stroke, next.press);
}

} // namespace

QWidget *keyTarget()
{
    if (QWidget *focus = QApplication::focusWidget())
        return focus;
    return QApplication::activeWindow();
}

void injectKey(const KeyStroke &stroke, bool press, bool wait)
{
    if (wait) {
        flushQueuedKeys();
        deliver(stroke, press);
        QCoreApplication::processEvents();
        return;
    }
    queue().push_back({stroke, press});
    QMetaObject::invokeMethod(qApp, [] { deliverFirstQueued(); }, Qt::QueuedConnection);
}

void injectKeyClick(const KeyStroke &stroke, bool wait)
{
    injectKey(stroke, true, wait);
    injectKey(stroke, false, wait);
}

void flushQueuedKeys()
{
    // The queued calls stay posted; they find the queue empty and do nothing.
    while (!queue().empty())
        deliverFirstQueued();
}

std::optional<KeyStroke> keyForCharacter(QChar c)
{
    const char16_t u = c.unicode();
    switch (u) {
    case u'\t':
        return KeyStroke{Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t")};
    case u'\r':
    case u'\n':
        return KeyStroke{Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")};
    case u'\b':
        return KeyStroke{Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b")};
    case 0x1b:
        return KeyStroke{Qt::Key_Escape, Qt::NoModifier, QString(QChar(0x1b))};
    case 0x20ac: // the euro sign has its own key combination on European layouts
        return KeyStroke{0x20ac, Qt::NoModifier, QString(c)};
    default:
        break;
    }
    if (u > 0xff || !c.isPrint())
        return std::nullopt;
    KeyStroke stroke;
    stroke.text = QString(c);
    if (c.isLetter()) {
        // Qt names a letter key by its capital; Shift is what makes the capital.
        const QChar upper = c.toUpper();
        stroke.key = upper.unicode() <= 0xff ? upper.unicode() : u;
        if (c.isUpper())
            stroke.modifiers = Qt::ShiftModifier;
    } else {
        stroke.key = u;
    }
    return stroke;
}

} // namespace fw::ui
