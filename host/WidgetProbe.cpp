#include "WidgetProbe.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QWidget>

#include <type_traits>

namespace norvik {

std::optional<QString> shownText(const QObject *component)
{
    if (auto *e = qobject_cast<const QLineEdit *>(component))
        return e->text();
    if (auto *s = qobject_cast<const QAbstractSpinBox *>(component))
        return s->text();
    if (auto *c = qobject_cast<const QComboBox *>(component))
        return c->currentText();
    if (auto *t = qobject_cast<const QTextEdit *>(component))
        return t->toPlainText();
    if (auto *t = qobject_cast<const QPlainTextEdit *>(component))
        return t->toPlainText();
    if (auto *t = qobject_cast<const QTabWidget *>(component))
        return t->currentIndex() < 0 ? QString() : t->tabText(t->currentIndex());
    if (auto *l = qobject_cast<const QLabel *>(component))
        return l->text();
    if (auto *b = qobject_cast<const QAbstractButton *>(component))
        return b->text();
    if (auto *g = qobject_cast<const QGroupBox *>(component))
        return g->title();
    if (auto *a = qobject_cast<const QAction *>(component))
        return a->text();
    const QVariant v = component->property("text");
    if (v.isValid() && v.canConvert<QString>())
        return v.toString();
    return std::nullopt;
}

namespace {

QColor painted(const QWidget *widget, const char *property, QPalette::ColorRole role)
{
    const QVariant v = widget->property(property);
    if (v.isValid()) {
        const QColor c = v.value<QColor>();
        if (c.isValid())
            return c;
    }
    const QPalette::ColorGroup group = !widget->isEnabled()      ? QPalette::Disabled
                                       : widget->isActiveWindow() ? QPalette::Active
                                                                  : QPalette::Inactive;
    return widget->palette().color(group, role);
}

QJsonObject describe(const QObject *component)
{
    QJsonObject o;
    o[QStringLiteral("objectName")] = component->objectName();
    o[QStringLiteral("class")] = QString::fromLatin1(component->metaObject()->className());
    if (const auto text = shownText(component))
        o[QStringLiteral("text")] = *text;
    // A report preview publishes what its pages read.
    if (const QVariant lines = component->property("textLines"); lines.typeId() == QMetaType::QStringList)
        o[QStringLiteral("lines")] = QJsonArray::fromStringList(lines.toStringList());
    if (auto *tabs = qobject_cast<const QTabWidget *>(component)) {
        QJsonArray names;
        for (int i = 0; i < tabs->count(); ++i)
            names.append(tabs->tabText(i));
        o[QStringLiteral("tabs")] = names;
    }
    if (auto *w = qobject_cast<const QWidget *>(component)) {
        o[QStringLiteral("enabled")] = w->isEnabled();
        o[QStringLiteral("visible")] = w->isVisible();
        if (auto *b = qobject_cast<const QAbstractButton *>(w))
            o[QStringLiteral("checked")] = b->isChecked();
        else if (auto *g = qobject_cast<const QGroupBox *>(w); g && g->isCheckable())
            o[QStringLiteral("checked")] = g->isChecked();
        o[QStringLiteral("textColor")] = paintedTextColor(w).name();
        o[QStringLiteral("backgroundColor")] = paintedBackgroundColor(w).name();
    } else if (auto *a = qobject_cast<const QAction *>(component)) {
        o[QStringLiteral("enabled")] = a->isEnabled();
        o[QStringLiteral("visible")] = a->isVisible();
        o[QStringLiteral("checked")] = a->isChecked();
    }
    return o;
}

void collect(const QObject *parent, QJsonArray &out)
{
    for (const QObject *child : parent->children()) {
        // A child window (another dialog) is not a component of this window.
        if (auto *w = qobject_cast<const QWidget *>(child); w && w->isWindow())
            continue;
        if ((child->isWidgetType() || qobject_cast<const QAction *>(child)) && !child->objectName().isEmpty())
            out.append(describe(child));
        collect(child, out);
    }
}

template <typename T>
T *pick(QWidget *window, const QString &name)
{
    T *first = nullptr;
    for (T *c : window->findChildren<T *>(name)) {
        if constexpr (std::is_base_of_v<QWidget, T>) {
            if (c->window() != window)
                continue;
            if (c->isVisible())
                return c;
        }
        if (!first)
            first = c;
    }
    return first;
}

} // namespace

QColor paintedTextColor(const QWidget *widget)
{
    return painted(widget, "paintedTextColor", widget->foregroundRole());
}

QColor paintedBackgroundColor(const QWidget *widget)
{
    return painted(widget, "paintedBackgroundColor", widget->backgroundRole());
}

QJsonArray describeComponents(QWidget *window)
{
    QJsonArray out;
    if (!window->objectName().isEmpty())
        out.append(describe(window));
    collect(window, out);
    return out;
}

QObject *findComponent(QWidget *window, const QString &name)
{
    if (window->objectName() == name)
        return window;
    if (QWidget *w = pick<QWidget>(window, name))
        return w;
    return pick<QAction>(window, name);
}

} // namespace norvik
