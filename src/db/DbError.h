#pragma once

#include <QList>
#include <QString>
#include <exception>

namespace db {

/// The one error type of the data layer. Its message is the text shown to the
/// user; errors of the layer itself carry the dataset's name as a prefix.
class DbError : public std::exception {
  public:
    /// What went wrong, where a caller acts on it rather than only showing it.
    enum class Kind {
        General,
        /// The connection is gone (shutdown, network or I/O failure); the next
        /// statement reconnects.
        ConnectionLost,
        /// The row was changed or deleted by someone else since it was read.
        Conflict,
        /// Someone else holds an unfinished change of the row.
        LockTimeout,
        /// The server refused the user name or password.
        LoginRefused,
        /// A row with the same key (the ID of a new row) is stored already.
        KeyClash,
    };

    explicit DbError(QString message, Kind kind = Kind::General, QList<long> codes = {},
                     QString engineText = {})
        : m_message(std::move(message)), m_utf8(m_message.toUtf8()), m_kind(kind),
          m_codes(std::move(codes)), m_engineText(std::move(engineText)) {}
    const QString &message() const { return m_message; }
    /// The engine's own words, where the message wraps them in the layer's
    /// (empty for the layer's own errors).
    const QString &engineText() const { return m_engineText; }
    const char *what() const noexcept override { return m_utf8.constData(); }
    Kind kind() const { return m_kind; }
    /// The server's error codes in the order it reported them (empty for the layer's own errors).
    const QList<long> &codes() const { return m_codes; }
    bool hasCode(long code) const { return m_codes.contains(code); }
    /// True when a trigger or procedure raised the database exception `name`.
    bool isDatabaseException(const QString &name) const {
        return hasCode(kExceptionCode) && m_message.contains(name, Qt::CaseInsensitive);
    }
    static constexpr long kExceptionCode = 335544517L; // isc_except

  private:
    QString m_message;
    QByteArray m_utf8;
    Kind m_kind;
    QList<long> m_codes;
    QString m_engineText;
};

/// The data layer's own words for the failures a user can act on.
namespace texts {
inline const QString kConflict = QStringLiteral(
    "Záznam mezitím změnil nebo smazal někdo jiný, proto nebyl uložen. "
    "Vaše úpravy zůstaly ve formuláři; po zrušení úprav se zobrazí uložená verze záznamu.");
inline const QString kDeleteConflict =
    QStringLiteral("Záznam mezitím změnil nebo smazal někdo jiný, proto nebyl smazán. "
                   "Zobrazuje se jeho uložená verze.");
inline const QString kLockTimeout =
    QStringLiteral("Záznam právě ukládá někdo jiný a jeho změna ještě není dokončena. "
                   "Nic nebylo uloženo; zkuste to prosím za chvíli znovu.");
inline const QString kKeyClash = QStringLiteral(
    "Záznam se stejným číslem (ID) mezitím uložil někdo jiný, proto tento nebyl uložen. "
    "Vaše údaje zůstaly ve formuláři; potvrďte je prosím znovu.");
/// A text the code page cannot hold, with the character in place of %1.
inline const QString kNotStorable =
    QStringLiteral("Znak „%1“ nelze do databáze uložit: ukládá jen znaky kódování Windows-1250.");
inline const QString kConnectionLost = QStringLiteral(
    "Spojení s databází se přerušilo (%1). Co bylo potvrzeno dříve, zůstalo uloženo; "
    "při další akci se program k databázi připojí znovu.");
} // namespace texts

} // namespace db
