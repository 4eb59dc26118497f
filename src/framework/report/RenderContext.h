#pragma once
#include "framework/report/Cursor.h"
#include "framework/report/Document.h"

#include <QDateTime>

namespace fw::report {

/// What elements see while a report is generated. Internal to the engine.
class RenderContext
{
public:
    RenderContext(Document &document, Cursor *reportCursor)
        : m_document(document), m_reportCursor(reportCursor), m_current(reportCursor)
    {
    }

    Document &document() { return m_document; }
    /// The cursor an element reads: its own, or the report's. While group footers
    /// and the summary print, the report's cursor already stands on the next record,
    /// so they read a copy of the last record printed instead.
    Cursor *cursorFor(Cursor *own) const { return own ? own : m_current; }
    /// The cursor whose field indexes an element resolves at preparation.
    Cursor *resolveCursor(Cursor *own) const { return own ? own : m_reportCursor; }
    void setCurrent(Cursor *cursor) { m_current = cursor; }

    int pageNumber() const { return m_pageNumber; }
    void setPageNumber(int page) { m_pageNumber = page; }
    const QDateTime &printDate() const { return m_printDate; }
    void setPrintDate(const QDateTime &when) { m_printDate = when; }

    /// The field's index on the cursor; throws ReportError naming the element when it is missing.
    int requireField(Cursor *cursor, const QString &field, const QString &element) const;

private:
    Document &m_document;
    Cursor *m_reportCursor;
    Cursor *m_current;
    int m_pageNumber = 0;
    QDateTime m_printDate;
};

} // namespace fw::report
