#include "ui/MessageBoxService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

QString MessageBoxService::caption(base::msg::Kind kind) {
    switch (kind) {
    case base::msg::Kind::Warning:
        return QStringLiteral("Warning");
    case base::msg::Kind::Error:
        return QStringLiteral("Error");
    case base::msg::Kind::Information:
        return QStringLiteral("Information");
    case base::msg::Kind::Confirm:
        return QStringLiteral("Confirm");
    case base::msg::Kind::Plain:
    case base::msg::Kind::ErrorReport:
        break;
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

base::msg::Answer MessageBoxService::show(base::msg::Kind kind, const QString &text,
                                          base::msg::Buttons buttons) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption(kind));
    box.setText(screenText(text));
    box.setTextFormat(Qt::PlainText);
    switch (kind) {
    case base::msg::Kind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case base::msg::Kind::Error:
    case base::msg::Kind::ErrorReport:
        box.setIcon(QMessageBox::Critical);
        break;
    case base::msg::Kind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case base::msg::Kind::Confirm:
        box.setIcon(QMessageBox::Question);
        break;
    case base::msg::Kind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    if (buttons == base::msg::Buttons::Ok) {
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return base::msg::Answer::Ok;
    }
    QPushButton *yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? base::msg::Answer::Yes : base::msg::Answer::No;
}

} // namespace ui
