#include "framework/report/PagePainter.h"

#include <QFile>
#include <QPainter>
#include <QPaintDevice>
#include <QPdfWriter>
#include <QPrinter>

namespace fw::report {

namespace {

Qt::PenStyle qtStyle(PenStyle s)
{
    switch (s) {
    case PenStyle::Solid: return Qt::SolidLine;
    case PenStyle::Dot: return Qt::DotLine;
    case PenStyle::None: return Qt::NoPen;
    }
    return Qt::SolidLine;
}

QPen makePen(QRgb color, double widthMm, PenStyle style, double unitsPerMm)
{
    QPen pen(QColor::fromRgba(color));
    pen.setWidthF(std::max(widthMm * unitsPerMm, 1.0));
    pen.setStyle(qtStyle(style));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

} // namespace

void paintPage(QPainter &painter, const Document &doc, int pageIndex)
{
    QPaintDevice *device = painter.device();
    const double x = device ? device->logicalDpiX() / 25.4 : 96 / 25.4;
    const double y = device ? device->logicalDpiY() / 25.4 : 96 / 25.4;
    paintPage(painter, doc, pageIndex, x, y);
}

void paintPage(QPainter &painter, const Document &doc, int pageIndex, double sx, double sy)
{
    if (pageIndex < 0 || pageIndex >= doc.pageCount())
        return;
    const Page &page = doc.pages[size_t(pageIndex)];
    auto scaled = [&](const QRectF &r) { return QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy); };
    auto point = [&](const QPointF &p) { return QPointF(p.x() * sx, p.y() * sy); };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    int currentFont = -1;
    QRgb currentTextColor = 0;
    bool textPenSet = false;
    for (const PageItem &item : page.items) {
        if (const auto *t = std::get_if<TextItem>(&item)) {
            if (t->font != currentFont) {
                painter.setFont(doc.fonts[size_t(t->font)]);
                currentFont = t->font;
            }
            if (!textPenSet || t->color != currentTextColor) {
                painter.setPen(QColor::fromRgba(t->color));
                currentTextColor = t->color;
                textPenSet = true;
            }
            painter.drawText(scaled(t->rect), t->alignment | Qt::TextDontClip, t->text);
        } else if (const auto *l = std::get_if<LineItem>(&item)) {
            if (l->style == PenStyle::None)
                continue;
            painter.setPen(makePen(l->color, l->width, l->style, sx));
            textPenSet = false;
            painter.drawLine(point(l->from), point(l->to));
        } else if (const auto *r = std::get_if<RectItem>(&item)) {
            painter.setPen(r->style == PenStyle::None ? QPen(Qt::NoPen) : makePen(r->color, r->width, r->style, sx));
            painter.setBrush(r->filled ? QBrush(QColor::fromRgba(r->fill)) : QBrush(Qt::NoBrush));
            textPenSet = false;
            painter.drawRect(scaled(r->rect));
            painter.setBrush(Qt::NoBrush);
        } else if (const auto *i = std::get_if<ImageItem>(&item)) {
            painter.drawImage(scaled(i->rect), doc.images[size_t(i->image)]);
        }
    }
    painter.restore();
}

void setUpPrinter(const Document &doc, QPrinter &printer)
{
    printer.setPageSize(doc.pageSize);
    printer.setPageOrientation(doc.orientation);
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer.setDocName(doc.title);
}

void printDocument(const Document &doc, QPrinter &printer, int first, int last)
{
    if (doc.pageCount() == 0)
        return;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage();
        last = printer.toPage();
    }
    first = std::clamp(first, 1, doc.pageCount());
    last = last <= 0 ? doc.pageCount() : std::clamp(last, first, doc.pageCount());
    QPainter painter;
    if (!painter.begin(&printer))
        throw ReportError(QStringLiteral("No se puede imprimir el informe"));
    for (int p = first; p <= last; ++p) {
        if (p > first)
            printer.newPage();
        paintPage(painter, doc, p - 1);
    }
    painter.end();
}

void writePdf(const Document &doc, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ReportError(QStringLiteral("No se puede crear el fichero %1: %2").arg(fileName, file.errorString()));
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(doc.title);
        pdf.setCreator(QStringLiteral("Velmora"));
        pdf.setResolution(600);
        pdf.setPageLayout(QPageLayout(doc.pageSize, doc.orientation, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&pdf))
            throw ReportError(QStringLiteral("No se puede escribir el PDF %1").arg(fileName));
        const int pages = std::max(doc.pageCount(), 1); // an empty report still gives a valid, blank PDF
        for (int p = 0; p < pages; ++p) {
            if (p > 0)
                pdf.newPage();
            paintPage(painter, doc, p);
        }
        painter.end();
    }
    if (!file.flush() || file.error() != QFileDevice::NoError)
        throw ReportError(QStringLiteral("No se pudo escribir el fichero %1: %2").arg(fileName, file.errorString()));
}

} // namespace fw::report
