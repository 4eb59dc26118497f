#include "AutopilotScript.h"

#include <QKeySequence>
#include <QStringList>

namespace norvik {

namespace {

QStringList tokenize(const QString &line, int number)
{
    QStringList tokens;
    int i = 0;
    const int n = int(line.size());
    while (i < n) {
        if (line[i].isSpace()) {
            ++i;
            continue;
        }
        QString token;
        if (line[i] == QLatin1Char('"')) {
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar c = line[i++];
                if (c == QLatin1Char('"')) {
                    closed = true;
                    break;
                }
                if (c == QLatin1Char('\\') && i < n) {
                    const QChar e = line[i];
                    if (e == QLatin1Char('"') || e == QLatin1Char('\\')) {
                        token += e;
                        ++i;
                    } else if (e == QLatin1Char('n')) {
                        token += QLatin1Char('\n');
                        ++i;
                    } else {
                        // Any other backslash is literal, so Windows-style paths read as written.
                        token += c;
                    }
                    continue;
                }
                token += c;
            }
            if (!closed)
                throw AutopilotSyntaxError(number, QStringLiteral("unterminated string"));
        } else {
            while (i < n && !line[i].isSpace())
                token += line[i++];
        }
        tokens << token;
    }
    return tokens;
}

} // namespace

std::vector<AutopilotCommand> parseAutopilotScript(const QString &text)
{
    using Kind = AutopilotCommand::Kind;
    struct Verb
    {
        const char *name;
        Kind kind;
        int arguments;
    };
    static const Verb verbs[] = {
        {"window", Kind::Window, 1},         {"click", Kind::Click, 1},    {"click-text", Kind::ClickText, 1},
        {"key", Kind::Key, 1},               {"type", Kind::Type, 1},      {"set", Kind::Set, 2},
        {"expect-text", Kind::ExpectText, 2}, {"dump", Kind::Dump, 1},      {"screenshot", Kind::Screenshot, 1},
        {"sleep", Kind::Sleep, 1},           {"double-click", Kind::DoubleClick, 1},
        {"wait-file", Kind::WaitFile, 1},
    };

    std::vector<AutopilotCommand> script;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const int number = i + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList tokens = tokenize(line, number);
        const Verb *verb = nullptr;
        for (const Verb &v : verbs)
            if (tokens[0] == QLatin1String(v.name))
                verb = &v;
        if (!verb)
            throw AutopilotSyntaxError(number, QStringLiteral("unknown command '%1'").arg(tokens[0]));
        if (tokens.size() - 1 != verb->arguments)
            throw AutopilotSyntaxError(number, QStringLiteral("%1 takes %2 argument(s), got %3")
                                                   .arg(tokens[0])
                                                   .arg(verb->arguments)
                                                   .arg(tokens.size() - 1));
        AutopilotCommand c;
        c.kind = verb->kind;
        c.line = number;
        c.target = tokens[1];
        if (verb->arguments > 1)
            c.value = tokens[2];
        if (c.kind == Kind::Sleep) {
            bool ok = false;
            c.milliseconds = c.target.toInt(&ok);
            if (!ok || c.milliseconds < 0)
                throw AutopilotSyntaxError(number, QStringLiteral("sleep needs milliseconds, got '%1'").arg(c.target));
        }
        if (c.kind == Kind::Key) {
            const QKeySequence sequence = QKeySequence::fromString(c.target, QKeySequence::PortableText);
            if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown || sequence[0].key() == 0)
                throw AutopilotSyntaxError(number, QStringLiteral("unknown key '%1'").arg(c.target));
            c.key = sequence[0];
        }
        if ((c.kind == Kind::Dump || c.kind == Kind::Screenshot || c.kind == Kind::WaitFile) && c.target.isEmpty())
            throw AutopilotSyntaxError(number, QStringLiteral("%1 needs a file name").arg(tokens[0]));
        script.push_back(c);
    }
    return script;
}

} // namespace norvik
