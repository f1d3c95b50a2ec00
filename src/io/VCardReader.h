#pragma once

#include <QByteArray>
#include <QList>
#include <QMultiMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace io {

/// One property of a card, decoded from its transfer and character encoding
/// but with the text escapes still in place (so structured values can be split).
/// The parameter this program adds to a text whose line breaks are CR LF.
inline const QString kCrLfParameter = QStringLiteral(";X-LINEBREAK=CRLF");

struct VCardProperty {
    QString group; ///< "item1" of "item1.TEL", lower case; empty without a group
    QString name;  ///< upper case
    /// Parameter names upper case; TYPE values lower case, one per entry,
    /// bare version 2.1 parameters ("TEL;WORK;VOICE") included as TYPE.
    QMultiMap<QString, QString> params;
    QString rawValue;  ///< text value with its escapes
    QByteArray binary; ///< inline binary data (base64 or a data: URI), else empty
    int line = 0;      ///< line number where the property starts
    /// Why the value could not be read ("PHOTO nemá platná data base64");
    /// such a property is left out of its card, the rest of the card stays.
    QString problem;

    bool hasType(const QString &type) const {
        return params.values(QStringLiteral("TYPE")).contains(type);
    }
    /// The value with escapes resolved ("\n" becomes a line break).
    QString text() const;
    /// The components of a structured value (split at unescaped ";").
    QStringList components() const;
};

struct VCard {
    QString version; ///< "2.1", "3.0" or "4.0"
    QList<VCardProperty> properties;
    int line = 0; ///< line of BEGIN:VCARD
    /// Lines of the card that could not be read and were left out, each with its line.
    QStringList problems;

    /// The first property of that name, or nullptr.
    const VCardProperty *find(const QString &name) const;
};

struct VCardParseResult {
    QList<VCard> cards;
    /// What is wrong with the file, one message per fault with its line; a
    /// result with errors must not be imported.
    QStringList errors;
};

/// Reads every card of a vCard file (versions 2.1, 3.0 and 4.0), with the
/// habits of phone writers: quoted-printable soft breaks, base64 lines
/// continued without a leading blank (ended by an empty line), any of LF,
/// CR LF, CR CR LF or CR as line ends, text without CHARSET that is not
/// UTF-8 taken as Windows-1250. A property that cannot be read costs only
/// itself (VCardProperty::problem). Never throws; faults of the file's
/// structure and exceeded limits come back as errors.
VCardParseResult parseVCards(const QByteArray &bytes);

/// The same, handing each card to `onCard` as soon as it ends instead of
/// keeping it; returns the errors. A file with errors must still not be
/// imported, whatever `onCard` was given before they were found.
QStringList parseVCards(const QByteArray &bytes, const std::function<void(VCard &&)> &onCard);

/// parseVCards() over a file that comes in pieces, so that a file of any
/// size is read in bounded memory: each card goes to `onCard` as it ends.
class VCardStream {
  public:
    explicit VCardStream(const std::function<void(VCard &&)> &onCard);
    ~VCardStream();
    /// The file's next bytes, up to a pieceEnd() or the end of the file.
    void feed(const QByteArray &piece);
    /// What is wrong with the whole file; a file with errors must not be imported.
    QStringList finish();
    /// True when reading on could only add to the errors.
    bool stopped() const;
    /// Physical lines read so far.
    int lines() const;
    /// Where the longest piece of `bytes` (the file's next bytes) that may be
    /// fed ends, 0 for nowhere yet: just before a line starting "BEGIN:VCARD"
    /// that follows a line "END:VCARD" (blank lines between), where no folded,
    /// soft-broken or continued value can go on, so that the pieces read
    /// exactly as the whole file would.
    static qsizetype pieceEnd(const QByteArray &bytes);

  private:
    std::unique_ptr<class VCardParser> m_parser;
};

/// Unescapes vCard text: "\n" and "\N" become a line feed, "\x" becomes x.
QString unescapeVCardText(const QString &text);

} // namespace io
