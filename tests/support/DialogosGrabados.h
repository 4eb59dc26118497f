#pragma once
#include "framework/ui/Dialogs.h"

#include <QStringList>

namespace testsupport {

/// Installed for as long as it lives: every message the module would show is
/// recorded instead ("inform|text", "warn|text", "confirm|caption|text",
/// "error|caption|text") and every question gets `respuesta`.
class DialogosGrabados : public fw::ui::Dialogs
{
public:
    DialogosGrabados() : m_instalados(*this) {}

    void inform(const QString &text) override { vistos << QStringLiteral("inform|") + text; }
    bool warn(const QString &text) override
    {
        vistos << QStringLiteral("warn|") + text;
        return true;
    }
    bool confirm(const QString &text, const QString &caption) override
    {
        vistos << QStringLiteral("confirm|%1|%2").arg(caption, text);
        return respuesta;
    }
    void error(const QString &text, const QString &caption) override
    {
        vistos << QStringLiteral("error|%1|%2").arg(caption, text);
    }

    /// The texts of the warnings only, in order.
    QStringList avisos() const
    {
        QStringList out;
        for (const QString &v : vistos)
            if (v.startsWith(QLatin1String("warn|")))
                out << v.mid(5);
        return out;
    }

    QStringList vistos;
    bool respuesta = true;

private:
    fw::ui::ScopedDialogs m_instalados;
};

} // namespace testsupport
