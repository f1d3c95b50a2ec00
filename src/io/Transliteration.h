#pragma once

#include <QString>
#include <QStringList>

namespace io {

/// A text made fit for Windows-1250, and what was changed on the way.
struct Transliterated {
    QString text;
    QStringList changes; ///< "„Ñ“ → „N“", "„😀“ vynecháno", each character once
};

/// Replaces each character Windows-1250 lacks by its nearest form there:
/// the letter without its accent where the code page has that (Ñ → N,
/// ø → o, ﬁ → fi, a wide space → a space), else nothing (emoji, other
/// symbols, scripts the code page does not cover). What the code page
/// holds stays as it is (ł, ő, „–“).
Transliterated toWin1250(const QString &text);

} // namespace io
