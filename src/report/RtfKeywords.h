#pragma once

#include <QByteArray>

#include <optional>

namespace report {

/// The RTF control words that the reader treats by table rather than one by one.
namespace RtfKeywords {

/// Destinations whose whole group is skipped (style sheet, document info, pictures...).
bool isSkippedDestination(const QByteArray &word);

/// The character a control word stands for (\tab, \line, \emdash...), if it is one.
std::optional<char16_t> specialCharacter(const QByteArray &word);

/// The underline kinds (\ul, \uldb, \ulwave...), all read as plain underline.
bool isUnderline(const QByteArray &word);

} // namespace RtfKeywords

} // namespace report
