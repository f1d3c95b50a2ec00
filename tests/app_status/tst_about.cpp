// The About window: its version line, its contents and its closing.
#include "MainWindowFixture.h"
#include "app/U_Info.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

class TestAbout : public QObject {
    Q_OBJECT
  private slots:
    void versionLine_data();
    void versionLine();
    void contents();
    void closing_data();
    void closing();
    void databaseMissing();
};

void TestAbout::versionLine_data() {
    QTest::addColumn<int>("layout");
    QTest::addColumn<QString>("update"); // run on the database before the program starts
    QTest::addColumn<QString>("line");
    QTest::newRow("1.1") << int(schema::Layout::Current) << QString()
                         << "verze:     080204.1 / 1.1";
    QTest::newRow("two-digit minor")
        << int(schema::Layout::Current) << "UPDATE NASTAVENI SET VERZE_VEDLEJSI = 12"
        << "verze:     080204.1 / 1.12";
    QTest::newRow("upgraded from 1.0")
        << int(schema::Layout::V1_0) << QString() << "verze:     080204.1 / 1.1";
}

void TestAbout::versionLine() {
    QFETCH(int, layout);
    QFETCH(QString, update);
    QFETCH(QString, line);
    initdb::BuildOptions options;
    options.layout = schema::Layout(layout);
    MainWindowFixture f(options);
    if (!update.isEmpty())
        QVERIFY_DB(f.data.exec(update));
    Tfm_Deska &w = f.create();
    TfmInfo about(*f.data.dm, w);
    QCOMPARE(about.lVerze->text(), line);
    QVERIFY(f.messages.messages.empty());

    // Computed once: a later change of the settings row does not show.
    QVERIFY_DB(f.data.exec(QStringLiteral("UPDATE NASTAVENI SET VERZE_VEDLEJSI = 7")));
    QVERIFY_DB(f.data.dm->tNastaveni.refresh());
    QCOMPARE(f.data.dm->tNastaveni.fieldByName(QStringLiteral("VERZE_VEDLEJSI"))->asInteger(), 7);
    about.show();
    QCOMPARE(about.lVerze->text(), line);
}

void TestAbout::contents() {
    MainWindowFixture f;
    Tfm_Deska &w = f.create();
    TfmInfo about(*f.data.dm, w);
    QCOMPARE(about.windowTitle(), QStringLiteral("Qorvel 2008"));
    QCOMPARE(about.size(), QSize(233, 282));
    QCOMPARE(about.minimumSize(), about.maximumSize());
    QVERIFY(about.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(about.font().family(), QStringLiteral("MS Sans Serif"));

    QCOMPARE(about.Memo1->toPlainText(), QStringLiteral("\n\nVIZITAR"));
    QVERIFY(about.Memo1->isReadOnly());
    QCOMPARE(about.Memo1->focusPolicy(), Qt::NoFocus);
    QCOMPARE(about.Memo1->geometry(), QRect(0, 0, 233, 116));
    QCOMPARE(about.Memo1->font().family(), QStringLiteral("Courier"));
    QCOMPARE(about.Memo1->font().pointSize(), 17);
    QVERIFY(about.Memo1->font().bold());
    QCOMPARE(about.Memo1->palette().color(QPalette::Text), QColor(0, 128, 0));
    QCOMPARE(about.Memo1->document()->defaultTextOption().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    QCOMPARE(about.Shape1->geometry(), QRect(10, about.Shape1->y(), 212, 2));
    QVERIFY(about.Shape1->y() >= 116);

    QCOMPARE(about.Image2->size(), QSize(56, 46));
    QVERIFY2(!about.Image2->pixmap().isNull(), "the logo is loaded");
    QCOMPARE(about.Label8->text(), QStringLiteral("Ing. Radek Šimánek"));
    QCOMPARE(about.Label6->text(), QStringLiteral("podpora@qorvel.cz"));
    QCOMPARE(about.Label3->text(), Tfm_Deska::makerWebAddress());
    QCOMPARE(about.Label3->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QVERIFY(!about.Label3->openExternalLinks());
    QCOMPARE(about.lVerze->x(), 56);

    QCOMPARE(about.bbZavri->text(), QStringLiteral("zavřít"));
    QCOMPARE(about.bbZavri->size(), QSize(89, 30));
    QVERIFY(!about.bbZavri->icon().isNull());
    QCOMPARE(about.bbZavri->accessibleName(), QStringLiteral("zavřít"));
    QVERIFY(!about.Image2->accessibleName().isEmpty());
    QVERIFY(!about.Memo1->accessibleDescription().isEmpty());
}

void TestAbout::closing_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("button") << "button";
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("close box") << "close box";
}

void TestAbout::closing() {
    QFETCH(QString, how);
    MainWindowFixture f;
    Tfm_Deska &w = f.create();
    TfmInfo about(*f.data.dm, w);
    w.setWindows(nullptr, nullptr, &about, nullptr);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QString line = about.lVerze->text();

    for (int showing = 1; showing <= 2; ++showing) {
        bool wasShown = false;
        QPoint aboutCentre;
        QTimer::singleShot(0, &about, [&] {
            wasShown = about.isVisible() && about.isModal();
            aboutCentre = about.frameGeometry().center();
            if (how == QLatin1String("button"))
                QTest::mouseClick(about.bbZavri, Qt::LeftButton);
            else if (how == QLatin1String("Escape"))
                QTest::keyClick(&about, Qt::Key_Escape);
            else
                about.close();
        });
        w.ui().sbInfo->click(); // returns when the window is closed
        QVERIFY2(wasShown, qPrintable(QStringLiteral("showing %1").arg(showing)));
        QVERIFY(!about.isVisible());
        QCOMPARE(about.lVerze->text(), line);
        const QPoint offset = aboutCentre - w.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 40, "centred over the main window");
    }
    QVERIFY(f.messages.messages.empty());
}

void TestAbout::databaseMissing() {
    QTemporaryDir empty;
    TDM dm;
    base::msg::Recorder messages;
    Tfm_Deska w(dm, empty.path());
    QVERIFY(w.ui().stbP1->text().isEmpty());
    const size_t before = messages.messages.size();
    TfmInfo about(dm, w);
    QCOMPARE(about.lVerze->text(), QStringLiteral("verze:"));
    QCOMPARE(messages.messages.size(), before + 1);
    QCOMPARE(messages.messages.back().kind, base::msg::Kind::ErrorReport);
    QVERIFY(!messages.messages.back().text.isEmpty());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
