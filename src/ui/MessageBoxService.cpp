#include "MessageBoxService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

QString MessageBoxService::caption(msg::Kind kind) {
    switch (kind) {
    case msg::Kind::Warning: return QStringLiteral("Warning");
    case msg::Kind::Error: return QStringLiteral("Error");
    case msg::Kind::Information: return QStringLiteral("Information");
    case msg::Kind::Confirm: return QStringLiteral("Confirm");
    case msg::Kind::Plain:
    case msg::Kind::ErrorReport: break;
    }
    return QApplication::applicationDisplayName();
}

QString MessageBoxService::screenText(const QString &text) {
    QString screen = text;
    screen.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    screen.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    screen.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return screen;
}

msg::Answer MessageBoxService::show(msg::Kind kind, const QString &text, msg::Buttons buttons) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption(kind));
    box.setText(screenText(text));
    box.setTextFormat(Qt::PlainText);
    switch (kind) {
    case msg::Kind::Warning: box.setIcon(QMessageBox::Warning); break;
    case msg::Kind::Error:
    case msg::Kind::ErrorReport: box.setIcon(QMessageBox::Critical); break;
    case msg::Kind::Information: box.setIcon(QMessageBox::Information); break;
    case msg::Kind::Confirm: box.setIcon(QMessageBox::Question); break;
    case msg::Kind::Plain: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (buttons == msg::Buttons::Ok) {
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return msg::Answer::Ok;
    }
    QPushButton *yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? msg::Answer::Yes : msg::Answer::No;
}

} // namespace ui
