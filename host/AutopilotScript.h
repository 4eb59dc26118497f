#pragma once
// The autopilot's script: one command a line, blank lines and '#' comments
// ignored, arguments bare or double-quoted (with \" \\ and \n escapes).
#include <QKeyCombination>
#include <QString>

#include <stdexcept>
#include <vector>

namespace norvik {

struct AutopilotCommand
{
    enum class Kind { Window, Click, ClickText, Key, Type, Set, ExpectText, Dump, Screenshot, Sleep };
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
