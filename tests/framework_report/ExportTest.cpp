#include "support/ReportFixture.h"

#include "framework/report/Exports.h"
#include "framework/report/PagePainter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace fw::report;
using namespace reporttest;

namespace {

/// Two short pages on a 210 x 110 mm paper: two groups, the second continuing on
/// page 2 under its repeated header, texts that need quoting and escaping.
struct SmallListing : Listing
{
    SmallListing()
    {
        report.setPageSize(QPageSize(QSizeF(210, 110), QPageSize::Millimeter, QStringLiteral("Prueba")));
        groupHeader->setReprintOnNewPage(true);
        auto *line = new Line(header, QStringLiteral("LineaCabecera"));
        line->setGeometry(0, 18, 190, 0);
        line->setStyle(PenStyle::Dot);
        auto *box = new Rectangle(groupFooter, QStringLiteral("Recuadro"));
        box->setGeometry(0, 0, 190, 6);
        cursor.appendRow({1, QStringLiteral("C1"), QStringLiteral("Pérez, \"El Rápido\""), 10.0});
        cursor.appendRow({1, QStringLiteral(" "), QStringLiteral("Ruiz & <Hijos>"), 2.5});
        cursor.appendRow({1, QStringLiteral("C3"), QStringLiteral("Año {nuevo} \\ sl"), 1500.0});
        addRows(2, 6, -987.456);
    }
};

QString tempPath(const QTemporaryDir &dir, const QString &name) { return dir.filePath(name); }

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString run(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return QStringLiteral("<%1 did not run>").arg(program);
    if (exitCode)
        *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(ReportExport, ExportsAreFoundByExtensionIgnoringCase)
{
    struct Case
    {
        const char *asked;
        const char *found; // null: no export
    } cases[] = {{"PDF", "PDF"}, {"pdf", "PDF"}, {".Pdf", "PDF"}, {"HTM", "HTM"}, {"rtf", "RTF"}, {"XLS", "XLS"},
                 {"txt", "TXT"}, {"QRX", "QRX"}, {"csv", "CSV"}, {"QRP", "QRP"}, {"HTML", nullptr},
                 {"DOC", nullptr}, {"", nullptr}};
    for (const Case &c : cases) {
        const Export *e = findExport(QString::fromLatin1(c.asked));
        EXPECT_EQ(e ? e->extension() : QString(), QString::fromLatin1(c.found)) << c.asked;
    }
    QStringList order;
    for (const Export &e : exports())
        order << e.extension();
    EXPECT_EQ(order, (QStringList{"QRP", "HTM", "PDF", "RTF", "XLS", "TXT", "QRX", "CSV"}));
}

TEST(ReportExport, TextCsvAndHtmlMatchTheirReferenceFiles)
{
    SmallListing l;
    const auto doc = l.report.generate();
    ASSERT_EQ(doc->pageCount(), 2);
    QTemporaryDir dir;
    const bool update = qEnvironmentVariableIsSet("VELMORA_UPDATE_REFERENCES");
    for (const char *ext : {"TXT", "CSV", "HTM"}) {
        SCOPED_TRACE(ext);
        const QString file = tempPath(dir, QStringLiteral("listado.") + QLatin1String(ext));
        findExport(QLatin1String(ext))->write(*doc, file);
        const QString reference = QStringLiteral(VELMORA_SOURCE_DIR "/tests/framework_report/data/listado.")
            + QString::fromLatin1(ext).toLower();
        if (update) {
            QFile::remove(reference);
            QFile::copy(file, reference);
        }
        EXPECT_EQ(readAll(file).toStdString(), readAll(reference).toStdString());
    }
}

TEST(ReportExport, PdfHoldsExtractableTextInEmbeddedFonts)
{
    SmallListing l;
    const auto doc = l.report.generate();
    QTemporaryDir dir;
    const QString file = tempPath(dir, QStringLiteral("listado.pdf"));
    findExport(QStringLiteral("pdf"))->write(*doc, file);

    EXPECT_TRUE(run(QStringLiteral("pdfinfo"), {file}).contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));
    EXPECT_TRUE(run(QStringLiteral("pdfinfo"), {file}).contains(QStringLiteral("Listado de prueba")));
    const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    for (const char *expected : {"LISTADO", "Fecha : 31/03/2024", "Pérez, \"El Rápido\"", "1.500,00", "-987,46",
                                 "1.512,50", "Pag. 1", "Pag. 2"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    // Page 2 starts with the repeated group header.
    const QStringList pages = text.split(u'\f');
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Grupo de Riesgo")));

    const QStringList fonts = run(QStringLiteral("pdffonts"), {file}).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(fonts.size(), 2); // two heading lines, then one line per font
    for (int i = 2; i < fonts.size(); ++i)
        EXPECT_TRUE(fonts[i].contains(QRegularExpression(QStringLiteral("\\byes\\s+(yes|no)\\s+yes\\b"))))
            << fonts[i].toStdString(); // embedded, with a Unicode map
}

TEST(ReportExport, PrintingGoesThroughQPrinter)
{
    SmallListing l;
    const auto doc = l.report.generate();
    QTemporaryDir dir;
    const QString file = tempPath(dir, QStringLiteral("impreso.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    setUpPrinter(*doc, printer);
    printDocument(*doc, printer, 2, 2);
    const QString text = run(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Pag. 2")));
    EXPECT_FALSE(text.contains(QStringLiteral("Pag. 1")));
    const QString info = run(QStringLiteral("pdfinfo"), {file});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Listado de prueba\\n")))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 31[12](\\.\\d+)? pts"))))
        << info.toStdString(); // the report's own paper, 210 x 110 mm
}

TEST(ReportExport, SpreadsheetOpensWithTextsAndNumbersInColumns)
{
    SmallListing l;
    const auto doc = l.report.generate();
    QTemporaryDir dir;
    const QString file = tempPath(dir, QStringLiteral("listado.XLS"));
    findExport(QStringLiteral("XLS"))->write(*doc, file);

    // A real reader, shared with the demo's test: every cell as REF=S:text or REF=N:number.
    const QString script = QStringLiteral(VELMORA_SOURCE_DIR "/tests/support/celdas_xlsx.py");
    int code = -1;
    const QString cells = run(QStringLiteral("python3"), {script, file}, &code);
    ASSERT_EQ(code, 0) << cells.toStdString();
    const QStringList lines = cells.split(u'\n', Qt::SkipEmptyParts);
    auto cell = [&](const QString &value) {
        for (const QString &line : lines)
            if (line.section(u'=', 1) == value)
                return line.section(u'=', 0, 0);
        return QString();
    };
    EXPECT_FALSE(cell(QStringLiteral("S:Pérez, \"El Rápido\"")).isEmpty());
    EXPECT_FALSE(cell(QStringLiteral("N:1500")).isEmpty());
    EXPECT_FALSE(cell(QStringLiteral("N:-987.46")).isEmpty()) << cells.toStdString();
    EXPECT_FALSE(cell(QStringLiteral("S:C3")).isEmpty()); // codes stay texts
    // The amount column is one spreadsheet column for every line of the report.
    EXPECT_EQ(cell(QStringLiteral("N:1500")).remove(QRegularExpression(QStringLiteral("\\d"))),
              cell(QStringLiteral("N:10")).remove(QRegularExpression(QStringLiteral("\\d"))));
}

TEST(ReportExport, RtfIsWellFormedAndReadsBackAsText)
{
    SmallListing l;
    const auto doc = l.report.generate();
    QTemporaryDir dir;
    const QString file = tempPath(dir, QStringLiteral("listado.rtf"));
    findExport(QStringLiteral("RTF"))->write(*doc, file);

    const QByteArray rtf = readAll(file);
    ASSERT_TRUE(rtf.startsWith("{\\rtf1"));
    int depth = 0;
    bool balanced = true;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i; // an escaped character or the first letter of a control word
            continue;
        }
        depth += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
        balanced = balanced && (depth > 0 || i == rtf.size() - 1 || rtf.mid(i + 1).trimmed().isEmpty());
    }
    EXPECT_EQ(depth, 0);
    EXPECT_TRUE(balanced);
    EXPECT_EQ(rtf.count("\\page"), 1);

    const QString text = run(QStringLiteral("unrtf"), {QStringLiteral("--text"), file});
    for (const char *expected : {"LISTADO", "Ruiz & <Hijos>", "{nuevo}", "1.500,00", "Pag. 2"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
}

TEST(ReportExport, XmlPageFormatHoldsEveryPageAndText)
{
    SmallListing l;
    const auto doc = l.report.generate();
    QTemporaryDir dir;
    const QString file = tempPath(dir, QStringLiteral("listado.qrx"));
    findExport(QStringLiteral("QRX"))->write(*doc, file);

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    int pages = 0;
    QStringList texts;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page"))
            ++pages;
        else if (xml.name() == QLatin1String("text"))
            texts << xml.readElementText();
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(pages, 2);
    QStringList expected;
    for (const Page &page : doc->pages)
        expected << reporttest::texts(page);
    EXPECT_EQ(texts, expected);
}

TEST(ReportExport, NativeFileOpensAgainAsTheSameReport)
{
    SmallListing l;
    QImage logo(8, 4, QImage::Format_ARGB32);
    logo.fill(Qt::red);
    auto *image = new Image(l.header, QStringLiteral("Logo"));
    image->setPicture(logo);
    image->setGeometry(170, 5, 20, 10);
    const auto doc = l.report.generate();
    QTemporaryDir dir;
    const QString file = tempPath(dir, QStringLiteral("listado.QRP"));
    findExport(QStringLiteral("QRP"))->write(*doc, file);

    const auto again = Document::load(file);
    EXPECT_EQ(again->title, doc->title);
    EXPECT_EQ(again->paperSize(), doc->paperSize());
    ASSERT_EQ(again->pageCount(), doc->pageCount());
    ASSERT_EQ(again->images.size(), 1u);
    EXPECT_EQ(again->images[0].pixel(1, 1), logo.pixel(1, 1));
    for (int p = 0; p < doc->pageCount(); ++p)
        EXPECT_EQ(again->pages[p].items.size(), doc->pages[p].items.size());
    writeText(*doc, tempPath(dir, QStringLiteral("a.txt")));
    writeText(*again, tempPath(dir, QStringLiteral("b.txt")));
    EXPECT_EQ(readAll(tempPath(dir, QStringLiteral("a.txt"))), readAll(tempPath(dir, QStringLiteral("b.txt"))));

    // Something else, or a cut-off report, is refused rather than misread.
    saveBytes(tempPath(dir, QStringLiteral("otro.QRP")), "%PDF-1.4 not a report");
    EXPECT_THROW(Document::load(tempPath(dir, QStringLiteral("otro.QRP"))), ReportError);
    saveBytes(tempPath(dir, QStringLiteral("corto.QRP")), readAll(file).left(200));
    EXPECT_THROW(Document::load(tempPath(dir, QStringLiteral("corto.QRP"))), ReportError);
}

TEST(ReportExport, EveryExportWritesAnEmptyReportAndReportsAFileItCannotWrite)
{
    Listing l;
    l.report.setPrintIfEmpty(false);
    const auto empty = l.report.generate();
    ASSERT_EQ(empty->pageCount(), 0);
    QTemporaryDir dir;
    for (const Export &e : exports()) {
        SCOPED_TRACE(e.extension().toStdString());
        const QString file = tempPath(dir, QStringLiteral("vacio.") + e.extension());
        EXPECT_NO_THROW(e.write(*empty, file));
        EXPECT_TRUE(QFile::exists(file));
        EXPECT_THROW(e.write(*empty, QStringLiteral("/no/such/folder/informe.") + e.extension()), ReportError);
    }
}
