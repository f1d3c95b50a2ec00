// Every window of the program read through Qt's accessibility interfaces,
// the way a screen reader meets it: names, labels, what displays say, and
// that each control can be reached without a mouse.
#include "AccessibilityAudit.h"
#include "app/ProgramFixture.h"
#include "support/FormFixture.h"
#include "support/TemporarySettings.h"

#include "app/SyncAccountDialog.h"
#include "app/SyncConflictDialog.h"
#include "forms/DbNavigator.h"
#include "forms/RecordProtocol.h"
#include "report/PreviewDialogs.h"
#include "report/ReportPreview.h"
#include "ui/MessageBoxService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace {

/// True when the audited window reads well; its faults are printed one a line.
bool readsWell(AccessibilityAudit &audit) {
    const QStringList faults = audit.faults();
    for (const QString &fault : faults)
        qWarning("%s", qPrintable(fault));
    return faults.isEmpty() && audit.inspected() > 0;
}

bool readsWell(QWidget *window) {
    AccessibilityAudit audit(window);
    return readsWell(audit);
}

/// Runs `check` on the modal window that `open` brings up, then closes it.
void onModal(const std::function<void()> &open, const std::function<void(QWidget *)> &check) {
    bool checked = false;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        check(modal);
        checked = true;
        modal->close();
    });
    open();
    QVERIFY(checked);
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

    TemporarySettings m_settings;

    /// Three companies, the first with three contacts, and every window on them.
    struct Program : ProgramFixture {
        Program()
            : ProgramFixture([](DataFixture &db) {
                  addCompany(db, 1, QStringLiteral("Stavby Novák"));
                  addCompany(db, 2, QStringLiteral("Alfa"));
                  addCompany(db, 3, QStringLiteral("Šťastná a syn"));
                  addContact(db, 1, 1, QStringLiteral("Jana"), QStringLiteral("Malá"));
                  addContact(db, 2, 1, QStringLiteral("Petr"), QStringLiteral("Dvořák"));
                  addContact(db, 3, 1, QStringLiteral("Eva"), QStringLiteral("Horová"));
              }) {}
    };

    /// Reads every tab of `tabs` (and of the tab controls inside it).
    static void readEveryTab(QTabWidget *tabs, AccessibilityAudit &audit) {
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QVERIFY2(readsWell(audit), qPrintable(tabs->tabText(i)));
            for (QTabWidget *inner : tabs->widget(i)->findChildren<QTabWidget *>())
                for (int j = 0; j < inner->count(); ++j) {
                    inner->setCurrentIndex(j);
                    QVERIFY2(readsWell(audit),
                             qPrintable(tabs->tabText(i) + '/' + inner->tabText(j)));
                }
        }
        tabs->setCurrentIndex(0);
    }

    /// The navigator buttons take no focus: the form's keys press them.
    static void navigatorReachedByKeys(QWidget *form, forms::DbNavigator *navigator,
                                       AccessibilityAudit &audit) {
        using B = forms::DbNavigator;
        for (B::Button b : {B::First, B::Prior, B::Next, B::Last})
            audit.reachedByKey(navigator->button(b));
        // From the middle row every key can move: End, Home, Page Down, Page Up.
        press(*form, Qt::Key_PageDown);
        const std::pair<Qt::Key, B::Button> keys[] = {{Qt::Key_End, B::Last},
                                                      {Qt::Key_Home, B::First},
                                                      {Qt::Key_PageDown, B::Next},
                                                      {Qt::Key_PageUp, B::Prior}};
        for (const auto &[key, button] : keys) {
            QSignalSpy clicked(navigator->button(button), &QAbstractButton::clicked);
            press(*form, key);
            QVERIFY2(clicked.count() == 1, qPrintable(QKeySequence(key).toString()));
        }
    }

    /// A record form in browse mode on every tab, then in edit mode.
    template <typename Form> static void readRecordForm(Form &form, QTabWidget *tabs) {
        QVERIFY(showActive(form));
        AccessibilityAudit audit(&form);
        navigatorReachedByKeys(&form, form.ui().DBNavi, audit);
        readEveryTab(tabs, audit);
        form.protocol->enterEditMode(); // confirm and cancel come alive
        QVERIFY(readsWell(audit));
        form.protocol->enterBrowseMode();
    }

  private slots:
    void initTestCase() { QVERIFY(m_settings.isValid()); }

    void mainWindow() {
        Program p;
        QVERIFY(showActive(*p.deska));
        QVERIFY(readsWell(p.deska.get()));
        QVERIFY(p.messages.messages.empty());
    }

    void contactForm() {
        Program p;
        readRecordForm(*p.contactForm, p.contactForm->ui().pcKontakt);
        QVERIFY(p.messages.messages.empty());
    }

    void companyForm() {
        Program p;
        readRecordForm(*p.companyForm, p.companyForm->ui().pcFirma);
        QVERIFY(p.messages.messages.empty());
    }

    void databaseDialog() {
        Program p;
        QVERIFY(showActive(*p.deska));
        onModal(
            [&] {
                QTest::keyClick(p.deska.get(), Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
            },
            [](QWidget *dialog) {
                QCOMPARE(dialog->objectName(), QStringLiteral("DatabaseDialog"));
                QVERIFY(readsWell(dialog));
            });
    }

    /// The account dialog by its key, an address it refuses with the typing
    /// kept, companies chosen by keyboard, and the two versions of a
    /// conflict side by side.
    void syncDialogs() {
        Program p;
        QVERIFY(showActive(*p.deska));
        onModal(
            [&] {
                QTest::keyClick(p.deska.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
            },
            [](QWidget *window) {
                auto *dialog = qobject_cast<app::SyncAccountDialog *>(window);
                QVERIFY(dialog);
                QVERIFY(readsWell(dialog));
                dialog->urlBox()->setText(QStringLiteral("ftp://kontakty"));
                QTest::keyClick(dialog->urlBox(), Qt::Key_Return);
                QVERIFY(dialog->isVisible());
                QVERIFY(dialog->problemLabel()->text().contains(QStringLiteral("https://")));
                QCOMPARE(dialog->urlBox()->text(), QStringLiteral("ftp://kontakty"));
                // Chosen companies by keyboard: the choice, the list, a tick.
                QVERIFY(dialog->account().companies.isEmpty());
                QTest::keyClick(dialog->windowHandle(), Qt::Key_B, Qt::AltModifier);
                QTRY_VERIFY(dialog->chosenButton()->isChecked()); // after the press animation
                QTest::keyClick(dialog->windowHandle(), Qt::Key_F, Qt::AltModifier);
                QCOMPARE(QApplication::focusWidget(), dialog->companyList());
                QTest::keyClick(dialog->companyList(), Qt::Key_Space);
                QCOMPARE(dialog->account().companies.size(), 1);
                QVERIFY(readsWell(dialog));
            });
        io::Entry here, there;
        here.contact = {{QStringLiteral("JMENO"), QStringLiteral("Jana")},
                        {QStringLiteral("PRIJMENI"), QStringLiteral("Malá")},
                        {QStringLiteral("MOBIL"), QStringLiteral("+420 601 000 001")}};
        there.contact = here.contact;
        there.contact[QStringLiteral("MOBIL")] = QStringLiteral("+420 601 000 002");
        app::SyncConflictDialog conflict({here, there});
        QVERIFY(showActive(conflict));
        QVERIFY(readsWell(&conflict));
        QVERIFY(conflict.thereView()->toPlainText().contains(QStringLiteral("601 000 002")));
    }

    void aboutWindow() {
        Program p;
        QVERIFY(showActive(*p.about));
        QVERIFY(readsWell(p.about.get()));
    }

    void printPreview() {
        Program p;
        TfmReporty printForm;
        printForm.RichEdit1().addHeading(QStringLiteral("Stavby Novák"), 16, true);
        printForm.RichEdit1().addLine(QStringLiteral("Kód: K1"));
        printForm.copyCardToReport();
        report::ReportPreview preview(printForm.prepare());
        preview.resize(1600, 900); // wide enough for the whole toolbar, as maximised on a desktop
        QVERIFY(showActive(preview));
        AccessibilityAudit audit(&preview);
        for (int i = 0; i < preview.sidePane()->count(); ++i) {
            preview.sidePane()->setCurrentIndex(i);
            QVERIFY2(readsWell(audit), qPrintable(preview.sidePane()->tabText(i)));
        }
    }

    void previewQuestions() {
        Program p;
        const report::PreviewDialogs dialogs = report::PreviewDialogs::standard();
        onModal([&] { dialogs.searchText(p.deska.get(), {}); },
                [](QWidget *dialog) { QVERIFY(readsWell(dialog)); });
        onModal([&] { dialogs.pageNumber(p.deska.get(), 1, 3); },
                [](QWidget *dialog) { QVERIFY(readsWell(dialog)); });
    }

    void messageBoxes_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("question");
        QTest::newRow("warning") << int(base::msg::Kind::Warning) << false;
        QTest::newRow("error") << int(base::msg::Kind::Error) << false;
        QTest::newRow("information") << int(base::msg::Kind::Information) << false;
        QTest::newRow("confirm") << int(base::msg::Kind::Confirm) << true;
        QTest::newRow("error report") << int(base::msg::Kind::ErrorReport) << false;
    }
    void messageBoxes() {
        QFETCH(int, kind);
        QFETCH(bool, question);
        ui::MessageBoxService boxes;
        onModal(
            [&] {
                boxes.show(base::msg::Kind(kind), QStringLiteral("Opravdu smazat záznam?"),
                           question ? base::msg::Buttons::YesNo : base::msg::Buttons::Ok);
            },
            [](QWidget *box) { QVERIFY(readsWell(box)); });
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
