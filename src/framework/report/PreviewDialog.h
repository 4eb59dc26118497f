#pragma once
#include "framework/report/Document.h"

#include <QDialog>
#include <QPrinter>

#include <functional>
#include <memory>

class QLabel;
class QPrintPreviewWidget;
class QToolBar;
class QToolButton;
class QAction;

namespace fw::report {

class Report;

/// The modal preview of a generated report: a page view with first, previous,
/// next and last page, zoom to fit, 100 % and fit width, printing, and a status
/// bar of three panels (page, zoom, messages). Callers add their own tool bar
/// actions before exec(). exec() blocks until the preview is closed by the user
/// or from code (closePreview()).
///
/// The dialog shares the document; a report passed in must outlive the dialog.
class PreviewDialog : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(QStringList textLines READ textLines)
public:
    /// Generates the report first when it has not been generated yet (errors
    /// propagate from here, before anything is shown).
    explicit PreviewDialog(Report &report, QWidget *parent = nullptr);
    /// Shows an already generated document, for example one read from the engine's own file.
    explicit PreviewDialog(std::shared_ptr<const Document> document, QWidget *parent = nullptr);
    ~PreviewDialog() override;

    Report *report() const { return m_report; }
    std::shared_ptr<const Document> document() const { return m_document; }
    /// Shows another document (a report file opened again); pages-generated follows.
    void setDocument(std::shared_ptr<const Document> document);

    QToolBar *toolBar() const { return m_toolBar; }
    /// Adds a caller's action to the tool bar; its button is named after the action
    /// ("<action name>Button") so an autopilot can click it.
    QToolButton *addToolAction(QAction *action);
    QPrintPreviewWidget *pageView() const { return m_view; }

    /// Panels 0 (page), 1 (zoom) and 2 (messages).
    QLabel *statusPanel(int index) const;
    void setStatusText(int panel, const QString &text);

    /// Opens maximised (the report's choice by default) or in a normal window.
    void setMaximizedOnOpen(bool on) { m_maximized = on; }

    int currentPage() const;
    int pageCount() const;
    /// What the pages read, line by line of print from the first page to the
    /// last: the texts of a line left to right, separated by tabs.
    QStringList textLines() const;

    int exec() override;

public slots:
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    void zoomToFit();
    void zoomActualSize();
    void fitWidth();
    /// Asks for a printer and prints.
    void printWithDialog();
    /// Closes the preview from code; exec() returns.
    void closePreview();

public:
    /// Prints on a configured printer without asking.
    void print(QPrinter &printer);

signals:
    /// The preview window became active (each time).
    void activated();
    /// All pages are ready; also sent once when the preview opens on a report
    /// generated before.
    void pagesGenerated(int pageCount);

protected:
    bool event(QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void build();
    void paintPages(QPrinter *printer);
    void updateStatus();
    void goTo(int page);

    Report *m_report = nullptr;
    std::shared_ptr<const Document> m_document;
    QPrinter m_printer;
    QPrintPreviewWidget *m_view = nullptr;
    QToolBar *m_toolBar = nullptr;
    QLabel *m_panels[3] = {};
    bool m_maximized = true;
    bool m_announced = false;
};

/// Generates the report when needed and shows it in a modal preview until it is
/// closed. `setup` runs on the dialog before it opens: add actions, connect hooks.
int preview(Report &report, const std::function<void(PreviewDialog &)> &setup = {}, QWidget *parent = nullptr);

} // namespace fw::report
