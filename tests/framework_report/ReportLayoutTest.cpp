#include "support/ReportFixture.h"

#include <QBuffer>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace fw::report;
using namespace reporttest;

namespace {

std::vector<const LineItem *> lines(const Page &page)
{
    std::vector<const LineItem *> out;
    for (const PageItem &item : page.items)
        if (const auto *l = std::get_if<LineItem>(&item))
            out.push_back(l);
    return out;
}

double topOf(const Page &page, const QString &text)
{
    const TextItem *t = findText(page, text);
    return t ? t->rect.top() : -1;
}

} // namespace

TEST(ReportLayout, DetailLinesFillEachPageDownToTheFooter)
{
    Listing l(false);
    l.addRows(0, 120, 10);
    const auto doc = l.report.generate();

    ASSERT_EQ(doc->pageCount(), 3);
    const int perPage[] = {49, 49, 22};
    for (int p = 0; p < 3; ++p) {
        SCOPED_TRACE(p + 1);
        const Page &page = doc->pages[p];
        EXPECT_EQ(countStartingWith(page, QStringLiteral("C0-")), perPage[p]);
        for (const TextItem *t : textItems(page))
            if (t->text.startsWith(QStringLiteral("C0-"))) {
                EXPECT_GE(t->rect.top(), Listing::kBodyTop - 1e-6);
                EXPECT_LE(t->rect.bottom(), Listing::kBodyLimit + 1e-6);
            }
        EXPECT_DOUBLE_EQ(topOf(page, QStringLiteral("LISTADO")), 10);
        EXPECT_TRUE(findText(page, QStringLiteral("Fecha : 31/03/2024")));
        EXPECT_DOUBLE_EQ(topOf(page, QStringLiteral("Pag. %1").arg(p + 1)), 279);
    }
    // Records stay in order across the break.
    EXPECT_DOUBLE_EQ(topOf(doc->pages[1], QStringLiteral("C0-50")), Listing::kBodyTop);
    EXPECT_FALSE(findText(doc->pages[1], QStringLiteral("Totales .....")));
    EXPECT_TRUE(findText(doc->pages[2], QStringLiteral("Totales .....")));
    EXPECT_TRUE(findText(doc->pages[2], QStringLiteral("1.200,00")));
}

TEST(ReportLayout, PageHeaderOnFirstPageAndFooterOnLastPageAsAsked)
{
    struct Case
    {
        bool headerOnFirst, footerOnLast;
    } cases[] = {{true, true}, {false, true}, {true, false}, {false, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "header on first " << c.headerOnFirst << ", footer on last " << c.footerOnLast);
        Listing l(false);
        l.addRows(0, 60, 1);
        l.header->setPrintOnFirstPage(c.headerOnFirst);
        l.footer->setPrintOnLastPage(c.footerOnLast);
        const auto doc = l.report.generate();
        ASSERT_EQ(doc->pageCount(), 2);
        EXPECT_EQ(findText(doc->pages[0], QStringLiteral("LISTADO")) != nullptr, c.headerOnFirst);
        EXPECT_TRUE(findText(doc->pages[1], QStringLiteral("LISTADO")));
        EXPECT_TRUE(findText(doc->pages[0], QStringLiteral("Pag. 1")));
        EXPECT_EQ(findText(doc->pages[1], QStringLiteral("Pag. 2")) != nullptr, c.footerOnLast);
        // Without the header the first record moves up to the top margin.
        EXPECT_DOUBLE_EQ(topOf(doc->pages[0], QStringLiteral("C0-1")), c.headerOnFirst ? 30 : 10);
    }
}

TEST(ReportLayout, GroupHeaderRepeatsAtTheTopOfEachPageWhereItsGroupContinues)
{
    for (bool reprint : {true, false}) {
        SCOPED_TRACE(reprint);
        Listing l;
        l.addRows(1, 60, 1);
        l.addRows(2, 3, 1);
        l.groupHeader->setReprintOnNewPage(reprint);
        const auto doc = l.report.generate();
        ASSERT_EQ(doc->pageCount(), 2);
        const Page &second = doc->pages[1];
        const TextItem *repeated = findText(second, QStringLiteral("Grupo de Riesgo"));
        ASSERT_TRUE(repeated);
        if (reprint) {
            EXPECT_DOUBLE_EQ(repeated->rect.top(), 31);
            EXPECT_DOUBLE_EQ(topOf(second, QStringLiteral("1")), 31); // the group continuing is group 1
            EXPECT_EQ(countStartingWith(second, QStringLiteral("Grupo de Riesgo")), 2);
        } else {
            EXPECT_EQ(countStartingWith(second, QStringLiteral("Grupo de Riesgo")), 1); // only group 2's own
            EXPECT_GT(repeated->rect.top(), 31);
        }
        // The first detail line of page 2 sits right under whatever heads the page.
        const double firstDetail = topOf(second, QStringLiteral("C1-%1").arg(countStartingWith(doc->pages[0], "C1-") + 1));
        EXPECT_DOUBLE_EQ(firstDetail, reprint ? 38 : 30);
    }
}

TEST(ReportLayout, GroupSumsRestartAfterEachGroupFooterAndTheFooterShowsTheClosingGroup)
{
    Listing l;
    l.addRows(1, 3, 10);
    l.addRows(3, 2, 2.5);
    l.addRows(5, 1, -1234.5);
    const auto doc = l.report.generate();
    ASSERT_EQ(doc->pageCount(), 1);
    const Page &page = doc->pages[0];

    // Footers in order: group value of the group just closed, then its own sum.
    QStringList footers;
    const auto items = textItems(page);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i]->text == QStringLiteral("Totales Grupo"))
            footers << items[i + 1]->text + QStringLiteral(" ") + items[i + 2]->text;
    EXPECT_EQ(footers, (QStringList{"1 30,00", "3 5,00", "5 -1.234,50"}));
    EXPECT_EQ(countStartingWith(page, QStringLiteral("Grupo de Riesgo")), 3);
    EXPECT_TRUE(findText(page, QStringLiteral("-1.199,50"))); // the summary sums every group
}

TEST(ReportLayout, SummaryStartsOnANewPageOnlyWhenAskedAndOnlyAfterOtherBands)
{
    struct Case
    {
        int rows;
        bool newPage;
        int pages;
        int summaryPage;
    } cases[] = {{5, false, 1, 0}, {5, true, 2, 1}, {0, true, 1, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, new page " << c.newPage);
        Listing l;
        l.addRows(1, c.rows, 1);
        l.summary->setStartNewPage(c.newPage);
        const auto doc = l.report.generate();
        ASSERT_EQ(doc->pageCount(), c.pages);
        const Page &page = doc->pages[c.summaryPage];
        EXPECT_DOUBLE_EQ(topOf(page, QStringLiteral("Totales .....")), c.newPage && c.rows ? 32 : 32 + c.rows * 5 + (c.rows ? 14 : 0));
        EXPECT_EQ(countStartingWith(page, QStringLiteral("C1-")), c.newPage ? 0 : c.rows);
        EXPECT_TRUE(findText(page, QStringLiteral("Pag. %1").arg(c.summaryPage + 1)));
    }
}

TEST(ReportLayout, ReportWithoutRowsStillPrintsHeaderSummaryAndFooterButNoGroupBands)
{
    Listing l;
    const auto doc = l.report.generate();
    ASSERT_EQ(doc->pageCount(), 1);
    EXPECT_EQ(texts(doc->pages[0]),
              (QStringList{"LISTADO", "Fecha : 31/03/2024", "Totales .....", "0,00", "Pag. 1"}));

    l.report.setPrintIfEmpty(false);
    EXPECT_EQ(l.report.generate()->pageCount(), 0);
}

TEST(ReportLayout, BeforePrintHookSwitchesFrameLinesAndPrintingPerRecord)
{
    Listing l(false);
    for (const char *code : {"C1", " ", " ", "C2", " ", "SKIP"})
        l.cursor.appendRow({0, QString::fromLatin1(code), QStringLiteral("n"), 1.0});
    const int codeField = l.cursor.fieldIndex(QStringLiteral("Codigo"));
    l.detail->frame().style = PenStyle::Dot;
    l.detail->setBeforePrint([&](Band &band, bool &print) {
        const QString code = l.cursor.displayText(codeField);
        band.frame().top = code != QStringLiteral(" ");
        print = code != QStringLiteral("SKIP");
    });
    const auto doc = l.report.generate();
    const Page &page = doc->pages[0];

    std::vector<double> lineTops;
    for (const LineItem *line : lines(page)) {
        EXPECT_EQ(line->style, PenStyle::Dot);
        EXPECT_DOUBLE_EQ(line->from.x(), 10);
        EXPECT_DOUBLE_EQ(line->to.x(), 200);
        lineTops.push_back(line->from.y());
    }
    EXPECT_EQ(lineTops, (std::vector<double>{30, 45})); // above C1 and above C2 only
    EXPECT_FALSE(findText(page, QStringLiteral("SKIP")));
    EXPECT_TRUE(findText(page, QStringLiteral("5,00"))); // a skipped line is not summed
}

TEST(ReportLayout, MemoGrowsItsBandAndTheGrownBandMovesToTheNextPage)
{
    Listing l(false);
    l.addRows(0, 47, 1); // ends at 265 mm: room for the 10 mm summary, not for six memo lines
    auto *memo = new Memo(l.summary, QStringLiteral("QRMemo1"));
    memo->setGeometry(60, 2, 30, 5);
    memo->setLines({"30 dias", "60 dias", "90 dias", "Superior", " ", "TOTALES ..."});
    const auto doc = l.report.generate();
    ASSERT_EQ(doc->pageCount(), 2);
    const Page &page = doc->pages[1];
    const double step = Memo::lineHeight(memo->font());
    for (int i = 0; i < 6; ++i) {
        if (i == 4)
            continue; // the blank line prints nothing but keeps its place
        const QString line = memo->lines()[i];
        EXPECT_NEAR(topOf(page, line), 32 + i * step, 1e-9) << line.toStdString();
    }

    l.cursor.clearRows();
    l.addRows(0, 10, 1);
    memo->setEnabled(false);
    EXPECT_EQ(l.report.generate()->pageCount(), 1);
}

TEST(ReportLayout, GroupHeaderIsNotLeftAloneAtTheFootOfAPage)
{
    Listing l;
    l.addRows(1, 45, 1); // header, 45 lines and the footer end at 269 mm: 8 mm left
    l.addRows(2, 2, 1);
    const auto doc = l.report.generate();
    ASSERT_EQ(doc->pageCount(), 2);
    EXPECT_EQ(countStartingWith(doc->pages[0], QStringLiteral("Grupo de Riesgo")), 1);
    EXPECT_DOUBLE_EQ(topOf(doc->pages[1], QStringLiteral("Grupo de Riesgo")), 31);
    EXPECT_DOUBLE_EQ(topOf(doc->pages[1], QStringLiteral("C2-1")), 38);
}

TEST(ReportLayout, ElementsReadOtherCursorsAndPicturesFromBlobFields)
{
    Listing l(false);
    l.addRows(0, 60, 1);
    MemoryCursor company;
    company.addField(QStringLiteral("NOMBRE"), FieldKind::Text);
    company.addField(QStringLiteral("LOGOTIPO"), FieldKind::Blob);
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    logo.save(&buffer, "PNG");
    company.appendRow({QStringLiteral("Comercial Ejemplo, S.A."), png});
    company.first();

    auto *name = new DataField(l.header, QStringLiteral("NombreEmpresa"), QStringLiteral("NOMBRE"));
    name->setCursor(&company);
    name->setGeometry(30, 6, 100, 5);
    auto *image = new Image(l.header, QStringLiteral("Logotipo"));
    image->setCursor(&company);
    image->setField(QStringLiteral("LOGOTIPO"));
    image->setGeometry(0, 6, 25, 12);

    const auto doc = l.report.generate();
    ASSERT_EQ(doc->pageCount(), 2);
    for (const Page &page : doc->pages) {
        EXPECT_TRUE(findText(page, QStringLiteral("Comercial Ejemplo, S.A.")));
        int images = 0;
        for (const PageItem &item : page.items)
            if (const auto *i = std::get_if<ImageItem>(&item)) {
                ++images;
                EXPECT_EQ(i->rect, QRectF(10, 16, 25, 12)); // stretched into its box
            }
        EXPECT_EQ(images, 1);
    }
    ASSERT_EQ(doc->images.size(), 1u); // decoded and kept once for every page
    EXPECT_EQ(doc->images[0].pixel(5, 5), logo.pixel(5, 5));
}

TEST(ReportLayout, DataFieldsPrintTheFieldsDisplayTextUnlessGivenAMask)
{
    MemoryCursor cursor;
    cursor.addField(QStringLiteral("Importe"), FieldKind::Float,
                    [](const QVariant &v) { return QStringLiteral("<%1>").arg(v.toDouble()); });
    cursor.addField(QStringLiteral("Fecha"), FieldKind::Date);
    cursor.addField(QStringLiteral("Dias"), FieldKind::Integer);
    cursor.appendRow({1500.0, QDate(2024, 3, 31), 1500});
    Report report;
    report.setCursor(&cursor);
    Band *detail = report.addBand(BandKind::Detail, 5);
    struct Case
    {
        const char *field, *mask, *text;
    } cases[] = {{"Importe", "", "<1500>"},
                 {"Importe", "#,##0.00", "1.500,00"},
                 {"Fecha", "dd/mm/yy", "31/03/24"},
                 {"Fecha", "", "31/03/2024"},
                 {"Dias", "#,##0", "1.500"}};
    double x = 0;
    for (const Case &c : cases) {
        auto *f = new DataField(detail, QString(), QString::fromLatin1(c.field));
        f->setMask(QString::fromLatin1(c.mask));
        f->setGeometry(x, 0, 30, 5);
        x += 32;
    }
    QStringList expected;
    for (const Case &c : cases)
        expected << QString::fromLatin1(c.text);
    EXPECT_EQ(texts(report.generate()->pages[0]), expected);
}

TEST(ReportLayout, DefinitionsThatCannotPrintAreRefused)
{
    {
        Listing l;
        new DataField(l.detail, QStringLiteral("Desconocido"), QStringLiteral("NoExiste"));
        EXPECT_THROW(l.report.generate(), ReportError);
    }
    {
        Listing l;
        l.detail->setHeight(300);
        EXPECT_THROW(l.report.generate(), ReportError);
    }
    {
        Listing l;
        EXPECT_THROW(l.report.addBand(BandKind::Detail, 5), ReportError);
    }
}

TEST(ReportLayout, GeneratedSignalCarriesThePageCount)
{
    Listing l;
    l.addRows(1, 100, 1);
    QSignalSpy spy(&l.report, &Report::generated);
    const auto doc = l.report.generate();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), doc->pageCount());
    EXPECT_EQ(l.report.document(), doc);
}

TEST(ReportLayout, LandscapePagesAreWiderAndShorter)
{
    Listing l(false);
    l.report.setOrientation(QPageLayout::Landscape);
    l.addRows(0, 40, 1);
    l.detail->frame().bottom = true;
    const auto doc = l.report.generate();
    EXPECT_EQ(doc->paperSize(), QSizeF(297, 210));
    ASSERT_EQ(doc->pageCount(), 2);
    EXPECT_EQ(countStartingWith(doc->pages[0], QStringLiteral("C0-")), 32); // 160 mm of body
    EXPECT_DOUBLE_EQ(topOf(doc->pages[0], QStringLiteral("Pag. 1")), 192);
    for (const LineItem *line : lines(doc->pages[0]))
        EXPECT_DOUBLE_EQ(line->to.x(), 287);
}
