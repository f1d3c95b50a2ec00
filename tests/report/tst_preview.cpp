#include "report/Report.h"
#include "report/ReportFile.h"
#include "report/ReportPreview.h"
#include "report/SearchResultPane.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {

/// 150 lines over several pages; every tenth line says "Alpha" in some letter case.
report::PreparedReport sampleReport(int lines = 150) {
    QByteArray rtf = "{\\rtf1\\fs28 ";
    const char *cases[] = {"Alpha", "alpha", "ALPHA beta"};
    for (int i = 0; i < lines; ++i) {
        rtf += "line " + QByteArray::number(i);
        if (i % 10 == 5)
            rtf += QByteArray(" ") + cases[(i / 10) % 3];
        rtf += "\\par\n";
    }
    return report::prepareRtf(rtf + '}');
}

/// Dialog answers for the test, recording errors instead of showing them.
struct ScriptedDialogs {
    QString saveName;
    QString openName;
    std::optional<int> page;
    std::optional<report::PreviewDialogs::Search> search;
    QStringList errors;

    report::PreviewDialogs dialogs() {
        report::PreviewDialogs d;
        d.saveFileName = [this](QWidget *, const QString &, const QString &) { return saveName; };
        d.openFileName = [this](QWidget *, const QString &, const QString &) { return openName; };
        d.error = [this](QWidget *, const QString &message) { errors.append(message); };
        d.pageNumber = [this](QWidget *, int, int) { return page; };
        d.searchText = [this](QWidget *, const report::PreviewDialogs::Search &) { return search; };
        d.printerSetup = [](QWidget *, QPrinter &, int) { return false; };
        return d;
    }
};

QAction *action(report::ReportPreview &w, const QString &name) {
    QAction *a = w.findChild<QAction *>(name);
    Q_ASSERT(a);
    return a;
}

QByteArray fileStart(const QString &path, int size) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(size) : QByteArray();
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<report::ReportPreview>
    openWindow(ScriptedDialogs &script, const report::PreparedReport &report = sampleReport()) {
        auto window = std::make_unique<report::ReportPreview>(report);
        window->setDialogs(script.dialogs());
        window->resize(1000, 800);
        window->show();
        window->activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(window.get())); }();
        return window;
    }

  private slots:
    void opensOnFirstPageZoomedToFit() {
        ScriptedDialogs script;
        auto w = openWindow(script);
        QVERIFY(w->pageCount() > 2);
        QCOMPARE(w->currentPage(), 0);
        QVERIFY(action(*w, "zoomToFit")->isChecked());
        QCOMPARE(w->pageView()->zoomMode(), report::PageView::ZoomMode::FitPage);

        const QStringList status = [&] {
            QStringList texts;
            for (QLabel *label : w->statusBar()->findChildren<QLabel *>())
                texts.append(label->text());
            return texts;
        }();
        QVERIFY(status.contains(QStringLiteral("Zoom: %1%").arg(w->pageView()->zoomPercent())));
        QVERIFY(status.contains(QStringLiteral("Page 1 of %1").arg(w->pageCount())));
        QVERIFY(w->pageView()->zoomPercent() < 100); // a whole A4 page in 1000 x 800

        // The tool buttons carry their hints as accessible names.
        auto *bar = w->findChild<QToolBar *>();
        QCOMPARE(bar->widgetForAction(action(*w, "closePreview"))->accessibleName(),
                 QStringLiteral("Close preview"));
        QCOMPARE(action(*w, "closePreview")->text(), QStringLiteral("&Close"));
        QCOMPARE(w->sidePane()->tabText(0), QStringLiteral("Thumbnails"));
        QCOMPARE(w->sidePane()->tabText(1), QStringLiteral("Search result"));
    }

    void zoomButtonsAreExclusive() {
        ScriptedDialogs script;
        auto w = openWindow(script);
        action(*w, "zoom100")->trigger();
        QCOMPARE(w->pageView()->zoomPercent(), 100);
        QVERIFY(!action(*w, "zoomToFit")->isChecked());
        QVERIFY(w->zoomText().contains(QStringLiteral("100%")));
        action(*w, "zoomToWidth")->trigger();
        QVERIFY(action(*w, "zoomToWidth")->isChecked() && !action(*w, "zoom100")->isChecked());
        const int widthZoom = w->pageView()->zoomPercent();
        action(*w, "zoomToFit")->trigger();
        QVERIFY(w->pageView()->zoomPercent() < widthZoom);
    }

    void buttonsAndKeysMovePages() {
        ScriptedDialogs script;
        auto w = openWindow(script);
        const int last = w->pageCount() - 1;
        action(*w, "nextPage")->trigger();
        QCOMPARE(w->currentPage(), 1);
        QCOMPARE(w->pageText(), QStringLiteral("Page 2 of %1").arg(w->pageCount()));
        action(*w, "lastPage")->trigger();
        QCOMPARE(w->currentPage(), last);
        QVERIFY(!action(*w, "nextPage")->isEnabled());
        action(*w, "previousPage")->trigger();
        QCOMPARE(w->currentPage(), last - 1);
        action(*w, "firstPage")->trigger();
        QCOMPARE(w->currentPage(), 0);

        QWidget *view = w->pageView();
        QTest::keyClick(view, Qt::Key_PageDown);
        QCOMPARE(w->currentPage(), 1);
        QTest::keyClick(view, Qt::Key_PageUp);
        QCOMPARE(w->currentPage(), 0);
        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(w->currentPage(), last);
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(w->currentPage(), 0);
        QTest::keyClick(view, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(w->currentPage(), last);
        QTest::keyClick(view, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(w->currentPage(), 0);
    }

    // Every tool of the bar has a key, so that the preview works without a mouse.
    void everyToolHasAKey_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QKeySequence>("key");
        QTest::newRow("fit") << "zoomToFit" << QKeySequence(Qt::CTRL | Qt::Key_1);
        QTest::newRow("width") << "zoomToWidth" << QKeySequence(Qt::CTRL | Qt::Key_2);
        QTest::newRow("100%") << "zoom100" << QKeySequence(Qt::CTRL | Qt::Key_3);
        QTest::newRow("go to page") << "goToPage" << QKeySequence(Qt::CTRL | Qt::Key_G);
        QTest::newRow("search") << "search" << QKeySequence(Qt::CTRL | Qt::Key_F);
        QTest::newRow("printer setup")
            << "printerSetup" << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P);
        QTest::newRow("print") << "print" << QKeySequence(Qt::CTRL | Qt::Key_P);
        QTest::newRow("export") << "exportPdf" << QKeySequence(Qt::CTRL | Qt::Key_E);
        QTest::newRow("save") << "saveReport" << QKeySequence(Qt::CTRL | Qt::Key_S);
        QTest::newRow("load") << "loadReport" << QKeySequence(Qt::CTRL | Qt::Key_O);
        QTest::newRow("close") << "closePreview" << QKeySequence(Qt::Key_Escape);
    }
    void everyToolHasAKey() {
        QFETCH(QString, tool);
        QFETCH(QKeySequence, key);
        ScriptedDialogs script; // every question is cancelled
        auto w = openWindow(script);
        action(*w, "zoomToWidth")->trigger(); // so that the zoom keys have something to change
        QSignalSpy triggered(action(*w, tool), &QAction::triggered);
        QTest::keySequence(w->windowHandle(), key);
        QCOMPARE(triggered.count(), 1);
    }

    void arrowsScrollThenTurnThePage() {
        ScriptedDialogs script;
        auto w = openWindow(script);
        report::PageView *view = w->pageView();
        QScrollBar *bar = view->verticalScrollBar();

        // Zoomed to fit nothing scrolls, so the arrows turn pages at once.
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(w->currentPage(), 1);
        QTest::keyClick(view, Qt::Key_Up);
        QCOMPARE(w->currentPage(), 0);

        action(*w, "zoom100")->trigger();
        QVERIFY(bar->maximum() > 0);
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(w->currentPage(), 0);
        QVERIFY(bar->value() > 0);
        bar->setValue(bar->maximum());
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(w->currentPage(), 1);
        QCOMPARE(bar->value(), 0); // the next page starts at its top
        QTest::keyClick(view, Qt::Key_Up);
        QCOMPARE(w->currentPage(), 0);
        QCOMPARE(bar->value(), bar->maximum()); // back at the end of the page before
    }

    void goToPageAsksForANumber() {
        ScriptedDialogs script;
        auto w = openWindow(script);
        script.page = 3;
        action(*w, "goToPage")->trigger();
        QCOMPARE(w->currentPage(), 2);
        script.page.reset(); // cancelled
        action(*w, "goToPage")->trigger();
        QCOMPARE(w->currentPage(), 2);
    }

    void searchListsHitsAndShowsTheirPage() {
        ScriptedDialogs script;
        auto w = openWindow(script);
        QListWidget *hits = w->searchResults()->list();

        script.search = report::PreviewDialogs::Search{QStringLiteral("alpha"), false};
        action(*w, "search")->trigger();
        QCOMPARE(w->sidePane()->currentIndex(), 1);
        QCOMPARE(hits->count(), 15);

        script.search = report::PreviewDialogs::Search{QStringLiteral("alpha"), true};
        action(*w, "search")->trigger();
        QCOMPARE(hits->count(), 5);
        QVERIFY(w->searchResults()->summary()->text().contains(QStringLiteral("Match Case")));

        // A click on the last hit shows its page.
        QListWidgetItem *item = hits->item(hits->count() - 1);
        QVERIFY(item->text().contains(QStringLiteral("line 135 alpha")));
        hits->scrollToItem(item);
        QTest::mouseClick(hits->viewport(), Qt::LeftButton, {},
                          hits->visualItemRect(item).center());
        const QList<report::SearchHit> expected =
            report::findText(w->report(), QStringLiteral("line 135 alpha"), Qt::CaseSensitive);
        QCOMPARE(expected.size(), 1);
        QCOMPARE(w->currentPage(), expected[0].page);
        QVERIFY(w->currentPage() > 0);
    }

    void thumbnailClickShowsPage() {
        ScriptedDialogs script;
        auto w = openWindow(script);
        QListView *thumbs = w->thumbnails();
        QCOMPARE(thumbs->model()->rowCount(), w->pageCount());
        const QModelIndex second = thumbs->model()->index(1, 0);
        thumbs->scrollTo(second);
        QTest::mouseClick(thumbs->viewport(), Qt::LeftButton, {},
                          thumbs->visualRect(second).center());
        QCOMPARE(w->currentPage(), 1);
        action(*w, "lastPage")->trigger();
        QCOMPARE(thumbs->currentIndex().row(), w->pageCount() - 1);
    }

    void exportPdfWritesAPdf() {
        QTemporaryDir dir;
        ScriptedDialogs script;
        auto w = openWindow(script);
        script.saveName = dir.filePath(QStringLiteral("card")); // the suffix is added
        action(*w, "exportPdf")->trigger();
        QVERIFY2(script.errors.isEmpty(), qPrintable(script.errors.join('\n')));
        QCOMPARE(fileStart(dir.filePath(QStringLiteral("card.pdf")), 4), QByteArray("%PDF"));

        script.saveName = dir.filePath(QStringLiteral("missing/dir/x.pdf"));
        action(*w, "exportPdf")->trigger();
        QCOMPARE(script.errors.size(), 1);
    }

    void printWithoutPrinterGoesToAPdfFile() {
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("a printer is installed; printing would reach it");
        QTemporaryDir dir;
        ScriptedDialogs script;
        auto w = openWindow(script);
        script.saveName = dir.filePath(QStringLiteral("printed.pdf"));
        action(*w, "print")->trigger();
        QVERIFY2(script.errors.isEmpty(), qPrintable(script.errors.join('\n')));
        QCOMPARE(fileStart(script.saveName, 4), QByteArray("%PDF"));
    }

    void saveAndLoadReports() {
        QTemporaryDir dir;
        ScriptedDialogs script;
        auto w = openWindow(script, sampleReport(40));
        const report::PreparedReport small = w->report();

        // A file saved from another preview replaces the pages shown.
        const QString bigPath = dir.filePath(QStringLiteral("big.vzr"));
        QCOMPARE(report::ReportFile::save(sampleReport(300), bigPath), QString());
        script.saveName = dir.filePath(QStringLiteral("small")); // the suffix is added
        action(*w, "saveReport")->trigger();
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("small.vzr"))));

        script.openName = bigPath;
        action(*w, "loadReport")->trigger();
        QVERIFY(script.errors.isEmpty());
        QCOMPARE(w->report(), *report::ReportFile::load(bigPath, nullptr));
        QCOMPARE(w->currentPage(), 0);
        QCOMPARE(w->thumbnails()->model()->rowCount(), w->pageCount());

        // Damaged, foreign and empty files: a message, and the preview stays as it was.
        action(*w, "nextPage")->trigger();
        const report::PreparedReport shown = w->report();
        const QByteArray good = report::ReportFile::serialize(small);
        const QList<QByteArray> bad = {good.left(good.size() / 2), QByteArray(),
                                       QByteArray("GIF89a not a report")};
        for (const QByteArray &bytes : bad) {
            QFile file(dir.filePath(QStringLiteral("bad.vzr")));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(bytes);
            file.close();
            script.openName = file.fileName();
            action(*w, "loadReport")->trigger();
        }
        QCOMPARE(script.errors.size(), bad.size());
        QCOMPARE(w->report(), shown);
        QCOMPARE(w->currentPage(), 1);

        script.openName = dir.filePath(QStringLiteral("small.vzr"));
        action(*w, "loadReport")->trigger();
        QCOMPARE(w->report(), small);
    }

    void execPreviewReturnsWhenClosed() {
        for (const bool byKey : {false, true}) {
            bool sawWindow = false;
            QTimer::singleShot(0, [&] {
                report::ReportPreview *w = nullptr;
                for (QWidget *top : QApplication::topLevelWidgets())
                    if (auto *preview = qobject_cast<report::ReportPreview *>(top);
                        preview && preview->isVisible())
                        w = preview;
                QVERIFY(w);
                sawWindow = true;
                QVERIFY(w->windowState() & Qt::WindowMaximized);
                QCOMPARE(w->currentPage(), 0);
                QVERIFY(w->findChild<QAction *>("zoomToFit")->isChecked());
                w->findChild<QAction *>("zoom100")->trigger(); // must not carry over
                if (byKey) {
                    w->activateWindow();
                    QVERIFY(QTest::qWaitForWindowActive(w));
                    QTest::keyClick(w->pageView(), Qt::Key_Escape);
                } else {
                    w->findChild<QAction *>("closePreview")->trigger();
                }
            });
            report::ReportPreview::execPreview(sampleReport());
            QVERIFY(sawWindow);
        }
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
