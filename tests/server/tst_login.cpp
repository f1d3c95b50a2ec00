// Logging in to a database on a server: the order of the logins tried, the
// dialog, and where a remembered password is kept.
#include "base/MessageService.h"
#include "login/LoginDialog.h"
#include "support/TemporarySettings.h"
#include "support/TestDatabase.h"
#include "support/TestServer.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <QUrl>

using login::LoginAnswer;
using login::LoginFlow;

namespace {

/// Answers the login dialog from a script and notes what it was shown.
class ScriptedPrompt : public login::LoginPrompt {
  public:
    QList<std::optional<LoginAnswer>> answers;
    QStringList problems;
    QList<LoginAnswer> suggestions;

    std::optional<LoginAnswer> ask(const QString &, const LoginAnswer &suggested,
                                   const QString &problem) override {
        problems << problem;
        suggestions << suggested;
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
};

} // namespace

class TestLogin : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    std::unique_ptr<TemporarySettings> settings;
    QString target;

    LoginAnswer right(bool remember) const {
        return {server->user(), server->password(), remember};
    }
    LoginAnswer wrong() const { return {server->user(), QStringLiteral("spatne"), false}; }

  private slots:
    void theDialogIsReadyForKeyboardAndScreenReader() {
        login::LoginDialog dialog(QStringLiteral("server:/data/k.fdb"),
                                  {QStringLiteral("petra"), {}, true}, login::kLoginRefused);
        QCOMPARE(dialog.userBox()->text(), QStringLiteral("petra"));
        QCOMPARE(dialog.passwordBox()->echoMode(), QLineEdit::Password);
        QCOMPARE(dialog.rememberBox()->text().remove(QLatin1Char('&')),
                 QStringLiteral("Zapamatovat heslo"));
        QVERIFY(dialog.rememberBox()->isChecked());
        QCOMPARE(dialog.problemLabel()->text(), login::kLoginRefused);
        for (QWidget *box : {static_cast<QWidget *>(dialog.userBox()),
                             static_cast<QWidget *>(dialog.passwordBox())}) {
            QVERIFY(!box->accessibleName().isEmpty());
            bool hasBuddy = false;
            for (const QLabel *label : dialog.findChildren<QLabel *>())
                hasBuddy = hasBuddy || label->buddy() == box;
            QVERIFY2(hasBuddy, qPrintable(box->accessibleName()));
        }
        for (const QWidget *control : dialog.findChildren<QAbstractButton *>())
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        // Typed and confirmed with Enter.
        dialog.show();
        QTest::keyClicks(dialog.passwordBox(), QStringLiteral("tajne"));
        QTest::keyClick(dialog.passwordBox(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.answer().password, QStringLiteral("tajne"));
        QCOMPARE(dialog.answer().user, QStringLiteral("petra"));
    }

    void aFileNeedsNoLogin() {
        login::MemorySecretStore store;
        ScriptedPrompt prompt;
        const auto access = LoginFlow(store, prompt).obtain(QStringLiteral("/data/KONTAKTY.GDB"));
        QVERIFY(access);
        QCOMPARE(access->database, QStringLiteral("/data/KONTAKTY.GDB"));
        QVERIFY(prompt.problems.isEmpty());
    }

    void initTestCase() {
        SKIP_WITHOUT_SERVER();
        server = std::make_unique<TestServer>();
        QVERIFY2(server->start(), qPrintable(server->errorString()));
        target = server->target(QStringLiteral("k.fdb"));
        QVERIFY_DB(
            db::DbConnection::createDatabase(target, server->user(), server->password(), false));
    }
    void init() {
        settings = std::make_unique<TemporarySettings>();
        qunsetenv("ISC_USER");
        qunsetenv("ISC_PASSWORD");
    }
    void cleanupTestCase() { server.reset(); }

    void theEnvironmentsLoginNeedsNoDialog() {
        qputenv("ISC_USER", server->user().toUtf8());
        qputenv("ISC_PASSWORD", server->password().toUtf8());
        login::MemorySecretStore store;
        ScriptedPrompt prompt;
        const auto access = LoginFlow(store, prompt).obtain(target);
        QVERIFY(access);
        QCOMPARE(access->password, server->password());
        QVERIFY(prompt.problems.isEmpty());
    }

    void aWrongPasswordIsSaidAndAskedAgainThenRemembered() {
        qputenv("ISC_USER", server->user().toUtf8());
        qputenv("ISC_PASSWORD", "spatne");
        login::MemorySecretStore store;
        ScriptedPrompt prompt;
        prompt.answers = {wrong(), right(true)};
        const auto access = LoginFlow(store, prompt).obtain(target);
        QVERIFY(access);
        QCOMPARE(access->password, server->password());
        // The environment's refused login already says so in the first dialog.
        QCOMPARE(prompt.problems, (QStringList{login::kLoginRefused, login::kLoginRefused}));
        QCOMPARE(prompt.suggestions.first().user, server->user());
        QCOMPARE(store.read(LoginFlow::secretKey(target, server->user())), server->password());
        QSettings().sync();
        QFile file(QSettings().fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY2(!file.readAll().contains(server->password().toUtf8()),
                 "a password in the settings file");

        // The next start logs in by itself.
        qunsetenv("ISC_USER");
        qunsetenv("ISC_PASSWORD");
        ScriptedPrompt silent;
        const auto again = LoginFlow(store, silent).obtain(target);
        QVERIFY(again);
        QCOMPARE(again->password, server->password());
        QVERIFY(silent.problems.isEmpty());
    }

    void aLoginNotToRememberIsForgotten() {
        login::MemorySecretStore store;
        store.write(LoginFlow::secretKey(target, server->user()), QStringLiteral("stare"));
        QSettings().setValue(QStringLiteral("Prihlaseni/") +
                                 QString::fromLatin1(QUrl::toPercentEncoding(target)),
                             server->user());
        ScriptedPrompt prompt;
        prompt.answers = {right(false)};
        QVERIFY(LoginFlow(store, prompt).obtain(target));
        // The outdated remembered password was refused first and said so.
        QCOMPARE(prompt.problems, QStringList{login::kLoginRefused});
        QVERIFY(prompt.suggestions.first().remember);
        QCOMPARE(store.read(LoginFlow::secretKey(target, server->user())), std::nullopt);
        // The user's name is still offered next time.
        ScriptedPrompt next;
        QVERIFY(!LoginFlow(store, next).obtain(target));
        QCOMPARE(next.suggestions.first().user, server->user());
        QVERIFY(next.problems.first().isEmpty());
    }

    void cancelGivesNoLogin() {
        login::MemorySecretStore store;
        ScriptedPrompt prompt;
        prompt.answers = {wrong(), std::nullopt};
        QVERIFY(!LoginFlow(store, prompt).obtain(target));
        QCOMPARE(prompt.problems.size(), 2);
    }

    void aServerThatCannotBeReachedIsNotAskedAgain() {
        server->stop();
        login::MemorySecretStore store;
        ScriptedPrompt prompt;
        prompt.answers = {right(true), right(true)};
        const auto access = LoginFlow(store, prompt).obtain(target);
        QVERIFY(server->start());
        QVERIFY(access);
        QCOMPARE(prompt.problems.size(), 1);
        // Nothing was admitted, so nothing is remembered.
        QCOMPARE(store.read(LoginFlow::secretKey(target, server->user())), std::nullopt);
    }

    void withoutASecretServiceRememberingFailsSoftly() {
        // No session bus: the desktop store has nobody to talk to.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        login::DesktopSecretStore store;
        QElapsedTimer took;
        took.start();
        // Said in Czech, as everything the user reads: not the store's English text.
        QCOMPARE(store.write(QStringLiteral("test@nowhere"), QStringLiteral("x")),
                 QStringLiteral("úložiště hesel není k dispozici"));
        QCOMPARE(store.read(QStringLiteral("test@nowhere")), std::nullopt);
        QVERIFY(took.elapsed() < 15000);
        // The login still works and the user hears why nothing was kept.
        base::msg::Recorder messages;
        ScriptedPrompt prompt;
        prompt.answers = {right(true)};
        QVERIFY(LoginFlow(store, prompt).obtain(target));
        QCOMPARE(messages.messages.size(), 1);
        QVERIFY(messages.messages.front().text.startsWith(
            QStringLiteral("Heslo se nepodařilo zapamatovat")));
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
