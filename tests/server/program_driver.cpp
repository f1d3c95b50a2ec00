// The real program with a remote control for tests: it starts exactly as
// the program does and reads commands from stdin, one a line, answering each
// with one line on stdout ("ok ..." or "error ..."). The commands act on the
// real windows as a user would: keys, typing, buttons, the board's rows.
//
//   window              the window the user works in: the modal one on top,
//                       else the main window ("none" before any shows)
//   shown               every top-level window shown so far (JSON list)
//   messages            the texts of every message box shown so far (JSON list)
//   message             the text of the message box on top
//   text NAME           the text a box, label or button shows
//   enabled NAME        1 or 0
//   rows                the board's rows as they read on screen (JSON list)
//   key KEYS            presses keys ("F2", "Return", "Ctrl+P") in the window on top
//   type NAME TEXT      focuses the box, selects its text and types TEXT over it
//   check NAME on|off   ticks or clears a check box with Space
//   button TEXT         clicks the button with this caption in the window on top
//   click NAME          clicks the button with this name in the window on top
//   pick TEXT           moves the board's cursor to the first row containing
//                       TEXT with the arrow keys and makes it the selection (Space)
//
// Actions run from the event loop after the command was read; their answer
// comes once the action has run or is waiting in a window it opened, so the
// next command can answer that window.
#include "app/Application.h"
#include "app/ProgramCommand.h"
#include "app/U_deska.h"
#include "grid/DataGrid.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

QString jsonList(const QStringList &items) {
    return QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(items)).toJson(QJsonDocument::Compact));
}

/// One line per answer: line breaks inside travel as "\n".
void answer(const QString &line) {
    QString escaped = line;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    std::fputs(escaped.toUtf8().append('\n').constData(), stdout);
    std::fflush(stdout);
}

QString plainCaption(const QString &caption) {
    return QString(caption).remove(QLatin1Char('&'));
}

/// The window the user works in now.
QWidget *topWindow() {
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return fm_Deska && fm_Deska->isVisible() ? fm_Deska : nullptr;
}

QString nameOf(const QObject *object) {
    return object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                          : object->objectName();
}

QString textOf(const QWidget *widget) {
    if (const auto *line = qobject_cast<const QLineEdit *>(widget))
        return line->text();
    if (const auto *note = qobject_cast<const QPlainTextEdit *>(widget))
        return note->toPlainText();
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->currentText();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return plainCaption(button->text());
    return {};
}

/// A board row as it reads: a company's group line, or the contact's cells.
QString boardRowText(const grid::DataGrid &board, int row) {
    QString group;
    if (board.groupOf(row, &group) >= 0)
        return group.trimmed();
    QStringList cells;
    const QAbstractItemModel *model = board.model();
    for (int column = 0; column < model->columnCount(); ++column) {
        const QString cell = model->index(row, column).data().toString().trimmed();
        if (!board.isColumnHidden(column) && board.columnWidth(column) > 1 && !cell.isEmpty())
            cells << cell;
    }
    return cells.join(QLatin1Char(' '));
}

QStringList boardRows(grid::DataGrid &board) {
    QAbstractItemModel *model = board.model();
    while (model->canFetchMore({}))
        model->fetchMore({});
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows << boardRowText(board, row);
    return rows;
}

/// Makes `window` the active one, as the user's click on it would, so that
/// focus changes and keys behave as on a desktop.
void activate(QWidget *window) {
    if (window && !window->isActiveWindow())
        QApplication::setActiveWindow(window);
}

void pressKeys(QWidget *window, const QKeySequence &keys) {
    for (int i = 0; i < keys.count(); ++i)
        QTest::keyClick(window->windowHandle(), keys[i].key(), keys[i].keyboardModifiers());
}

/// Types `text` into the focused `box` character by character, as a keyboard would.
void typeText(QWidget *box, const QString &text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &release);
    }
}

class ProgramDriver : public QObject {
  public:
    ProgramDriver() : m_stdin(STDIN_FILENO, QSocketNotifier::Read) {
        connect(&m_stdin, &QSocketNotifier::activated, this, [this] { readCommands(); });
        qApp->installEventFilter(this);
    }

  protected:
    /// Notes every window and message box as it shows. A modal window
    /// shown by the running action waits for the user: the action is
    /// answered, and the next command goes to that window.
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->isWindow()) {
            m_shown << nameOf(watched);
            if (const auto *box = qobject_cast<QMessageBox *>(watched))
                m_messages << box->text();
            if (static_cast<QWidget *>(watched)->isModal() && !m_running.empty() &&
                !*m_running.back()) {
                *m_running.back() = true;
                answer(QStringLiteral("ok"));
            }
        }
        return false;
    }

  private:
    void readCommands() {
        char chunk[4096];
        const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (got <= 0) {
            m_stdin.setEnabled(false); // the test has gone; it ends the program
            return;
        }
        m_pending.append(chunk, got);
        for (qsizetype end; (end = m_pending.indexOf('\n')) >= 0;) {
            const QString line = QString::fromUtf8(m_pending.left(end));
            m_pending.remove(0, end + 1);
            run(line);
        }
    }

    QWidget *child(const QString &name) const {
        QWidget *top = topWindow();
        return top ? top->findChild<QWidget *>(name) : nullptr;
    }

    /// Runs `action` from the event loop and answers once it has run or
    /// waits in a modal window it opened. (Simulated keys process pending
    /// events: the answer cannot simply be queued behind the action.)
    /// An action that returns a text answers with it instead ("error ...").
    void later(std::function<void()> action) {
        later(std::function<QString()>([action = std::move(action)] {
            action();
            return QString();
        }));
    }
    void later(std::function<QString()> action) {
        QMetaObject::invokeMethod(
            this,
            [this, action = std::move(action)] {
                bool answered = false;
                m_running.push_back(&answered);
                const QString problem = action();
                m_running.pop_back();
                if (!answered)
                    answer(problem.isEmpty() ? QStringLiteral("ok") : problem);
            },
            Qt::QueuedConnection);
    }

    void run(const QString &line) {
        const QString command = line.section(QLatin1Char(' '), 0, 0);
        const QString argument = line.section(QLatin1Char(' '), 1);
        const QString name = argument.section(QLatin1Char(' '), 0, 0);
        const QString rest = argument.section(QLatin1Char(' '), 1);
        QWidget *top = topWindow();

        if (command == QLatin1String("window"))
            return answer(QStringLiteral("ok ") + (top ? nameOf(top) : QStringLiteral("none")));
        if (command == QLatin1String("shown"))
            return answer(QStringLiteral("ok ") + jsonList(m_shown));
        if (command == QLatin1String("messages"))
            return answer(QStringLiteral("ok ") + jsonList(m_messages));
        if (command == QLatin1String("message")) {
            const auto *box = qobject_cast<QMessageBox *>(top);
            return answer(box ? QStringLiteral("ok ") + box->text()
                              : QStringLiteral("error no message box"));
        }
        if (command == QLatin1String("rows"))
            return fm_Deska ? answer(QStringLiteral("ok ") +
                                     jsonList(boardRows(*fm_Deska->ui().gHlavniDeska)))
                            : answer(QStringLiteral("error no main window"));
        if (command == QLatin1String("key")) {
            const QKeySequence keys(argument);
            if (!top || keys.isEmpty())
                return answer(QStringLiteral("error no window or no keys"));
            return later([top, keys] {
                activate(top);
                pressKeys(top, keys);
            });
        }
        if (command == QLatin1String("button") || command == QLatin1String("pick"))
            return runOnTop(command, argument);

        QWidget *widget = child(name);
        if (!widget)
            return answer(QStringLiteral("error no %1 in %2")
                              .arg(name, top ? nameOf(top) : QStringLiteral("none")));
        if (command == QLatin1String("text"))
            return answer(QStringLiteral("ok ") + textOf(widget));
        if (command == QLatin1String("enabled"))
            return answer(QStringLiteral("ok ") + QString::number(widget->isEnabled() ? 1 : 0));
        if (command == QLatin1String("type"))
            return later([top, widget, rest] {
                activate(top);
                widget->setFocus(Qt::TabFocusReason);
                if (auto *line = qobject_cast<QLineEdit *>(widget))
                    line->selectAll();
                else if (auto *note = qobject_cast<QPlainTextEdit *>(widget))
                    note->selectAll();
                typeText(widget, rest);
            });
        if (command == QLatin1String("check")) {
            auto *box = qobject_cast<QCheckBox *>(widget);
            if (!box)
                return answer(QStringLiteral("error %1 is no check box").arg(name));
            const bool wanted = rest == QLatin1String("on");
            return later([top, box, wanted] {
                activate(top);
                box->setFocus(Qt::TabFocusReason);
                if (box->isChecked() != wanted)
                    QTest::keyClick(box, Qt::Key_Space);
            });
        }
        if (command == QLatin1String("click")) {
            auto *button = qobject_cast<QAbstractButton *>(widget);
            if (!button)
                return answer(QStringLiteral("error %1 is no button").arg(name));
            return later([button] { button->click(); });
        }
        answer(QStringLiteral("error unknown command: ") + line);
    }

    /// `button TEXT` and `pick TEXT`: the target is found by its text.
    void runOnTop(const QString &command, const QString &text) {
        QWidget *top = topWindow();
        if (!top)
            return answer(QStringLiteral("error no window"));
        if (command == QLatin1String("button")) {
            for (QAbstractButton *button : top->findChildren<QAbstractButton *>())
                if (plainCaption(button->text()) == text && button->isVisible())
                    return later([button] { button->click(); });
            return answer(QStringLiteral("error no button %1 in %2").arg(text, nameOf(top)));
        }
        if (top != fm_Deska)
            return answer(QStringLiteral("error the main window is not on top"));
        grid::DataGrid *board = fm_Deska->ui().gHlavniDeska;
        const QStringList rows = boardRows(*board);
        const auto found = std::find_if(rows.begin(), rows.end(),
                                        [&](const QString &r) { return r.contains(text); });
        const int row = int(found - rows.begin());
        if (found == rows.end())
            return answer(QStringLiteral("error no board row with ") + text);
        later(std::function<QString()>([board, row] {
            activate(fm_Deska);
            board->setFocus(Qt::TabFocusReason);
            QWindow *window = fm_Deska->windowHandle();
            QTest::keyClick(window, Qt::Key_Home);
            for (int i = 0; i < row; ++i)
                QTest::keyClick(window, Qt::Key_Down);
            if (board->currentIndex().row() != row)
                return QStringLiteral("error the cursor is on row %1, not %2 (focus: %3)")
                    .arg(board->currentIndex().row())
                    .arg(row)
                    .arg(QApplication::focusWidget() ? nameOf(QApplication::focusWidget())
                                                     : QStringLiteral("none"));
            QTest::keyClick(window, Qt::Key_Space);
            return QString();
        }));
    }

    QSocketNotifier m_stdin;
    QByteArray m_pending;
    QStringList m_shown;
    QStringList m_messages;
    /// The actions in progress, innermost last: whether each was answered.
    std::vector<bool *> m_running;
};

} // namespace

int main(int argc, char *argv[]) {
    app::Application app(argc, argv);
    const app::ProgramCommand command = app::ProgramCommand::parse(QCoreApplication::arguments());
    if (command.action != app::ProgramCommand::Action::Run) {
        std::fprintf(stderr, "program_driver: %s\n", qPrintable(command.text));
        return 2;
    }
    ProgramDriver driver;
    return app.run(command.database);
}
