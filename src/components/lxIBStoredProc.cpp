#include "components/lxIBStoredProc.h"

#include "components/lxDataSetComun.h"
#include "framework/host/HostPaths.h"

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
        errorCommit = std::current_exception();
    }
    prepare();
    if (errorCommit)
        std::rethrow_exception(errorCommit);
}

void TlxIBStoredProc::Ejecutar()
{
    lxcomun::MostrarCursorEspera();
    try {
        execProc();
        if (fw::Transaction *t = transaction(); t != nullptr && t->active())
            t->commitRetaining();
        fw::host::trimWorkingSet();
    } catch (...) {
        unprepare();
        lxcomun::RestaurarCursor();
        throw;
    }
    unprepare();
    lxcomun::RestaurarCursor();
}
