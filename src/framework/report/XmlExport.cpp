#include "framework/report/Exports.h"

#include <QBuffer>
#include <QXmlStreamWriter>

namespace fw::report {

namespace {

QString num(double v) { return QString::number(v, 'f', 2); }

QString color(QRgb c) { return QColor::fromRgba(c).name(qAlpha(c) == 255 ? QColor::HexRgb : QColor::HexArgb); }

QString style(PenStyle s)
{
    switch (s) {
    case PenStyle::Solid: return QStringLiteral("solid");
    case PenStyle::Dot: return QStringLiteral("dot");
    case PenStyle::None: return QStringLiteral("none");
    }
    return {};
}

QString align(int a)
{
    if (a & Qt::AlignRight)
        return QStringLiteral("right");
    if (a & Qt::AlignHCenter)
        return QStringLiteral("center");
    return QStringLiteral("left");
}

void rect(QXmlStreamWriter &w, const QRectF &r)
{
    w.writeAttribute(QStringLiteral("x"), num(r.x()));
    w.writeAttribute(QStringLiteral("y"), num(r.y()));
    w.writeAttribute(QStringLiteral("width"), num(r.width()));
    w.writeAttribute(QStringLiteral("height"), num(r.height()));
}

} // namespace

void writeXml(const Document &doc, const QString &fileName)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter w(&buffer);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("report"));
    w.writeAttribute(QStringLiteral("title"), doc.title);
    const QSizeF paper = doc.paperSize();
    w.writeAttribute(QStringLiteral("paper"), doc.pageSize.key());
    w.writeAttribute(QStringLiteral("width"), num(paper.width()));
    w.writeAttribute(QStringLiteral("height"), num(paper.height()));
    w.writeAttribute(QStringLiteral("orientation"),
                     doc.orientation == QPageLayout::Landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"));
    w.writeAttribute(QStringLiteral("units"), QStringLiteral("mm"));
    w.writeAttribute(QStringLiteral("pages"), QString::number(doc.pageCount()));

    w.writeStartElement(QStringLiteral("fonts"));
    for (size_t i = 0; i < doc.fonts.size(); ++i) {
        const QFont &f = doc.fonts[i];
        w.writeEmptyElement(QStringLiteral("font"));
        w.writeAttribute(QStringLiteral("id"), QString::number(i));
        w.writeAttribute(QStringLiteral("family"), f.family());
        w.writeAttribute(QStringLiteral("size"), QString::number(f.pointSizeF()));
        w.writeAttribute(QStringLiteral("bold"), f.bold() ? QStringLiteral("true") : QStringLiteral("false"));
        w.writeAttribute(QStringLiteral("italic"), f.italic() ? QStringLiteral("true") : QStringLiteral("false"));
    }
    w.writeEndElement();

    w.writeStartElement(QStringLiteral("images"));
    for (size_t i = 0; i < doc.images.size(); ++i) {
        QByteArray png;
        QBuffer b(&png);
        b.open(QIODevice::WriteOnly);
        doc.images[i].save(&b, "PNG");
        w.writeStartElement(QStringLiteral("image"));
        w.writeAttribute(QStringLiteral("id"), QString::number(i));
        w.writeAttribute(QStringLiteral("format"), QStringLiteral("png"));
        w.writeCharacters(QString::fromLatin1(png.toBase64()));
        w.writeEndElement();
    }
    w.writeEndElement();

    for (size_t p = 0; p < doc.pages.size(); ++p) {
        w.writeStartElement(QStringLiteral("page"));
        w.writeAttribute(QStringLiteral("number"), QString::number(p + 1));
        for (const PageItem &item : doc.pages[p].items) {
            if (const auto *t = std::get_if<TextItem>(&item)) {
                w.writeStartElement(QStringLiteral("text"));
                rect(w, t->rect);
                w.writeAttribute(QStringLiteral("font"), QString::number(t->font));
                w.writeAttribute(QStringLiteral("color"), color(t->color));
                w.writeAttribute(QStringLiteral("align"), align(t->alignment));
                w.writeCharacters(t->text);
                w.writeEndElement();
            } else if (const auto *l = std::get_if<LineItem>(&item)) {
                w.writeEmptyElement(QStringLiteral("line"));
                w.writeAttribute(QStringLiteral("x1"), num(l->from.x()));
                w.writeAttribute(QStringLiteral("y1"), num(l->from.y()));
                w.writeAttribute(QStringLiteral("x2"), num(l->to.x()));
                w.writeAttribute(QStringLiteral("y2"), num(l->to.y()));
                w.writeAttribute(QStringLiteral("lineWidth"), num(l->width));
                w.writeAttribute(QStringLiteral("color"), color(l->color));
                w.writeAttribute(QStringLiteral("style"), style(l->style));
            } else if (const auto *r = std::get_if<RectItem>(&item)) {
                w.writeEmptyElement(QStringLiteral("rect"));
                rect(w, r->rect);
                w.writeAttribute(QStringLiteral("lineWidth"), num(r->width));
                w.writeAttribute(QStringLiteral("color"), color(r->color));
                w.writeAttribute(QStringLiteral("style"), style(r->style));
                if (r->filled)
                    w.writeAttribute(QStringLiteral("fill"), color(r->fill));
            } else if (const auto *i = std::get_if<ImageItem>(&item)) {
                w.writeEmptyElement(QStringLiteral("picture"));
                rect(w, i->rect);
                w.writeAttribute(QStringLiteral("image"), QString::number(i->image));
            }
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    saveBytes(fileName, data);
}

} // namespace fw::report
