#include "framework/report/PreviewDialog.h"

#include "framework/report/PagePainter.h"
#include "framework/report/Report.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace fw::report {

PreviewDialog::PreviewDialog(Report &report, QWidget *parent)
    : QDialog(parent), m_report(&report), m_printer(QPrinter::HighResolution)
{
    m_document = report.document() ? report.document() : report.generate();
    m_maximized = report.previewMaximized();
    build();
}

PreviewDialog::PreviewDialog(std::shared_ptr<const Document> document, QWidget *parent)
    : QDialog(parent), m_document(std::move(document)), m_printer(QPrinter::HighResolution)
{
    if (!m_document)
        m_document = std::make_shared<Document>();
    build();
}

PreviewDialog::~PreviewDialog() = default;

void PreviewDialog::build()
{
    setObjectName(QStringLiteral("PreviewDialog"));
    setWindowTitle(m_document->title.isEmpty() ? QStringLiteral("Vista previa") : m_document->title);
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setUpPrinter(*m_document, m_printer);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_view = new QPrintPreviewWidget(&m_printer, this);
    m_view->setObjectName(QStringLiteral("pageView"));
    m_view->setViewMode(QPrintPreviewWidget::SinglePageView);
    connect(m_view, &QPrintPreviewWidget::paintRequested, this, &PreviewDialog::paintPages);
    connect(m_view, &QPrintPreviewWidget::previewChanged, this, &PreviewDialog::updateStatus);

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("statusBar"));
    status->setSizeGripEnabled(false);
    static const char *const panelNames[3] = {"statusPage", "statusZoom", "statusMessage"};
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(status);
        m_panels[i]->setObjectName(QLatin1String(panelNames[i]));
        m_panels[i]->setMinimumWidth(i == 2 ? 200 : 110);
        status->addWidget(m_panels[i], i == 2 ? 1 : 0);
    }

    auto add = [&](const char *name, const QString &text, QStyle::StandardPixmap icon, auto slot,
                   const QKeySequence &key = {}) {
        auto *a = new QAction(style()->standardIcon(icon), text, this);
        a->setObjectName(QLatin1String(name));
        a->setToolTip(text);
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        addToolAction(a);
    };
    add("firstPageAction", QStringLiteral("Primera página"), QStyle::SP_MediaSkipBackward, &PreviewDialog::firstPage,
        QKeySequence(Qt::CTRL | Qt::Key_Home));
    add("previousPageAction", QStringLiteral("Página anterior"), QStyle::SP_MediaSeekBackward,
        &PreviewDialog::previousPage, QKeySequence(Qt::Key_PageUp));
    add("nextPageAction", QStringLiteral("Página siguiente"), QStyle::SP_MediaSeekForward, &PreviewDialog::nextPage,
        QKeySequence(Qt::Key_PageDown));
    add("lastPageAction", QStringLiteral("Última página"), QStyle::SP_MediaSkipForward, &PreviewDialog::lastPage,
        QKeySequence(Qt::CTRL | Qt::Key_End));
    m_toolBar->addSeparator();
    add("zoomFitAction", QStringLiteral("Página completa"), QStyle::SP_TitleBarNormalButton, &PreviewDialog::zoomToFit);
    add("zoom100Action", QStringLiteral("100 %"), QStyle::SP_FileDialogContentsView, &PreviewDialog::zoomActualSize);
    add("fitWidthAction", QStringLiteral("Ancho de página"), QStyle::SP_FileDialogDetailedView,
        &PreviewDialog::fitWidth);
    m_toolBar->addSeparator();
    add("printAction", QStringLiteral("Imprimir"), QStyle::SP_DialogSaveButton, &PreviewDialog::printWithDialog,
        QKeySequence(Qt::CTRL | Qt::Key_P));
    add("closeAction", QStringLiteral("Cerrar"), QStyle::SP_DialogCloseButton, &PreviewDialog::closePreview);
    m_toolBar->addSeparator();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_view, 1);
    layout->addWidget(status);
    resize(900, 700);
    m_view->fitInView();
}

QToolButton *PreviewDialog::addToolAction(QAction *action)
{
    m_toolBar->addAction(action);
    auto *button = qobject_cast<QToolButton *>(m_toolBar->widgetForAction(action));
    if (button && !action->objectName().isEmpty())
        button->setObjectName(action->objectName() + QLatin1String("Button"));
    return button;
}

QLabel *PreviewDialog::statusPanel(int index) const { return index >= 0 && index < 3 ? m_panels[index] : nullptr; }

void PreviewDialog::setStatusText(int panel, const QString &text)
{
    if (QLabel *l = statusPanel(panel))
        l->setText(text);
}

void PreviewDialog::setDocument(std::shared_ptr<const Document> document)
{
    m_document = document ? std::move(document) : std::make_shared<Document>();
    setUpPrinter(*m_document, m_printer);
    m_view->updatePreview();
    m_view->fitInView();
    emit pagesGenerated(m_document->pageCount());
}

int PreviewDialog::currentPage() const { return m_view->currentPage(); }

int PreviewDialog::pageCount() const { return m_document->pageCount(); }

QStringList PreviewDialog::textLines() const
{
    QStringList out;
    for (const Page &page : m_document->pages) {
        for (const TextLine &line : fw::report::textLines(page)) {
            QStringList texts;
            for (const TextItem *item : line.items)
                texts << item->text;
            out << texts.join(QLatin1Char('\t'));
        }
    }
    return out;
}

int PreviewDialog::exec()
{
    if (m_maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    return QDialog::exec();
}

void PreviewDialog::paintPages(QPrinter *printer)
{
    QPainter painter(printer);
    for (int p = 0; p < m_document->pageCount(); ++p) {
        if (p > 0)
            printer->newPage();
        paintPage(painter, *m_document, p);
    }
}

void PreviewDialog::goTo(int page)
{
    const int count = m_view->pageCount();
    if (count <= 0)
        return;
    m_view->setCurrentPage(std::clamp(page, 1, count));
    updateStatus();
}

void PreviewDialog::firstPage() { goTo(1); }
void PreviewDialog::previousPage() { goTo(m_view->currentPage() - 1); }
void PreviewDialog::nextPage() { goTo(m_view->currentPage() + 1); }
void PreviewDialog::lastPage() { goTo(m_view->pageCount()); }

void PreviewDialog::zoomToFit()
{
    m_view->fitInView();
    updateStatus();
}

void PreviewDialog::zoomActualSize()
{
    m_view->setZoomFactor(1.0);
    updateStatus();
}

void PreviewDialog::fitWidth()
{
    m_view->fitToWidth();
    updateStatus();
}

void PreviewDialog::printWithDialog()
{
    QPrintDialog dialog(&m_printer, this);
    dialog.setMinMax(1, std::max(1, pageCount()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        print(m_printer);
    } catch (const ReportError &e) {
        setStatusText(2, e.message());
    }
}

void PreviewDialog::print(QPrinter &printer)
{
    setUpPrinter(*m_document, printer);
    printDocument(*m_document, printer);
}

void PreviewDialog::closePreview() { reject(); }

void PreviewDialog::updateStatus()
{
    const int count = m_document->pageCount();
    setStatusText(0, QStringLiteral("Página %1 de %2").arg(count ? m_view->currentPage() : 0).arg(count));
    setStatusText(1, QStringLiteral("%1 %").arg(qRound(m_view->zoomFactor() * 100)));
}

bool PreviewDialog::event(QEvent *e)
{
    const bool handled = QDialog::event(e);
    if (e->type() == QEvent::WindowActivate)
        emit activated();
    return handled;
}

void PreviewDialog::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_announced) {
        m_announced = true;
        // Once the window is up: the caller's hook may close it again at once.
        QTimer::singleShot(0, this, [this] {
            m_view->fitInView();
            updateStatus();
            emit pagesGenerated(m_document->pageCount());
        });
    }
}

int preview(Report &report, const std::function<void(PreviewDialog &)> &setup, QWidget *parent)
{
    PreviewDialog dialog(report, parent);
    if (setup)
        setup(dialog);
    return dialog.exec();
}

} // namespace fw::report
