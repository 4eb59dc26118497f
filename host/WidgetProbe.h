#pragma once
// Reads what a user sees of a window's components: texts, states and the colours
// they are painted with. Used by the autopilot's expect-text and dump.
#include <QColor>
#include <QJsonArray>
#include <QString>

#include <optional>

class QObject;
class QWidget;

namespace norvik {

/// The text a component shows: an edit's or label's or button's text, a text
/// box's plain text, a tab widget's current tab, a combo box's current text, a
/// group box's title, or any "text" property. None for components without text.
std::optional<QString> shownText(const QObject *component);

/// Colours the widget is painted with: the palette roles it paints with, in the
/// colour group of its current state, unless the widget reports what it paints
/// through the dynamic properties paintedTextColor / paintedBackgroundColor.
QColor paintedTextColor(const QWidget *widget);
QColor paintedBackgroundColor(const QWidget *widget);

/// One object per named component of the window (the window itself included),
/// in tree order: objectName, class, text, tabs, enabled, visible, checked,
/// textColor, backgroundColor, and the lines of print of a report preview.
QJsonArray describeComponents(QWidget *window);

/// Named component of the window, preferring a visible one when names repeat:
/// a widget first, else an action.
QObject *findComponent(QWidget *window, const QString &name);

} // namespace norvik
