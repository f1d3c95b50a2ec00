#pragma once

#include "base/MessageService.h"
#include "support/DataFixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QTest>
#include <QWindow>

/// Contact and company rows the form tests start from.
inline void addCompany(DataFixture &f, int id, const QString &name) {
    f.exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (?, ?)"), {id, name});
}

inline void addContact(DataFixture &f, int id, int companyId, const QString &firstName,
                       const QString &surname, const QVariant &region = QStringLiteral(" ")) {
    f.exec(QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, JMENO, PRIJMENI, KRAJ) "
                          "VALUES (?, ?, 0, ?, ?, ?)"),
           {id, companyId, firstName, surname, region});
}

/// Shows `form` and waits until it is the active window, so that focus
/// changes and key presses reach it as they would on a desktop.
inline bool showActive(QWidget &form) {
    form.show();
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form);
}

/// Presses `key` on the form's window: the key travels as a real one would,
/// through the window to the focused control.
inline void press(QWidget &form, Qt::Key key) {
    QTest::keyClick(form.windowHandle(), key);
}

/// Types `text` into `box` key by key (Czech letters included).
inline void typeText(QWidget *box, const QString &text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

inline QColor background(const QWidget *w) {
    return w->palette().color(QPalette::Base);
}

inline const QColor kReadOnly(0xE0, 0xE0, 0xE0);
inline const QColor kEditable(0xFF, 0xFF, 0xFF);

/// The captions of the labels inside `group`, in the order they were made.
inline QStringList captionsIn(const QWidget *group) {
    QStringList texts;
    for (const QLabel *label : group->findChildren<QLabel *>())
        if (!label->text().isEmpty())
            texts << label->text();
    return texts;
}

inline const QStringList kAddressCaptions{"Název", "Ulice (1)", "Ulice (2)", "Město",
                                          "PSČ",   "Stát",      "Poznámka"};
inline const QStringList kConnectionCaptions{"Telefon", "Mobil",    "Telefon 2", "Fax",
                                             "E-mail",  "E-mail 2", "WWW",       "ICQ",
                                             "Skype",   "Další 1",  "Další 2",   "Poznámka"};

/// Messages recorded so far, as "kind|text".
inline QStringList recorded(const base::msg::Recorder &r) {
    QStringList out;
    for (const auto &m : r.messages)
        out << QStringLiteral("%1|%2").arg(int(m.kind)).arg(m.text);
    return out;
}
