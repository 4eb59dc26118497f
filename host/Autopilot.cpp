#include "Autopilot.h"

#include "WidgetProbe.h"
#include "WindowReporter.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGroupBox>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace norvik {

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

/// Button text as the user reads it: '&' marks a mnemonic, "&&" is a literal '&'.
QString withoutMnemonics(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text;
}

/// Where typed keys go: the focus widget when it is in the window, else the
/// widget that gets the focus when the window is activated, else the window.
QWidget *keyTarget(QWidget *window)
{
    QWidget *focus = QApplication::focusWidget();
    if (focus && (focus == window || window->isAncestorOf(focus)))
        return focus;
    if (QWidget *f = window->focusWidget())
        return f;
    return window;
}

void typeText(QWidget *window, const QString &text)
{
    QPointer<QWidget> guard(window);
    for (int i = 0; i < text.size() && guard; ++i) {
        QString unit(text[i]);
        if (text[i].isHighSurrogate() && i + 1 < text.size())
            unit += text[++i];
        Qt::Key key = Qt::Key_unknown;
        const QChar c = unit[0];
        if (c == QLatin1Char('\n')) {
            key = Qt::Key_Return;
            unit = QStringLiteral("\r");
        } else if (c == QLatin1Char('\t')) {
            key = Qt::Key_Tab;
        } else if (unit.size() == 1) {
            // Qt's key codes for printable characters are their upper-case code points.
            key = Qt::Key(c.toUpper().unicode());
        }
        QTest::sendKeyEvent(QTest::Click, keyTarget(window), key, unit, Qt::NoModifier);
    }
}

/// Runs an action from the event loop, so a modal window it opens does not
/// block the autopilot.
template <typename F>
void post(QObject *context, F action)
{
    QTimer::singleShot(0, context, std::move(action));
}

} // namespace

Autopilot::Autopilot(std::vector<AutopilotCommand> script, QObject *parent)
    : QObject(parent), m_script(std::move(script))
{
    m_ticker.setInterval(kTickMs);
    connect(&m_ticker, &QTimer::timeout, this, &Autopilot::tick);
    m_overdue.setSingleShot(true);
    m_overdue.setInterval(kReturnTimeoutMs);
    connect(&m_overdue, &QTimer::timeout, this, &Autopilot::overdue);
}

QWidget *Autopilot::targetWindow()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

void Autopilot::start()
{
    m_index = 0;
    m_overdue.stop();
    m_stepClock.start();
    if (m_script.empty())
        finish();
    else
        m_ticker.start();
}

void Autopilot::callReturned()
{
    m_ticker.stop();
    m_overdue.stop();
    if (m_index < m_script.size())
        fail(m_script[m_index].line, QStringLiteral("the call returned before this command was done"));
}

void Autopilot::finish()
{
    m_ticker.stop();
    m_overdue.start();
}

void Autopilot::tick()
{
    if (m_index >= m_script.size())
        return;
    const AutopilotCommand &command = m_script[m_index];
    if (perform(command) == Outcome::Done) {
        ++m_index;
        m_stepClock.restart();
        if (m_index == m_script.size())
            finish();
        return;
    }
    const int limit = command.kind == AutopilotCommand::Kind::WaitFile ? kWaitFileTimeoutMs : kStepTimeoutMs;
    if (command.kind != AutopilotCommand::Kind::Sleep && m_stepClock.elapsed() > limit)
        fail(command.line, m_waitingFor);
}

void Autopilot::fail(int line, const QString &reason) const
{
    printLine(QStringLiteral("autopilot: line %1: %2").arg(line).arg(reason));
    // The main thread sits inside the module's modal loops: leave without unwinding them.
    std::_Exit(kFailureExitCode);
}

void Autopilot::overdue() const
{
    printLine(QStringLiteral("autopilot: the call has not returned %1 s after the script ended")
                  .arg(kReturnTimeoutMs / 1000));
    std::_Exit(kNoReturnExitCode);
}

Autopilot::Outcome Autopilot::perform(const AutopilotCommand &command)
{
    using Kind = AutopilotCommand::Kind;
    if (command.kind == Kind::Sleep)
        return m_stepClock.elapsed() >= command.milliseconds ? Outcome::Done : Outcome::Wait;
    if (command.kind == Kind::WaitFile) {
        if (QFile::exists(command.target))
            return Outcome::Done;
        m_waitingFor = QStringLiteral("file %1 did not appear").arg(command.target);
        return Outcome::Wait;
    }

    QWidget *window = targetWindow();
    if (!window || !window->isVisible()) {
        m_waitingFor = command.kind == Kind::Window
                           ? QStringLiteral("window %1 did not appear; no window is active").arg(quoted(command.target))
                           : QStringLiteral("no active window");
        return Outcome::Wait;
    }
    const QString where = QStringLiteral(" in window ") + quoted(window->windowTitle());

    switch (command.kind) {
    case Kind::Window:
        if (window->windowTitle() == command.target)
            return Outcome::Done;
        m_waitingFor = QStringLiteral("window %1 did not appear; the active window is %2")
                           .arg(quoted(command.target), quoted(window->windowTitle()));
        return Outcome::Wait;

    case Kind::Key: {
        QPointer<QWidget> w(window);
        const QKeyCombination key = command.key;
        post(window, [w, key] {
            if (w)
                QTest::keyClick(keyTarget(w), key.key(), key.keyboardModifiers());
        });
        return Outcome::Done;
    }

    case Kind::Type: {
        QPointer<QWidget> w(window);
        const QString text = command.target;
        post(window, [w, text] {
            if (w)
                typeText(w, text);
        });
        return Outcome::Done;
    }

    case Kind::ClickText: {
        QAbstractButton *found = nullptr;
        for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
            if (b->window() != window || !b->isVisible())
                continue;
            if (b->text() == command.target || withoutMnemonics(b->text()) == command.target) {
                found = b;
                if (b->isEnabled())
                    break;
            }
        }
        if (!found) {
            m_waitingFor = QStringLiteral("no button with text %1").arg(quoted(command.target)) + where;
            return Outcome::Wait;
        }
        if (!found->isEnabled()) {
            m_waitingFor = QStringLiteral("button %1 is disabled").arg(quoted(command.target)) + where;
            return Outcome::Wait;
        }
        QPointer<QAbstractButton> b(found);
        post(found, [b] {
            if (b)
                b->click();
        });
        return Outcome::Done;
    }

    case Kind::Dump: {
        QFile file(command.target);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(QJsonDocument(describeComponents(window)).toJson(QJsonDocument::Indented)) < 0)
            fail(command.line, QStringLiteral("cannot write %1").arg(command.target));
        return Outcome::Done;
    }

    case Kind::Screenshot:
        if (!window->grab().save(command.target))
            fail(command.line, QStringLiteral("cannot write %1").arg(command.target));
        return Outcome::Done;

    default:
        break;
    }

    // The remaining commands act on one named component.
    QObject *component = findComponent(window, command.target);
    if (!component) {
        m_waitingFor = QStringLiteral("no component %1").arg(command.target) + where;
        return Outcome::Wait;
    }
    auto *widget = qobject_cast<QWidget *>(component);

    if (command.kind == Kind::ExpectText) {
        const auto text = shownText(component);
        if (!text) {
            m_waitingFor = QStringLiteral("%1 (%2) shows no text").arg(command.target, component->metaObject()->className());
            return Outcome::Wait;
        }
        if (*text == command.value)
            return Outcome::Done;
        m_waitingFor = QStringLiteral("%1 shows %2, expected %3").arg(command.target, quoted(*text), quoted(command.value));
        return Outcome::Wait;
    }

    // click and set need a component the user can reach.
    const bool visible = widget ? widget->isVisible() : static_cast<QAction *>(component)->isVisible();
    const bool enabled = widget ? widget->isEnabled() : static_cast<QAction *>(component)->isEnabled();
    if (!visible || !enabled) {
        m_waitingFor = QStringLiteral("%1 is %2").arg(command.target, visible ? QStringLiteral("disabled")
                                                                               : QStringLiteral("not visible"))
                       + where;
        return Outcome::Wait;
    }

    if (command.kind == Kind::DoubleClick) {
        if (!widget)
            fail(command.line, QStringLiteral("%1 is an action; double-click needs a widget").arg(command.target));
        QPointer<QWidget> w(widget);
        post(widget, [w] {
            if (!w)
                return;
            // A list or grid is double-clicked on its current row, where the user would.
            QWidget *target = w;
            QPoint at = w->rect().center();
            if (auto *view = qobject_cast<QAbstractItemView *>(w.data()); view && view->currentIndex().isValid()) {
                target = view->viewport();
                at = view->visualRect(view->currentIndex()).center();
            }
            // A user's double click is a click followed by the double click itself.
            QPointer<QWidget> t(target);
            QTest::mouseClick(target, Qt::LeftButton, {}, at);
            if (t)
                QTest::mouseDClick(target, Qt::LeftButton, {}, at);
        });
        return Outcome::Done;
    }

    if (command.kind == Kind::Click) {
        if (auto *action = qobject_cast<QAction *>(component)) {
            QPointer<QAction> a(action);
            post(action, [a] {
                if (a)
                    a->trigger();
            });
        } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            QPointer<QAbstractButton> b(button);
            post(button, [b] {
                if (b)
                    b->click();
            });
        } else {
            // A custom-painted component reacts to the mouse itself.
            QPointer<QWidget> w(widget);
            post(widget, [w] {
                if (w)
                    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
            });
        }
        return Outcome::Done;
    }

    if (!widget)
        fail(command.line, QStringLiteral("%1 is an action; set needs a widget").arg(command.target));
    return performSet(command, widget);
}

Autopilot::Outcome Autopilot::performSet(const AutopilotCommand &command, QWidget *widget)
{
    const QString &value = command.value;
    const auto yesNo = [&]() -> bool {
        if (value != QLatin1String("0") && value != QLatin1String("1"))
            fail(command.line, QStringLiteral("%1 takes 0 or 1, got %2").arg(command.target, quoted(value)));
        return value == QLatin1String("1");
    };
    // A user sets a value by focusing the component first; leaving it (key Tab)
    // is up to the script.
    const auto focusThen = [widget](auto change) {
        QPointer<QWidget> w(widget);
        post(widget, [w, change] {
            if (!w)
                return;
            if (w->focusPolicy() != Qt::NoFocus)
                w->setFocus(Qt::OtherFocusReason);
            if (w)
                change();
        });
        return Outcome::Done;
    };

    if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        if (edit->isReadOnly()) {
            m_waitingFor = QStringLiteral("%1 is read-only").arg(command.target);
            return Outcome::Wait;
        }
        QPointer<QLineEdit> e(edit);
        // Replacing the selection emits textEdited, as typing does.
        return focusThen([e, value] {
            e->selectAll();
            e->insert(value);
        });
    }
    if (auto *radio = qobject_cast<QRadioButton *>(widget)) {
        const bool on = yesNo();
        QPointer<QRadioButton> r(radio);
        return focusThen([r, on] {
            if (on && !r->isChecked())
                r->click();
            else if (!on)
                r->setChecked(false);
        });
    }
    if (auto *button = qobject_cast<QAbstractButton *>(widget); button && button->isCheckable()) {
        const bool on = yesNo();
        QPointer<QAbstractButton> b(button);
        return focusThen([b, on] {
            if (b->isChecked() != on)
                b->click();
        });
    }
    if (auto *group = qobject_cast<QGroupBox *>(widget); group && group->isCheckable()) {
        const bool on = yesNo();
        QPointer<QGroupBox> g(group);
        return focusThen([g, on] { g->setChecked(on); });
    }
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        const int index = combo->findText(value, Qt::MatchExactly);
        if (index < 0 && !combo->isEditable()) {
            m_waitingFor = QStringLiteral("%1 has no item %2").arg(command.target, quoted(value));
            return Outcome::Wait;
        }
        QPointer<QComboBox> c(combo);
        return focusThen([c, index, value] {
            if (index < 0) {
                c->setEditText(value);
                return;
            }
            c->setCurrentIndex(index);
            // A choice made by the user also reports itself as activated.
            if (c) {
                Q_EMIT c->activated(index);
                Q_EMIT c->textActivated(c->itemText(index));
            }
        });
    }
    if (auto *edit = qobject_cast<QDateTimeEdit *>(widget)) {
        const QDateTime stamp = QDateTime::fromString(value, Qt::ISODate);
        const QDate date = QDate::fromString(value, Qt::ISODate);
        if (!date.isValid() && !stamp.isValid())
            fail(command.line, QStringLiteral("%1 takes a date yyyy-mm-dd, got %2").arg(command.target, quoted(value)));
        QPointer<QDateTimeEdit> e(edit);
        return focusThen([e, date, stamp] {
            if (date.isValid())
                e->setDate(date);
            else
                e->setDateTime(stamp);
        });
    }
    if (auto *spin = qobject_cast<QSpinBox *>(widget)) {
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok)
            fail(command.line, QStringLiteral("%1 takes a whole number, got %2").arg(command.target, quoted(value)));
        QPointer<QSpinBox> s(spin);
        return focusThen([s, number] { s->setValue(number); });
    }
    if (auto *spin = qobject_cast<QDoubleSpinBox *>(widget)) {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok)
            fail(command.line, QStringLiteral("%1 takes a number, got %2").arg(command.target, quoted(value)));
        QPointer<QDoubleSpinBox> s(spin);
        return focusThen([s, number] { s->setValue(number); });
    }
    if (auto *tabs = qobject_cast<QTabWidget *>(widget)) {
        bool ok = false;
        const int index = value.toInt(&ok);
        if (!ok || index < 0 || index >= tabs->count())
            fail(command.line, QStringLiteral("%1 has no tab %2").arg(command.target, quoted(value)));
        QPointer<QTabWidget> t(tabs);
        return focusThen([t, index] { t->setCurrentIndex(index); });
    }
    if (auto *text = qobject_cast<QTextEdit *>(widget)) {
        QPointer<QTextEdit> t(text);
        return focusThen([t, value] { t->setPlainText(value); });
    }
    if (auto *text = qobject_cast<QPlainTextEdit *>(widget)) {
        QPointer<QPlainTextEdit> t(text);
        return focusThen([t, value] { t->setPlainText(value); });
    }
    fail(command.line, QStringLiteral("cannot set a %1 (%2)").arg(widget->metaObject()->className(), command.target));
}

} // namespace norvik
