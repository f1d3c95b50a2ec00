#pragma once

#include "dataset/LikePattern.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <memory>

namespace data {

/// How the board looks for the typed text and orders what it finds. All off
/// is the board statement's own matching and order.
struct BoardSearch {
    bool ignoreAccents = false; ///< letters match whatever their accents and case
    bool allFields = false;     ///< also the company name, phones, fax and e-mail
    bool czechOrder = false;    ///< companies and contacts in Czech alphabetical order
    bool operator==(const BoardSearch &) const = default;
    bool isPlain() const { return !ignoreAccents && !allFields && !czechOrder; }
};

/// Windows-1250 bytes folded to their upper-case letter without accents
/// ("ř" and "Ř" to "R"), one byte for one: a folded text is as long as the
/// text, and the wildcards stay what they are. Characters without a base
/// letter (ß, ł) fold as the server upper-cases them.
class AccentFolding {
  public:
    explicit AccentFolding(const dataset::UpperCaseTable &upper);
    char fold(char c) const { return m_table[static_cast<unsigned char>(c)]; }
    QByteArray fold(QByteArrayView bytes) const;

  private:
    std::array<char, 256> m_table;
};

/// The text without its blanks ("+420 603 111" as "+420603111").
QByteArray withoutBlanks(QByteArrayView text);

/// True when a pattern asks for more than wildcards and blanks: only such a
/// text is looked for in the further fields, so that an empty filter shows
/// what it shows without them.
bool asksForText(QByteArrayView pattern);

/// Windows-1250 text compared in Czech alphabetical order ("ch" after "h",
/// accented letters after their base letter where Czech orders them so),
/// trailing blanks ignored as the server ignores them.
class CzechCollation {
  public:
    CzechCollation();
    ~CzechCollation();
    static QString text(QByteArrayView win1250);
    int compare(const QString &a, const QString &b) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace data
