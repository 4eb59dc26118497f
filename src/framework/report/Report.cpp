#include "framework/report/Report.h"

#include "framework/report/Cursor.h"
#include "framework/report/RenderContext.h"

#include <algorithm>

namespace fw::report {

Band::Band(Report *report, BandKind kind, double height, const QString &name)
    : QObject(report), m_kind(kind), m_height(height)
{
    setObjectName(name);
}

Report *Band::report() const { return static_cast<Report *>(parent()); }

Report::Report(QObject *parent) : QObject(parent) {}

Report::~Report() = default;

Band *Report::addBand(BandKind kind, double heightMm, const QString &name)
{
    const bool single = kind != BandKind::GroupHeader && kind != BandKind::GroupFooter;
    if (single && band(kind))
        throw ReportError(QStringLiteral("El informe ya tiene una banda de ese tipo (%1)").arg(name));
    auto *b = new Band(this, kind, heightMm, name);
    m_bands.push_back(b);
    m_document.reset();
    return b;
}

Band *Report::addGroupHeader(const QString &field, double heightMm, const QString &name)
{
    Band *b = addBand(BandKind::GroupHeader, heightMm, name);
    b->setGroupField(field);
    return b;
}

Band *Report::addGroupFooter(Band *header, double heightMm, const QString &name)
{
    Band *b = addBand(BandKind::GroupFooter, heightMm, name);
    if (header)
        header->setGroupFooter(b);
    return b;
}

Band *Report::band(BandKind kind) const
{
    for (Band *b : m_bands)
        if (b->kind() == kind)
            return b;
    return nullptr;
}

namespace {

/// The values of the report cursor's last printed record, for the bands that
/// print after the cursor has moved on (group footers, the summary).
class SnapshotCursor : public Cursor
{
public:
    SnapshotCursor(Cursor *source, std::vector<int> fields) : m_source(source), m_fields(std::move(fields))
    {
        std::sort(m_fields.begin(), m_fields.end());
        m_fields.erase(std::unique(m_fields.begin(), m_fields.end()), m_fields.end());
        if (!m_fields.empty())
            m_slot.assign(size_t(m_fields.back()) + 1, -1);
        for (size_t i = 0; i < m_fields.size(); ++i)
            m_slot[m_fields[i]] = int(i);
        m_values.resize(m_fields.size());
        m_texts.resize(m_fields.size());
    }

    bool needed() const { return !m_fields.empty(); }
    void capture()
    {
        for (size_t i = 0; i < m_fields.size(); ++i) {
            m_values[i] = m_source->value(m_fields[i]);
            m_texts[i] = m_source->displayText(m_fields[i]);
        }
    }

    void first() override {}
    void next() override {}
    bool eof() const override { return false; }
    int fieldIndex(const QString &name) const override { return m_source->fieldIndex(name); }
    FieldKind fieldKind(int field) const override { return m_source->fieldKind(field); }
    QVariant value(int field) const override
    {
        const int s = slot(field);
        return s >= 0 ? m_values[s] : m_source->value(field);
    }
    QString displayText(int field) const override
    {
        const int s = slot(field);
        return s >= 0 ? m_texts[s] : m_source->displayText(field);
    }

private:
    int slot(int field) const { return field >= 0 && size_t(field) < m_slot.size() ? m_slot[field] : -1; }

    Cursor *m_source;
    std::vector<int> m_fields;
    std::vector<int> m_slot;
    std::vector<QVariant> m_values;
    std::vector<QString> m_texts;
};

} // namespace

/// One pass over the cursor, laying bands out on pages.
class Generator
{
public:
    Generator(Report &report, Document &doc) : m_report(report), m_doc(doc), m_ctx(doc, report.cursor()) {}

    void run()
    {
        const Report &r = m_report;
        m_doc.pageSize = r.pageSize();
        m_doc.orientation = r.orientation();
        m_doc.title = r.title();
        m_ctx.setPrintDate(r.m_printDate.isValid() ? r.m_printDate : QDateTime::currentDateTime());

        for (Band *b : r.bands()) {
            switch (b->kind()) {
            case BandKind::PageHeader: m_pageHeader = b; break;
            case BandKind::PageFooter: m_pageFooter = b; break;
            case BandKind::Detail: m_detail = b; break;
            case BandKind::Summary: m_summary = b; break;
            case BandKind::GroupHeader: m_groups.push_back(b); break;
            case BandKind::GroupFooter: break;
            }
            for (Element *e : b->elements())
                e->prepare(m_ctx);
        }
        const QSizeF paper = m_doc.paperSize();
        const QMarginsF m = r.margins();
        m_left = m.left();
        m_width = paper.width() - m.left() - m.right();
        m_top = m.top();
        m_footerTop = paper.height() - m.bottom();
        m_limit = m_footerTop - (m_pageFooter ? m_pageFooter->height() : 0);
        checkHeights();

        Cursor *cursor = r.cursor();
        std::vector<int> snapshotFields;
        for (Band *b : r.bands())
            if (b != m_detail)
                for (Element *e : b->elements())
                    e->mainCursorFields(snapshotFields);
        for (Band *g : m_groups) {
            if (!cursor)
                throw ReportError(QStringLiteral("El grupo %1 del informe no tiene datos").arg(g->objectName()));
            m_groupIndex.push_back(m_ctx.requireField(cursor, g->groupField(), g->objectName()));
            snapshotFields.push_back(m_groupIndex.back());
        }
        m_groupValue.resize(m_groups.size());
        m_groupOpen.assign(m_groups.size(), false);

        struct Walk
        {
            Cursor *cursor;
            explicit Walk(Cursor *c) : cursor(c)
            {
                if (cursor)
                    cursor->beginWalk();
            }
            ~Walk()
            {
                if (cursor)
                    cursor->endWalk();
            }
        } walk(cursor);
        if (cursor)
            cursor->first();
        const bool hasRows = cursor && !cursor->eof();
        if (!hasRows && !r.printIfEmpty())
            return;

        SnapshotCursor snapshot(cursor, snapshotFields);
        newPage();
        if (hasRows) {
            bool firstRecord = true;
            while (!cursor->eof()) {
                size_t changed = m_groups.size();
                for (size_t k = 0; k < m_groups.size(); ++k) {
                    if (firstRecord || cursor->value(m_groupIndex[k]) != m_groupValue[k]) {
                        changed = k;
                        break;
                    }
                }
                if (!firstRecord && changed < m_groups.size()) {
                    m_ctx.setCurrent(&snapshot);
                    closeGroups(changed);
                    m_ctx.setCurrent(cursor);
                }
                for (size_t k = changed; k < m_groups.size(); ++k)
                    openGroup(k);
                printDetail();
                if (snapshot.needed())
                    snapshot.capture();
                cursor->next();
                firstRecord = false;
            }
            m_ctx.setCurrent(&snapshot);
            closeGroups(0);
        }
        if (m_summary) {
            bool print = true;
            if (m_summary->m_beforePrint)
                m_summary->m_beforePrint(*m_summary, print);
            if (print) {
                if (m_summary->startNewPage() && m_bodyOnPage) {
                    endPage(false);
                    newPage();
                }
                placeBand(*m_summary, 0);
            }
        }
        endPage(true);
        m_ctx.setCurrent(cursor);
    }

private:
    void checkHeights() const
    {
        const double room = m_limit - m_top - (m_pageHeader ? m_pageHeader->height() : 0);
        for (Band *b : m_report.bands()) {
            if (b->kind() == BandKind::PageHeader || b->kind() == BandKind::PageFooter)
                continue;
            if (b->height() > room + 1e-9)
                throw ReportError(QStringLiteral("La banda %1 del informe no cabe en la página").arg(b->objectName()));
        }
        if (m_limit - m_top < (m_pageHeader ? m_pageHeader->height() : 0) - 1e-9)
            throw ReportError(QStringLiteral("Las bandas de página no caben en la página"));
    }

    Page &page() { return m_doc.pages.back(); }

    double bandHeight(Band &b)
    {
        double h = b.height();
        for (Element *e : b.elements())
            if (e->isEnabled())
                h = std::max(h, e->extent(m_ctx));
        return h;
    }

    void render(Band &b, double top, double height)
    {
        const QPointF origin(m_left, top);
        for (Element *e : b.elements())
            if (e->isEnabled())
                e->render(m_ctx, page(), origin);
        const BandFrame &f = b.frame();
        if (f.style != PenStyle::None) {
            const QRectF r(m_left, top, m_width, height);
            const QRgb c = f.color.rgba();
            auto line = [&](QPointF a, QPointF z) { page().items.emplace_back(LineItem{a, z, f.width, c, f.style}); };
            if (f.top) line(r.topLeft(), r.topRight());
            if (f.bottom) line(r.bottomLeft(), r.bottomRight());
            if (f.left) line(r.topLeft(), r.bottomLeft());
            if (f.right) line(r.topRight(), r.bottomRight());
        }
        for (Element *e : b.elements())
            e->bandPrinted();
    }

    bool runHook(Band &b)
    {
        bool print = true;
        if (b.m_beforePrint)
            b.m_beforePrint(b, print);
        return print;
    }

    // Prints a band at the current position, on a new page when it (and `keep`
    // millimetres of what must follow it) does not fit. A band that cannot fit
    // even on a fresh page is printed anyway rather than looping.
    void placeBand(Band &b, double keep)
    {
        const double h = bandHeight(b);
        if (m_bodyOnPage && m_y + h + keep > m_limit + 1e-9) {
            endPage(false);
            newPage();
        }
        render(b, m_y, h);
        m_y += h;
        m_bodyOnPage = true;
    }

    // Page header and repeated group headers: printed where the page starts.
    void placePageBand(Band &b)
    {
        if (!runHook(b))
            return;
        const double h = bandHeight(b);
        render(b, m_y, h);
        m_y += h;
    }

    void newPage()
    {
        m_doc.pages.emplace_back();
        m_ctx.setPageNumber(int(m_doc.pages.size()));
        m_y = m_top;
        m_bodyOnPage = false;
        if (m_pageHeader && (m_doc.pages.size() > 1 || m_pageHeader->printOnFirstPage()))
            placePageBand(*m_pageHeader);
        for (size_t k = 0; k < m_groups.size(); ++k)
            if (m_groupOpen[k] && m_groups[k]->reprintOnNewPage())
                placePageBand(*m_groups[k]);
    }

    void endPage(bool last)
    {
        if (!m_pageFooter || (last && !m_pageFooter->printOnLastPage()))
            return;
        if (!runHook(*m_pageFooter))
            return;
        const double h = bandHeight(*m_pageFooter);
        render(*m_pageFooter, m_footerTop - h, h);
    }

    void openGroup(size_t k)
    {
        m_groupValue[k] = m_report.cursor()->value(m_groupIndex[k]);
        Band &header = *m_groups[k];
        if (runHook(header)) {
            // Keep a group header with its first line: no header alone at the foot of a page.
            double keep = m_detail ? m_detail->height() : 0;
            for (size_t j = k + 1; j < m_groups.size(); ++j)
                keep += m_groups[j]->height();
            placeBand(header, keep);
        }
        m_groupOpen[k] = true;
    }

    void closeGroups(size_t from)
    {
        for (size_t k = m_groups.size(); k-- > from;) {
            if (Band *footer = m_groups[k]->groupFooter(); footer && runHook(*footer))
                placeBand(*footer, 0);
            m_groupOpen[k] = false;
        }
    }

    void printDetail()
    {
        if (!m_detail || !runHook(*m_detail))
            return;
        placeBand(*m_detail, 0);
        for (Band *b : m_report.bands())
            for (Element *e : b->elements())
                e->recordPrinted(m_ctx);
    }

    Report &m_report;
    Document &m_doc;
    RenderContext m_ctx;
    Band *m_pageHeader = nullptr;
    Band *m_pageFooter = nullptr;
    Band *m_detail = nullptr;
    Band *m_summary = nullptr;
    std::vector<Band *> m_groups;
    std::vector<int> m_groupIndex;
    std::vector<QVariant> m_groupValue;
    std::vector<bool> m_groupOpen;
    double m_left = 0, m_width = 0, m_top = 0, m_footerTop = 0, m_limit = 0;
    double m_y = 0;
    bool m_bodyOnPage = false;
};

std::shared_ptr<const Document> Report::generate()
{
    auto doc = std::make_shared<Document>();
    Generator(*this, *doc).run();
    m_document = doc;
    emit generated(doc->pageCount());
    return doc;
}

} // namespace fw::report
