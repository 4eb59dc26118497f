#pragma once
#include <QString>

#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace fw::ui {

/// What happens to an error that escapes a window's handler. Qt must never see
/// an exception leave a slot or an event handler, so every handler runs through
/// `guarded`, which hands the error to the current policy.
enum class ErrorPolicy {
    ShowMessage, ///< a plain message box with the error's text (default)
    Discard,     ///< dropped without a message (while the module's main screen is open)
};

ErrorPolicy errorPolicy();

/// Sets the policy for as long as the object lives, then restores the previous one.
class ScopedErrorPolicy
{
public:
    explicit ScopedErrorPolicy(ErrorPolicy policy);
    ~ScopedErrorPolicy();
    ScopedErrorPolicy(const ScopedErrorPolicy &) = delete;
    ScopedErrorPolicy &operator=(const ScopedErrorPolicy &) = delete;

private:
    ErrorPolicy m_previous;
};

/// The text a user sees for an exception (fw::Error::message(), what(), or a generic text).
QString errorText(const std::exception_ptr &error);

/// Hands the current exception to the policy; fw::Abort (a step cancelled on
/// purpose) passes quietly. Call only inside a catch block.
void handleCurrentError() noexcept;

/// Runs `f` and never lets an exception out.
template <typename F>
void runGuarded(F &&f) noexcept
{
    try {
        std::forward<F>(f)();
    } catch (...) {
        // Every error of a handler goes to the policy: Qt must never see one.
        handleCurrentError();
    }
}

namespace detail {
// The choice between the two calls is made in a function template of its own:
// clang instantiates a discarded branch inside a nested lambda and rejects it.
template <typename F, typename... Args>
void callHandler(F &f, Args &&...args)
{
    if constexpr (std::is_invocable_v<F &, Args...>)
        f(std::forward<Args>(args)...);
    else
        f();
}
} // namespace detail

/// Wraps a handler for `QObject::connect` so that no exception leaves it. A
/// handler that takes no arguments may be connected to a signal that has some.
template <typename F>
auto guarded(F f)
{
    return [f = std::move(f)](auto &&...args) mutable noexcept {
        runGuarded([&] { detail::callHandler(f, std::forward<decltype(args)>(args)...); });
    };
}

} // namespace fw::ui
