#pragma once

#include "BenchStats.h"

#include <QStringList>

class TDM;
class Tfm_Deska;

namespace bench {

/// The prefixes a user produces typing a few search words, one keystroke
/// each: "n", "no", "nov", "nová", "novák", "s", ... (Czech letters included).
QStringList typedPrefixes();

/// Data side of one keystroke, for every prefix: close the board query,
/// set its six parameters, open it and read the first `rows` rows (every
/// column, as the grid would). One sample per keystroke.
Timings timeBoardQuery(TDM &dm, const QStringList &prefixes, int rows = 40);

/// The whole keystroke through the main window: the letter is typed into
/// the filter box (a key event; the first letter of a word replaces the
/// selected text), pending events run, and the board's grid is painted
/// offscreen with grab(). One sample per keystroke.
/// `problem` receives a description when the board did not follow the box.
Timings timeTyping(Tfm_Deska &window, TDM &dm, const QStringList &prefixes, QString *problem);

} // namespace bench
