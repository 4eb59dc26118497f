#include "framework/report/Exports.h"

#include <QBuffer>

namespace fw::report {

namespace {

QString mm(double v) { return QString::number(v, 'f', 2) + QLatin1String("mm"); }

QString cssColor(QRgb c) { return QColor::fromRgb(c).name(QColor::HexRgb); }

QString border(PenStyle style) { return style == PenStyle::Dot ? QStringLiteral("dotted") : QStringLiteral("solid"); }

QString fontCss(const QFont &f)
{
    QString css = QStringLiteral("font-family:'%1';font-size:%2pt")
                      .arg(f.family().toHtmlEscaped(), QString::number(f.pointSizeF() > 0 ? f.pointSizeF() : 10));
    if (f.bold())
        css += QLatin1String(";font-weight:bold");
    if (f.italic())
        css += QLatin1String(";font-style:italic");
    if (f.underline())
        css += QLatin1String(";text-decoration:underline");
    return css;
}

} // namespace

void writeHtml(const Document &doc, const QString &fileName)
{
    const QSizeF paper = doc.paperSize();
    QString out;
    out += QLatin1String("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>");
    out += doc.title.toHtmlEscaped();
    out += QLatin1String("</title>\n<style>\n");
    out += QStringLiteral("body{margin:0;background:#888}\n"
                          ".page{position:relative;width:%1;height:%2;margin:4mm auto;background:#fff;"
                          "overflow:hidden;page-break-after:always}\n"
                          ".t{position:absolute;white-space:pre;line-height:1.2}\n"
                          ".g{position:absolute;box-sizing:border-box}\n"
                          "@media print{body{background:none}.page{margin:0}}\n")
               .arg(mm(paper.width()), mm(paper.height()));
    for (size_t i = 0; i < doc.fonts.size(); ++i)
        out += QStringLiteral(".f%1{%2}\n").arg(i).arg(fontCss(doc.fonts[i]));
    // Each picture once, however many pages show it.
    for (size_t i = 0; i < doc.images.size(); ++i) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        doc.images[i].save(&buffer, "PNG");
        out += QStringLiteral(".i%1{position:absolute;background-size:100% 100%;"
                              "background-image:url(data:image/png;base64,%2)}\n")
                   .arg(i)
                   .arg(QString::fromLatin1(png.toBase64()));
    }
    out += QLatin1String("</style>\n</head>\n<body>\n");

    for (const Page &page : doc.pages) {
        out += QLatin1String("<div class=\"page\">\n");
        for (const PageItem &item : page.items) {
            if (const auto *t = std::get_if<TextItem>(&item)) {
                // The box is anchored on the side the text is aligned to, so text
                // wider than its box runs the way it does on paper.
                QString pos;
                const int h = t->alignment & Qt::AlignHorizontal_Mask;
                if (h & Qt::AlignRight)
                    pos = QStringLiteral("right:%1").arg(mm(paper.width() - t->rect.right()));
                else if (h & Qt::AlignHCenter)
                    pos = QStringLiteral("left:%1;transform:translateX(-50%)").arg(mm(t->rect.center().x()));
                else
                    pos = QStringLiteral("left:%1").arg(mm(t->rect.left()));
                out += QStringLiteral("<div class=\"t f%1\" style=\"%2;top:%3;color:%4\">%5</div>\n")
                           .arg(t->font)
                           .arg(pos, mm(t->rect.top()), cssColor(t->color), t->text.toHtmlEscaped());
            } else if (const auto *l = std::get_if<LineItem>(&item)) {
                if (l->style == PenStyle::None)
                    continue;
                const bool horizontal = std::abs(l->to.y() - l->from.y()) < std::abs(l->to.x() - l->from.x());
                const double x = std::min(l->from.x(), l->to.x());
                const double y = std::min(l->from.y(), l->to.y());
                const QString edge = horizontal ? QStringLiteral("border-top") : QStringLiteral("border-left");
                const QString size = horizontal
                    ? QStringLiteral("width:%1;height:0").arg(mm(std::abs(l->to.x() - l->from.x())))
                    : QStringLiteral("width:0;height:%1").arg(mm(std::abs(l->to.y() - l->from.y())));
                out += QStringLiteral("<div class=\"g\" style=\"left:%1;top:%2;%3;%4:%5 %6 %7\"></div>\n")
                           .arg(mm(x), mm(y), size, edge, mm(std::max(l->width, 0.1)), border(l->style),
                                cssColor(l->color));
            } else if (const auto *r = std::get_if<RectItem>(&item)) {
                QString style = QStringLiteral("left:%1;top:%2;width:%3;height:%4")
                                    .arg(mm(r->rect.left()), mm(r->rect.top()), mm(r->rect.width()),
                                         mm(r->rect.height()));
                if (r->style != PenStyle::None)
                    style += QStringLiteral(";border:%1 %2 %3")
                                 .arg(mm(std::max(r->width, 0.1)), border(r->style), cssColor(r->color));
                if (r->filled)
                    style += QStringLiteral(";background:%1").arg(cssColor(r->fill));
                out += QStringLiteral("<div class=\"g\" style=\"%1\"></div>\n").arg(style);
            } else if (const auto *i = std::get_if<ImageItem>(&item)) {
                out += QStringLiteral("<div class=\"i%1\" style=\"left:%2;top:%3;width:%4;height:%5\"></div>\n")
                           .arg(i->image)
                           .arg(mm(i->rect.left()), mm(i->rect.top()), mm(i->rect.width()), mm(i->rect.height()));
            }
        }
        out += QLatin1String("</div>\n");
    }
    out += QLatin1String("</body>\n</html>\n");
    saveBytes(fileName, out.toUtf8());
}

} // namespace fw::report
