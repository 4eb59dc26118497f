#include "components/lxIBStoredProc.h"

#include "framework/host/HostPaths.h"
#include "framework/ui/WaitCursor.h"

#include <QScopeGuard>

#include <exception>

TlxIBStoredProc::TlxIBStoredProc(QObject *AOwner) : fw::StoredProc(AOwner)
{
    setFetchSize(100);
}

TlxIBStoredProc::~TlxIBStoredProc() = default;

void TlxIBStoredProc::Preparar()
{
    std::exception_ptr errorCommit;
    try {
        if (fw::Transaction *t = transaction(); t != nullptr && t->active())
            t->commitRetaining();
    } catch (...) {
        // Whatever the commit raised waits until the prepare has run, then goes on to the caller.
        errorCommit = std::current_exception();
    }
    prepare();
    if (errorCommit)
        std::rethrow_exception(errorCommit);
}

void TlxIBStoredProc::Ejecutar()
{
    const fw::ui::WaitCursor espera;
    // Unprepared after every run, failed or not, before the cursor goes.
    const auto liberar = qScopeGuard([this] { unprepare(); });
    execProc();
    if (fw::Transaction *t = transaction(); t != nullptr && t->active())
        t->commitRetaining();
    fw::host::trimWorkingSet();
}
