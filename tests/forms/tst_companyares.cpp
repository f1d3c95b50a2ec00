// Filling a company from the register of economic subjects: the answer read
// into the form's boxes, and the company form asking a loopback server that
// serves recorded answers, for success, each failure and a server that hangs.
#include "CompanyFormFixture.h"

#include "ares/AresAnswer.h"
#include "ares/AresClient.h"
#include "forms/AresLookup.h"
#include "forms/AresPreview.h"
#include "support/ChildProcess.h"
#include "support/LocalHttpServer.h"
#include "support/TemporarySettings.h"

#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSslKey>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

const QString kIco = QStringLiteral("12345679");
const QString kPath = QStringLiteral("/ekonomicke-subjekty-v-be/rest/ekonomicke-subjekty/");

const QByteArray kFullAnswer = R"({
  "ico": "12345679", "obchodniJmeno": "Modrá Hora s.r.o.", "dic": "CZ12345679",
  "sidlo": {"kodStatu": "CZ", "nazevStatu": "Česká republika", "nazevObce": "Praha",
            "nazevCastiObce": "Nové Město", "nazevUlice": "Vodičkova", "cisloDomovni": 681,
            "cisloOrientacni": 18, "cisloOrientacniPismeno": "b", "psc": 11000,
            "textovaAdresa": "Vodičkova 681/18b, Nové Město, 11000 Praha 1"}})";

ares::CompanyRecord seat(const char *street, const char *district, const char *town,
                         const char *postcode, const char *country) {
    ares::CompanyRecord r;
    r.name = QStringLiteral("Firma");
    r.hasSeat = true;
    r.street = QString::fromUtf8(street);
    r.district = QString::fromUtf8(district);
    r.town = QString::fromUtf8(town);
    r.postcode = QString::fromUtf8(postcode);
    r.country = QString::fromUtf8(country);
    return r;
}

} // namespace

class TestCompanyAres : public QObject {
    Q_OBJECT
    TemporarySettings m_settings;
    LocalHttpServer m_server;

    /// Company 1 in edit mode with kIco typed, the register at the test server.
    std::unique_ptr<Companies> editing() {
        QSettings().setValue(QLatin1String(ares::kUrlSetting), m_server.baseUrl() + "/");
        auto c = std::make_unique<Companies>();
        if (!showActive(*c->form) || !c->goTo(1))
            return nullptr;
        c->form->ui().sbFirEdit->click();
        c->form->ui().EditIC->setText(kIco);
        return c;
    }
    QStringList boxTexts(const Tfm_Firma &f) {
        QStringList texts;
        for (const QLineEdit *box :
             {f.ui().EditNAZEV_FIRMA, f.ui().EditDIC, f.ui().EditADRESA_FS, f.ui().EditUliceS,
              f.ui().EditObecS, f.ui().EditPSCS, f.ui().EditStatS})
            texts << box->text();
        return texts;
    }

  private slots:
    void initTestCase() { QVERIFY(m_server.listen()); }

    void answerReadIntoBoxes_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<ares::CompanyRecord>("record");
        QTest::addColumn<QString>("error");
        auto full = seat("Vodičkova 681/18b", "Nové Město", "Praha", "110 00", "Česká republika");
        full.name = QStringLiteral("Modrá Hora s.r.o.");
        full.dic = QStringLiteral("CZ12345679");
        QTest::newRow("street, numbers, part of town") << kFullAnswer << full << QString();
        QTest::newRow("village without streets")
            << QByteArray(R"({"obchodniJmeno": "Firma", "sidlo": {"nazevCastiObce": "Lhota",
                 "nazevObce": "Dolní Lhota", "cisloDomovni": "12", "psc": "56401"}})")
            << seat("Lhota 12", "", "Dolní Lhota", "564 01", "") << QString();
        QTest::newRow("town's own name, orientation number only")
            << QByteArray(R"({"obchodniJmeno": " Firma\n", "sidlo": {"nazevObce": "Kozlov",
                 "nazevCastiObce": "Kozlov", "nazevUlice": "Hlavní", "cisloOrientacni": 3}})")
            << seat("Hlavní 3", "", "Kozlov", "", "") << QString();
        QTest::newRow("abroad, as text only")
            << QByteArray(R"({"obchodniJmeno": "Firma", "sidlo": {"nazevStatu": "Slovensko",
                 "textovaAdresa": "Hlavná 1, 811 01 Bratislava"}})")
            << seat("Hlavná 1, 811 01 Bratislava", "", "", "", "Slovensko") << QString();
        QTest::newRow("no seat")
            << QByteArray(R"({"obchodniJmeno": "Firma", "sidlo": null})")
            << ares::CompanyRecord{QStringLiteral("Firma"), {}, false, {}, {}, {}, {}, {}}
            << QString();
        const auto refused = [](const char *json, const char *error) {
            QTest::newRow(error) << QByteArray(json) << ares::CompanyRecord{}
                                 << QString::fromUtf8(error);
        };
        refused("{\"obchodniJmeno\": \"Fir", "není to platný JSON");
        refused(R"(["obchodniJmeno"])", "nečekaný tvar dat");
        refused(R"({"obchodniJmeno": ""})", "neobsahuje obchodní jméno");
        refused(R"({"obchodniJmeno": "F", "sidlo": {"psc": [1]}})", "„sidlo.psc“ má nečekaný typ");
        refused(R"({"obchodniJmeno": "F", "dic": 1.5})", "„dic“ má nečekaný typ");
    }
    void answerReadIntoBoxes() {
        QFETCH(QByteArray, json);
        QFETCH(ares::CompanyRecord, record);
        QFETCH(QString, error);
        const ares::AnswerReading reading = ares::readCompany(json);
        QVERIFY2(error.isEmpty() ? reading.isValid() : reading.error.contains(error),
                 qPrintable(reading.error));
        if (error.isEmpty())
            QCOMPARE(reading.record, record);
    }

    /// Ctrl+R in edit mode asks for the IČO typed; the preview shows the
    /// boxes beside the answer, Esc keeps them, Enter fills them, and only
    /// the confirm stores them. An IČO that fails its check is never asked
    /// for; in browse mode the command is off.
    void takenAnswerFillsBoxesUntilConfirmed() {
        m_server.answer(kPath + kIco, {200, kFullAnswer});
        auto c = editing();
        QVERIFY(c);
        Tfm_Firma &f = *c->form;
        forms::AresLookup &lookup = f.aresLookup();
        const QStringList before = boxTexts(f);

        f.ui().EditIC->setFocus();
        QTest::keyClick(f.ui().EditIC, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.ui().sbAres);
        f.ui().EditIC->setText(QStringLiteral("12345678"));
        QTest::keyClick(f.ui().EditIC, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(c->messages.messages.size(), size_t(1));
        QVERIFY(c->messages.messages.front().text.contains(QStringLiteral("kontrolní číslice")));
        QVERIFY(!lookup.client().isBusy());

        const qsizetype asked = m_server.requests().size();
        f.ui().EditIC->setText(kIco);
        for (const bool take : {false, true}) {
            QTest::keyClick(f.ui().EditIC, Qt::Key_R, Qt::ControlModifier);
            QTRY_VERIFY2(lookup.preview() && lookup.preview()->isVisible(),
                         qPrintable(c->messages.messages.back().text));
            const QTableWidget *table = lookup.preview()->table();
            QCOMPARE(table->item(0, 1)->text(), QStringLiteral("Alfa"));
            QCOMPARE(table->item(0, 2)->text(), QStringLiteral("Modrá Hora s.r.o."));
            QCOMPARE(table->rowCount(), 7);
            QTest::keyClick(lookup.preview()->table(), take ? Qt::Key_Return : Qt::Key_Escape);
            QTRY_VERIFY(!lookup.preview());
            QVERIFY(showActive(f)); // the key goes to the form again
            if (!take)
                QCOMPARE(boxTexts(f), before);
        }
        QCOMPARE(m_server.requests().size(), asked + 2);
        QCOMPARE(boxTexts(f), (QStringList{"Modrá Hora s.r.o.", "CZ12345679", "Vodičkova 681/18b",
                                           "Nové Město", "Praha", "110 00", "Česká republika"}));
        QVERIFY(!f.isBrowseMode());
        QCOMPARE(c->company("NAZEV_FIRMA", 1).toString(), QStringLiteral("Alfa"));
        QVERIFY(c->company("OBEC_FS", 1).toString().isEmpty());

        c->messages.messages.clear();
        f.ui().BB_Jo->click();
        QVERIFY(f.isBrowseMode());
        QVERIFY(c->messages.messages.empty());
        QCOMPARE(c->company("NAZEV_FIRMA || '|' || DIC || '|' || ADRESA_FS || '|' || PSC_FS", 1)
                     .toString(),
                 QStringLiteral("Modrá Hora s.r.o.|CZ12345679|Vodičkova 681/18b|110 00"));
        QVERIFY(!f.ui().sbAres->isEnabled());
        QTest::keyClick(f.ui().EditIC, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(!lookup.client().isBusy());
    }

    void failureChangesNothing_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<LocalHttpServer::Way>("way");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("base"); // the test server's when empty
        QTcpServer closed;                 // a port nobody listens on any more
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString nobody = QStringLiteral("http://127.0.0.1:%1").arg(closed.serverPort());
        closed.close();
        QTest::newRow("nobody listening")
            << 0 << QByteArray() << LocalHttpServer::Way::Answer
            << QStringLiteral("Server ARES (127.0.0.1) odmítl spojení.") << nobody;
        QTest::newRow("not a web address")
            << 0 << QByteArray() << LocalHttpServer::Way::Answer
            << QStringLiteral("Adresa služby ARES „ftp://127.0.0.1“ (nastavení AresUrl) není")
            << QStringLiteral("ftp://127.0.0.1");
        QTest::newRow("unknown IČO")
            << 404 << QByteArray(R"({"kod": "NENALEZENO"})") << LocalHttpServer::Way::Answer
            << QStringLiteral("Subjekt s IČO 12345679 v ARES není.") << QString();
        QTest::newRow("server error")
            << 503 << QByteArray("<html>nedostupné</html>") << LocalHttpServer::Way::Answer
            << QStringLiteral("Server ARES hlásí chybu (HTTP 503).") << QString();
        QTest::newRow("malformed JSON")
            << 200 << kFullAnswer.left(120) << LocalHttpServer::Way::Answer
            << QStringLiteral("Odpověď ARES nelze přečíst: není to platný JSON") << QString();
        QTest::newRow("dropped connection")
            << 200 << QByteArray() << LocalHttpServer::Way::Drop
            << QStringLiteral("Spojení se serverem ARES se přerušilo") << QString();
    }
    /// Each failure is one Czech error message; the boxes, the database row
    /// and edit mode stay as they were.
    void failureChangesNothing() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(LocalHttpServer::Way, way);
        QFETCH(QString, message);
        QFETCH(QString, base);
        m_server.answer(kPath + kIco, {status, body, way});
        auto c = editing();
        QVERIFY(c);
        if (!base.isEmpty())
            QSettings().setValue(QLatin1String(ares::kUrlSetting), base);
        Tfm_Firma &f = *c->form;
        const QStringList before = boxTexts(f);
        f.ui().sbAres->click();
        QTRY_COMPARE(c->messages.messages.size(), size_t(1));
        const auto &shown = c->messages.messages.front();
        QCOMPARE(shown.kind, base::msg::Kind::Error);
        QVERIFY2(shown.text.startsWith(message), qPrintable(shown.text));
        QVERIFY(shown.text.contains(QStringLiteral("zůstaly beze změny")));
        QVERIFY(!f.aresLookup().preview() && !f.aresLookup().progress());
        QCOMPARE(boxTexts(f), before);
        QVERIFY(!f.isBrowseMode());
        f.BB_ZrusClick();
        QVERIFY(c->company("ICO", 1).isNull());
    }

    /// A server that never answers: Esc in the progress dialog drops the
    /// question without a word; left alone, the timeout ends it with its
    /// message. The boxes stay as they were either way.
    void hangingServerCancelledOrTimedOut() {
        m_server.answer(kPath + kIco, {200, {}, LocalHttpServer::Way::Hang});
        auto c = editing();
        QVERIFY(c);
        Tfm_Firma &f = *c->form;
        forms::AresLookup &lookup = f.aresLookup();
        const QStringList before = boxTexts(f);
        f.ui().sbAres->click();
        QTRY_VERIFY(lookup.progress() && lookup.progress()->isVisible());
        QVERIFY(lookup.client().isBusy());
        QTest::keyClick(lookup.progress(), Qt::Key_Escape);
        QTRY_VERIFY(!lookup.progress());
        QVERIFY(!lookup.client().isBusy());
        QTest::qWait(50);
        QVERIFY(c->messages.messages.empty());

        lookup.client().setTimeout(300);
        f.ui().sbAres->click();
        QTRY_COMPARE(c->messages.messages.size(), size_t(1));
        QVERIFY2(c->messages.messages.front().text.startsWith(
                     QStringLiteral("ARES neodpověděl do 0.3 s.")),
                 qPrintable(c->messages.messages.front().text));
        QVERIFY(!lookup.progress() && !lookup.preview());
        QCOMPARE(boxTexts(f), before);
        QVERIFY(!f.isBrowseMode());
    }

    /// A server whose certificate nobody vouches for (made here, for
    /// 127.0.0.1) is refused: the client says so and reads nothing.
    void selfSignedServerRefused() {
        QTemporaryDir dir;
        ChildProcess openssl(QStringLiteral("openssl"),
                             {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                              "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                              "-keyout", dir.filePath("key.pem"), "-out",
                              dir.filePath("cert.pem")});
        openssl.process().setProcessChannelMode(QProcess::MergedChannels);
        QVERIFY(openssl.start());
        QVERIFY2(openssl.process().waitForFinished(30000) && openssl.process().exitCode() == 0,
                 openssl.process().readAll().constData());
        QFile cert(dir.filePath("cert.pem")), key(dir.filePath("key.pem"));
        QVERIFY(cert.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly));
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(QSslCertificate(&cert));
        tls.setPrivateKey(QSslKey(&key, QSsl::Rsa));
        LocalHttpServer server;
        QVERIFY(server.listen(tls));
        server.answer(kPath + kIco, {200, kFullAnswer});

        ares::AresClient client;
        QSignalSpy received(&client, &ares::AresClient::received);
        QSignalSpy failed(&client, &ares::AresClient::failed);
        client.fetch(server.baseUrl(), kIco);
        QVERIFY(failed.wait());
        QVERIFY2(failed.front().front().toString().contains(QStringLiteral("certifikátem")),
                 qPrintable(failed.front().front().toString()));
        QVERIFY(received.isEmpty() && server.requests().isEmpty());
    }
};

QTEST_MAIN(TestCompanyAres)
#include "tst_companyares.moc"
