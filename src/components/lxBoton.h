#pragma once
#include "components/EnviarTeclas.h"

#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

class QAction;
class TlxBotonActionLink;

enum TlxBotonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TlxBotonStyle { bsNormal, bsEncarta, bsModern };

/// A button the library paints itself: caption and optional image in three
/// drawing styles, a flat look that shows its frame under the mouse, toggling in
/// groups, and a key string that a click types into another control. It never
/// takes the keyboard focus. The painted colours are published in the dynamic
/// properties `paintedTextColor` and `paintedBackgroundColor`.
class TlxBoton : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(QString text READ Caption WRITE setCaption)
    Q_PROPERTY(Qt::Alignment Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(int Layout READ Layout WRITE setLayout)
    Q_PROPERTY(QPixmap Glyph READ Glyph WRITE setGlyph)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(int Style READ Style WRITE setStyle)
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(bool Down READ Down WRITE setDown)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE setGroupIndex)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE setAllowAllUp)
    Q_PROPERTY(QColor ColorWhenDown READ ColorWhenDown WRITE setColorWhenDown)
    Q_PROPERTY(QColor LightColor READ LightColor WRITE setLightColor)
    Q_PROPERTY(QColor ShadowColor READ ShadowColor WRITE setShadowColor)
    Q_PROPERTY(QColor Color READ Color WRITE setColor)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE setWordWrap)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)
    Q_PROPERTY(QString Teclas READ Teclas WRITE setTeclas)

public:
    explicit TlxBoton(QWidget *parent = nullptr);
    ~TlxBoton() override;

    // The button's own Layout and Style are numbers; Qt's overloads stay usable.
    using QWidget::setLayout;
    using QWidget::setStyle;

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    Qt::Alignment Alignment() const { return m_alignment; }
    /// Horizontal placement: Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter.
    void setAlignment(Qt::Alignment alignment);
    int Layout() const { return m_layout; }
    void setLayout(int layout);
    QPixmap Glyph() const { return m_glyph; }
    /// Also sets NumGlyphs to width / height (0 for an image of height 0).
    void setGlyph(const QPixmap &glyph);
    int NumGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int count);
    int Style() const { return m_style; }
    /// bsModern also centres the content.
    void setStyle(int style);
    bool Flat() const { return m_flat; }
    void setFlat(bool flat);
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    bool Down() const { return m_down; }
    /// Going down in a group raises the other buttons of the same parent and group.
    void setDown(bool down);
    int GroupIndex() const { return m_groupIndex; }
    void setGroupIndex(int index);
    bool AllowAllUp() const { return m_allowAllUp; }
    void setAllowAllUp(bool allow);
    /// Invalid (the start value) means no colour of its own while down.
    QColor ColorWhenDown() const { return m_colorWhenDown; }
    void setColorWhenDown(const QColor &color);
    QColor LightColor() const { return m_lightColor; }
    void setLightColor(const QColor &color);
    QColor ShadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor &color);
    QColor Color() const { return m_color; }
    void setColor(const QColor &color);
    bool WordWrap() const { return m_wordWrap; }
    void setWordWrap(bool wrap);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);

    QString Teclas() const { return m_teclas; }
    void setTeclas(const QString &teclas) { m_teclas = teclas; }
    QObject *Control() const { return m_control; }
    /// Setting none runs Clear.
    void setControl(QObject *control);

    /// Caption, enabled and visible, key string and receiving control in one call.
    void SetParametros(const QString &titulo, bool activo, const QString &bufferTeclas, QObject *controlAsociado);
    /// Empty caption, disabled, no keys, no control.
    void Clear();
    /// Types Teclas into Control (which takes the focus) and then raises clicked().
    void Click();

    /// Follows the action: caption, enabled, visible, hint, image and checked state.
    void setAction(QAction *action);
    QAction *action() const;

    /// Whether the mouse is over the button now (the flat look draws its frame then).
    bool isMouseInside() const { return m_mouseInside; }

    /// The picture's frame and the caption on one line, placed by Layout, with
    /// the 4-pixel margins: what a layout gives the button.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void clicked();
    void doubleClicked();
    void mouseEnter();
    void mouseExit();
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void keyPress(const QString &text);
    void keyUp(int key, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    friend class TlxBotonActionLink;
    /// Where caption and picture need room, the caption laid out inside `area`.
    struct Contenido
    {
        QSize text;
        QSize glyph;
        int gap = 0; ///< one blank between caption and picture when there are both
        QSize total;
        int textFlags = 0;
    };
    Contenido medirContenido(const QFont &font, const QRect &area) const;
    int effectiveStyle() const;
    QColor backgroundColor() const;
    QColor textColor() const;
    QPixmap glyphFrame() const;
    void changed();
    void applyAutoSize();
    void raiseOthersInGroup();

    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    int m_layout = blGlyphLeft;
    QPixmap m_glyph;
    int m_numGlyphs = 0;
    int m_style = bsNormal;
    bool m_flat = false;
    bool m_transparent = false;
    bool m_down = false;
    int m_groupIndex = 0;
    bool m_allowAllUp = false;
    QColor m_colorWhenDown;
    QColor m_lightColor = Qt::white;
    QColor m_shadowColor = Qt::black;
    QColor m_color;
    bool m_wordWrap = false;
    bool m_autoSize = false;
    QString m_teclas;
    QPointer<QObject> m_control;
    bool m_mouseInside = false;
    bool m_pressed = false;
    TlxBotonActionLink *m_actionLink = nullptr;
};

/// Ties a button to a QAction. The action's checked state moves `Down` only for
/// a grouped button that allows all up and was in step with the action; a
/// group index held by the action (dynamic property "GroupIndex") moves
/// `GroupIndex` only while the two are equal.
class TlxBotonActionLink : public QObject
{
    Q_OBJECT
public:
    TlxBotonActionLink(TlxBoton *client, QAction *action);
    QAction *action() const { return m_action; }

    bool IsCheckedLinked() const;
    bool IsGroupIndexLinked() const;
    void SetChecked(bool value);
    void SetGroupIndex(int value);

private:
    void actionChanged();

    TlxBoton *m_client;
    QPointer<QAction> m_action;
    bool m_checked;
    int m_groupIndex;
};
