#include "io/VCardProperty.h"

#include "base/Win1250.h"

#include <QStringDecoder>

#include <cctype>

namespace io {
namespace {

/// Index of the first ':' outside double quotes, or -1.
qsizetype valueColon(const QByteArray &line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

/// Splits at `separator` outside double quotes.
QList<QByteArray> splitOutsideQuotes(const QByteArray &text, char separator) {
    QList<QByteArray> parts;
    QByteArray current;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == separator && !quoted) {
            parts << current;
            current.clear();
        } else {
            current += c;
        }
    }
    parts << current;
    return parts;
}

QByteArray unquote(QByteArray value) {
    value = value.trimmed();
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        return value.mid(1, value.size() - 2);
    return value;
}

QByteArray decodeQuotedPrintable(const QByteArray &in, bool *ok) {
    QByteArray out;
    out.reserve(in.size());
    *ok = true;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '=') {
            out += in[i];
            continue;
        }
        if (i + 2 < in.size()) {
            bool hexOk = false;
            const int byte = in.mid(i + 1, 2).toInt(&hexOk, 16);
            if (hexOk) {
                out += char(byte);
                i += 2;
                continue;
            }
        }
        *ok = false;
        return {};
    }
    return out;
}

bool decodeBase64(const QByteArray &text, QByteArray &out) {
    QByteArray compact;
    compact.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            compact += c;
    auto result = QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
    if (!result || (result.decoded.isEmpty() && !compact.isEmpty()))
        return false;
    out = result.decoded;
    return true;
}

/// Decodes text bytes in the declared character set (UTF-8 when none).
bool decodeText(const QByteArray &bytes, const QString &charset, QString &out, QString &error) {
    const QString cs = charset.toUpper();
    if (cs.isEmpty() || cs == QLatin1String("UTF-8") || cs == QLatin1String("US-ASCII")) {
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless); // a cut sequence is an error too
        out = decoder.decode(bytes);
        if (decoder.hasError() &&
            cs.isEmpty()) { // older phones write their own code page and say nothing
            out = base::win1250::decode(bytes);
            return true;
        }
        if (decoder.hasError()) {
            error = QStringLiteral("text není platné UTF-8");
            return false;
        }
        return true;
    }
    if (cs == QLatin1String("WINDOWS-1250") || cs == QLatin1String("CP1250")) {
        out = base::win1250::decode(bytes);
        return true;
    }
    auto encoding = QStringConverter::encodingForName(cs.toLatin1().constData());
    if (encoding) {
        out = QStringDecoder(*encoding).decode(bytes);
        return true;
    }
    QStringDecoder decoder(cs.toLatin1().constData());
    if (!decoder.isValid()) {
        error = QStringLiteral("neznámá znaková sada %1").arg(charset);
        return false;
    }
    out = decoder.decode(bytes);
    if (decoder.hasError()) {
        error = QStringLiteral("text neodpovídá znakové sadě %1").arg(charset);
        return false;
    }
    return true;
}

void addParam(VCardProperty &p, const QByteArray &param) {
    const qsizetype eq = param.indexOf('=');
    if (eq < 0) { // version 2.1: a bare value
        const QByteArray value = param.trimmed().toUpper();
        if (value == "QUOTED-PRINTABLE" || value == "BASE64" || value == "8BIT" || value == "7BIT")
            p.params.insert(QStringLiteral("ENCODING"), QString::fromLatin1(value));
        else if (!value.isEmpty())
            p.params.insert(QStringLiteral("TYPE"), QString::fromUtf8(value).toLower());
        return;
    }
    const QString name = QString::fromUtf8(param.left(eq).trimmed()).toUpper();
    const QByteArray value = param.mid(eq + 1);
    if (name == QLatin1String("TYPE")) {
        for (const QByteArray &v : splitOutsideQuotes(value, ','))
            for (const QByteArray &t : unquote(v).split(','))
                if (!t.trimmed().isEmpty())
                    p.params.insert(name, QString::fromUtf8(t.trimmed()).toLower());
        return;
    }
    p.params.insert(name, QString::fromUtf8(unquote(value)));
}

} // namespace

bool isQuotedPrintable(const QByteArray &line) {
    const qsizetype colon = valueColon(line);
    return colon > 0 && line.left(colon).toUpper().contains("QUOTED-PRINTABLE");
}

bool isBase64(const QByteArray &line) {
    const qsizetype colon = valueColon(line);
    if (colon <= 0)
        return false;
    const QByteArray head = line.left(colon).toUpper();
    return head.contains("BASE64") || head.contains("ENCODING=B;") || head.endsWith("ENCODING=B");
}

bool isBase64Continuation(const QByteArray &line) {
    if (line.trimmed().isEmpty())
        return false;
    for (char c : line)
        if (!std::isalnum(uchar(c)) && c != '+' && c != '/' && c != '=' && c != ' ' && c != '\t')
            return false;
    return true;
}

bool parseProperty(const QByteArray &line, VCardProperty &p, QString &error) {
    const qsizetype colon = valueColon(line);
    if (colon <= 0) {
        error = QStringLiteral("chybí dvojtečka, řádek není vlastnost vCard");
        return false;
    }
    const QList<QByteArray> head = splitOutsideQuotes(line.left(colon), ';');
    QByteArray name = head.first().trimmed();
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0) {
        p.group = QString::fromUtf8(name.left(dot)).toLower();
        name = name.mid(dot + 1);
    }
    if (name.isEmpty()) {
        error = QStringLiteral("vlastnost nemá jméno");
        return false;
    }
    p.name = QString::fromUtf8(name).toUpper();
    for (qsizetype i = 1; i < head.size(); ++i)
        addParam(p, head[i]);

    QByteArray value = line.mid(colon + 1);
    const QString encoding = p.params.value(QStringLiteral("ENCODING")).toUpper();
    if (encoding == QLatin1String("B") || encoding == QLatin1String("BASE64")) {
        if (!decodeBase64(value, p.binary))
            p.problem = QStringLiteral("%1 nemá platná data base64").arg(p.name);
        return true;
    }
    if (value.startsWith("data:")) { // version 4.0 inline data
        const qsizetype comma = value.indexOf(',');
        if (comma < 0 || !value.left(comma).endsWith(";base64") ||
            !decodeBase64(value.mid(comma + 1), p.binary))
            p.problem = QStringLiteral("%1 nemá platná data base64").arg(p.name);
        return true;
    }
    if (encoding == QLatin1String("QUOTED-PRINTABLE")) {
        bool ok = false;
        value = decodeQuotedPrintable(value, &ok);
        if (!ok) {
            p.problem = QStringLiteral("%1 nemá platné kódování quoted-printable").arg(p.name);
            return true;
        }
    }
    QString decodeError;
    if (!decodeText(value, p.params.value(QStringLiteral("CHARSET")), p.rawValue, decodeError))
        p.problem = p.name + QStringLiteral(": ") + decodeError;
    return true;
}

QString unescapeVCardText(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar n = text[++i];
        out += (n == QLatin1Char('n') || n == QLatin1Char('N')) ? QChar(QLatin1Char('\n')) : n;
    }
    // Quoted-printable text from older programs carries CR LF line breaks.
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return out;
}

QString VCardProperty::text() const {
    QString value = unescapeVCardText(rawValue);
    // Written by this program from text with CR LF line breaks.
    if (params.contains(QStringLiteral("X-LINEBREAK"), QStringLiteral("CRLF")))
        value.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return value;
}

QStringList VCardProperty::components() const {
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < rawValue.size(); ++i) {
        const QChar c = rawValue[i];
        if (c == QLatin1Char('\\') && i + 1 < rawValue.size()) {
            current += c;
            current += rawValue[++i];
        } else if (c == QLatin1Char(';')) {
            parts << unescapeVCardText(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts << unescapeVCardText(current);
    return parts;
}

} // namespace io
