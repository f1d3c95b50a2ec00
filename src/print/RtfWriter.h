#pragma once

#include "print/CardDocument.h"

#include <QByteArray>

namespace print {

/// Writes a card document as RTF: one RTF paragraph per card paragraph, each with its
/// font, size, styles and colour, left-aligned and without indents.
///
/// Text is written in Windows-1250 (\ansicpg1250): ASCII as it is, other characters of
/// the page as \'xx, characters outside it as \uN with "?" for readers without
/// Unicode. Backslashes and braces are escaped, so any text prints literally.
class RtfWriter {
  public:
    static QByteArray write(const QList<CardParagraph> &paragraphs);

    /// `text` escaped for the body of an RTF document.
    static QByteArray escape(const QString &text);
};

} // namespace print
