#include "report/ReportPreview.h"

#include "report/ReportFile.h"
#include "report/ReportOutput.h"
#include "report/SearchResultPane.h"
#include "report/ThumbnailModel.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

namespace report {

namespace {

const QString kReportFilter = QStringLiteral("Saved reports (*.vzr);;All files (*)");
const QString kPdfFilter = QStringLiteral("PDF files (*.pdf);;All files (*)");

QString withSuffix(QString path, const QString &suffix) {
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    return path;
}

} // namespace

ReportPreview::ReportPreview(const PreparedReport &report, QPrinter *printer, QWidget *parent)
    : QMainWindow(parent, Qt::Window), m_report(report), m_printer(printer),
      m_dialogs(PreviewDialogs::current()), m_view(new PageView) {
    if (!m_printer) {
        m_ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer = m_ownPrinter.get();
    }
    setWindowTitle(QStringLiteral("Print preview"));
    buildToolBar();
    buildPanes();
    connect(m_view, &PageView::zoomChanged, this, &ReportPreview::updateStatus);
    connect(m_view, &PageView::pageStepRequested, this, [this](int step) {
        const int target = currentPage() + step;
        if (target < 0 || target >= pageCount())
            return;
        m_view->setPage(target, step < 0);
        pageShown();
    });
    setReport(report);
    m_view->setFocus();
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::execPreview(const PreparedReport &report, QPrinter *printer, QWidget *parent) {
    QPointer<ReportPreview> window = new ReportPreview(report, printer, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QEventLoop loop;
    connect(window, &ReportPreview::closed, &loop, &QEventLoop::quit);
    connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->showMaximized();
    loop.exec();
}

QAction *ReportPreview::addTool(const QString &name, const QString &hint, const QIcon &icon,
                                const QList<QKeySequence> &keys) {
    auto *action = new QAction(icon, hint, this);
    action->setObjectName(name);
    action->setToolTip(hint);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    m_toolBar->addAction(action);
    if (QWidget *button = m_toolBar->widgetForAction(action))
        button->setAccessibleName(hint);
    return action;
}

void ReportPreview::buildToolBar() {
    auto *bar = m_toolBar = addToolBar(QStringLiteral("Preview"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QStyle *s = style();

    auto *zoom = new QActionGroup(this);
    const auto addZoom = [&](const QString &name, const QString &hint, PageView::ZoomMode mode,
                             const QKeySequence &key) {
        QAction *action = addTool(name, hint, {}, {key});
        action->setCheckable(true);
        zoom->addAction(action);
        connect(action, &QAction::triggered, this, [this, mode] { m_view->setZoomMode(mode); });
        return action;
    };
    m_zoomFit = addZoom(QStringLiteral("zoomToFit"), QStringLiteral("Zoom to fit"),
                        PageView::ZoomMode::FitPage, QKeySequence(Qt::CTRL | Qt::Key_1));
    addZoom(QStringLiteral("zoomToWidth"), QStringLiteral("Zoom to width"),
            PageView::ZoomMode::FitWidth, QKeySequence(Qt::CTRL | Qt::Key_2));
    addZoom(QStringLiteral("zoom100"), QStringLiteral("100%"), PageView::ZoomMode::ActualSize,
            QKeySequence(Qt::CTRL | Qt::Key_3));
    m_zoomFit->setChecked(true);
    bar->addSeparator();

    m_firstPage = addTool(QStringLiteral("firstPage"), QStringLiteral("First page"),
                          s->standardIcon(QStyle::SP_MediaSkipBackward),
                          {Qt::Key_Home, QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
    connect(m_firstPage, &QAction::triggered, this, [this] { goToPage(0); });
    m_previousPage = addTool(QStringLiteral("previousPage"), QStringLiteral("Previous page"),
                             s->standardIcon(QStyle::SP_ArrowLeft), {Qt::Key_PageUp});
    connect(m_previousPage, &QAction::triggered, this, [this] { goToPage(currentPage() - 1); });
    m_nextPage = addTool(QStringLiteral("nextPage"), QStringLiteral("Next page"),
                         s->standardIcon(QStyle::SP_ArrowRight), {Qt::Key_PageDown});
    connect(m_nextPage, &QAction::triggered, this, [this] { goToPage(currentPage() + 1); });
    m_lastPage = addTool(QStringLiteral("lastPage"), QStringLiteral("Last page"),
                         s->standardIcon(QStyle::SP_MediaSkipForward),
                         {Qt::Key_End, QKeySequence(Qt::CTRL | Qt::Key_PageDown)});
    connect(m_lastPage, &QAction::triggered, this, [this] { goToPage(pageCount() - 1); });
    // The paging buttons show only their icons, so that the bar fits a small screen.
    for (QAction *paging : {m_firstPage, m_previousPage, m_nextPage, m_lastPage})
        static_cast<QToolButton *>(bar->widgetForAction(paging))
            ->setToolButtonStyle(Qt::ToolButtonIconOnly);
    connect(addTool(QStringLiteral("goToPage"), QStringLiteral("Go to page"), {},
                    {QKeySequence(Qt::CTRL | Qt::Key_G)}),
            &QAction::triggered, this, &ReportPreview::askPage);
    bar->addSeparator();

    connect(addTool(QStringLiteral("search"), QStringLiteral("Search for text"),
                    s->standardIcon(QStyle::SP_FileDialogContentsView), {QKeySequence::Find}),
            &QAction::triggered, this, &ReportPreview::askSearch);
    connect(addTool(QStringLiteral("printerSetup"), QStringLiteral("Printer setup"), {},
                    {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)}),
            &QAction::triggered, this, &ReportPreview::printerSetup);
    connect(addTool(QStringLiteral("print"), QStringLiteral("Print"), {}, {QKeySequence::Print}),
            &QAction::triggered, this, &ReportPreview::print);
    connect(addTool(QStringLiteral("exportPdf"), QStringLiteral("Export PDF"), {},
                    {QKeySequence(Qt::CTRL | Qt::Key_E)}),
            &QAction::triggered, this, &ReportPreview::exportPdf);
    connect(addTool(QStringLiteral("saveReport"), QStringLiteral("Save Report"),
                    s->standardIcon(QStyle::SP_DialogSaveButton), {QKeySequence::Save}),
            &QAction::triggered, this, &ReportPreview::saveReport);
    connect(addTool(QStringLiteral("loadReport"), QStringLiteral("Load Report"),
                    s->standardIcon(QStyle::SP_DialogOpenButton), {QKeySequence::Open}),
            &QAction::triggered, this, &ReportPreview::loadReport);
    bar->addSeparator();

    QAction *close = addTool(QStringLiteral("closePreview"), QStringLiteral("Close preview"),
                             s->standardIcon(QStyle::SP_DialogCloseButton), {Qt::Key_Escape});
    close->setText(QStringLiteral("&Close"));
    connect(close, &QAction::triggered, this, &QWidget::close);
}

void ReportPreview::buildPanes() {
    m_thumbnailModel = new ThumbnailModel(this);
    m_thumbnails = new QListView;
    m_thumbnails->setModel(m_thumbnailModel);
    m_thumbnails->setViewMode(QListView::IconMode); // page number under the picture
    m_thumbnails->setFlow(QListView::TopToBottom);
    m_thumbnails->setWrapping(false);
    m_thumbnails->setMovement(QListView::Static);
    m_thumbnails->setUniformItemSizes(true);
    m_thumbnails->setSpacing(6);
    m_thumbnails->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_thumbnails->setAccessibleName(QStringLiteral("Thumbnails"));
    connect(m_thumbnails, &QListView::clicked, this,
            [this](const QModelIndex &index) { goToPage(index.row()); });
    connect(m_thumbnails, &QListView::activated, this,
            [this](const QModelIndex &index) { goToPage(index.row()); });

    m_search = new SearchResultPane;
    connect(m_search, &SearchResultPane::hitChosen, this, [this](SearchHit hit) {
        goToPage(hit.page);
        m_view->setHighlightedLine(hit.line);
    });

    m_side = new QTabWidget;
    m_side->addTab(m_thumbnails, QStringLiteral("Thumbnails"));
    m_side->addTab(m_search, QStringLiteral("Search result"));

    auto *splitter = new QSplitter;
    splitter->addWidget(m_side);
    splitter->addWidget(m_view);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ThumbnailModel::kWidth + 110, 800});
    setCentralWidget(splitter);

    m_zoomLabel = new QLabel;
    m_zoomLabel->setAccessibleDescription(QStringLiteral("Zoom"));
    m_pageLabel = new QLabel;
    m_pageLabel->setAccessibleDescription(QStringLiteral("Page"));
    statusBar()->addWidget(m_zoomLabel);
    statusBar()->addWidget(m_pageLabel);
}

void ReportPreview::setReport(const PreparedReport &report) {
    m_report = report;
    m_view->setReport(&m_report);
    m_thumbnailModel->setReport(&m_report);
    m_thumbnails->setIconSize(m_thumbnailModel->thumbnailSize());
    m_search->clear();
    goToPage(0);
}

int ReportPreview::currentPage() const {
    return m_view->page();
}

void ReportPreview::goToPage(int index) {
    if (index < 0 || index >= pageCount())
        return;
    m_view->setPage(index);
    pageShown();
}

void ReportPreview::pageShown() {
    const QModelIndex index = m_thumbnailModel->index(currentPage());
    if (m_thumbnails->currentIndex() != index)
        m_thumbnails->setCurrentIndex(index);
    const bool first = currentPage() == 0, last = currentPage() >= pageCount() - 1;
    m_firstPage->setEnabled(!first);
    m_previousPage->setEnabled(!first);
    m_nextPage->setEnabled(!last);
    m_lastPage->setEnabled(!last);
    updateStatus();
}

QString ReportPreview::zoomText() const {
    return QStringLiteral("Zoom: %1%").arg(m_view->zoomPercent());
}

QString ReportPreview::pageText() const {
    return QStringLiteral("Page %1 of %2").arg(currentPage() + 1).arg(pageCount());
}

void ReportPreview::updateStatus() {
    m_zoomLabel->setText(zoomText());
    m_pageLabel->setText(pageText());
}

void ReportPreview::askPage() {
    if (const std::optional<int> page = m_dialogs.pageNumber(this, currentPage() + 1, pageCount()))
        goToPage(*page - 1);
}

void ReportPreview::askSearch() {
    if (const auto wanted = m_dialogs.searchText(this, m_lastSearch))
        search(wanted->text, wanted->matchCase);
}

void ReportPreview::search(const QString &text, bool matchCase) {
    m_lastSearch = {text, matchCase};
    const QList<SearchHit> hits =
        findText(m_report, text, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
    m_search->show(m_report, text, matchCase, hits);
    m_side->setCurrentWidget(m_search);
}

void ReportPreview::saveReport() {
    const QString path = m_dialogs.saveFileName(this, QStringLiteral("Save Report"), kReportFilter);
    if (path.isEmpty())
        return;
    const QString error = ReportFile::save(m_report, withSuffix(path, QStringLiteral("vzr")));
    if (!error.isEmpty())
        m_dialogs.error(this, error);
}

void ReportPreview::loadReport() {
    const QString path = m_dialogs.openFileName(this, QStringLiteral("Load Report"), kReportFilter);
    if (path.isEmpty())
        return;
    QString error;
    const std::optional<PreparedReport> loaded = ReportFile::load(path, &error);
    if (!loaded) {
        m_dialogs.error(this, error);
        return;
    }
    setReport(*loaded);
}

void ReportPreview::exportPdf() {
    const QString path = m_dialogs.saveFileName(this, QStringLiteral("Export PDF"), kPdfFilter);
    if (path.isEmpty())
        return;
    const QString error =
        ReportOutput::exportPdf(m_report, withSuffix(path, QStringLiteral("pdf")));
    if (!error.isEmpty())
        m_dialogs.error(this, error);
}

void ReportPreview::printerSetup() {
    m_dialogs.printerSetup(this, *m_printer, pageCount());
}

void ReportPreview::print() {
    // Without any printer the pages can still be printed into a PDF file.
    const bool toFile =
        m_printer->outputFileName().isEmpty() && QPrinterInfo::availablePrinterNames().isEmpty();
    if (toFile) {
        const QString path = m_dialogs.saveFileName(
            this, QStringLiteral("No printer is installed - print to PDF file"), kPdfFilter);
        if (path.isEmpty())
            return;
        m_printer->setOutputFileName(withSuffix(path, QStringLiteral("pdf")));
    }
    const QString error = ReportOutput::print(m_report, *m_printer, currentPage());
    if (toFile)
        m_printer->setOutputFileName({});
    if (!error.isEmpty())
        m_dialogs.error(this, error);
}

void ReportPreview::closeEvent(QCloseEvent *event) {
    event->accept();
    emit closed();
}

} // namespace report
