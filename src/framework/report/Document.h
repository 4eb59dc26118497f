#pragma once
#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QColor>

#include <memory>
#include <stdexcept>
#include <variant>
#include <vector>

class QIODevice;

namespace fw::report {

/// Every error the report engine raises; what() is the text a user sees, in UTF-8.
class ReportError : public std::runtime_error
{
public:
    explicit ReportError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

/// How a line or frame is drawn.
enum class PenStyle : quint8 { Solid, Dot, None };

/// One run of text. The rectangle is where the text is aligned; text that is
/// wider than its rectangle is still printed in full, never clipped.
struct TextItem
{
    QRectF rect;      ///< millimetres from the top-left corner of the paper
    QString text;
    int font = 0;     ///< index into Document::fonts
    QRgb color = 0xff000000;
    int alignment = Qt::AlignLeft | Qt::AlignTop; ///< Qt::Alignment flags
};

struct LineItem
{
    QPointF from;
    QPointF to;
    double width = 0.2; ///< millimetres
    QRgb color = 0xff000000;
    PenStyle style = PenStyle::Solid;
};

struct RectItem
{
    QRectF rect;
    double width = 0.2;
    QRgb color = 0xff000000;
    PenStyle style = PenStyle::Solid;
    bool filled = false;
    QRgb fill = 0xffffffff;
};

/// A picture stretched into its rectangle.
struct ImageItem
{
    QRectF rect;
    int image = 0; ///< index into Document::images
};

using PageItem = std::variant<TextItem, LineItem, RectItem, ImageItem>;

/// A finished page: items in painting order, positions in millimetres.
struct Page
{
    std::vector<PageItem> items;
};

/// A generated report: its pages as painter-independent items, plus the fonts and
/// pictures they refer to by index. The preview, the printer, PDF and every export
/// read the same document; nothing in it depends on a screen or a printer, so it is
/// built and written headless. A document is immutable once generated and shared
/// through std::shared_ptr<const Document>.
class Document
{
public:
    QPageSize pageSize = QPageSize(QPageSize::A4);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QString title;
    std::vector<QFont> fonts;
    std::vector<QImage> images;
    std::vector<Page> pages;

    /// Paper size in millimetres as the page is seen (width and height swapped for landscape).
    QSizeF paperSize() const;
    int pageCount() const { return int(pages.size()); }

    /// Index of an equal font, added when new.
    int addFont(const QFont &font);
    int addImage(const QImage &image);

    /// The engine's own file format: the whole document, pictures included, so a
    /// saved report opens again in the preview exactly as generated. Throws ReportError.
    void save(QIODevice &device) const;
    void save(const QString &fileName) const;
    static std::shared_ptr<Document> load(QIODevice &device);
    static std::shared_ptr<Document> load(const QString &fileName);
};

/// Page items read in lines, as the text-based exports lay them out: the text items
/// of one page grouped by their vertical position, each line sorted left to right.
struct TextLine
{
    double top = 0;
    double bottom = 0;
    std::vector<const TextItem *> items;
};
std::vector<TextLine> textLines(const Page &page);

/// The columns of a document for the tabular exports: the distinct places its texts
/// are aligned to (left edge, right edge or centre), merged when closer than the
/// tolerance, so a report column is one spreadsheet or CSV column on every line.
class TextColumns
{
public:
    explicit TextColumns(const Document &doc, double toleranceMm = 3.0);
    int count() const { return int(m_anchors.size()); }
    int columnOf(const TextItem &text) const;
    static double anchor(const TextItem &text);

private:
    std::vector<double> m_anchors;
};

} // namespace fw::report
