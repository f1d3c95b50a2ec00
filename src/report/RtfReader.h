#pragma once

#include "report/RichText.h"

#include <QByteArray>

namespace report {

/// Reads RTF into paragraphs of formatted runs.
///
/// Understands groups, the font and colour tables, \ansicpg / \fcharset code pages
/// (1250 and 1252), \'xx, \uN with \ucN, \b \i \ul \strike (with 0 to switch off),
/// \f \fs \cf, \plain, \pard, \par, \line, \tab, alignment and a few special
/// characters. Ignorable destinations ({\*...}), style sheet, document info, pictures,
/// headers, footers and the like are skipped, and so is every control word it does not
/// know. Damaged input (unbalanced braces, truncation, absurd numbers, deep nesting)
/// is read as far as it makes sense; reading never fails and ends in linear time.
class RtfReader {
  public:
    /// Parses `rtf`; text without formatting of its own takes `defaults`.
    static RichDocument read(const QByteArray &rtf, const RichFormat &defaults = {});
};

} // namespace report
