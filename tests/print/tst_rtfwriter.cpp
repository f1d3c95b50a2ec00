#include "print/CardDocument.h"
#include "print/RtfWriter.h"
#include "report/AnsiCodePage.h"
#include "report/RtfReader.h"

#include <QTest>

class TestRtfWriter : public QObject {
    Q_OBJECT

  private:
    static report::RichFormat asRich(const print::CardFormat &f) {
        report::RichFormat r;
        r.family = f.fontName;
        r.sizePt = f.sizePt;
        r.bold = f.styles.testFlag(print::CardStyle::Bold);
        r.italic = f.styles.testFlag(print::CardStyle::Italic);
        r.underline = f.styles.testFlag(print::CardStyle::Underline);
        r.strikeOut = f.styles.testFlag(print::CardStyle::StrikeOut);
        r.colour = f.colour;
        return r;
    }

    /// Writes `doc`, reads it back with the engine's reader and compares paragraph by
    /// paragraph: text, font, size, styles and colour.
    static void verifyRoundTrip(const print::CardDocument &doc) {
        const QByteArray rtf = print::RtfWriter::write(doc.paragraphs());
        for (const char c : rtf)
            QVERIFY2(uchar(c) < 0x80, "RTF must be 7-bit");
        const report::RichDocument read = report::RtfReader::read(rtf);
        QCOMPARE(read.size(), doc.paragraphs().size());
        for (int i = 0; i < read.size(); ++i) {
            const print::CardParagraph &written = doc.paragraphs()[i];
            const report::RichParagraph &back = read[i];
            QCOMPARE(back.text(), written.text);
            QCOMPARE(back.markFormat, asRich(written.format));
            QCOMPARE(back.runs.size(), written.text.isEmpty() ? 0 : 1);
            if (!back.runs.isEmpty())
                QCOMPARE(back.runs[0].format, asRich(written.format));
            QCOMPARE(back.alignment, Qt::AlignLeft);
        }
    }

  private slots:
    void cardRoundTrip() {
        print::CardDocument doc;
        doc.addHeading(QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy"), 16, true);
        doc.addHeading(QStringLiteral("Bankovní údaje:"), 11);
        doc.addLine(QStringLiteral("IČO: 12345678     DIČ: CZ12345678"));
        doc.addLine(QString());
        doc.addLine(QStringLiteral("   SPOJENÍ "));
        doc.addHeading(QStringLiteral("KONTAKTY:"), 13);
        doc.addLine(QStringLiteral("---- ---- ---- ---- ---- ---- ---- ---- ---- ----"));
        verifyRoundTrip(doc);
    }

    void literalText_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("path with braces") << QStringLiteral("C:\\{x}");
        QTest::newRow("control words in text")
            << QStringLiteral("\\par \\b0 {\\rtf1} \\'e8 \\u8594?");
        QTest::newRow("Czech capitals") << QStringLiteral("ŘÍŠE ŽÁBY ČÁP ŤŮŇ ĎÁBEL");
        QTest::newRow("euro and quotes (in 1250)") << QStringLiteral("50 € „dobře“ – ok…");
        QTest::newRow("outside 1250") << QStringLiteral("→ 漢字 ß ñ");
        QTest::newRow("surrogate pair") << QStringLiteral("smile 😀 end");
        QTest::newRow("tab and blanks") << QStringLiteral("  a\tb  ");
        QTest::newRow("semicolon and question mark") << QStringLiteral("a;b?c");
    }

    void literalText() {
        QFETCH(QString, text);
        print::CardDocument doc;
        doc.addHeading(QStringLiteral("H"), 11);
        doc.addLine(text);
        verifyRoundTrip(doc);
    }

    void everyWindows1250CharacterIsOneByte() {
        QString all;
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const QChar ch = report::AnsiCodePage::decode(uchar(byte), 1250);
            if (ch.unicode() == 0xFFFD)
                continue; // the five bytes the page leaves undefined
            all += ch;
            QCOMPARE(print::RtfWriter::escape(QString(ch)),
                     QByteArray("\\'") + QByteArray::number(byte, 16));
        }
        QCOMPARE(all.size(), 123);
        print::CardDocument doc;
        doc.addLine(all);
        verifyRoundTrip(doc);
    }

    void everyFormatSurvives() {
        // The card only makes bold black Tahoma headings; the writer takes any format.
        QList<print::CardParagraph> paragraphs;
        print::CardFormat f;
        paragraphs.append({QStringLiteral("plain"), f});
        f.fontName = QStringLiteral("Arial");
        f.styles = print::CardStyle::Italic | print::CardStyle::Underline;
        f.colour = qRgb(200, 10, 30);
        paragraphs.append({QStringLiteral("italic underlined red"), f});
        f.fontName = QStringLiteral("Times New Roman");
        f.sizePt = 72;
        f.styles = print::CardStyle::StrikeOut | print::CardStyle::Bold;
        f.colour = qRgb(0, 128, 255);
        paragraphs.append({QStringLiteral("big"), f});
        f.fontName = QStringLiteral("Odd;Náme{x}");
        f.sizePt = 1;
        f.styles = {};
        paragraphs.append({QString(), f});
        paragraphs.append({QStringLiteral("back to plain"), print::CardFormat()});

        const report::RichDocument read =
            report::RtfReader::read(print::RtfWriter::write(paragraphs));
        QCOMPARE(read.size(), paragraphs.size());
        for (int i = 0; i < read.size(); ++i) {
            QCOMPARE(read[i].text(), paragraphs[i].text);
            QCOMPARE(read[i].markFormat, asRich(paragraphs[i].format));
        }
    }

    void writerOutputShape() {
        print::CardDocument doc;
        doc.addSpacer();
        doc.addHeading(QStringLiteral("ř"), 11);
        const QByteArray rtf = print::RtfWriter::write(doc.paragraphs());
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1250"));
        QVERIFY(rtf.contains("\\fcharset238 Tahoma;"));
        QVERIFY(rtf.contains("\\'f8")); // ř in Windows-1250
        QCOMPARE(rtf.count("\\par\n"), 3);
        QCOMPARE(rtf.count("\\pard\\plain"), 3);
        QCOMPARE(print::RtfWriter::escape(QStringLiteral("→")), QByteArray("\\u8594?"));
        QCOMPARE(print::RtfWriter::escape(QStringLiteral("漢")), QByteArray("\\u28450?"));
        QCOMPARE(print::RtfWriter::escape(QString(QChar(0xFFFF))), QByteArray("\\u-1?"));
        QCOMPARE(print::RtfWriter::escape(QStringLiteral("C:\\{x}")), QByteArray("C:\\\\\\{x\\}"));
    }
};

QTEST_GUILESS_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
