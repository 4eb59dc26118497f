#pragma once
// Drives the module's windows from a script while an export call blocks the main
// thread in nested modal loops. It is a timer-driven state machine: timers fire
// inside those loops, and every action that may open a modal window (click, key,
// type, set) runs from a queued call, so the machine keeps ticking while the
// action blocks.
#include "AutopilotScript.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <vector>

class QWidget;

namespace norvik {

class Autopilot : public QObject
{
public:
    static constexpr int kTickMs = 20;
    static constexpr int kStepTimeoutMs = 10000;
    static constexpr int kWaitFileTimeoutMs = 60000;
    static constexpr int kReturnTimeoutMs = 30000;
    static constexpr int kFailureExitCode = 3;
    static constexpr int kNoReturnExitCode = 4;

    explicit Autopilot(std::vector<AutopilotCommand> script, QObject *parent = nullptr);

    /// Runs the script from its first command; call it just before each export call.
    void start();
    /// The export returned. A script not yet through ends the process with code 3.
    void callReturned();

    /// The window commands act on: the active modal window, else the active window.
    static QWidget *targetWindow();

private:
    enum class Outcome { Done, Wait };
    void tick();
    Outcome perform(const AutopilotCommand &command);
    Outcome performSet(const AutopilotCommand &command, QWidget *window);
    void finish();
    [[noreturn]] void fail(int line, const QString &reason) const;
    [[noreturn]] void overdue() const;

    std::vector<AutopilotCommand> m_script;
    std::size_t m_index = 0;
    QTimer m_ticker;
    QTimer m_overdue;
    QElapsedTimer m_stepClock;
    QString m_waitingFor; ///< what the current command waits for, reported on timeout
};

} // namespace norvik
