// The mailto: text of a new e-mail and what the e-mail button hands to the
// mail program: one recipient, whatever the stored address holds.
#include "MainWindowFixture.h"

#include <QClipboard>
#include <QGuiApplication>

#include <QTest>
#include <QUrlQuery>

namespace {

const QString kHyphens = QStringLiteral(
    "----------------------------------------------------------------------------------");
const QString kSignature =
    QStringLiteral("Email vytvořen aplikací: Vizitar  (https://www.qorvel.cz)");

} // namespace

class TestMailto : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();
    void ordinaryAddress();
    void addressStaysOneRecipient_data();
    void addressStaysOneRecipient();
    void emptyAddressDoesNothing();
    void noMailProgramIsSaidAndTheMessageCanBeCopied();

  private:
    std::unique_ptr<MainWindowFixture> f;
};

void TestMailto::initTestCase() {
    QCOMPARE(kHyphens.size(), 82);
    f = std::make_unique<MainWindowFixture>();
    f->create();
}

void TestMailto::cleanupTestCase() {
    f.reset();
}

void TestMailto::ordinaryAddress() {
    QCOMPARE(Tfm_Deska::composeMailto(QStringLiteral("jan.novak@firma.cz")),
             QStringLiteral("mailto:jan.novak@firma.cz?subject=věc&body=%0d%0d") + kHyphens +
                 QStringLiteral("%0dEmail vytvořen aplikací: Vizitar  (https://www.qorvel.cz)"));
}

void TestMailto::addressStaysOneRecipient_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("recipient"); // as it stands in the mailto: text
    QTest::addColumn<QString>("decoded");   // what the mail program reads
    QTest::newRow("plain") << "jan.novak@firma.cz"
                           << "jan.novak@firma.cz"
                           << "jan.novak@firma.cz";
    QTest::newRow("hidden copy") << "a@b.cz?bcc=spy@x.cz"
                                 << "a@b.cz%3Fbcc%3Dspy@x.cz"
                                 << "a@b.cz?bcc=spy@x.cz";
    QTest::newRow("extra field") << "a@b.cz&body=x"
                                 << "a@b.cz%26body%3Dx"
                                 << "a@b.cz&body=x";
    QTest::newRow("blank inside") << "a b@c.cz"
                                  << "a%20b@c.cz"
                                  << "a b@c.cz";
    QTest::newRow("percent") << "a%20@b.cz"
                             << "a%2520@b.cz"
                             << "a%20@b.cz";
    QTest::newRow("hash") << "a#b@c.cz"
                          << "a%23b@c.cz"
                          << "a#b@c.cz";
    QTest::newRow("comma") << "a@b.cz,c@d.cz"
                           << "a@b.cz%2Cc@d.cz"
                           << "a@b.cz,c@d.cz";
    QTest::newRow("Czech letters") << "jiří@b.cz"
                                   << "ji%C5%99%C3%AD@b.cz"
                                   << "jiří@b.cz";
    QTest::newRow("blanks around") << "  a@b.cz "
                                   << "a@b.cz"
                                   << "a@b.cz";
    QTest::newRow("unreserved kept") << "a-b_c.d~e@f.cz"
                                     << "a-b_c.d~e@f.cz"
                                     << "a-b_c.d~e@f.cz";
}

void TestMailto::addressStaysOneRecipient() {
    QFETCH(QString, address);
    QFETCH(QString, recipient);
    QFETCH(QString, decoded);
    QCOMPARE(Tfm_Deska::composeMailto(address), QStringLiteral("mailto:") + recipient +
                                                    QStringLiteral("?subject=věc&body=%0d%0d") +
                                                    kHyphens + QStringLiteral("%0d") + kSignature);

    UrlCatcher mailProgram(QStringLiteral("mailto"));
    f->window->selectedEmail = address;
    f->window->sbEmailClick();
    QCOMPARE(mailProgram.urls.size(), 1);
    const QUrl &url = mailProgram.urls.front();
    // What the mail program receives: the address as composed, the Czech
    // letters and blanks of subject and body as UTF-8 escapes (Qt writes
    // escapes in capitals, which means the same).
    QCOMPARE(
        url.toEncoded(),
        "mailto:" + recipient.toLatin1() + "?subject=v%C4%9Bc&body=%0D%0D" + kHyphens.toLatin1() +
            "%0DEmail%20vytvo%C5%99en%20aplikac%C3%AD:%20Vizitar%20%20(https://www.qorvel.cz)");
    QCOMPARE(url.path(QUrl::FullyDecoded), decoded);
    QVERIFY(!url.hasFragment());
    const QUrlQuery query(url);
    QCOMPARE(query.queryItems(QUrl::FullyDecoded).size(), 2);
    QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("věc"));
    QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
             QStringLiteral("\r\r") + kHyphens + QStringLiteral("\r") + kSignature);
}

void TestMailto::emptyAddressDoesNothing() {
    UrlCatcher mailProgram(QStringLiteral("mailto"));
    f->window->selectedEmail.clear();
    f->window->sbEmailClick();
    QVERIFY(mailProgram.urls.isEmpty());
}

void TestMailto::noMailProgramIsSaidAndTheMessageCanBeCopied() {
    // No handler for mailto: here (offscreen, no mail program): the desktop refuses it.
    QGuiApplication::clipboard()->clear();
    f->messages.messages.clear();
    f->messages.answers = {base::msg::Answer::Yes};
    f->window->selectedEmail = QStringLiteral(" jana@firma.cz ");
    f->window->sbEmailClick();
    QCOMPARE(f->messages.messages.size(), size_t(1));
    QCOMPARE(f->messages.messages[0].buttons, base::msg::Buttons::YesNo);
    QVERIFY2(f->messages.messages[0].text.contains(QStringLiteral("jana@firma.cz")) &&
                 f->messages.messages[0].text.contains(QStringLiteral("poštovní program")),
             qPrintable(f->messages.messages[0].text));
    const QString copied = QGuiApplication::clipboard()->text();
    QVERIFY2(copied.startsWith(QStringLiteral("Komu: jana@firma.cz\nPředmět: věc\n\n")),
             qPrintable(copied));
    QVERIFY(copied.contains(kSignature));
    // Answered No, nothing is copied.
    QGuiApplication::clipboard()->clear();
    f->messages.answers = {base::msg::Answer::No};
    f->window->sbEmailClick();
    QCOMPARE(f->messages.messages.size(), size_t(2));
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
}

QTEST_MAIN(TestMailto)
#include "tst_mailto.moc"
