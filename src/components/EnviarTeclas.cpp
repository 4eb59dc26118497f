#include "components/EnviarTeclas.h"

#include "framework/ui/Dialogs.h"
#include "framework/ui/KeyInjection.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include <vector>

using fw::ui::KeyStroke;

namespace {

struct NamedKey
{
    int key;
    QString text;
};

const QHash<QString, NamedKey> &namedKeys()
{
    static const QHash<QString, NamedKey> keys = [] {
        QHash<QString, NamedKey> k;
        const NamedKey backspace{Qt::Key_Backspace, QStringLiteral("\b")};
        k.insert(QStringLiteral("BKSP"), backspace);
        k.insert(QStringLiteral("BS"), backspace);
        k.insert(QStringLiteral("BACKSPACE"), backspace);
        k.insert(QStringLiteral("BREAK"), {Qt::Key_Cancel, {}});
        k.insert(QStringLiteral("CAPSLOCK"), {Qt::Key_CapsLock, {}});
        k.insert(QStringLiteral("CLEAR"), {Qt::Key_Clear, {}});
        k.insert(QStringLiteral("DEL"), {Qt::Key_Delete, QString(QChar(0x7f))});
        k.insert(QStringLiteral("DELETE"), {Qt::Key_Delete, QString(QChar(0x7f))});
        k.insert(QStringLiteral("DOWN"), {Qt::Key_Down, {}});
        k.insert(QStringLiteral("END"), {Qt::Key_End, {}});
        k.insert(QStringLiteral("ENTER"), {Qt::Key_Return, QStringLiteral("\r")});
        k.insert(QStringLiteral("ESC"), {Qt::Key_Escape, QString(QChar(0x1b))});
        k.insert(QStringLiteral("ESCAPE"), {Qt::Key_Escape, QString(QChar(0x1b))});
        for (int f = 1; f <= 16; ++f)
            k.insert(QStringLiteral("F%1").arg(f), {Qt::Key_F1 + f - 1, {}});
        k.insert(QStringLiteral("HELP"), {Qt::Key_Help, {}});
        k.insert(QStringLiteral("HOME"), {Qt::Key_Home, {}});
        k.insert(QStringLiteral("INS"), {Qt::Key_Insert, {}});
        k.insert(QStringLiteral("LEFT"), {Qt::Key_Left, {}});
        k.insert(QStringLiteral("NUMLOCK"), {Qt::Key_NumLock, {}});
        k.insert(QStringLiteral("PGDN"), {Qt::Key_PageDown, {}});
        k.insert(QStringLiteral("PGUP"), {Qt::Key_PageUp, {}});
        k.insert(QStringLiteral("PRTSC"), {Qt::Key_Print, {}});
        k.insert(QStringLiteral("RIGHT"), {Qt::Key_Right, {}});
        k.insert(QStringLiteral("SCROLLLOCK"), {Qt::Key_ScrollLock, {}});
        k.insert(QStringLiteral("TAB"), {Qt::Key_Tab, QStringLiteral("\t")});
        k.insert(QStringLiteral("UP"), {Qt::Key_Up, {}});
        return k;
    }();
    return keys;
}

// Num Lock is a state the sender toggles rather than a key it sends.
bool g_numLock = true;

void avisoSendKeys(const QString &texto)
{
    // Keys already queued belong to the control that has the focus now, not to the box.
    fw::ui::flushQueuedKeys();
    const QPointer<QWidget> target = fw::ui::keyTarget();
    fw::ui::dialogs().error(texto, QStringLiteral("SendKeys"));
    // The rest of the string goes where the keys were going before the box.
    if (target && target->isVisible()) {
        target->activateWindow();
        target->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
    }
}

class KeySender
{
public:
    explicit KeySender(bool wait) : m_wait(wait) {}

    void holdModifier(Qt::KeyboardModifier modifier)
    {
        if (heldModifiers() & modifier)
            return;
        m_pending |= modifier;
        fw::ui::injectKey(modifierStroke(modifier, heldModifiers()), true, m_wait);
    }

    void openGroup()
    {
        m_groups.push_back(m_pending);
        m_pending = Qt::NoModifier;
    }

    void closeGroup()
    {
        if (m_groups.empty())
            return;
        const Qt::KeyboardModifiers group = m_groups.back();
        m_groups.pop_back();
        releaseModifiers(group);
    }

    void send(KeyStroke stroke, int times)
    {
        const Qt::KeyboardModifiers mods = heldModifiers() | stroke.modifiers;
        stroke.modifiers = mods;
        if (mods & (Qt::ControlModifier | Qt::AltModifier))
            stroke.text.clear();
        else if ((mods & Qt::ShiftModifier) && stroke.text.size() == 1 && stroke.text.at(0).isLetter())
            stroke.text = stroke.text.toUpper();
        // Shift+Tab reaches widgets as Backtab, as the platform reports it.
        if (stroke.key == Qt::Key_Tab && (mods & Qt::ShiftModifier)) {
            stroke.key = Qt::Key_Backtab;
            stroke.text.clear();
        }
        for (int i = 0; i < times; ++i)
            fw::ui::injectKeyClick(stroke, m_wait);
        const Qt::KeyboardModifiers pending = m_pending;
        m_pending = Qt::NoModifier;
        releaseModifiers(pending);
    }

    void releaseAll()
    {
        Qt::KeyboardModifiers all = m_pending;
        for (auto group : m_groups)
            all |= group;
        m_pending = Qt::NoModifier;
        m_groups.clear();
        releaseModifiers(all);
    }

    /// Modifiers held by groups and by a pending "+", "^" or "%".
    Qt::KeyboardModifiers heldModifiers() const
    {
        Qt::KeyboardModifiers mods = m_pending;
        for (auto group : m_groups)
            mods |= group;
        return mods;
    }

private:
    static KeyStroke modifierStroke(Qt::KeyboardModifier modifier, Qt::KeyboardModifiers state)
    {
        const int key = modifier == Qt::ShiftModifier     ? Qt::Key_Shift
                        : modifier == Qt::ControlModifier ? Qt::Key_Control
                                                          : Qt::Key_Alt;
        return KeyStroke{key, state, {}};
    }

    void releaseModifiers(Qt::KeyboardModifiers mods)
    {
        for (Qt::KeyboardModifier m : {Qt::AltModifier, Qt::ControlModifier, Qt::ShiftModifier}) {
            if (!(mods & m))
                continue;
            const Qt::KeyboardModifiers still = heldModifiers() & ~mods;
            fw::ui::injectKey(modifierStroke(m, still | (mods & ~m)), false, m_wait);
            mods &= ~m;
        }
    }

    bool m_wait;
    Qt::KeyboardModifiers m_pending = Qt::NoModifier;
    std::vector<Qt::KeyboardModifiers> m_groups;
};

void sendCharacter(KeySender &sender, QChar c, int times)
{
    if (const auto stroke = fw::ui::keyForCharacter(c))
        sender.send(*stroke, times);
    else
        avisoSendKeys(QStringLiteral("Invalid KeyName"));
}

// The text between braces: a key name, a character, either followed by a blank and a count.
void sendBraced(KeySender &sender, const QString &content)
{
    QString name = content;
    int times = 1;
    const int blank = content.lastIndexOf(QLatin1Char(' '));
    if (blank > 0) {
        bool ok = false;
        const int count = content.mid(blank + 1).toInt(&ok);
        if (ok && count >= 0) {
            name = content.left(blank);
            times = count;
        }
    }
    if (name.size() == 1) {
        sendCharacter(sender, name.at(0), times);
        return;
    }
    name = name.toUpper();
    const auto found = name.size() <= 20 ? namedKeys().constFind(name) : namedKeys().constEnd();
    if (found == namedKeys().constEnd()) {
        avisoSendKeys(QStringLiteral("Invalid Key Name"));
        return;
    }
    if (found->key == Qt::Key_NumLock) {
        for (int i = 0; i < times; ++i)
            g_numLock = !g_numLock;
        return;
    }
    sender.send(KeyStroke{found->key, Qt::NoModifier, found->text}, times);
}

} // namespace

bool EnviarTeclas(const QString &teclas, bool esperar)
{
    KeySender sender(esperar);
    const int n = teclas.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = teclas.at(i);
        switch (c.unicode()) {
        case u'+':
            sender.holdModifier(Qt::ShiftModifier);
            break;
        case u'^':
            sender.holdModifier(Qt::ControlModifier);
            break;
        case u'%':
            sender.holdModifier(Qt::AltModifier);
            break;
        case u'(':
            sender.openGroup();
            break;
        case u')':
            sender.closeGroup();
            break;
        case u'~':
            sender.send(KeyStroke{Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")}, 1);
            break;
        case u'{': {
            // "{}}" names the closing brace itself.
            int close = (i + 2 < n && teclas.at(i + 1) == u'}' && teclas.at(i + 2) == u'}')
                            ? i + 2
                            : teclas.indexOf(QLatin1Char('}'), i + 1);
            if (close < 0) {
                sender.releaseAll();
                avisoSendKeys(QStringLiteral("No Close"));
                return false;
            }
            sendBraced(sender, teclas.mid(i + 1, close - i - 1));
            i = close;
            break;
        }
        default:
            sendCharacter(sender, c, 1);
            break;
        }
    }
    sender.releaseAll();
    return true;
}
