#include "lxBoton.h"

#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kMargin = 4;
const QColor kDisabledText(128, 128, 128);
} // namespace

TlxBoton::TlxBoton(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    // In a layout it takes the height of its picture and caption, as a push button does.
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    m_color = palette().color(QPalette::Button);
    resize(100, 23);
    changed();
}

TlxBoton::~TlxBoton() = default;

void TlxBoton::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    applyAutoSize();
    changed();
}

void TlxBoton::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    changed();
}

void TlxBoton::setLayout(int layout)
{
    m_layout = layout;
    applyAutoSize();
    changed();
}

void TlxBoton::setGlyph(const QPixmap &glyph)
{
    m_glyph = glyph;
    // The bottom-left pixel is the transparent colour of an image without its own alpha.
    if (!m_glyph.isNull() && !m_glyph.hasAlphaChannel()) {
        const QImage image = m_glyph.toImage();
        const QColor transparent = image.pixelColor(0, image.height() - 1);
        m_glyph.setMask(m_glyph.createMaskFromColor(transparent, Qt::MaskInColor));
    }
    m_numGlyphs = glyph.height() > 0 ? glyph.width() / glyph.height() : 0;
    applyAutoSize();
    changed();
}

void TlxBoton::setNumGlyphs(int count)
{
    m_numGlyphs = count;
    applyAutoSize();
    changed();
}

void TlxBoton::setStyle(int style)
{
    m_style = style;
    if (style == bsModern)
        m_alignment = Qt::AlignHCenter;
    updateGeometry();
    changed();
}

void TlxBoton::setFlat(bool flat)
{
    m_flat = flat;
    changed();
}

void TlxBoton::setTransparent(bool transparent)
{
    m_transparent = transparent;
    changed();
}

void TlxBoton::setDown(bool down)
{
    if (down == m_down)
        return;
    m_down = down;
    if (down && m_groupIndex != 0)
        raiseOthersInGroup();
    changed();
}

void TlxBoton::raiseOthersInGroup()
{
    if (!parentWidget())
        return;
    const auto siblings = parentWidget()->findChildren<TlxBoton *>(Qt::FindDirectChildrenOnly);
    for (TlxBoton *other : siblings) {
        if (other != this && other->m_groupIndex == m_groupIndex && other->m_down) {
            other->m_down = false;
            other->changed();
        }
    }
}

void TlxBoton::setGroupIndex(int index)
{
    m_groupIndex = index;
    if (m_down && index != 0)
        raiseOthersInGroup();
    changed();
}

void TlxBoton::setAllowAllUp(bool allow)
{
    m_allowAllUp = allow;
    changed();
}

void TlxBoton::setColorWhenDown(const QColor &color)
{
    m_colorWhenDown = color;
    changed();
}

void TlxBoton::setLightColor(const QColor &color)
{
    m_lightColor = color;
    changed();
}

void TlxBoton::setShadowColor(const QColor &color)
{
    m_shadowColor = color;
    changed();
}

void TlxBoton::setColor(const QColor &color)
{
    m_color = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Button, color);
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
    changed();
}

void TlxBoton::setWordWrap(bool wrap)
{
    m_wordWrap = wrap;
    applyAutoSize();
    changed();
}

void TlxBoton::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    applyAutoSize();
    changed();
}

void TlxBoton::setControl(QObject *control)
{
    if (!control) {
        Clear();
        return;
    }
    m_control = control;
}

void TlxBoton::SetParametros(const QString &titulo, bool activo, const QString &bufferTeclas,
                             QObject *controlAsociado)
{
    setCaption(titulo);
    setEnabled(activo);
    setVisible(activo);
    m_teclas = bufferTeclas;
    setControl(controlAsociado);
}

void TlxBoton::Clear()
{
    setCaption(QString());
    setEnabled(false);
    m_teclas.clear();
    m_control = nullptr;
}

void TlxBoton::Click()
{
    if (!m_teclas.isEmpty() && m_control) {
        if (auto *target = qobject_cast<QWidget *>(m_control.data())) {
            target->setFocus(Qt::OtherFocusReason);
            EnviarTeclas(m_teclas, true);
        }
    }
    if (QAction *a = action())
        a->trigger();
    emit clicked();
}

void TlxBoton::setAction(QAction *action)
{
    delete m_actionLink;
    m_actionLink = action ? new TlxBotonActionLink(this, action) : nullptr;
}

QAction *TlxBoton::action() const
{
    return m_actionLink ? m_actionLink->action() : nullptr;
}

int TlxBoton::effectiveStyle() const
{
    // Too few colours for the gradient: the plain style instead.
    if (m_style == bsModern && depth() <= 8)
        return bsNormal;
    return m_style;
}

QColor TlxBoton::backgroundColor() const
{
    return m_down && m_colorWhenDown.isValid() ? m_colorWhenDown : m_color;
}

QColor TlxBoton::textColor() const
{
    return isEnabled() ? palette().color(QPalette::ButtonText) : kDisabledText;
}

QPixmap TlxBoton::glyphFrame() const
{
    if (m_glyph.isNull())
        return {};
    const int frames = qMax(1, m_numGlyphs);
    const int w = m_glyph.width() / frames;
    const int frame = (!isEnabled() && frames >= 2) ? 1 : 0;
    return m_glyph.copy(frame * w, 0, w, m_glyph.height());
}

void TlxBoton::changed()
{
    // What an observer reading the screen sees: the colours really painted.
    QColor background = backgroundColor();
    if (m_transparent && parentWidget())
        background = parentWidget()->palette().color(parentWidget()->backgroundRole());
    setProperty("paintedBackgroundColor", background);
    setProperty("paintedTextColor", textColor());
    update();
}

TlxBoton::Contenido TlxBoton::medirContenido(const QFont &font, const QRect &area) const
{
    const QFontMetrics fm(font);
    const QPixmap g = glyphFrame();
    Contenido c;
    c.textFlags = m_wordWrap ? Qt::TextWordWrap : Qt::TextSingleLine;
    c.text = m_caption.isEmpty() ? QSize() : fm.boundingRect(area, c.textFlags, m_caption).size();
    c.gap = (!g.isNull() && !m_caption.isEmpty()) ? fm.horizontalAdvance(QLatin1Char(' ')) : 0;
    c.glyph = g.size();
    if (m_layout == blGlyphLeft || m_layout == blGlyphRight)
        c.total = QSize(c.text.width() + c.gap + c.glyph.width(), qMax(c.text.height(), c.glyph.height()));
    else
        c.total = QSize(qMax(c.text.width(), c.glyph.width()), c.text.height() + c.gap + c.glyph.height());
    return c;
}

QSize TlxBoton::sizeHint() const
{
    // The caption as wide as it gets: bold while down in the Encarta style.
    QFont f = font();
    if (m_style == bsEncarta)
        f.setBold(true);
    const QSize content = medirContenido(f, QRect(0, 0, 10000, 10000)).total;
    // A button with neither caption nor image still keeps a clickable height.
    const int minimo = QFontMetrics(font()).height();
    return QSize(qMax(content.width(), minimo) + 2 * kMargin, qMax(content.height(), minimo) + 2 * kMargin);
}

QSize TlxBoton::minimumSizeHint() const { return sizeHint(); }

void TlxBoton::applyAutoSize()
{
    // Layouts read the size hint again; an auto-sized button also resizes itself.
    updateGeometry();
    if (!m_autoSize)
        return;
    const int glyphWidth = glyphFrame().width();
    const int wrapWidth = m_wordWrap ? qMax(1, width() - 2 * kMargin - glyphWidth) : 10000;
    const QSize content = medirContenido(font(), QRect(0, 0, wrapWidth, 10000)).total;
    const QRect old = geometry();
    const QSize wanted(content.width() + 2 * kMargin, content.height() + 2 * kMargin);
    // A right-aligned button grows to the left.
    const int x = (m_alignment & Qt::AlignRight) ? old.right() + 1 - wanted.width() : old.x();
    setGeometry(x, old.y(), wanted.width(), wanted.height());
}

void TlxBoton::paintEvent(QPaintEvent *)
{
    if (!isVisible())
        return;
    QPainter p(this);
    const int style = effectiveStyle();
    const QRect r = rect();
    const QColor bg = backgroundColor();

    if (!m_transparent) {
        if (style == bsModern) {
            // Light to background over the top quarter, then back to light at the bottom.
            const int quarter = qMax(1, r.height() / 4);
            auto bands = [&](int top, int height, const QColor &from, const QColor &to) {
                constexpr int kBands = 32;
                for (int i = 0; i < kBands; ++i) {
                    const int y0 = top + height * i / kBands;
                    const int y1 = top + height * (i + 1) / kBands;
                    if (y1 <= y0)
                        continue;
                    const double t = kBands > 1 ? double(i) / (kBands - 1) : 0.0;
                    const QColor c = QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * t,
                                                      from.greenF() + (to.greenF() - from.greenF()) * t,
                                                      from.blueF() + (to.blueF() - from.blueF()) * t);
                    p.fillRect(QRect(r.left(), y0, r.width(), y1 - y0), c);
                }
            };
            bands(r.top(), quarter, m_lightColor, bg);
            bands(r.top() + quarter, r.height() - quarter, bg, m_lightColor);
            p.setPen(m_down ? m_shadowColor : bg);
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(1, 1, -2, -2));
            p.setPen(m_shadowColor);
            p.setRenderHint(QPainter::Antialiasing);
            p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
            p.setRenderHint(QPainter::Antialiasing, false);
        } else {
            p.fillRect(r, bg);
        }
    }

    if (style != bsModern && isEnabled() && (!m_flat || m_mouseInside || m_down)) {
        const QColor topLeft = m_down ? m_shadowColor : m_lightColor;
        const QColor bottomRight = m_down ? m_lightColor : m_shadowColor;
        p.setPen(topLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }

    QFont f = font();
    if (style == bsEncarta && m_down)
        f.setBold(true);
    p.setFont(f);
    const QPixmap g = glyphFrame();
    const QRect area = r.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const Contenido medida = medirContenido(f, area);
    const int textFlags = medida.textFlags;
    const QSize text = medida.text;
    const int gap = medida.gap;
    const QSize content = medida.total;
    int x = area.left();
    if (m_alignment & Qt::AlignRight)
        x = area.right() + 1 - content.width();
    else if (m_alignment & Qt::AlignHCenter)
        x = area.left() + (area.width() - content.width()) / 2;
    int y = area.top() + (area.height() - content.height()) / 2;
    if (m_down && (style == bsNormal || style == bsModern)) {
        ++x;
        ++y;
    }
    QRect textRect;
    QPoint glyphAt;
    switch (m_layout) {
    case blGlyphRight:
        textRect = QRect(x, y + (content.height() - text.height()) / 2, text.width(), text.height());
        glyphAt = QPoint(x + text.width() + gap, y + (content.height() - g.height()) / 2);
        break;
    case blGlyphTop:
        glyphAt = QPoint(x + (content.width() - g.width()) / 2, y);
        textRect = QRect(x + (content.width() - text.width()) / 2, y + g.height() + gap, text.width(), text.height());
        break;
    case blGlyphBottom:
        textRect = QRect(x + (content.width() - text.width()) / 2, y, text.width(), text.height());
        glyphAt = QPoint(x + (content.width() - g.width()) / 2, y + text.height() + gap);
        break;
    default:
        glyphAt = QPoint(x, y + (content.height() - g.height()) / 2);
        textRect = QRect(x + g.width() + gap, y + (content.height() - text.height()) / 2, text.width(), text.height());
        break;
    }
    if (!g.isNull())
        p.drawPixmap(glyphAt, g);
    if (!m_caption.isEmpty()) {
        p.setPen(textColor());
        p.drawText(textRect, textFlags | Qt::AlignLeft | Qt::AlignTop, m_caption);
    }
}

void TlxBoton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    m_pressed = true;
    if (m_groupIndex == 0 || !m_down)
        setDown(true);
    else if (m_allowAllUp)
        setDown(false);
}

void TlxBoton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (m_groupIndex == 0)
        setDown(false);
    if (rect().contains(event->position().toPoint()))
        Click();
}

void TlxBoton::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
    emit doubleClicked();
}

void TlxBoton::enterEvent(QEnterEvent *event)
{
    m_mouseInside = true;
    emit mouseEnter();
    changed();
    QWidget::enterEvent(event);
}

void TlxBoton::leaveEvent(QEvent *event)
{
    m_mouseInside = false;
    emit mouseExit();
    changed();
    QWidget::leaveEvent(event);
}

void TlxBoton::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key(), event->modifiers());
    if (!event->text().isEmpty())
        emit keyPress(event->text());
    QWidget::keyPressEvent(event);
}

void TlxBoton::keyReleaseEvent(QKeyEvent *event)
{
    emit keyUp(event->key(), event->modifiers());
    QWidget::keyReleaseEvent(event);
}

void TlxBoton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::PaletteChange)
        changed();
    if (event->type() == QEvent::FontChange)
        applyAutoSize();
    QWidget::changeEvent(event);
}

// ---------------------------------------------------------------------------
// TlxBotonActionLink

TlxBotonActionLink::TlxBotonActionLink(TlxBoton *client, QAction *action)
    : QObject(client), m_client(client), m_action(action), m_checked(action->isChecked()),
      m_groupIndex(action->property("GroupIndex").toInt())
{
    if (m_client->Glyph().isNull() && !action->icon().isNull()) {
        const QList<QSize> sizes = action->icon().availableSizes();
        m_client->setGlyph(action->icon().pixmap(sizes.isEmpty() ? QSize(16, 16) : sizes.first()));
    }
    actionChanged();
    connect(action, &QAction::changed, this, &TlxBotonActionLink::actionChanged);
}

bool TlxBotonActionLink::IsCheckedLinked() const
{
    return m_client->GroupIndex() != 0 && m_client->AllowAllUp() && m_client->Down() == m_checked;
}

bool TlxBotonActionLink::IsGroupIndexLinked() const
{
    return m_client->GroupIndex() == m_groupIndex;
}

void TlxBotonActionLink::SetChecked(bool value)
{
    if (IsCheckedLinked())
        m_client->setDown(value);
    m_checked = value;
}

void TlxBotonActionLink::SetGroupIndex(int value)
{
    if (IsGroupIndexLinked())
        m_client->setGroupIndex(value);
    m_groupIndex = value;
}

void TlxBotonActionLink::actionChanged()
{
    if (!m_action)
        return;
    m_client->setCaption(m_action->text());
    m_client->setEnabled(m_action->isEnabled());
    // A button without a parent would become a window of its own if shown here.
    if (m_client->parentWidget() || !m_action->isVisible())
        m_client->setVisible(m_action->isVisible());
    m_client->setToolTip(m_action->toolTip());
    if (m_action->isChecked() != m_checked)
        SetChecked(m_action->isChecked());
    const int group = m_action->property("GroupIndex").toInt();
    if (group != m_groupIndex)
        SetGroupIndex(group);
}
