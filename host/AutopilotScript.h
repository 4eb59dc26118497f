#pragma once
// The autopilot's script: one command a line, blank lines and '#' comments
// ignored, arguments bare or double-quoted (with \" \\ and \n escapes; any other
// backslash is kept). Each command waits up to 10 s for its target in the active
// modal window (else the active window):
//   window "<caption>"            until that window is active, caption exact
//   click <objectName>            a button, action or custom widget, once visible and enabled
//   click-text "<text>"           a button by its text, '&' mnemonics ignored
//   double-click <objectName>     a list or grid on its current row, any other widget in its centre
//   key <name>                    a key by its Qt name: Return, Escape, F2, Shift+Tab...
//   type "<text>"                 key presses for each character, to the focused widget
//   set <objectName> "<value>"    line edit text, check box 0/1, radio button 1, combo box
//                                 item, date yyyy-mm-dd, tab index, spin box, text box
//   expect-text <objectName> "<text>"   until the component shows exactly that text
//   dump <file.json>              every named component of the window with its state
//                                 (a report preview also with the lines its pages read)
//   screenshot <file.png>
//   sleep <ms>
//   wait-file <file>              until that file exists (up to 60 s): the test says when to go on
#include <QKeyCombination>
#include <QString>

#include <stdexcept>
#include <vector>

namespace norvik {

struct AutopilotCommand
{
    enum class Kind { Window, Click, ClickText, DoubleClick, Key, Type, Set, ExpectText, Dump, Screenshot, Sleep, WaitFile };
    Kind kind = Kind::Sleep;
    int line = 0;       ///< line number in the script, from 1
    QString target;     ///< caption, objectName, text, file or key name
    QString value;      ///< set / expect-text: the value
    int milliseconds = 0;
    QKeyCombination key;
};

/// Thrown by the parser; `line()` is the script line at fault.
class AutopilotSyntaxError : public std::runtime_error
{
public:
    AutopilotSyntaxError(int line, const QString &reason)
        : std::runtime_error(reason.toStdString()), m_line(line), m_reason(reason) {}
    int line() const { return m_line; }
    const QString &reason() const { return m_reason; }

private:
    int m_line;
    QString m_reason;
};

std::vector<AutopilotCommand> parseAutopilotScript(const QString &text);

} // namespace norvik
