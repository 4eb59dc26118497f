#pragma once
#include "framework/ui/Guard.h"

#include <utility>

namespace fw::ui {

/// Runs a handler of a data-aware control. The guard already lets a data-set
/// step cancelled with fw::Abort end silently; these names say so at the call.
template <typename F>
void runDataStep(F &&f) noexcept
{
    runGuarded(std::forward<F>(f));
}

template <typename F>
auto guardedData(F f)
{
    return guarded(std::move(f));
}

} // namespace fw::ui
