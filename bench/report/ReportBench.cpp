// Generates a 10 000-row grouped listing and writes it as PDF, printing pages per
// second for each step against its target, and memory against the page count.
#include "framework/report/Exports.h"
#include "framework/report/MemoryCursor.h"
#include "framework/report/Report.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <memory>

using namespace fw::report;

namespace {

long statusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toLong();
    return 0;
}

// Processor time of this process: the engine's own cost, whatever else runs on the machine.
double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

const char *const kAmounts[] = {"PedidosPtes", "AlbaranesSinFacturar", "FacturasPtesCobro", "RemesasEnRiesgo",
                                "TotalRiesgo", "RiesgoConcedido", "Excedente"};

void fill(MemoryCursor &cursor, int rows)
{
    cursor.addField(QStringLiteral("GrupoRiesgo"), FieldKind::Integer);
    cursor.addField(QStringLiteral("CodigoCliente"), FieldKind::Text);
    cursor.addField(QStringLiteral("ClienteNombre"), FieldKind::Text);
    for (const char *a : kAmounts)
        cursor.addField(QLatin1String(a), FieldKind::Float);
    int group = 1, left = 37;
    for (int i = 0; i < rows; ++i) {
        if (--left == 0) {
            ++group;
            left = 1 + (group * 37) % 90; // groups of 1 to 90 rows
        }
        std::vector<QVariant> row{group, QStringLiteral("%1").arg(100000 + i),
                                  QStringLiteral("Cliente de prueba número %1, S.L.").arg(i)};
        for (int a = 0; a < 7; ++a)
            row.emplace_back((i * 7919 + a * 104729) % 2000000 / 100.0 - 3000);
        cursor.appendRow(std::move(row));
    }
}

void define(Report &report, MemoryCursor &cursor)
{
    report.setCursor(&cursor);
    report.setTitle(QStringLiteral("SituacionRiesgoClientes"));
    QFont bold(QStringLiteral("DejaVu Sans"), 8);
    bold.setBold(true);

    Band *header = report.addBand(BandKind::PageHeader, 22, QStringLiteral("QRBandTitulo"));
    auto *title = new Label(header, QStringLiteral("LabelTitulo"), QStringLiteral("Situación de riesgo de clientes"));
    title->setFont(QFont(QStringLiteral("DejaVu Sans"), 12, QFont::Bold));
    title->setGeometry(0, 0, 120, 7);
    auto *date = new PrintDate(header, QStringLiteral("Fecha"), QStringLiteral("Fecha : "));
    date->setGeometry(140, 0, 50, 5);
    date->setAlignment(Qt::AlignRight);
    new Label(header, QStringLiteral("LabelSubTitulo"), QStringLiteral("Todos los clientes"));
    header->elements().back()->setGeometry(0, 8, 120, 5);
    const char *headings[] = {"Codigo", "Nombre Cliente", "Pedidos", "Albaran. Pte.", "Vtos. Pte", "Remesas",
                              "Total Riesgo", "Riesgo Conc.", "Saldo"};
    const double x[] = {0, 14, 62, 80, 98, 116, 134, 152, 170};
    for (int i = 0; i < 9; ++i) {
        auto *h = new Label(header, QString(), QLatin1String(headings[i]));
        h->setFont(bold);
        h->setGeometry(x[i], 15, i < 2 ? 46 : 18, 5);
        h->setAlignment(i < 2 ? Qt::AlignLeft : Qt::AlignRight);
    }
    header->frame().bottom = true;

    Band *footer = report.addBand(BandKind::PageFooter, 8, QStringLiteral("QRBand1"));
    auto *page = new PageNumber(footer, QStringLiteral("Pagina"), QStringLiteral("Pag. "));
    page->setGeometry(150, 2, 40, 5);
    page->setAlignment(Qt::AlignRight);
    footer->frame().top = true;

    Band *groupHeader = report.addGroupHeader(QStringLiteral("GrupoRiesgo"), 8, QStringLiteral("CabeceraGrupo"));
    groupHeader->setReprintOnNewPage(true);
    auto *gl = new Label(groupHeader, QString(), QStringLiteral("Grupo de Riesgo"));
    gl->setFont(bold);
    gl->setGeometry(0, 1, 40, 6);
    auto *gv = new DataField(groupHeader, QString(), QStringLiteral("GrupoRiesgo"));
    gv->setFont(bold);
    gv->setGeometry(42, 1, 10, 6);

    Band *detail = report.addBand(BandKind::Detail, 4.5, QStringLiteral("DetailBand1"));
    const int codeField = cursor.fieldIndex(QStringLiteral("CodigoCliente"));
    detail->setBeforePrint([&cursor, codeField](Band &band, bool &) {
        band.frame().top = cursor.displayText(codeField) != QStringLiteral(" ");
    });
    detail->frame().style = PenStyle::Dot;
    auto *code = new DataField(detail, QStringLiteral("CodigoCliente"), QStringLiteral("CodigoCliente"));
    code->setGeometry(0, 0, 13, 4.5);
    auto *name = new DataField(detail, QStringLiteral("ClienteNombre"), QStringLiteral("ClienteNombre"));
    name->setGeometry(14, 0, 46, 4.5);

    Band *groupFooter = report.addGroupFooter(groupHeader, 7, QStringLiteral("PieGrupo"));
    auto *box = new Rectangle(groupFooter);
    box->setGeometry(0, 0.5, 190, 6);
    Band *summary = report.addBand(BandKind::Summary, 8, QStringLiteral("SummaryBand1"));
    new Label(summary, QString(), QStringLiteral("Totales ....."));
    summary->elements().back()->setGeometry(0, 1, 40, 5);
    for (int a = 0; a < 7; ++a) {
        auto *f = new DataField(detail, QLatin1String(kAmounts[a]), QLatin1String(kAmounts[a]));
        f->setMask(QStringLiteral("#,##0.00"));
        f->setGeometry(x[a + 2], 0, 18, 4.5);
        f->setAlignment(Qt::AlignRight);
        auto *s = new SumField(groupFooter, QString(), QLatin1String(kAmounts[a]));
        s->setGeometry(x[a + 2], 1, 18, 5);
        s->setAlignment(Qt::AlignRight);
        auto *t = new SumField(summary, QString(), QLatin1String(kAmounts[a]));
        t->setResetAfterPrint(false);
        t->setGeometry(x[a + 2], 1, 18, 5);
        t->setAlignment(Qt::AlignRight);
    }
}

struct Run
{
    int pages;
    double generateSeconds;
    long memoryKb; // growth of the resident set while the document is held
};

Run generateOnly(int rows)
{
    MemoryCursor cursor;
    fill(cursor, rows);
    Report report;
    define(report, cursor);
    const long before = statusKb("VmRSS:");
    QElapsedTimer t;
    t.start();
    const auto doc = report.generate();
    const double seconds = t.nsecsElapsed() / 1e9;
    return {doc->pageCount(), seconds, statusKb("VmRSS:") - before};
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 10000;

    // Memory against pages: the same listing at a quarter, half and full size.
    std::printf("memory (resident growth while the pages are held):\n");
    for (int n : {rows / 4, rows / 2, rows}) {
        const Run r = generateOnly(n);
        std::printf("  %6d rows  %4d pages  %7ld KB  %5.1f KB/page\n", n, r.pages, r.memoryKb,
                    r.pages ? double(r.memoryKb) / r.pages : 0.0);
    }

    MemoryCursor cursor;
    fill(cursor, rows);
    Report report;
    define(report, cursor);
    QElapsedTimer t;
    t.start();
    double cpu = cpuSeconds();
    const auto doc = report.generate();
    const double genSeconds = t.nsecsElapsed() / 1e9;
    const double genCpu = cpuSeconds() - cpu;

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("bench.pdf"));
    t.restart();
    cpu = cpuSeconds();
    findExport(QStringLiteral("PDF"))->write(*doc, pdf);
    const double pdfSeconds = t.nsecsElapsed() / 1e9;
    const double pdfCpu = cpuSeconds() - cpu;

    const int pages = doc->pageCount();
    const double genRate = pages / genSeconds;
    const double pdfRate = pages / pdfSeconds;
    std::printf("%d rows, %d pages\n", rows, pages);
    std::printf("generation  %8.0f pages/s  (%.3f s)  ratio to target 300 pages/s: %.2f\n", genRate, genSeconds,
                genRate / 300);
    std::printf("PDF export  %8.0f pages/s  (%.3f s, %lld KB)  ratio to target 100 pages/s: %.2f\n", pdfRate,
                pdfSeconds, QFileInfo(pdf).size() / 1024, pdfRate / 100);
    std::printf("processor time only: generation %.0f pages/s (ratio %.2f), PDF %.0f pages/s (ratio %.2f)\n",
                pages / genCpu, pages / genCpu / 300, pages / pdfCpu, pages / pdfCpu / 100);
    std::printf("peak resident memory %ld KB\n", statusKb("VmHWM:"));
    return 0;
}
