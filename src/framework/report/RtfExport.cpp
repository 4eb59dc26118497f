#include "framework/report/Exports.h"

#include <QBuffer>

#include <algorithm>
#include <cmath>
#include <map>

namespace fw::report {

namespace {

int twips(double mm) { return int(std::lround(mm * 1440.0 / 25.4)); }

QByteArray escaped(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\n') {
            out += "\\line ";
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == '\r') {
            continue;
        } else if (u < 0x80) {
            out += char(u);
        } else {
            // Unicode escape with '?' for readers that do not know it.
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
    return out;
}

} // namespace

void writeRtf(const Document &doc, const QString &fileName)
{
    const QSizeF paper = doc.paperSize();
    double left = paper.width(), top = paper.height();
    for (const Page &page : doc.pages)
        for (const PageItem &item : page.items)
            if (const auto *t = std::get_if<TextItem>(&item)) {
                left = std::min(left, t->rect.left());
                top = std::min(top, t->rect.top());
            }
    if (left >= paper.width())
        left = top = 10;

    // Colour table: index 0 is the reader's automatic colour.
    std::map<QRgb, int> colors;
    QByteArray colorTable = "{\\colortbl;";
    auto colorIndex = [&](QRgb c) {
        c |= 0xff000000;
        auto it = colors.find(c);
        if (it != colors.end())
            return it->second;
        const int index = int(colors.size()) + 1;
        colors.emplace(c, index);
        colorTable += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue"
            + QByteArray::number(qBlue(c)) + ';';
        return index;
    };

    QByteArray body;
    for (size_t p = 0; p < doc.pages.size(); ++p) {
        const Page &page = doc.pages[p];
        if (p > 0)
            body += "\\page\n";
        for (const PageItem &item : page.items) {
            const auto *i = std::get_if<ImageItem>(&item);
            if (!i)
                continue;
            const QImage &img = doc.images[size_t(i->image)];
            QByteArray png;
            QBuffer b(&png);
            b.open(QIODevice::WriteOnly);
            img.save(&b, "PNG");
            body += "{\\pard\\pvpg\\phpg\\posx" + QByteArray::number(twips(i->rect.left())) + "\\posy"
                + QByteArray::number(twips(i->rect.top())) + "\\absw" + QByteArray::number(twips(i->rect.width()))
                + "\\absh-" + QByteArray::number(twips(i->rect.height())) + "{\\pict\\pngblip\\picw"
                + QByteArray::number(img.width()) + "\\pich" + QByteArray::number(img.height()) + "\\picwgoal"
                + QByteArray::number(twips(i->rect.width())) + "\\pichgoal" + QByteArray::number(twips(i->rect.height()))
                + "\n" + png.toHex() + "}\\par}\n";
        }
        double previousBottom = top;
        for (const TextLine &line : textLines(page)) {
            struct Stop
            {
                int position;
                QByteArray kind;
                const TextItem *item;
            };
            std::vector<Stop> stops;
            for (const TextItem *t : line.items) {
                const int h = t->alignment & Qt::AlignHorizontal_Mask;
                if (h & Qt::AlignRight)
                    stops.push_back({twips(t->rect.right() - left), "\\tqr", t});
                else if (h & Qt::AlignHCenter)
                    stops.push_back({twips(t->rect.center().x() - left), "\\tqc", t});
                else
                    stops.push_back({twips(t->rect.left() - left), QByteArray(), t});
            }
            std::stable_sort(stops.begin(), stops.end(),
                             [](const Stop &a, const Stop &b) { return a.position < b.position; });
            body += "\\pard\\plain\\sb" + QByteArray::number(twips(std::max(0.0, line.top - previousBottom)))
                + "\\sa0";
            for (const Stop &s : stops)
                if (s.position > 0)
                    body += s.kind + "\\tx" + QByteArray::number(s.position);
            body += ' ';
            for (const Stop &s : stops) {
                if (s.position > 0)
                    body += "\\tab";
                const QFont &f = doc.fonts[size_t(s.item->font)];
                const int halfPoints = int(std::lround((f.pointSizeF() > 0 ? f.pointSizeF() : 10) * 2));
                body += "{\\f" + QByteArray::number(s.item->font) + "\\fs" + QByteArray::number(halfPoints);
                if (f.bold())
                    body += "\\b";
                if (f.italic())
                    body += "\\i";
                body += "\\cf" + QByteArray::number(colorIndex(s.item->color)) + ' ' + escaped(s.item->text) + '}';
            }
            body += "\\par\n";
            previousBottom = line.bottom;
        }
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\n{\\fonttbl";
    for (size_t f = 0; f < doc.fonts.size(); ++f)
        out += "{\\f" + QByteArray::number(qulonglong(f)) + "\\fswiss " + escaped(doc.fonts[f].family()) + ";}";
    if (doc.fonts.empty())
        out += "{\\f0\\fswiss Arial;}";
    out += "}\n" + colorTable + "}\n";
    if (!doc.title.isEmpty())
        out += "{\\info{\\title " + escaped(doc.title) + "}}\n";
    out += "\\paperw" + QByteArray::number(twips(paper.width())) + "\\paperh" + QByteArray::number(twips(paper.height()))
        + "\\margl" + QByteArray::number(twips(left)) + "\\margr" + QByteArray::number(twips(left)) + "\\margt"
        + QByteArray::number(twips(top)) + "\\margb" + QByteArray::number(twips(top));
    if (doc.orientation == QPageLayout::Landscape)
        out += "\\landscape";
    out += "\n" + body + "}\n";
    saveBytes(fileName, out);
}

} // namespace fw::report
