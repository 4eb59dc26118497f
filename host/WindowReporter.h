#pragma once
// Reports every top-level window of the process as it is shown, so a caller of
// norvik-host can follow what the module puts on screen.
#include <QObject>
#include <QString>

namespace norvik {

/// Writes one line to stdout in UTF-8 and flushes it at once, so a reader sees
/// it even while the process is blocked in a modal window or killed.
void printLine(const QString &line);

/// Application-wide event filter: "window: <caption>" when a window is shown
/// (popups and tooltips excluded), and "message: <text>" for a message box,
/// its line breaks written as \n.
class WindowReporter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace norvik
