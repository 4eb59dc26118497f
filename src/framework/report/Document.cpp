#include "framework/report/Document.h"

#include <QDataStream>
#include <QFile>
#include <QIODevice>

#include <algorithm>

namespace fw::report {

namespace {

constexpr quint32 kMagic = 0x564c5250; // "VLRP"
constexpr quint16 kVersion = 1;

enum ItemTag : quint8 { TagText = 1, TagLine = 2, TagRect = 3, TagImage = 4 };

} // namespace

QSizeF Document::paperSize() const
{
    const QSizeF s = pageSize.size(QPageSize::Millimeter);
    return orientation == QPageLayout::Landscape ? s.transposed() : s;
}

int Document::addFont(const QFont &font)
{
    for (size_t i = 0; i < fonts.size(); ++i)
        if (fonts[i] == font)
            return int(i);
    fonts.push_back(font);
    return int(fonts.size()) - 1;
}

int Document::addImage(const QImage &image)
{
    images.push_back(image);
    return int(images.size()) - 1;
}

void Document::save(QIODevice &device) const
{
    QDataStream out(&device);
    out.setVersion(QDataStream::Qt_6_4);
    out << kMagic << kVersion;
    out << qint32(pageSize.id()) << pageSize.size(QPageSize::Millimeter) << qint32(orientation) << title;
    out << quint32(fonts.size());
    for (const QFont &f : fonts)
        out << f.toString();
    out << quint32(images.size());
    for (const QImage &img : images)
        out << img;
    out << quint32(pages.size());
    for (const Page &page : pages) {
        out << quint32(page.items.size());
        for (const PageItem &item : page.items) {
            if (const auto *t = std::get_if<TextItem>(&item)) {
                out << quint8(TagText) << t->rect << t->text << qint32(t->font) << t->color << qint32(t->alignment);
            } else if (const auto *l = std::get_if<LineItem>(&item)) {
                out << quint8(TagLine) << l->from << l->to << l->width << l->color << quint8(l->style);
            } else if (const auto *r = std::get_if<RectItem>(&item)) {
                out << quint8(TagRect) << r->rect << r->width << r->color << quint8(r->style) << r->filled
                    << r->fill;
            } else if (const auto *i = std::get_if<ImageItem>(&item)) {
                out << quint8(TagImage) << i->rect << qint32(i->image);
            }
        }
    }
    if (out.status() != QDataStream::Ok)
        throw ReportError(QStringLiteral("No se pudo escribir el informe: %1").arg(device.errorString()));
}

void Document::save(const QString &fileName) const
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ReportError(QStringLiteral("No se puede crear el fichero %1: %2").arg(fileName, file.errorString()));
    save(file);
    if (!file.flush())
        throw ReportError(QStringLiteral("No se pudo escribir el fichero %1: %2").arg(fileName, file.errorString()));
}

std::shared_ptr<Document> Document::load(QIODevice &device)
{
    const QString notAReport = QStringLiteral("El fichero no es un informe guardado o está dañado");
    QDataStream in(&device);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0;
    quint16 version = 0;
    in >> magic >> version;
    if (magic != kMagic || version != kVersion)
        throw ReportError(notAReport);

    auto doc = std::make_shared<Document>();
    qint32 sizeId = 0, orientation = 0;
    QSizeF sizeMm;
    in >> sizeId >> sizeMm >> orientation >> doc->title;
    doc->pageSize = sizeId != QPageSize::Custom ? QPageSize(QPageSize::PageSizeId(sizeId))
                                                : QPageSize(sizeMm, QPageSize::Millimeter);
    doc->orientation = orientation == QPageLayout::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;

    // Counts are checked against what is left so a damaged file cannot ask for huge allocations.
    auto readCount = [&](quint32 &n) {
        in >> n;
        if (in.status() != QDataStream::Ok || n > quint32(device.bytesAvailable() + 1))
            throw ReportError(notAReport);
    };
    quint32 n = 0;
    readCount(n);
    for (quint32 i = 0; i < n; ++i) {
        QString desc;
        in >> desc;
        QFont f;
        f.fromString(desc);
        doc->fonts.push_back(f);
    }
    readCount(n);
    for (quint32 i = 0; i < n; ++i) {
        QImage img;
        in >> img;
        doc->images.push_back(img);
    }
    quint32 pageCount = 0;
    readCount(pageCount);
    doc->pages.resize(pageCount);
    const auto fontOk = [&](qint32 f) { return f >= 0 && size_t(f) < doc->fonts.size(); };
    for (Page &page : doc->pages) {
        quint32 items = 0;
        readCount(items);
        page.items.reserve(items);
        for (quint32 k = 0; k < items; ++k) {
            quint8 tag = 0;
            in >> tag;
            switch (tag) {
            case TagText: {
                TextItem t;
                qint32 font = 0, align = 0;
                in >> t.rect >> t.text >> font >> t.color >> align;
                if (!fontOk(font))
                    throw ReportError(notAReport);
                t.font = font;
                t.alignment = align;
                page.items.emplace_back(std::move(t));
                break;
            }
            case TagLine: {
                LineItem l;
                quint8 style = 0;
                in >> l.from >> l.to >> l.width >> l.color >> style;
                l.style = PenStyle(std::min<quint8>(style, quint8(PenStyle::None)));
                page.items.emplace_back(l);
                break;
            }
            case TagRect: {
                RectItem r;
                quint8 style = 0;
                in >> r.rect >> r.width >> r.color >> style >> r.filled >> r.fill;
                r.style = PenStyle(std::min<quint8>(style, quint8(PenStyle::None)));
                page.items.emplace_back(r);
                break;
            }
            case TagImage: {
                ImageItem i;
                qint32 image = 0;
                in >> i.rect >> image;
                if (image < 0 || size_t(image) >= doc->images.size())
                    throw ReportError(notAReport);
                i.image = image;
                page.items.emplace_back(i);
                break;
            }
            default:
                throw ReportError(notAReport);
            }
        }
    }
    if (in.status() != QDataStream::Ok)
        throw ReportError(notAReport);
    return doc;
}

std::shared_ptr<Document> Document::load(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("No se puede abrir el fichero %1: %2").arg(fileName, file.errorString()));
    return load(file);
}

std::vector<TextLine> textLines(const Page &page)
{
    std::vector<const TextItem *> texts;
    for (const PageItem &item : page.items)
        if (const auto *t = std::get_if<TextItem>(&item); t && !t->text.trimmed().isEmpty())
            texts.push_back(t);
    std::stable_sort(texts.begin(), texts.end(), [](const TextItem *a, const TextItem *b) {
        return a->rect.top() < b->rect.top();
    });
    std::vector<TextLine> lines;
    for (const TextItem *t : texts) {
        // An item joins the line when it starts within the upper half of both.
        if (!lines.empty()) {
            TextLine &line = lines.back();
            const double tolerance = std::min(t->rect.height(), line.bottom - line.top) / 2;
            if (t->rect.top() < line.top + std::max(tolerance, 0.5)) {
                line.items.push_back(t);
                line.bottom = std::max(line.bottom, t->rect.bottom());
                continue;
            }
        }
        lines.push_back({t->rect.top(), t->rect.bottom(), {t}});
    }
    for (TextLine &line : lines)
        std::stable_sort(line.items.begin(), line.items.end(), [](const TextItem *a, const TextItem *b) {
            return a->rect.left() < b->rect.left();
        });
    return lines;
}

double TextColumns::anchor(const TextItem &t)
{
    const int h = t.alignment & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignRight)
        return t.rect.right();
    if (h & Qt::AlignHCenter)
        return t.rect.center().x();
    return t.rect.left();
}

TextColumns::TextColumns(const Document &doc, double toleranceMm)
{
    std::vector<double> all;
    for (const Page &page : doc.pages)
        for (const PageItem &item : page.items)
            if (const auto *t = std::get_if<TextItem>(&item); t && !t->text.trimmed().isEmpty())
                all.push_back(anchor(*t));
    std::sort(all.begin(), all.end());
    for (double a : all)
        if (m_anchors.empty() || a - m_anchors.back() > toleranceMm)
            m_anchors.push_back(a);
}

int TextColumns::columnOf(const TextItem &t) const
{
    const auto it = std::upper_bound(m_anchors.begin(), m_anchors.end(), anchor(t) + 1e-9);
    return int(std::max<std::ptrdiff_t>(0, (it - m_anchors.begin()) - 1));
}

} // namespace fw::report
