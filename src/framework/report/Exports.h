#pragma once
#include "framework/report/Document.h"

#include <QChar>
#include <QString>

#include <functional>
#include <vector>

namespace fw::report {

/// A way of writing a generated report to a file, found by the file's extension.
class Export
{
public:
    using Writer = std::function<void(const Document &doc, const QString &fileName)>;

    Export(QString extension, QString description, Writer writer)
        : m_extension(std::move(extension)), m_description(std::move(description)), m_writer(std::move(writer))
    {
    }
    /// Capitals, no point: "PDF".
    const QString &extension() const { return m_extension; }
    const QString &description() const { return m_description; }
    /// Writes the whole document; throws ReportError when the file cannot be written.
    void write(const Document &doc, const QString &fileName) const { m_writer(doc, fileName); }

private:
    QString m_extension;
    QString m_description;
    Writer m_writer;
};

/// Every registered export, the engine's own first: QRP (native), HTM, PDF, RTF,
/// XLS (written as an Office Open XML workbook), TXT, QRX (the pages as XML), CSV.
const std::vector<Export> &exports();
/// Adds an export after the built-in ones.
void registerExport(Export e);
/// The first export for an extension ("pdf", "PDF" or ".pdf" alike), or null when
/// there is none.
const Export *findExport(const QString &extension);
/// Every export for an extension, in registration order.
std::vector<const Export *> findExports(const QString &extension);

// The writers behind the built-in exports. Each throws ReportError when the file
// cannot be written; none shows anything or processes events.

/// The engine's own format (Document::save), which the preview opens again.
void writeNative(const Document &doc, const QString &fileName);
/// Plain text: each line of the report on a line of text, columns placed by their
/// position on the page; pages separated by a form feed. UTF-8.
void writeText(const Document &doc, const QString &fileName);
/// One record per line of the report, its texts as fields, quoted where needed. UTF-8.
void writeCsv(const Document &doc, const QString &fileName, QChar separator = u',');
/// One HTML file; each page a box of the paper's size with the items placed in
/// millimetres; pictures embedded once.
void writeHtml(const Document &doc, const QString &fileName);
/// RTF: each line of the report a paragraph with its own tab stops, so columns
/// line up in a word processor; pictures in positioned frames; pages broken as in
/// the report. Lines and rectangles are not carried over.
void writeRtf(const Document &doc, const QString &fileName);
/// A spreadsheet (Office Open XML content, whatever the file's extension): one
/// row per line of the report, columns by position on the page, numbers as numbers.
void writeXls(const Document &doc, const QString &fileName);
/// Every page and item as XML, fonts and pictures included.
void writeXml(const Document &doc, const QString &fileName);

/// Writes bytes to a file, replacing it; throws ReportError on failure.
void saveBytes(const QString &fileName, const QByteArray &data);

} // namespace fw::report
