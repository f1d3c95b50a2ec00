// The mailto: text of a new e-mail and what the e-mail button hands to the
// mail program: one recipient, whatever the stored address holds.
#include "MainWindowFixture.h"

#include <QTest>
#include <QUrlQuery>

namespace {

const QString kHyphens = QStringLiteral(
    "----------------------------------------------------------------------------------");
const QString kSignature = QStringLiteral("Email vytvořen aplikací: Vizitar  (https://www.qorvel.cz)");

} // namespace

class TestMailto : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void ordinaryAddress();
    void addressIsOneRecipient_data();
    void addressIsOneRecipient();
    void buttonHandsOverMessage_data();
    void buttonHandsOverMessage();
    void emptyAddressDoesNothing();

private:
    std::unique_ptr<MainWindowFixture> f;
};

void TestMailto::initTestCase() {
    QCOMPARE(kHyphens.size(), 82);
    f = std::make_unique<MainWindowFixture>();
    f->create();
}

void TestMailto::cleanupTestCase() { f.reset(); }

void TestMailto::ordinaryAddress() {
    QCOMPARE(Tfm_Deska::composeMailto(QStringLiteral("jan.novak@firma.cz")),
             QStringLiteral("mailto:jan.novak@firma.cz?subject=věc&body=%0d%0d") + kHyphens
                 + QStringLiteral("%0d") + kSignature);
}

void TestMailto::addressIsOneRecipient_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("recipient");  // as it stands in the mailto: text
    QTest::addColumn<QString>("decoded");    // what the mail program reads
    QTest::newRow("plain") << "jan.novak@firma.cz" << "jan.novak@firma.cz" << "jan.novak@firma.cz";
    QTest::newRow("hidden copy") << "a@b.cz?bcc=spy@x.cz" << "a@b.cz%3Fbcc%3Dspy@x.cz" << "a@b.cz?bcc=spy@x.cz";
    QTest::newRow("extra field") << "a@b.cz&body=x" << "a@b.cz%26body%3Dx" << "a@b.cz&body=x";
    QTest::newRow("blank inside") << "a b@c.cz" << "a%20b@c.cz" << "a b@c.cz";
    QTest::newRow("percent") << "a%20@b.cz" << "a%2520@b.cz" << "a%20@b.cz";
    QTest::newRow("hash") << "a#b@c.cz" << "a%23b@c.cz" << "a#b@c.cz";
    QTest::newRow("second address") << "a@b.cz,c@d.cz" << "a@b.cz%2Cc@d.cz" << "a@b.cz,c@d.cz";
    QTest::newRow("Czech letters") << "jiří@b.cz" << "ji%C5%99%C3%AD@b.cz" << "jiří@b.cz";
    QTest::newRow("blanks around") << "  a@b.cz " << "a@b.cz" << "a@b.cz";
    QTest::newRow("unreserved kept") << "a-b_c.d~e@f.cz" << "a-b_c.d~e@f.cz" << "a-b_c.d~e@f.cz";
}

void TestMailto::addressIsOneRecipient() {
    QFETCH(QString, address);
    QFETCH(QString, recipient);
    QFETCH(QString, decoded);
    const QString text = Tfm_Deska::composeMailto(address);
    QCOMPARE(text, QStringLiteral("mailto:") + recipient + QStringLiteral("?subject=věc&body=%0d%0d") + kHyphens
                       + QStringLiteral("%0d") + kSignature);

    const QUrl url(text, QUrl::TolerantMode);
    QVERIFY(url.isValid());
    QCOMPARE(url.path(QUrl::FullyDecoded), decoded);
    QVERIFY(!url.hasFragment());
    const QUrlQuery query(url);
    QCOMPARE(query.queryItems(QUrl::FullyDecoded).size(), 2);
    QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), QStringLiteral("věc"));
}

void TestMailto::buttonHandsOverMessage_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("recipient");  // as the mail program receives it
    QTest::newRow("plain") << "jan.novak@firma.cz" << QByteArray("jan.novak@firma.cz");
    QTest::newRow("hidden copy") << "a@b.cz?bcc=spy@x.cz" << QByteArray("a@b.cz%3Fbcc%3Dspy@x.cz");
    QTest::newRow("extra field") << "a@b.cz&body=x" << QByteArray("a@b.cz%26body%3Dx");
    QTest::newRow("blank inside") << "a b@c.cz" << QByteArray("a%20b@c.cz");
    QTest::newRow("percent") << "a%20@b.cz" << QByteArray("a%2520@b.cz");
    QTest::newRow("hash") << "a#b@c.cz" << QByteArray("a%23b@c.cz");
}

void TestMailto::buttonHandsOverMessage() {
    QFETCH(QString, address);
    QFETCH(QByteArray, recipient);
    UrlCatcher mailProgram(QStringLiteral("mailto"));
    f->window->selectedEmail = address;
    f->window->sbEmailClick();
    QCOMPARE(mailProgram.urls.size(), 1);
    const QUrl &url = mailProgram.urls.front();

    // The encoded text handed over: the address exactly as composed, the
    // Czech letters and blanks of subject and body as UTF-8 escapes.
    const QByteArray expected = "mailto:" + recipient + "?subject=v%C4%9Bc&body=%0D%0D" + kHyphens.toLatin1()
                                + "%0DEmail%20vytvo%C5%99en%20aplikac%C3%AD:%20Vizitar%20%20(https://www.qorvel.cz)";
    QCOMPARE(url.toEncoded().toUpper(), expected.toUpper());

    const QUrlQuery query(url);
    QCOMPARE(url.path(QUrl::FullyDecoded), address);
    QCOMPARE(query.queryItems(QUrl::FullyDecoded).size(), 2);
    QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), QStringLiteral("věc"));
    QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
             QStringLiteral("\r\r") + kHyphens + QStringLiteral("\r") + kSignature);
}

void TestMailto::emptyAddressDoesNothing() {
    UrlCatcher mailProgram(QStringLiteral("mailto"));
    f->window->selectedEmail.clear();
    f->window->sbEmailClick();
    QVERIFY(mailProgram.urls.isEmpty());
    f->window->selectedEmail = QStringLiteral("a@b.cz");
    f->window->sbEmailClick();
    QCOMPARE(mailProgram.urls.size(), 1);
}

QTEST_MAIN(TestMailto)
#include "tst_mailto.moc"
