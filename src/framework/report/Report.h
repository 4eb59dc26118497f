#pragma once
#include "framework/report/Document.h"
#include "framework/report/Elements.h"

#include <QColor>
#include <QDateTime>
#include <QMarginsF>
#include <QObject>
#include <QPageLayout>
#include <QPageSize>

#include <functional>
#include <memory>
#include <vector>

namespace fw::report {

class Cursor;
class Report;

enum class BandKind { PageHeader, PageFooter, GroupHeader, GroupFooter, Detail, Summary };

/// Lines along a band's edges. The detail band's before-print hook may switch
/// them per record; the change stays until it is switched again.
struct BandFrame
{
    bool top = false;
    bool bottom = false;
    bool left = false;
    bool right = false;
    PenStyle style = PenStyle::Solid;
    double width = 0.2; ///< millimetres
    QColor color = Qt::black;
};

/// A horizontal strip of the page holding elements. Bands are created and owned
/// by their report (QObject parent); elements are created on a band and owned by it.
class Band : public QObject
{
    Q_OBJECT
public:
    /// Runs before the band prints, on the current record; clear `print` to skip it.
    using BeforePrint = std::function<void(Band &band, bool &print)>;

    BandKind kind() const { return m_kind; }
    Report *report() const;

    double height() const { return m_height; }
    void setHeight(double mm) { m_height = mm; }
    BandFrame &frame() { return m_frame; }
    const BandFrame &frame() const { return m_frame; }
    void setBeforePrint(BeforePrint hook) { m_beforePrint = std::move(hook); }
    const std::vector<Element *> &elements() const { return m_elements; }

    /// Page header: also on the first page (default on).
    bool printOnFirstPage() const { return m_printOnFirstPage; }
    void setPrintOnFirstPage(bool on) { m_printOnFirstPage = on; }
    /// Page footer: also on the last page (default on).
    bool printOnLastPage() const { return m_printOnLastPage; }
    void setPrintOnLastPage(bool on) { m_printOnLastPage = on; }

    /// Group header: a new group starts whenever this field's value changes.
    QString groupField() const { return m_groupField; }
    void setGroupField(const QString &field) { m_groupField = field; }
    /// Group header: printed again at the top of every page where its group continues.
    bool reprintOnNewPage() const { return m_reprintOnNewPage; }
    void setReprintOnNewPage(bool on) { m_reprintOnNewPage = on; }
    /// Group header: the footer that closes its groups.
    Band *groupFooter() const { return m_groupFooter; }
    void setGroupFooter(Band *footer) { m_groupFooter = footer; }

    /// Summary: starts on a new page (unless nothing but page bands is on the current one).
    bool startNewPage() const { return m_startNewPage; }
    void setStartNewPage(bool on) { m_startNewPage = on; }

private:
    friend class Report;
    friend class Element;
    friend class Generator;
    Band(Report *report, BandKind kind, double height, const QString &name);

    BandKind m_kind;
    double m_height;
    BandFrame m_frame;
    BeforePrint m_beforePrint;
    std::vector<Element *> m_elements;
    bool m_printOnFirstPage = true;
    bool m_printOnLastPage = true;
    QString m_groupField;
    bool m_reprintOnNewPage = false;
    Band *m_groupFooter = nullptr;
    bool m_startNewPage = false;
};

/// A banded report defined in code: paper, margins, the cursor it walks and its
/// bands. generate() walks the cursor once and returns the finished pages; it
/// makes no GUI call and processes no events, so it runs headless.
///
/// The report does not own its cursor (nor the other cursors its elements read);
/// they must outlive generate(). The generated document is shared and outlives
/// the report if a caller keeps it.
class Report : public QObject
{
    Q_OBJECT
public:
    explicit Report(QObject *parent = nullptr);
    ~Report() override;

    QPageSize pageSize() const { return m_pageSize; }
    void setPageSize(const QPageSize &size) { m_pageSize = size; }
    QPageLayout::Orientation orientation() const { return m_orientation; }
    void setOrientation(QPageLayout::Orientation o) { m_orientation = o; }
    /// Millimetres; 10 on every side by default.
    QMarginsF margins() const { return m_margins; }
    void setMargins(const QMarginsF &mm) { m_margins = mm; }
    /// Print job title, also the title of PDF and HTML output.
    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    Cursor *cursor() const { return m_cursor; }
    void setCursor(Cursor *cursor) { m_cursor = cursor; }
    /// Print page header, summary and footer even when the cursor has no rows (default on).
    bool printIfEmpty() const { return m_printIfEmpty; }
    void setPrintIfEmpty(bool on) { m_printIfEmpty = on; }
    /// The date printed by PrintDate elements; the moment of generation when unset.
    void setPrintDate(const QDateTime &when) { m_printDate = when; }
    /// The preview opens maximised (default) or in a normal window.
    bool previewMaximized() const { return m_previewMaximized; }
    void setPreviewMaximized(bool on) { m_previewMaximized = on; }

    /// Adds a band. There is at most one page header, page footer, detail and
    /// summary; group headers nest in the order they are added (outermost first).
    Band *addBand(BandKind kind, double heightMm, const QString &name = {});
    Band *addGroupHeader(const QString &field, double heightMm, const QString &name = {});
    Band *addGroupFooter(Band *header, double heightMm, const QString &name = {});
    Band *band(BandKind kind) const;
    const std::vector<Band *> &bands() const { return m_bands; }

    /// Walks the cursor from its first record and lays out every page. Emits
    /// generated() at the end. Throws ReportError for a definition that cannot
    /// print (a field the cursor lacks, a band taller than the page).
    std::shared_ptr<const Document> generate();
    /// The last generated document, or null.
    std::shared_ptr<const Document> document() const { return m_document; }

signals:
    /// All pages are generated.
    void generated(int pageCount);

private:
    friend class Generator;
    QPageSize m_pageSize = QPageSize(QPageSize::A4);
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QMarginsF m_margins = QMarginsF(10, 10, 10, 10);
    QString m_title;
    Cursor *m_cursor = nullptr;
    bool m_printIfEmpty = true;
    QDateTime m_printDate;
    bool m_previewMaximized = true;
    std::vector<Band *> m_bands;
    std::shared_ptr<const Document> m_document;
};

} // namespace fw::report
