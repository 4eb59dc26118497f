#pragma once
// What the library's data sets share beyond their descriptors (lxDescriptores)
// and their XML packet (lxPaqueteXML).
#include "framework/base/Error.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Guard.h"
#include "framework/ui/WaitCursor.h"

#include <QScopeGuard>
#include <QString>

#include <optional>
#include <utility>

namespace fw {
class DataSet;
} // namespace fw

namespace lxcomun {

/// True when `ds` has a field of that name, ignoring case.
bool EsCampoValido(const fw::DataSet &ds, const QString &nombreCampo);

/// The SQL wait cursor of one open: shown at the before-open step, gone at the
/// after-open step, or as soon as a step of the open stops with an error (no
/// after-open step follows then).
class CursorApertura
{
public:
    void mostrar() { m_espera.emplace(); }
    void quitar() noexcept { m_espera.reset(); }

    /// Runs a step of the open; when it raises, the cursor goes and the error goes on.
    template <typename F>
    void paso(F &&f)
    {
        auto siFalla = qScopeGuard([this] { quitar(); });
        std::forward<F>(f)();
        siFalla.dismiss();
    }

private:
    std::optional<fw::ui::WaitCursor> m_espera;
};

/// Runs a step whose errors are for the user, not the caller: an error other
/// than a cancelled step (fw::Abort) is shown as `prefijo` and its text, after
/// `antesDeMostrar` has run, and the step then ends normally.
template <typename F, typename G>
void MostrarErrores(F &&paso, const QString &prefijo, G &&antesDeMostrar)
{
    try {
        std::forward<F>(paso)();
    } catch (const fw::Abort &) {
        throw;
    } catch (...) {
        // Any other error is shown here instead of reaching the caller.
        const QString texto = prefijo + fw::ui::errorText(std::current_exception());
        std::forward<G>(antesDeMostrar)();
        fw::ui::dialogs().inform(texto);
    }
}

} // namespace lxcomun
