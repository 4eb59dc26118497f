#include "framework/ui/Dialogs.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace fw::ui {

namespace {

Dialogs *g_installed = nullptr;

bool haveWidgets()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

void toStandardError(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

int showBox(QMessageBox::Icon icon, const QString &caption, const QString &text, QMessageBox::StandardButtons buttons,
            QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, caption, text, buttons, QApplication::activeWindow());
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return box.exec();
}

} // namespace

void MessageBoxDialogs::inform(const QString &text)
{
    if (!haveWidgets())
        return toStandardError(text);
    showBox(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, QMessageBox::NoButton);
}

bool MessageBoxDialogs::warn(const QString &text)
{
    if (!haveWidgets()) {
        toStandardError(text);
        return false;
    }
    return showBox(QMessageBox::Warning, QStringLiteral("Aviso"), text, QMessageBox::Ok, QMessageBox::NoButton)
           == QMessageBox::Ok;
}

bool MessageBoxDialogs::confirm(const QString &text, const QString &caption)
{
    if (!haveWidgets()) {
        toStandardError(text);
        return false;
    }
    return showBox(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
           == QMessageBox::Yes;
}

void MessageBoxDialogs::error(const QString &text, const QString &caption)
{
    if (!haveWidgets())
        return toStandardError(text);
    showBox(QMessageBox::Warning, caption, text, QMessageBox::Ok, QMessageBox::NoButton);
}

Dialogs &dialogs()
{
    static MessageBoxDialogs plain;
    return g_installed != nullptr ? *g_installed : plain;
}

ScopedDialogs::ScopedDialogs(Dialogs &dialogs) : m_previous(g_installed)
{
    g_installed = &dialogs;
}

ScopedDialogs::~ScopedDialogs()
{
    g_installed = m_previous;
}

} // namespace fw::ui
