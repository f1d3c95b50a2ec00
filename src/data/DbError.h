#pragma once

#include <QString>
#include <exception>

namespace data {

/// The one error type of the data layer. Its message is the text shown to the
/// user; errors of the layer itself carry the dataset's name as a prefix.
class DbError : public std::exception {
public:
    explicit DbError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

} // namespace data
