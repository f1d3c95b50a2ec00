#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace db {

class FbClient;

/// A database file the program may not write (write-protected file or
/// medium). The engine opens such a file only when its header marks it
/// read-only, which cannot be done to the file itself; so it is copied into
/// a temporary folder and the copy is marked. Reading works on the copy;
/// every change is refused by the connection. The copy goes with the object.
class ReadOnlyCopy {
  public:
    /// Copies `path` and marks the copy read-only, attaching once with
    /// `dpb` (the connection's parameter block). Throws DbError.
    ReadOnlyCopy(const QString &path, const FbClient &client, const QByteArray &dpb);

    QString path() const { return m_path; }
    QString original() const { return m_original; }
    /// The refusal of any change, naming the original file.
    QString refusal() const;

    /// True when the regular file `path` can be read but not written (for
    /// the superuser: has no write permission bit).
    static bool isWriteProtected(const QString &path);

  private:
    QTemporaryDir m_dir;
    QString m_original;
    QString m_path;
};

} // namespace db
