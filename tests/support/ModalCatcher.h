#pragma once
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

/// Closes every modal message box that opens while it lives and remembers
/// "title|text" of each, so tests can assert on what the user was shown.
class ModalCatcher
{
public:
    ModalCatcher()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                m_seen << box->windowTitle() + QLatin1Char('|') + box->text();
                box->done(QMessageBox::Ok);
            }
        });
        m_timer.start(10);
    }
    const QStringList &seen() const { return m_seen; }

private:
    QTimer m_timer;
    QStringList m_seen;
};
