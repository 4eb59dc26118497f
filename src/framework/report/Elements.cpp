#include "framework/report/Elements.h"

#include "framework/base/PictureFormat.h"
#include "framework/report/Cursor.h"
#include "framework/report/ValueText.h"
#include "framework/report/RenderContext.h"
#include "framework/report/Report.h"

#include <algorithm>

namespace fw::report {

int RenderContext::requireField(Cursor *cursor, const QString &field, const QString &element) const
{
    if (!cursor)
        throw ReportError(QStringLiteral("El elemento %1 del informe no tiene datos de los que leer %2")
                              .arg(element, field));
    const int index = cursor->fieldIndex(field);
    if (index < 0)
        throw ReportError(QStringLiteral("El elemento %1 del informe lee el campo %2, que no existe")
                              .arg(element, field));
    return index;
}

Element::Element(Band *band, const QString &name) : QObject(band)
{
    setObjectName(name);
    band->m_elements.push_back(this);
}

Band *Element::band() const { return static_cast<Band *>(parent()); }

void Element::prepare(RenderContext &) {}

// --- text elements -------------------------------------------------------------

void TextElement::prepare(RenderContext &ctx) { m_fontIndex = ctx.document().addFont(m_font); }

void TextElement::emitText(Page &page, const QRectF &rect, const QString &text) const
{
    if (text.isEmpty())
        return;
    page.items.emplace_back(TextItem{rect, text, m_fontIndex, m_color.rgba(), int(m_alignment)});
}

Label::Label(Band *band, const QString &name, const QString &text) : TextElement(band, name), m_text(text) {}

void Label::render(RenderContext &, Page &page, const QPointF &origin)
{
    emitText(page, geometry().translated(origin), m_text);
}

DataField::DataField(Band *band, const QString &name, const QString &field)
    : TextElement(band, name), m_field(field)
{
}

void DataField::prepare(RenderContext &ctx)
{
    TextElement::prepare(ctx);
    m_index = ctx.requireField(ctx.resolveCursor(m_cursor), m_field, objectName());
}

void DataField::render(RenderContext &ctx, Page &page, const QPointF &origin)
{
    Cursor *c = ctx.cursorFor(m_cursor);
    const QString text = m_mask.isEmpty() ? c->displayText(m_index)
                                          : formatValue(c->fieldKind(m_index), c->value(m_index), m_mask);
    emitText(page, geometry().translated(origin), text);
}

void DataField::mainCursorFields(std::vector<int> &fields) const
{
    if (!m_cursor)
        fields.push_back(m_index);
}

SumField::SumField(Band *band, const QString &name, const QString &field) : TextElement(band, name), m_field(field)
{
}

void SumField::prepare(RenderContext &ctx)
{
    TextElement::prepare(ctx);
    m_index = ctx.requireField(ctx.resolveCursor(m_cursor), m_field, objectName());
    m_sum = 0;
}

void SumField::render(RenderContext &, Page &page, const QPointF &origin)
{
    emitText(page, geometry().translated(origin), formatNumber(m_sum, m_mask));
}

void SumField::recordPrinted(RenderContext &ctx)
{
    const QVariant v = ctx.cursorFor(m_cursor)->value(m_index);
    if (!v.isNull())
        m_sum += v.toDouble();
}

void SumField::bandPrinted()
{
    if (m_resetAfterPrint)
        m_sum = 0;
}

PrintDate::PrintDate(Band *band, const QString &name, const QString &prefix)
    : TextElement(band, name), m_prefix(prefix)
{
}

void PrintDate::render(RenderContext &ctx, Page &page, const QPointF &origin)
{
    emitText(page, geometry().translated(origin), m_prefix + fw::formatDateTime(m_mask, ctx.printDate()));
}

PageNumber::PageNumber(Band *band, const QString &name, const QString &prefix)
    : TextElement(band, name), m_prefix(prefix)
{
}

void PageNumber::render(RenderContext &ctx, Page &page, const QPointF &origin)
{
    emitText(page, geometry().translated(origin), m_prefix + QString::number(ctx.pageNumber()));
}

Memo::Memo(Band *band, const QString &name) : TextElement(band, name) {}

double Memo::lineHeight(const QFont &font)
{
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : 10.0;
    return points * 25.4 / 72.0 * 1.25;
}

double Memo::extent(RenderContext &) const
{
    return geometry().top() + std::max(geometry().height(), m_lines.size() * lineHeight(font()));
}

void Memo::render(RenderContext &, Page &page, const QPointF &origin)
{
    const double step = lineHeight(font());
    QRectF line(geometry().left() + origin.x(), geometry().top() + origin.y(), geometry().width(), step);
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    for (const QString &text : m_lines) {
        // Each line is its own text run, so exports keep the lines apart.
        if (!text.isEmpty())
            page.items.emplace_back(TextItem{line, text, fontIndex(), color().rgba(), int(horizontal | Qt::AlignTop)});
        line.translate(0, step);
    }
}

// --- graphics ------------------------------------------------------------------

Image::Image(Band *band, const QString &name) : Element(band, name) {}

void Image::prepare(RenderContext &ctx)
{
    m_lastBytes.clear();
    m_lastImage = -1;
    m_index = -1;
    if (!m_field.isEmpty())
        m_index = ctx.requireField(ctx.resolveCursor(m_cursor), m_field, objectName());
    else if (!m_picture.isNull())
        m_lastImage = ctx.document().addImage(m_picture);
}

void Image::render(RenderContext &ctx, Page &page, const QPointF &origin)
{
    int image = m_lastImage;
    if (m_index >= 0) {
        const QByteArray bytes = ctx.cursorFor(m_cursor)->value(m_index).toByteArray();
        if (bytes.isEmpty())
            return;
        if (m_lastImage < 0 || bytes != m_lastBytes) {
            QImage decoded;
            if (!decoded.loadFromData(bytes))
                return; // not a picture this engine can read: the box stays empty
            m_lastBytes = bytes;
            m_lastImage = ctx.document().addImage(decoded);
        }
        image = m_lastImage;
    }
    if (image < 0)
        return;
    QRectF box = geometry().translated(origin);
    if (!m_stretch) {
        const QSizeF size = QSizeF(ctx.document().images[image].size()).scaled(box.size(), Qt::KeepAspectRatio);
        box = QRectF(box.center() - QPointF(size.width() / 2, size.height() / 2), size);
    }
    page.items.emplace_back(ImageItem{box, image});
}

void Image::mainCursorFields(std::vector<int> &fields) const
{
    if (!m_cursor && m_index >= 0)
        fields.push_back(m_index);
}

Line::Line(Band *band, const QString &name, Qt::Orientation orientation)
    : Element(band, name), m_orientation(orientation)
{
}

void Line::render(RenderContext &, Page &page, const QPointF &origin)
{
    if (m_style == PenStyle::None)
        return;
    const QRectF box = geometry().translated(origin);
    const QPointF c = box.center();
    const LineItem item = m_orientation == Qt::Horizontal
        ? LineItem{QPointF(box.left(), c.y()), QPointF(box.right(), c.y()), m_width, m_color.rgba(), m_style}
        : LineItem{QPointF(c.x(), box.top()), QPointF(c.x(), box.bottom()), m_width, m_color.rgba(), m_style};
    page.items.emplace_back(item);
}

Rectangle::Rectangle(Band *band, const QString &name) : Element(band, name) {}

void Rectangle::render(RenderContext &, Page &page, const QPointF &origin)
{
    page.items.emplace_back(RectItem{geometry().translated(origin), m_width, m_color.rgba(), m_style,
                                     m_fill.isValid(), m_fill.isValid() ? m_fill.rgba() : 0xffffffff});
}

} // namespace fw::report
