#pragma once
#include "framework/ui/DataGuard.h"

#include <QKeyEvent>
#include <QString>

#include <functional>

namespace fw::ui {

/// The key handling that the data-aware edit, drop-down and grid share: the
/// owner's key-down handler runs first (setting the key to 0 stops the
/// control's own handling), then the control's own `baseKeyDown()`; a typed
/// character passes `keyPress()`, which runs the owner's key-press handler. No
/// error of a key handler reaches Qt.
template <class Widget>
class KeyHooked : public Widget
{
public:
    using Widget::Widget;

    /// Key down: setting key to 0 stops the control's own handling.
    std::function<void(int &key, Qt::KeyboardModifiers modifiers)> onKeyDown;
    /// A character about to be typed: change it, or empty it to drop it.
    std::function<void(QString &text)> onKeyPress;

protected:
    /// Key down: the owner's handler, then the control's own handling.
    virtual void keyDown(QKeyEvent *event)
    {
        if (ownerKeyDown(event))
            baseKeyDown(event);
    }

    /// The control's own handling of a key, without the owner's handler.
    virtual void baseKeyDown(QKeyEvent *event) = 0;

    /// Runs only the owner's key-down handler; false when it consumed the key.
    bool ownerKeyDown(QKeyEvent *event)
    {
        if (!onKeyDown)
            return true;
        int key = event->key();
        onKeyDown(key, event->modifiers());
        return key != 0;
    }

    /// A character about to be typed; this runs the owner's handler.
    virtual void keyPress(QString &text)
    {
        if (onKeyPress)
            onKeyPress(text);
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        runDataStep([&] { keyDown(event); });
    }
};

} // namespace fw::ui
