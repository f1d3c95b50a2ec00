#pragma once

#include "report/PageView.h"
#include "report/PreparedReport.h"
#include "report/PreviewDialogs.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QLabel;
class QListView;
class QPrinter;
class QTabWidget;
class QToolBar;

namespace report {

class SearchResultPane;
class ThumbnailModel;

/// The preview window: prepared pages with zoom, paging, search, printing, PDF export
/// and saving and loading of prepared reports.
class ReportPreview : public QMainWindow {
    Q_OBJECT
  public:
    /// Shows `report`. Prints on `printer` (not owned; may be null, then the window keeps
    /// a printer of its own). Asks the user through PreviewDialogs::current().
    explicit ReportPreview(const PreparedReport &report, QPrinter *printer = nullptr,
                           QWidget *parent = nullptr);
    ~ReportPreview() override;

    /// Opens a preview maximised, zoomed to a whole page, on page 1, and returns when the
    /// user has closed it. Other windows stay usable meanwhile (a local event loop runs).
    static void execPreview(const PreparedReport &report, QPrinter *printer = nullptr,
                            QWidget *parent = nullptr);

    void setDialogs(const PreviewDialogs &dialogs) { m_dialogs = dialogs; }

    const PreparedReport &report() const { return m_report; }
    int currentPage() const; // zero-based
    int pageCount() const { return m_report.pageCount(); }
    void goToPage(int index);

    PageView *pageView() const { return m_view; }
    SearchResultPane *searchResults() const { return m_search; }
    QListView *thumbnails() const { return m_thumbnails; }
    QTabWidget *sidePane() const { return m_side; }
    /// The status bar's texts.
    QString zoomText() const;
    QString pageText() const;

    void search(const QString &text, bool matchCase);
    void saveReport();
    void loadReport();
    void exportPdf();
    void print();
    void printerSetup();
    void askPage();
    void askSearch();

  signals:
    void closed();

  protected:
    void closeEvent(QCloseEvent *event) override;

  private:
    QAction *addTool(const QString &name, const QString &hint, const QIcon &icon,
                     const QList<QKeySequence> &keys = {});
    void buildToolBar();
    void buildPanes();
    void setReport(const PreparedReport &report);
    void pageShown();
    void updateStatus();

    PreparedReport m_report;
    std::unique_ptr<QPrinter> m_ownPrinter;
    QPrinter *m_printer;
    PreviewDialogs m_dialogs;
    PreviewDialogs::Search m_lastSearch;

    PageView *m_view;
    QToolBar *m_toolBar = nullptr;
    QTabWidget *m_side = nullptr;
    QListView *m_thumbnails = nullptr;
    ThumbnailModel *m_thumbnailModel = nullptr;
    SearchResultPane *m_search = nullptr;
    QLabel *m_zoomLabel = nullptr;
    QLabel *m_pageLabel = nullptr;
    QAction *m_zoomFit = nullptr;
    QAction *m_firstPage = nullptr;
    QAction *m_previousPage = nullptr;
    QAction *m_nextPage = nullptr;
    QAction *m_lastPage = nullptr;
};

} // namespace report
