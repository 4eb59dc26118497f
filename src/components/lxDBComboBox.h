#pragma once
#include "framework/ui/DataComboBox.h"
#include "lxDBEdit.h"

/// The library's data-aware drop-down: Enter moves the focus on as Tab does
/// (Up and Down keep moving through the list), and its captions turn red and
/// bold while it has the focus.
class TlxDBComboBox : public fw::ui::DataComboBox
{
    Q_OBJECT
    Q_PROPERTY(bool EnterToTab READ EnterToTab WRITE setEnterToTab)
    Q_PROPERTY(bool Etiqueta READ Etiqueta WRITE setEtiqueta)
    Q_PROPERTY(QWidget *Etiqueta1 READ Etiqueta1 WRITE setEtiqueta1)
    Q_PROPERTY(QWidget *Etiqueta2 READ Etiqueta2 WRITE setEtiqueta2)

public:
    explicit TlxDBComboBox(QWidget *parent = nullptr);

    bool EnterToTab() const { return m_enterToTab; }
    void setEnterToTab(bool v) { m_enterToTab = v; }
    bool Etiqueta() const { return m_etiquetas.activo(); }
    void setEtiqueta(bool v) { m_etiquetas.setActivo(v); }
    QWidget *Etiqueta1() const { return m_etiquetas.etiqueta(1); }
    void setEtiqueta1(QWidget *caption) { m_etiquetas.setEtiqueta(1, caption); }
    QWidget *Etiqueta2() const { return m_etiquetas.etiqueta(2); }
    void setEtiqueta2(QWidget *caption) { m_etiquetas.setEtiqueta(2, caption); }

protected:
    void keyDown(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool m_enterToTab = true;
    TlxEtiquetasFoco m_etiquetas{this};
};
