// The contact's photo: showing, loading, deleting, and what OBR holds after
// confirm and cancel, read back through a second connection.
#include "support/FormFixture.h"

#include "forms/DbNavigator.h"
#include "forms/PhotoView.h"
#include "forms/RecordProtocol.h"
#include "forms/U_Kontakt.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <sys/stat.h>

class TestContactPhoto : public QObject {
    Q_OBJECT

    static QByteArray jpeg(const QColor &colour) {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(colour);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG");
        return bytes;
    }

    /// Contact 1 with a red photo, contact 2 without one.
    struct Photos {
        DataFixture db;
        base::msg::Recorder messages;
        std::unique_ptr<TFM_Kontakt> form;
        QByteArray red = jpeg(Qt::red);
        QString chosen; // what the open-picture dialog answers

        Photos() {
            addCompany(db, 1, QStringLiteral("Alfa"));
            addContact(db, 1, 1, QStringLiteral("Jana"), QStringLiteral("Malá"));
            addContact(db, 2, 1, QStringLiteral("Petr"), QStringLiteral("Dvořák"));
            db.exec(QStringLiteral("UPDATE KONTAKT SET OBR = ? WHERE ID = 1"), {red});
            db.openAll();
            form = std::make_unique<TFM_Kontakt>(*db.dm);
            form->opicd = [this] { return chosen; };
        }
        QVariant storedPhoto(int id = 1) {
            return db.scalar(QStringLiteral("SELECT OBR FROM KONTAKT WHERE ID = %1").arg(id));
        }
        QString file(const QString &name, const QByteArray &bytes) {
            const QString path = db.baseDir() + QLatin1Char('/') + name;
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
                return {};
            return path;
        }
        QRgb shownColour() const {
            return form->ui().iObr->pixmap().toImage().pixel(
                form->ui().iObr->pixmap().width() / 2, form->ui().iObr->pixmap().height() / 2);
        }
    };

    static bool near(QRgb a, QColor b) {
        return qAbs(qRed(a) - b.red()) < 16 && qAbs(qGreen(a) - b.green()) < 16 &&
               qAbs(qBlue(a) - b.blue()) < 16;
    }

  private slots:
    void showsThePhotoOfTheCurrentRow() {
        Photos p;
        TFM_Kontakt &f = *p.form;
        QVERIFY(showActive(f));
        QVERIFY(f.ui().iObr->hasPhoto());
        QVERIFY(near(p.shownColour(), Qt::red));
        QVERIFY(f.ui().iObr->hasScaledContents()); // stretched over the whole area
        f.ui().DBNavi->button(forms::DbNavigator::Next)->click();
        QVERIFY(!f.ui().iObr->hasPhoto());
        press(f, Qt::Key_Home);
        QVERIFY(f.ui().iObr->hasPhoto());
        QVERIFY(p.messages.messages.empty());
    }

    void loadConfirmAndCancel_data() {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("confirm") << true;
        QTest::newRow("cancel") << false;
    }
    void loadConfirmAndCancel() {
        QFETCH(bool, confirm);
        Photos p;
        TFM_Kontakt &f = *p.form;
        const QByteArray blue = jpeg(Qt::blue);
        p.chosen = p.file(QStringLiteral("modrá.jpg"), blue);
        QVERIFY(!p.chosen.isEmpty());
        QVERIFY(showActive(f));
        f.sbKontEditClick();
        f.Natifotku1Click();
        QCOMPARE(p.db.dm->tKONTAKT.fieldByName("OBR")->asBytes(), blue);
        QVERIFY(f.ui().lFotoNahrano->isVisible());
        QVERIFY(near(p.shownColour(), Qt::red)); // the old picture until the row is confirmed
        QCOMPARE(p.storedPhoto().toByteArray(), p.red);
        if (confirm)
            f.BB_JoClick();
        else
            f.BB_ZrusClick();
        QVERIFY(f.isBrowseMode());
        QVERIFY(!f.ui().lFotoNahrano->isVisible());
        QCOMPARE(p.storedPhoto().toByteArray(), confirm ? blue : p.red);
        QVERIFY(near(p.shownColour(), confirm ? QColor(Qt::blue) : QColor(Qt::red)));
        QVERIFY(p.messages.messages.empty());
    }

    void deletingThePhotoClearsItAtOnce() {
        Photos p;
        TFM_Kontakt &f = *p.form;
        QVERIFY(showActive(f));
        f.sbKontEditClick();
        f.Vymafotku1Click();
        QVERIFY(!f.ui().iObr->hasPhoto());
        QCOMPARE(p.storedPhoto().toByteArray(), p.red);
        f.BB_JoClick();
        QVERIFY(!p.storedPhoto().isValid()); // NULL
        QVERIFY(!f.ui().iObr->hasPhoto());
    }

    void menuItemsWorkInEditModeOnly() {
        Photos p;
        TFM_Kontakt &f = *p.form;
        p.chosen = p.file(QStringLiteral("a.jpg"), jpeg(Qt::green));
        QVERIFY(showActive(f));
        QVERIFY(!f.ui().Natifotku1->isEnabled());
        f.ui().Natifotku1->trigger();
        f.Natifotku1Click();
        f.Vymafotku1Click();
        QCOMPARE(p.storedPhoto().toByteArray(), p.red);
        QVERIFY(f.ui().iObr->hasPhoto());
        QVERIFY(!f.ui().lFotoNahrano->isVisible());
        QVERIFY(p.messages.messages.empty());
    }

    // Without a mouse: Tab reaches the photo and Shift+F10 opens its menu.
    void theMenuKeyOpensThePhotoMenu() {
        Photos p;
        TFM_Kontakt &f = *p.form;
        QVERIFY(showActive(f));
        f.sbKontEditClick();
        for (int i = 0; i < 20 && QApplication::focusWidget() != f.ui().iObr; ++i)
            press(f, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.ui().iObr);
        QTest::keyClick(f.windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(f.ui().pmFotka->isVisible());
        QVERIFY(f.ui().Natifotku1->isEnabled());
        f.ui().pmFotka->hide();
        f.BB_ZrusClick();
        QVERIFY(p.messages.messages.empty());
    }

    void aChosenFileThatIsNoJpegIsRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QImage png(8, 8, QImage::Format_RGB32);
        png.fill(Qt::yellow);
        QByteArray pngBytes;
        QBuffer buffer(&pngBytes);
        buffer.open(QIODevice::WriteOnly);
        png.save(&buffer, "PNG");
        QTest::newRow("png") << pngBytes;
        QTest::newRow("text") << QByteArray("Toto není obrázek.");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut jpeg") << jpeg(Qt::blue).left(20);
    }
    void aChosenFileThatIsNoJpegIsRefused() {
        QFETCH(QByteArray, bytes);
        Photos p;
        TFM_Kontakt &f = *p.form;
        p.chosen = p.file(QStringLiteral("fotka.jpg"), bytes);
        QVERIFY(!p.chosen.isEmpty());
        QVERIFY(showActive(f));
        f.sbKontEditClick();
        f.Natifotku1Click();
        QCOMPARE(p.messages.messages.size(), size_t(1));
        QCOMPARE(p.messages.messages[0].kind, base::msg::Kind::Warning);
        QVERIFY(p.messages.messages[0].text.contains(QStringLiteral("fotka.jpg")));
        QVERIFY(!p.db.dm->tKONTAKT.isModified());
        QCOMPARE(p.db.dm->tKONTAKT.fieldByName("OBR")->asBytes(), p.red);
        QVERIFY(!f.ui().lFotoNahrano->isVisible());
        f.BB_JoClick();
        QCOMPARE(p.storedPhoto().toByteArray(), p.red);
    }

    void aFileThatCannotBeOpenedIsReported_data() {
        QTest::addColumn<bool>("pipe");
        QTest::addColumn<QString>("start");
        QTest::newRow("missing") << false << QStringLiteral("Soubor „%1“ nelze otevřít: ");
        // Reading a pipe would wait for a writer for good.
        QTest::newRow("pipe") << true << QStringLiteral("„%1“ není soubor s obrázkem.");
    }
    void aFileThatCannotBeOpenedIsReported() {
        QFETCH(bool, pipe);
        QFETCH(QString, start);
        Photos p;
        TFM_Kontakt &f = *p.form;
        p.chosen = p.db.baseDir() + QStringLiteral("/chybí.jpg");
        if (pipe)
            QCOMPARE(::mkfifo(QFile::encodeName(p.chosen).constData(), 0600), 0);
        QVERIFY(showActive(f));
        f.sbKontEditClick();
        f.Natifotku1Click();
        QCOMPARE(p.messages.messages.size(), size_t(1));
        QCOMPARE(p.messages.messages[0].kind, base::msg::Kind::ErrorReport);
        QVERIFY2(p.messages.messages[0].text.startsWith(start.arg(p.chosen)),
                 qPrintable(p.messages.messages[0].text));
        QVERIFY(!f.isBrowseMode());
        QCOMPARE(p.db.dm->tKONTAKT.fieldByName("OBR")->asBytes(), p.red);
    }

    void cancellingTheDialogChangesNothing() {
        Photos p;
        TFM_Kontakt &f = *p.form;
        QVERIFY(showActive(f));
        f.sbKontEditClick();
        f.Natifotku1Click(); // chosen is empty: the user cancelled
        QVERIFY(!p.db.dm->tKONTAKT.isModified());
        QVERIFY(p.messages.messages.empty());
    }

    void aStoredPhotoThatDoesNotDecodeIsReported() {
        Photos p;
        p.db.exec(QStringLiteral("UPDATE KONTAKT SET OBR = ? WHERE ID = 2"),
                  {QByteArray("poškozená data")});
        p.db.dm->tKONTAKT.refresh();
        TFM_Kontakt &f = *p.form;
        QVERIFY(showActive(f));
        f.ui().DBNavi->button(forms::DbNavigator::Next)->click();
        QCOMPARE(f.windowTitle(), QStringLiteral("Kontakt: Dvořák Petr"));
        QCOMPARE(p.messages.messages.size(), size_t(1));
        QCOMPARE(p.messages.messages[0].kind, base::msg::Kind::ErrorReport);
        QVERIFY(p.messages.messages[0].text.startsWith(QStringLiteral(
            "Fotku kontaktu nelze zobrazit: uložená data nejsou čitelný obrázek JPEG")));
        QVERIFY(!f.ui().iObr->hasPhoto()); // not the previous contact's picture
        QVERIFY(f.close());

        // Opened in edit mode by an opener, the form still enters edit mode.
        p.db.dm->tKONTAKT.edit();
        contactEditOnShow = true;
        QVERIFY(showActive(f));
        contactEditOnShow = false;
        QCOMPARE(p.messages.messages.size(), size_t(2));
        QVERIFY(!f.isBrowseMode());
        QVERIFY(f.ui().BB_Jo->isEnabled());
    }
};

QTEST_MAIN(TestContactPhoto)
#include "tst_contactphoto.moc"
