#include "lxDBComboBox.h"

#include "components/EnviarTeclas.h"

#include <QKeyEvent>

TlxDBComboBox::TlxDBComboBox(QWidget *parent) : fw::ui::DataComboBox(parent) {}

void TlxDBComboBox::keyDown(QKeyEvent *event)
{
    if (m_enterToTab && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // What was typed is kept before the focus moves on.
        updateRecord();
        EnviarTeclas(QStringLiteral("{TAB}"), false);
        ownerKeyDown(event);
        return;
    }
    fw::ui::DataComboBox::keyDown(event);
}

void TlxDBComboBox::focusInEvent(QFocusEvent *event)
{
    m_etiquetas.resaltar();
    fw::ui::DataComboBox::focusInEvent(event);
}

void TlxDBComboBox::focusOutEvent(QFocusEvent *event)
{
    m_etiquetas.restaurar();
    fw::ui::DataComboBox::focusOutEvent(event);
}
