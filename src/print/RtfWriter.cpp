#include "print/RtfWriter.h"

#include "report/AnsiCodePage.h"

#include <QList>

namespace print {

namespace {

void appendHexEscape(QByteArray &out, unsigned char byte) {
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[byte >> 4];
    out += digits[byte & 0x0F];
}

} // namespace

QByteArray RtfWriter::escape(const QString &text) {
    QByteArray out;
    out.reserve(text.size() + 8);
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += char(c);
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else if (const auto byte = report::AnsiCodePage::encode1250(ch)) {
            appendHexEscape(out, *byte);
        } else {
            // \uN takes a signed 16-bit number; "?" stands in for old readers (\uc1).
            out += "\\u" + QByteArray::number(qint16(c)) + '?';
        }
    }
    return out;
}

QByteArray RtfWriter::write(const QList<CardParagraph> &paragraphs) {
    QList<QString> fonts;
    QList<QRgb> colours;
    for (const CardParagraph &p : paragraphs) {
        if (!fonts.contains(p.format.fontName))
            fonts.append(p.format.fontName);
        if (!colours.contains(p.format.colour))
            colours.append(p.format.colour);
    }

    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0\\uc1\n{\\fonttbl";
    for (int i = 0; i < fonts.size(); ++i) {
        // A semicolon ends a font name, so one inside the name is escaped.
        const QByteArray name = escape(fonts[i]).replace(";", "\\'3b");
        rtf += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset238 " + name + ";}";
    }
    rtf += "}\n{\\colortbl ;";
    for (const QRgb colour : colours)
        rtf += "\\red" + QByteArray::number(qRed(colour)) + "\\green" +
               QByteArray::number(qGreen(colour)) + "\\blue" + QByteArray::number(qBlue(colour)) +
               ';';
    rtf += "}\n";

    for (const CardParagraph &p : paragraphs) {
        const CardFormat &f = p.format;
        rtf += "\\pard\\plain\\f" + QByteArray::number(fonts.indexOf(f.fontName)) + "\\fs" +
               QByteArray::number(f.sizePt * 2);
        if (f.styles & CardStyle::Bold)
            rtf += "\\b";
        if (f.styles & CardStyle::Italic)
            rtf += "\\i";
        if (f.styles & CardStyle::Underline)
            rtf += "\\ul";
        if (f.styles & CardStyle::StrikeOut)
            rtf += "\\strike";
        rtf += "\\cf" + QByteArray::number(colours.indexOf(f.colour) + 1) + ' ';
        rtf += escape(p.text);
        rtf += "\\par\n";
    }
    rtf += "}\n";
    return rtf;
}

} // namespace print
