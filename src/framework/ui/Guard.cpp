#include "Guard.h"

#include "framework/base/Error.h"
#include "framework/ui/Dialogs.h"


#include <stdexcept>

namespace fw::ui {

namespace {
ErrorPolicy g_policy = ErrorPolicy::ShowMessage;
}

ErrorPolicy errorPolicy() { return g_policy; }

ScopedErrorPolicy::ScopedErrorPolicy(ErrorPolicy policy) : m_previous(g_policy) { g_policy = policy; }
ScopedErrorPolicy::~ScopedErrorPolicy() { g_policy = m_previous; }

QString errorText(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Error desconocido");
    }
}

void handleCurrentError() noexcept
{
    try {
        const std::exception_ptr error = std::current_exception();
        if (!error || g_policy == ErrorPolicy::Discard)
            return;
        try {
            std::rethrow_exception(error);
        } catch (const fw::Abort &) {
            return; // a step cancelled on purpose: no message
        } catch (...) {
        }
        dialogs().inform(errorText(error));
    } catch (...) {
    }
}

} // namespace fw::ui
