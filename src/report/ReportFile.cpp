#include "report/ReportFile.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>
#include <QSaveFile>

#include <cmath>

namespace report {

namespace {

const QByteArray kMagic = QByteArrayLiteral("VZREPORT");
constexpr int kHeaderSize = 8 + 2 + 2 + 8;
constexpr int kHashSize = 32;
constexpr qint64 kMaxFileSize = 512LL * 1024 * 1024;
constexpr quint32 kMaxFormats = 100000;
constexpr quint32 kMaxPages = 1000000;
constexpr quint32 kMaxLines = 100000;
constexpr quint32 kMaxFragments = 100000;
// Pages between an inch and a little over A0's long side (3370 pt).
constexpr double kMinPageSide = 72;
constexpr double kMaxPageSide = 4000;
constexpr double kMaxFontSize = 1638;

enum StyleBits : quint8 { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };

QDataStream &operator<<(QDataStream &out, const RichFormat &f) {
    const quint8 styles = (f.bold ? Bold : 0) | (f.italic ? Italic : 0) |
                          (f.underline ? Underline : 0) | (f.strikeOut ? StrikeOut : 0);
    return out << f.family << double(f.sizePt) << styles << quint32(f.colour);
}

QByteArray body(const PreparedReport &report) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << double(report.pageSizePt.width()) << double(report.pageSizePt.height());
    out << quint32(report.formats.size());
    for (const RichFormat &format : report.formats)
        out << format;
    out << quint32(report.pages.size());
    for (const PreparedPage &page : report.pages) {
        out << quint32(page.lines.size());
        for (const PageLine &line : page.lines) {
            out << double(line.top) << double(line.height) << double(line.ascent) << line.text;
            out << quint32(line.fragments.size());
            for (const TextFragment &f : line.fragments)
                out << double(f.x) << double(f.width) << f.text << quint32(f.format);
        }
    }
    return bytes;
}

/// Reads the body, refusing anything out of bounds; throws nothing.
class BodyReader {
  public:
    explicit BodyReader(const QByteArray &bytes) : m_in(bytes) {
        m_in.setVersion(QDataStream::Qt_6_0);
    }

    std::optional<PreparedReport> read() {
        PreparedReport report;
        const double width = real(0, kMaxPageSide), height = real(0, kMaxPageSide);
        if (!(width >= kMinPageSide && height >= kMinPageSide))
            return std::nullopt;
        report.pageSizePt = QSizeF(width, height);

        const quint32 formats = count(kMaxFormats);
        for (quint32 i = 0; ok() && i < formats; ++i) {
            RichFormat f;
            quint8 styles = 0;
            quint32 colour = 0;
            m_in >> f.family;
            f.sizePt = real(0, kMaxFontSize);
            m_in >> styles >> colour;
            f.bold = styles & Bold;
            f.italic = styles & Italic;
            f.underline = styles & Underline;
            f.strikeOut = styles & StrikeOut;
            f.colour = colour;
            report.formats.append(f);
        }

        const quint32 pages = count(kMaxPages);
        for (quint32 p = 0; ok() && p < pages; ++p) {
            PreparedPage page;
            const quint32 lines = count(kMaxLines);
            for (quint32 l = 0; ok() && l < lines; ++l) {
                PageLine line;
                line.top = real(0, height);
                line.height = real(0, kMaxPageSide);
                line.ascent = real(0, kMaxPageSide);
                m_in >> line.text;
                const quint32 fragments = count(kMaxFragments);
                for (quint32 i = 0; ok() && i < fragments; ++i) {
                    TextFragment f;
                    f.x = real(-kMaxPageSide, kMaxPageSide);
                    f.width = real(0, kMaxPageSide);
                    m_in >> f.text;
                    const quint32 format = count(formats ? formats - 1 : 0);
                    f.format = int(format);
                    if (format >= formats)
                        m_valid = false;
                    line.fragments.append(std::move(f));
                }
                page.lines.append(std::move(line));
            }
            report.pages.append(std::move(page));
        }
        if (!ok() || !m_in.atEnd() || report.pages.isEmpty())
            return std::nullopt;
        return report;
    }

  private:
    bool ok() const { return m_valid && m_in.status() == QDataStream::Ok; }

    double real(double min, double max) {
        double value = 0;
        m_in >> value;
        if (!std::isfinite(value) || value < min || value > max)
            m_valid = false;
        return value;
    }

    quint32 count(quint32 max) {
        quint32 value = 0;
        m_in >> value;
        if (value > max) {
            m_valid = false;
            return 0;
        }
        return value;
    }

    QDataStream m_in;
    bool m_valid = true;
};

} // namespace

QByteArray ReportFile::serialize(const PreparedReport &report) {
    const QByteArray payload = body(report);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.writeRawData(kMagic.constData(), int(kMagic.size()));
    out << kVersion << quint16(0) << quint64(payload.size());
    bytes += payload;
    bytes += QCryptographicHash::hash(payload, QCryptographicHash::Sha256);
    return bytes;
}

std::optional<PreparedReport> ReportFile::deserialize(const QByteArray &bytes, QString *error) {
    const auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return std::nullopt;
    };
    if (bytes.size() < kMagic.size() || !bytes.startsWith(kMagic))
        return fail(QStringLiteral("The file is not a saved report."));
    if (bytes.size() < kHeaderSize + kHashSize)
        return fail(QStringLiteral("The report file is damaged or incomplete."));

    QDataStream header(bytes.mid(kMagic.size(), kHeaderSize - kMagic.size()));
    quint16 version = 0, reserved = 0;
    quint64 length = 0;
    header >> version >> reserved >> length;
    if (version == 0 || version > kVersion)
        return fail(QStringLiteral("The report file has format version %1, which this program "
                                   "cannot read (it reads version %2).")
                        .arg(version)
                        .arg(kVersion));
    if (length != quint64(bytes.size() - kHeaderSize - kHashSize))
        return fail(QStringLiteral("The report file is damaged or incomplete."));

    const QByteArray payload = bytes.mid(kHeaderSize, qsizetype(length));
    if (QCryptographicHash::hash(payload, QCryptographicHash::Sha256) != bytes.right(kHashSize))
        return fail(QStringLiteral("The report file is damaged (checksum mismatch)."));

    std::optional<PreparedReport> report = BodyReader(payload).read();
    if (!report)
        return fail(QStringLiteral("The report file is damaged: its pages cannot be read."));
    return report;
}

QString ReportFile::save(const PreparedReport &report, const QString &path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot write the report file \"%1\": %2.")
            .arg(path, file.errorString());
    file.write(serialize(report));
    if (!file.commit())
        return QStringLiteral("Cannot write the report file \"%1\": %2.")
            .arg(path, file.errorString());
    return {};
}

std::optional<PreparedReport> ReportFile::load(const QString &path, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot open the report file \"%1\": %2.")
                         .arg(path, file.errorString());
        return std::nullopt;
    }
    if (file.size() > kMaxFileSize) {
        if (error)
            *error = QStringLiteral("The file \"%1\" is too large to be a saved report.").arg(path);
        return std::nullopt;
    }
    return deserialize(file.readAll(), error);
}

} // namespace report
