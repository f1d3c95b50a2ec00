#include "KeystrokeBench.h"

#include "app/U_deska.h"
#include "data/U_DM.h"
#include "grid/DataGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>

namespace bench {
namespace {

const char *const kParams[] = {"K1", "K2", "K3", "F1", "F2", "F3"};

/// One typed character as the window system delivers it.
void typeCharacter(QWidget *target, QChar ch) {
    const int key = ch.isLetter() && ch.unicode() < 0x80
                        ? Qt::Key_A + (ch.toUpper().unicode() - 'A')
                        : Qt::Key_unknown;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

} // namespace

QStringList typedPrefixes() {
    static const QStringList words{QStringLiteral("novák"), QStringLiteral("svob"),
                                   QStringLiteral("pro"),   QStringLiteral("čer"),
                                   QStringLiteral("žá"),    QStringLiteral("kov"),
                                   QStringLiteral("mar"),   QStringLiteral("růž")};
    QStringList prefixes;
    for (const QString &word : words)
        for (int length = 1; length <= word.size(); ++length)
            prefixes << word.left(length);
    return prefixes;
}

Timings timeBoardQuery(TDM &dm, const QStringList &prefixes, int rows) {
    Timings samples;
    dataset::QueryDataset &board = dm.qHlavniDeska;
    for (const QString &prefix : prefixes) {
        const Stopwatch watch;
        board.close();
        const QString pattern = QLatin1Char('%') + prefix + QLatin1Char('%');
        for (const char *name : kParams)
            board.paramByName(QLatin1String(name))->setAsString(pattern);
        board.open();
        if (board.fetchedCount() < rows)
            board.fetchMore(rows - board.fetchedCount());
        const int shown = qMin(rows, board.fetchedCount());
        const int columns = int(board.fields().size());
        qsizetype touched = 0;
        for (int row = 0; row < shown; ++row)
            for (int column = 0; column < columns; ++column)
                touched += board.valueAt(row, column).toString().size();
        samples.add(watch);
        Q_UNUSED(touched);
    }
    return samples;
}

Timings timeTyping(Tfm_Deska &window, TDM &dm, const QStringList &prefixes, QString *problem) {
    Timings samples;
    grid::DataGrid *grid = window.ui().gHlavniDeska;
    QLineEdit *box = window.ui().Edit1;
    for (const QString &prefix : prefixes) {
        if (prefix.size() == 1)
            box->selectAll(); // a new word: its first letter replaces the old one
        const Stopwatch watch;
        typeCharacter(box, prefix.back());
        QCoreApplication::processEvents();
        const QPixmap painted = grid->grab();
        samples.add(watch);

        const QString expected = QLatin1Char('%') + prefix + QLatin1Char('%');
        const QString used = dm.qHlavniDeska.paramByName(QStringLiteral("K1"))->value().toString();
        if (problem && problem->isEmpty() && (box->text() != prefix || used != expected))
            *problem =
                QStringLiteral("typing \"%1\" left the box at \"%2\" and the board's K1 at \"%3\"")
                    .arg(prefix, box->text(), used);
        Q_UNUSED(painted);
    }
    return samples;
}

} // namespace bench
