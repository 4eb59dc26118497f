#pragma once
#include "framework/ui/DataEdit.h"

#include <QColor>
#include <QFont>
#include <QPointer>

/// The captions of a data-entry control (`Etiqueta1`, `Etiqueta2`) that turn
/// red and bold while the control has the focus. A caption that is destroyed
/// is forgotten; when neither is left, highlighting (`Etiqueta`) turns off.
class TlxEtiquetasFoco
{
public:
    explicit TlxEtiquetasFoco(QObject *owner) : m_owner(owner) {}

    bool activo() const { return m_activo; }
    void setActivo(bool v) { m_activo = v; }
    QWidget *etiqueta(int n) const { return m_etiquetas[n - 1].widget; }
    void setEtiqueta(int n, QWidget *caption);

    /// Remembers each caption's colour and font style, then makes it red and bold.
    void resaltar();
    /// Gives the captions back what they had.
    void restaurar();

private:
    struct Guardada
    {
        QPointer<QWidget> widget;
        QColor color;
        QFont font;
        bool guardada = false;
    };
    void olvidada(QObject *destruida);

    QObject *m_owner;
    bool m_activo = false;
    Guardada m_etiquetas[2];
};

/// Colour and font style of a widget as the focus found them.
struct TlxEstiloGuardado
{
    QColor color;
    bool bold = false, italic = false, underline = false, strikeOut = false;
    static TlxEstiloGuardado de(const QFont &font, const QColor &color);
    void aplicarEstilo(QFont &font) const;
};

/// The library's data-aware edit. While it has the focus its background turns
/// light yellow (unless `Tag` is 9999) and its text bold, and its captions
/// red and bold; Enter and Down move the focus on as Tab does, Up moves it
/// back; a full stop or comma typed into a floating-point field becomes the
/// user's decimal separator, and only one is allowed.
class TlxDBEdit : public fw::ui::DataEdit
{
    Q_OBJECT
    Q_PROPERTY(bool EnterToTab READ EnterToTab WRITE setEnterToTab)
    Q_PROPERTY(bool Etiqueta READ Etiqueta WRITE setEtiqueta)
    Q_PROPERTY(QWidget *Etiqueta1 READ Etiqueta1 WRITE setEtiqueta1)
    Q_PROPERTY(QWidget *Etiqueta2 READ Etiqueta2 WRITE setEtiqueta2)
    Q_PROPERTY(Qt::Alignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(int Tag READ Tag WRITE setTag)

public:
    explicit TlxDBEdit(QWidget *parent = nullptr);

    bool EnterToTab() const { return m_enterToTab; }
    void setEnterToTab(bool v) { m_enterToTab = v; }
    bool Etiqueta() const { return m_etiquetas.activo(); }
    void setEtiqueta(bool v) { m_etiquetas.setActivo(v); }
    QWidget *Etiqueta1() const { return m_etiquetas.etiqueta(1); }
    void setEtiqueta1(QWidget *caption) { m_etiquetas.setEtiqueta(1, caption); }
    QWidget *Etiqueta2() const { return m_etiquetas.etiqueta(2); }
    void setEtiqueta2(QWidget *caption) { m_etiquetas.setEtiqueta(2, caption); }
    int Tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    /// Background while focused.
    static QColor colorFoco() { return QColor(255, 251, 210); }

protected:
    void keyDown(QKeyEvent *event) override;
    void keyPress(QString &text) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool dentroDeRejilla() const;

    bool m_enterToTab = true;
    int m_tag = 0;
    TlxEtiquetasFoco m_etiquetas{this};
    TlxEstiloGuardado m_propio;
    bool m_guardado = false;
};
