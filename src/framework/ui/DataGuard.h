#pragma once
#include "framework/db/Error.h"
#include "framework/ui/Guard.h"

#include <utility>

namespace fw::ui {

/// Runs a handler of a data-aware control: a data-set step cancelled with
/// fw::Abort ends it silently, any other error goes to the guard's policy.
template <typename F>
void runDataStep(F &&f) noexcept
{
    runGuarded([&] {
        try {
            std::forward<F>(f)();
        } catch (const fw::Abort &) {
        }
    });
}

/// `guarded` for data-aware controls: fw::Abort passes quietly.
template <typename F>
auto guardedData(F f)
{
    return [f = std::move(f)](auto &&...args) noexcept {
        runDataStep([&] { f(std::forward<decltype(args)>(args)...); });
    };
}

} // namespace fw::ui
