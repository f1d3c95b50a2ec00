// The main paths of the program driven by key events alone: find a contact
// in the filter box, open it from the board, edit, confirm and close; select
// a company on the board and print its card; the main window's Tab order.
#include "ProgramFixture.h"
#include "support/TemporarySettings.h"

#include "app/StatusPanel.h"
#include "grid/DataGrid.h"
#include "report/PreparedReport.h"
#include "report/ReportPreview.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

namespace {

/// Presses `key` where a user's key press goes: into the active window,
/// which hands it to its focused control.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::activeWindow()->windowHandle(), key, modifiers);
}
void press(QKeySequence::StandardKey standard) {
    const QKeyCombination key = QKeySequence(standard)[0];
    press(key.key(), key.keyboardModifiers());
}
/// Types `text` key by key into the focused control (Czech letters included).
void type(const QString &text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
}

/// Runs `act` once a window of type T is shown and active, however it was
/// opened (a modal form blocks the key press that opened it until it
/// closes). A window that `act` left open is closed, so a failed check
/// cannot leave the test waiting.
template <typename T> void whenShown(bool &done, std::function<void(T &)> act) {
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, &done, act] {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *window = qobject_cast<T *>(top);
                window && window->isVisible() && window->isActiveWindow()) {
                poll->stop();
                poll->deleteLater();
                const QPointer<T> shown(window); // `act` may close and delete it
                act(*window);
                done = true;
                if (shown && shown->isVisible() && !shown->close())
                    shown->hide();
                return;
            }
    });
    poll->start(20);
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT

    TemporarySettings m_settings;

    struct Program : ProgramFixture {
        Program()
            : ProgramFixture([](DataFixture &db) {
                  db.exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA, ICO) VALUES (1, "
                                         "'Stavby Šťastný', '12345678')"));
                  db.exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (2, 'Alfa')"));
                  db.exec(QStringLiteral(
                      "INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, KRAJ) VALUES "
                      "(1, 1, 'Jiří', 'Dvořák', ' ')"));
                  db.exec(QStringLiteral(
                      "INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, KRAJ) VALUES "
                      "(2, 2, 'Eva', 'Malá', ' ')"));
              }) {}
        bool show() {
            deska->show();
            deska->activateWindow();
            return QTest::qWaitForWindowActive(deska.get());
        }
        /// Tab from the filter box until the board has the focus.
        bool tabToBoard() {
            for (int i = 0; i < 10 && QApplication::focusWidget() != deska->ui().gHlavniDeska; ++i)
                press(Qt::Key_Tab);
            return QApplication::focusWidget() == deska->ui().gHlavniDeska;
        }
    };

  private slots:
    void initTestCase() { QVERIFY(m_settings.isValid()); }

    void findOpenEditConfirmClose() {
        Program p;
        QVERIFY(p.show());
        press(QKeySequence::Find);
        QCOMPARE(QApplication::focusWidget(), p.deska->ui().Edit1);
        type(QStringLiteral("Dvoř"));
        QCOMPARE(p.db.dm->qHlavniDeska.recordCount(), 2); // the company line and its contact
        QVERIFY(p.tabToBoard());
        press(Qt::Key_Down); // from the company line to the contact

        bool edited = false;
        whenShown<TFM_Kontakt>(edited, [&](TFM_Kontakt &form) {
            QCOMPARE(form.windowTitle(), QStringLiteral("Kontakt: Dvořák Jiří"));
            press(Qt::Key_F2);
            QVERIFY(!form.isBrowseMode());
            for (int i = 0; i < 40 && QApplication::focusWidget() != form.ui().EditJmeno; ++i)
                press(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), form.ui().EditJmeno);
            press(Qt::Key_End);
            type(QStringLiteral(" Ondřej"));
            press(Qt::Key_Return); // confirms
            QVERIFY(form.isBrowseMode());
            press(Qt::Key_Escape); // closes
        });
        press(Qt::Key_Return); // opens the row like a double click
        QVERIFY(edited);
        QVERIFY(!p.contactForm->isVisible());
        QCOMPARE(p.db.scalar(QStringLiteral("SELECT JMENO FROM KONTAKT WHERE ID = 1")).toString(),
                 QStringLiteral("Jiří Ondřej"));
        QVERIFY(p.messages.messages.empty());
    }

    void printACompanysCard() {
        Program p;
        QVERIFY(p.show());
        press(QKeySequence::Find);
        type(QStringLiteral("Šťast"));
        QVERIFY(p.tabToBoard());
        QVERIFY(!p.deska->ui().sbTisk->isEnabled());
        press(Qt::Key_Space); // the company line under the cursor becomes the selection
        QCOMPARE(p.deska->selectedRowId, QStringLiteral("1"));
        QVERIFY(p.deska->ui().sbTisk->isEnabled());

        bool previewed = false;
        QStringList lines;
        whenShown<report::ReportPreview>(previewed, [&](report::ReportPreview &preview) {
            for (const report::PageLine &line : preview.report().pages.first().lines)
                lines << line.text;
            press(Qt::Key_Escape);
        });
        press(Qt::Key_P, Qt::ControlModifier);
        QTRY_VERIFY(previewed);
        QVERIFY(lines.contains(QStringLiteral("Stavby Šťastný")));
        QVERIFY(lines.contains(QStringLiteral("IČO: 12345678     ")));
        QVERIFY(lines.contains(QStringLiteral("Jiří Dvořák")));
        // Back on the board with the selection as it was.
        QCOMPARE(p.deska->selectedRowId, QStringLiteral("1"));
        QVERIFY(p.deska->ui().sbTisk->isEnabled());
        QVERIFY(p.messages.messages.empty());
    }

    void boardKeys() {
        Program p;
        QVERIFY(p.show());
        // F5 reloads: a row added meanwhile appears.
        p.deska->ui().gHlavniDeska->setFocus();
        p.db.exec(QStringLiteral(
            "INSERT INTO KONTAKT (ID, ID_FIRMA, PRIJMENI, KRAJ) VALUES (3, 2, 'Nová', ' ')"));
        const int before = p.db.dm->qHlavniDeska.recordCount();
        press(Qt::Key_F5);
        QCOMPARE(p.db.dm->qHlavniDeska.recordCount(), before + 1);
        // Tab leaves the board for the name-day panel and the web link, then
        // comes round to the toolbar.
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), p.deska->ui().stbP1);
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), p.deska->ui().stbP4);
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), p.deska->ui().sbFirma);
        QVERIFY(p.messages.messages.empty());
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
