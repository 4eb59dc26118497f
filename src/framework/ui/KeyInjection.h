#pragma once
#include <QString>
#include <Qt>

#include <optional>

class QWidget;

namespace fw::ui {

/// One key of the keyboard as Qt reports it: the key code, the modifiers held
/// with it and the text it types (empty for keys that type nothing).
struct KeyStroke
{
    int key = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    QString text;
};

/// The widget that a key typed now would reach: the focus widget, else the
/// active window; null when the application has neither.
QWidget *keyTarget();

/// Delivers a key press (`press` true) or release to the widget that has the
/// keyboard focus at the moment of delivery, as real key events: they reach
/// shortcuts first, then propagate to the parents while ignored, so a Tab moves
/// the focus exactly as a typed one does.
/// With `wait` the event is delivered at once and the pending events are
/// processed before returning; without it, the event is queued behind the
/// events already pending and delivered by the event loop.
void injectKey(const KeyStroke &stroke, bool press, bool wait);

/// Press and release of `stroke`.
void injectKeyClick(const KeyStroke &stroke, bool wait);

/// The key stroke that types `c`, with Shift for capital letters; Tab, line
/// breaks, Backspace and Escape map to their keys. Empty when no key types it
/// (control characters, and characters outside Latin-1 other than the euro sign).
std::optional<KeyStroke> keyForCharacter(QChar c);

/// Delivers every key still queued by `injectKey(..., false)` now.
void flushQueuedKeys();

} // namespace fw::ui
