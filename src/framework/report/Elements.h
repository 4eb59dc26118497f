#pragma once
#include "framework/report/Document.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QRectF>
#include <QStringList>

#include <vector>

namespace fw::report {

class Band;
class Cursor;
class RenderContext;

/// Something printed on a band. Elements are created on a band, which owns them
/// (QObject parent) and prints them in creation order. The geometry is in
/// millimetres from the band's top-left corner (the left margin of the page).
class Element : public QObject
{
    Q_OBJECT
public:
    explicit Element(Band *band, const QString &name = {});

    Band *band() const;

    QRectF geometry() const { return m_geometry; }
    void setGeometry(const QRectF &mm) { m_geometry = mm; }
    void setGeometry(double left, double top, double width, double height)
    {
        m_geometry = QRectF(left, top, width, height);
    }
    bool isEnabled() const { return m_enabled; }
    /// A disabled element is not printed.
    void setEnabled(bool enabled) { m_enabled = enabled; }

    // What the generator calls; not for report definitions.
    virtual void prepare(RenderContext &ctx);
    /// How far down the band this element reaches for the current record (mm).
    virtual double extent(RenderContext &ctx) const { return m_geometry.bottom(); }
    virtual void render(RenderContext &ctx, Page &page, const QPointF &origin) = 0;
    /// Called once per record printed by the detail band.
    virtual void recordPrinted(RenderContext &ctx) {}
    /// Called after the element's band has been printed.
    virtual void bandPrinted() {}
    /// Field indexes of the report's own cursor that this element reads.
    virtual void mainCursorFields(std::vector<int> &fields) const {}

private:
    QRectF m_geometry;
    bool m_enabled = true;
};

/// Common ground of the elements that print text: font, colour and alignment.
class TextElement : public Element
{
    Q_OBJECT
public:
    using Element::Element;

    QFont font() const { return m_font; }
    void setFont(const QFont &font) { m_font = font; }
    QColor color() const { return m_color; }
    void setColor(const QColor &color) { m_color = color; }
    Qt::Alignment alignment() const { return m_alignment; }
    /// Horizontal (left, right, centre) and vertical (top, centre, bottom) alignment in the box.
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }

    void prepare(RenderContext &ctx) override;

protected:
    void emitText(Page &page, const QRectF &rect, const QString &text) const;
    int fontIndex() const { return m_fontIndex; }

private:
    QFont m_font = QFont(QStringLiteral("DejaVu Sans"), 8);
    QColor m_color = Qt::black;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
    int m_fontIndex = 0;
};

/// Fixed text, set before the report is generated.
class Label : public TextElement
{
    Q_OBJECT
public:
    explicit Label(Band *band, const QString &name = {}, const QString &text = {});
    QString text() const { return m_text; }
    void setText(const QString &text) { m_text = text; }
    void render(RenderContext &ctx, Page &page, const QPointF &origin) override;

private:
    QString m_text;
};

/// A field of the current record. Without a mask it prints the field's display
/// text, so the data set's own get-text handler applies; with a mask ("dd/mm/yy",
/// "#,##0", "#,##0.00") it formats the raw value. It reads the report's cursor
/// unless given another one (a company record, read at its current row).
class DataField : public TextElement
{
    Q_OBJECT
public:
    explicit DataField(Band *band, const QString &name = {}, const QString &field = {});
    QString field() const { return m_field; }
    void setField(const QString &field) { m_field = field; }
    QString mask() const { return m_mask; }
    void setMask(const QString &mask) { m_mask = mask; }
    /// Not owned; null means the report's cursor.
    void setCursor(Cursor *cursor) { m_cursor = cursor; }

    void prepare(RenderContext &ctx) override;
    void render(RenderContext &ctx, Page &page, const QPointF &origin) override;
    void mainCursorFields(std::vector<int> &fields) const override;

private:
    QString m_field;
    QString m_mask;
    Cursor *m_cursor = nullptr;
    int m_index = -1;
};

/// The running sum of a numeric field over the records printed by the detail band,
/// printed with a mask (default "#,##0.00"). It starts again from zero after its
/// own band has been printed, so in a group footer it sums one group; with
/// resetAfterPrint off (a summary) it sums the whole report.
class SumField : public TextElement
{
    Q_OBJECT
public:
    explicit SumField(Band *band, const QString &name = {}, const QString &field = {});
    QString field() const { return m_field; }
    void setField(const QString &field) { m_field = field; }
    QString mask() const { return m_mask; }
    void setMask(const QString &mask) { m_mask = mask; }
    bool resetAfterPrint() const { return m_resetAfterPrint; }
    void setResetAfterPrint(bool reset) { m_resetAfterPrint = reset; }
    void setCursor(Cursor *cursor) { m_cursor = cursor; }
    double sum() const { return m_sum; }

    void prepare(RenderContext &ctx) override;
    void render(RenderContext &ctx, Page &page, const QPointF &origin) override;
    void recordPrinted(RenderContext &ctx) override;
    void bandPrinted() override;

private:
    QString m_field;
    QString m_mask = QStringLiteral("#,##0.00");
    bool m_resetAfterPrint = true;
    Cursor *m_cursor = nullptr;
    int m_index = -1;
    double m_sum = 0;
};

/// The date (and time) the report was generated, after a prefix text.
class PrintDate : public TextElement
{
    Q_OBJECT
public:
    explicit PrintDate(Band *band, const QString &name = {}, const QString &prefix = {});
    QString prefix() const { return m_prefix; }
    void setPrefix(const QString &prefix) { m_prefix = prefix; }
    QString mask() const { return m_mask; }
    void setMask(const QString &mask) { m_mask = mask; }
    void render(RenderContext &ctx, Page &page, const QPointF &origin) override;

private:
    QString m_prefix;
    QString m_mask = QStringLiteral("dd/mm/yyyy");
};

/// The page number after a prefix text ("Pag. ").
class PageNumber : public TextElement
{
    Q_OBJECT
public:
    explicit PageNumber(Band *band, const QString &name = {}, const QString &prefix = {});
    QString prefix() const { return m_prefix; }
    void setPrefix(const QString &prefix) { m_prefix = prefix; }
    void render(RenderContext &ctx, Page &page, const QPointF &origin) override;

private:
    QString m_prefix;
};

/// Several lines of text, one under the other; the band grows to hold them all.
class Memo : public TextElement
{
    Q_OBJECT
public:
    explicit Memo(Band *band, const QString &name = {});
    QStringList lines() const { return m_lines; }
    void setLines(const QStringList &lines) { m_lines = lines; }
    /// Height of one line in millimetres for a font (the same rule everywhere).
    static double lineHeight(const QFont &font);

    double extent(RenderContext &ctx) const override;
    void render(RenderContext &ctx, Page &page, const QPointF &origin) override;

private:
    QStringList m_lines;
};

/// A picture, fixed or read from a blob field of the current record, stretched
/// into its box (or, with stretch off, scaled to fit and centred).
class Image : public Element
{
    Q_OBJECT
public:
    explicit Image(Band *band, const QString &name = {});
    void setPicture(const QImage &picture) { m_picture = picture; }
    QString field() const { return m_field; }
    void setField(const QString &field) { m_field = field; }
    void setCursor(Cursor *cursor) { m_cursor = cursor; }
    bool stretch() const { return m_stretch; }
    void setStretch(bool stretch) { m_stretch = stretch; }

    void prepare(RenderContext &ctx) override;
    void render(RenderContext &ctx, Page &page, const QPointF &origin) override;
    void mainCursorFields(std::vector<int> &fields) const override;

private:
    QImage m_picture;
    QString m_field;
    Cursor *m_cursor = nullptr;
    bool m_stretch = true;
    int m_index = -1;
    // The last picture read, so a logo printed on every page is decoded and stored once.
    QByteArray m_lastBytes;
    int m_lastImage = -1;
};

/// A horizontal or vertical line through the middle of its box.
class Line : public Element
{
    Q_OBJECT
public:
    explicit Line(Band *band, const QString &name = {}, Qt::Orientation orientation = Qt::Horizontal);
    Qt::Orientation orientation() const { return m_orientation; }
    void setOrientation(Qt::Orientation o) { m_orientation = o; }
    PenStyle style() const { return m_style; }
    void setStyle(PenStyle style) { m_style = style; }
    void setWidth(double mm) { m_width = mm; }
    void setColor(const QColor &color) { m_color = color; }
    void render(RenderContext &ctx, Page &page, const QPointF &origin) override;

private:
    Qt::Orientation m_orientation;
    PenStyle m_style = PenStyle::Solid;
    double m_width = 0.2;
    QColor m_color = Qt::black;
};

/// A rectangle drawn along its box, optionally filled.
class Rectangle : public Element
{
    Q_OBJECT
public:
    explicit Rectangle(Band *band, const QString &name = {});
    void setStyle(PenStyle style) { m_style = style; }
    void setWidth(double mm) { m_width = mm; }
    void setColor(const QColor &color) { m_color = color; }
    /// An invalid colour (the default) leaves the inside unpainted.
    void setFill(const QColor &color) { m_fill = color; }
    void render(RenderContext &ctx, Page &page, const QPointF &origin) override;

private:
    PenStyle m_style = PenStyle::Solid;
    double m_width = 0.2;
    QColor m_color = Qt::black;
    QColor m_fill;
};

} // namespace fw::report
