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
    } catch (const fw::Error &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        // Something thrown that is not an exception class has no text of its own.
        return QStringLiteral("Error desconocido");
    }
}

namespace {
bool isAbort(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const fw::Abort &) {
        return true;
    } catch (...) {
        // Anything else is a real error.
        return false;
    }
}
} // namespace

void handleCurrentError() noexcept
{
    const std::exception_ptr error = std::current_exception();
    // A step cancelled on purpose (fw::Abort) ends without a message.
    if (!error || g_policy == ErrorPolicy::Discard || isAbort(error))
        return;
    try {
        dialogs().inform(errorText(error));
    } catch (...) {
        // A message that cannot be shown (an installed dialog that throws) is dropped: nothing may reach Qt.
    }
}

} // namespace fw::ui
