#pragma once

namespace fw::ui {

/// Shows the application-wide SQL wait cursor for as long as it lives.
///
/// The cursor is one state, not a stack, as setting the application's cursor
/// is: a second guard while one lives changes nothing, and the first guard
/// that ends, or `restore()`, puts the normal cursor back even while another
/// guard still lives. Nothing happens without a QApplication, and a cursor
/// shown on an application that has since gone is gone with it.
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

    /// Puts the normal cursor back now: before a question to the user, after a commit.
    static void restore() noexcept;
};

} // namespace fw::ui
