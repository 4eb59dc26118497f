#include "framework/ui/WaitCursor.h"

#include <QApplication>
#include <QPointer>

namespace fw::ui {

namespace {

// The application whose override stack holds our wait cursor; null when none does.
QPointer<QCoreApplication> g_shownOn;
bool g_shown = false;

QApplication *widgetApplication()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance());
}

} // namespace

WaitCursor::WaitCursor()
{
    QApplication *app = widgetApplication();
    if (app == nullptr)
        return;
    // Qt's override stack is pushed at most once, so one restore always clears it.
    if (g_shown && g_shownOn == app)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    g_shown = true;
    g_shownOn = app;
}

WaitCursor::~WaitCursor()
{
    restore();
}

void WaitCursor::restore() noexcept
{
    if (!g_shown)
        return;
    g_shown = false;
    if (g_shownOn != nullptr && g_shownOn == widgetApplication())
        QApplication::restoreOverrideCursor();
    g_shownOn = nullptr;
}

} // namespace fw::ui
