#include "WindowReporter.h"

#include <QEvent>
#include <QMessageBox>
#include <QWidget>

#include <cstdio>

namespace norvik {

void printLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool WindowReporter::eventFilter(QObject *watched, QEvent *event)
{
    // Spontaneous shows come from the window system (restoring a window), not
    // from the program showing it.
    if (event->type() != QEvent::Show || event->spontaneous() || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (!widget->isWindow())
        return false;
    const Qt::WindowType type = widget->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::Desktop)
        return false;
    printLine(QStringLiteral("window: ") + widget->windowTitle());
    if (auto *box = qobject_cast<QMessageBox *>(widget)) {
        QString text = box->text();
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\\n")).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
        printLine(QStringLiteral("message: ") + text);
    }
    return false;
}

} // namespace norvik
