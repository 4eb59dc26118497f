#pragma once
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

/// Answers every modal message box that opens while it lives with `respuesta`
/// (the box's own button of that role is clicked) and remembers each box's text.
class ModalesAutomaticos
{
public:
    explicit ModalesAutomaticos(QMessageBox::StandardButton respuesta = QMessageBox::Ok) : m_respuesta(respuesta)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            m_textos << box->text();
            QAbstractButton *boton = box->button(m_respuesta);
            if (boton == nullptr)
                boton = box->buttons().value(0);
            if (boton != nullptr)
                boton->click();
            else
                box->done(0);
        });
        m_timer.start(10);
    }
    const QStringList &textos() const { return m_textos; }

private:
    QMessageBox::StandardButton m_respuesta;
    QTimer m_timer;
    QStringList m_textos;
};
