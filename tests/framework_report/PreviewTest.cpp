#include "support/ReportFixture.h"

#include "framework/report/PreviewDialog.h"

#include <QAction>
#include <QBuffer>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace fw::report;
using namespace reporttest;

namespace {

// Closes a preview that a failing test would leave open, so the run never hangs.
void closeEventually(PreviewDialog &dialog)
{
    QTimer::singleShot(20000, &dialog, [&dialog] { dialog.done(-1); });
}

void trigger(PreviewDialog &dialog, const char *action)
{
    auto *a = dialog.findChild<QAction *>(QLatin1String(action));
    ASSERT_TRUE(a) << action;
    a->trigger();
}

} // namespace

TEST(ReportPreview, OpensOnTheReportPagesThroughItsPagesAndClosesFromCode)
{
    Listing l;
    l.addRows(1, 120, 1);
    PreviewDialog dialog(l.report);
    auto *save = new QAction(QStringLiteral("Guardar"), &dialog);
    save->setObjectName(QStringLiteral("Guardar"));
    dialog.addToolAction(save);
    EXPECT_TRUE(dialog.findChild<QToolButton *>(QStringLiteral("GuardarButton")));

    int generated = 0;
    int activations = 0;
    QStringList visited;
    QObject::connect(&dialog, &PreviewDialog::activated, [&] { ++activations; });
    QObject::connect(&dialog, &PreviewDialog::pagesGenerated, [&](int pages) {
        ++generated;
        EXPECT_EQ(pages, 3);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.isMaximized());
        visited << dialog.statusPanel(0)->text();
        for (const char *action : {"lastPageAction", "previousPageAction", "firstPageAction", "nextPageAction"}) {
            trigger(dialog, action);
            visited << dialog.statusPanel(0)->text();
        }
        trigger(dialog, "zoom100Action");
        EXPECT_EQ(dialog.statusPanel(1)->text(), QStringLiteral("100 %"));
        trigger(dialog, "fitWidthAction");
        trigger(dialog, "zoomFitAction");
        dialog.setStatusText(2, QStringLiteral("Informe guardado: x.pdf"));
        EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("statusMessage"))->text(),
                  QStringLiteral("Informe guardado: x.pdf"));
        dialog.closePreview();
    });
    closeEventually(dialog);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(generated, 1);
    EXPECT_GE(activations, 1);
    EXPECT_EQ(visited, (QStringList{"Página 1 de 3", "Página 3 de 3", "Página 2 de 3", "Página 1 de 3",
                                    "Página 2 de 3"}));
}

TEST(ReportPreview, AnnouncesPagesAlsoForAReportGeneratedBeforeAndOpensInTheWindowStateAsked)
{
    for (bool maximized : {true, false}) {
        SCOPED_TRACE(maximized);
        Listing l;
        l.addRows(1, 3, 1);
        l.report.setPreviewMaximized(maximized);
        const auto doc = l.report.generate();
        int generated = 0;
        bool wasMaximized = !maximized;
        const int result = preview(l.report, [&](PreviewDialog &dialog) {
            EXPECT_EQ(dialog.document(), doc); // not generated a second time
            closeEventually(dialog);
            QObject::connect(&dialog, &PreviewDialog::pagesGenerated, &dialog, [&](int pages) {
                ++generated;
                EXPECT_EQ(pages, 1);
                wasMaximized = dialog.isMaximized();
                dialog.closePreview();
            });
        });
        EXPECT_EQ(result, QDialog::Rejected);
        EXPECT_EQ(generated, 1);
        EXPECT_EQ(wasMaximized, maximized);
    }
}

TEST(ReportPreview, ShowsADocumentReadBackFromTheEnginesOwnFile)
{
    Listing l;
    l.addRows(1, 60, 1);
    QByteArray bytes;
    {
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        l.report.generate()->save(out);
    }
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    PreviewDialog dialog(Document::load(in));
    EXPECT_EQ(dialog.pageCount(), 2);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Listado de prueba"));
    QObject::connect(&dialog, &PreviewDialog::pagesGenerated, &dialog, [&] {
        trigger(dialog, "lastPageAction");
        EXPECT_EQ(dialog.currentPage(), 2);
        dialog.closePreview();
    });
    closeEventually(dialog);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}
