#include "report/RtfReader.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

class TestRtfReader : public QObject {
    Q_OBJECT

  private:
    static QStringList texts(const report::RichDocument &doc) {
        QStringList list;
        for (const report::RichParagraph &p : doc)
            list.append(p.text());
        return list;
    }

  private slots:
    void paragraphsAndText_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("par") << QByteArray("{\\rtf1 one\\par two\\par}")
                             << QStringList{"one", "two"};
        QTest::newRow("text after last par")
            << QByteArray("{\\rtf1 a\\par b}") << QStringList{"a", "b"};
        QTest::newRow("empty paragraphs")
            << QByteArray("{\\rtf1 \\par\\par x\\par}") << QStringList{"", "", "x"};
        QTest::newRow("newlines in source ignored")
            << QByteArray("{\\rtf1 a\r\nb\nc\\par}") << QStringList{"abc"};
        QTest::newRow("backslash-newline is par")
            << QByteArray("{\\rtf1 a\\\nb}") << QStringList{"a", "b"};
        QTest::newRow("escapes") << QByteArray("{\\rtf1 C:\\\\\\{x\\}}") << QStringList{"C:\\{x}"};
        QTest::newRow("delimiter space eaten")
            << QByteArray("{\\rtf1\\b bold\\b0  two}") << QStringList{"bold two"};
        QTest::newRow("tab, line, specials")
            << QByteArray("{\\rtf1 a\\tab b\\line c\\emdash\\~d\\bullet}")
            << QStringList{QStringLiteral("a\tb\u2028c\u2014\u00A0d\u2022")};
        QTest::newRow("hex in 1250")
            << QByteArray(
                   "{\\rtf1\\ansi\\ansicpg1250 P\\'f8\\'edli\\'9a \\'9elu\\'9dou\\'e8k\\'fd}")
            << QStringList{QStringLiteral("Příliš žluťoučký")};
        QTest::newRow("hex in 1252 by default")
            << QByteArray("{\\rtf1\\ansi caf\\'e9 \\'80}") << QStringList{QStringLiteral("café €")};
        QTest::newRow("font charset decides")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset238 Tahoma;}}"
                          "\\f0\\'e8\\f1\\'e8}")
            << QStringList{QStringLiteral("èč")};
        QTest::newRow("unicode with uc skip")
            << QByteArray("{\\rtf1\\uc1 a\\u8594?b\\uc2\\u28450??c\\uc1\\u-10179\\'3f\\u-8704?}")
            << QStringList{QStringLiteral("a→b漢c😀")};
        QTest::newRow("uc0 skips nothing")
            << QByteArray("{\\rtf1\\uc0\\u269 x}") << QStringList{QStringLiteral("čx")};
        QTest::newRow("skip ends at group")
            << QByteArray("{\\rtf1\\uc3{\\u269}xy}") << QStringList{QStringLiteral("čxy")};
        QTest::newRow("ignorable and skipped destinations")
            << QByteArray("{\\rtf1{\\*\\generator Foo 1.0;}{\\info{\\title T}{\\author A}}"
                          "{\\stylesheet{\\s0 Normal;}}{\\*\\unknowndest junk}"
                          "{\\pict\\pngblip 89504e47}{\\header H}a{\\footer F}b}")
            << QStringList{"ab"};
        QTest::newRow("field result kept, instruction skipped")
            << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}")
            << QStringList{"link"};
        QTest::newRow("bin data skipped")
            << QByteArray("{\\rtf1 a\\bin4 {}\\\\c}") << QStringList{"ac"};
        QTest::newRow("rich edit output")
            << QByteArray(
                   "{\\rtf1\\ansi\\ansicpg1250\\deff0\\nouicompat\\deflang1029{\\fonttbl"
                   "{\\f0\\fnil\\fcharset238 Tahoma;}{\\f1\\fnil\\fcharset0 Calibri;}}\r\n"
                   "{\\colortbl ;\\red255\\green0\\blue0;}\r\n{\\*\\generator Riched20 "
                   "10.0.19041}\\viewkind4\\uc1 \r\n\\pard\\sa200\\sl276\\slmult1\\f0\\fs22"
                   "\\lang5 P\\'f8\\'edli\\'9a \\cf1\\b\\'9elu\\'9dou\\'e8k\\'fd\\cf0\\b0\\par\r\n"
                   "\\f1 caf\\'e9\\f0\\par\r\n}\r\n")
            << QStringList{QStringLiteral("Příliš žluťoučký"), QStringLiteral("café")};
        QTest::newRow("unknown words skipped")
            << QByteArray("{\\rtf1\\viewkind4\\lang1029\\sl276\\slmult1 text\\nosupersub}")
            << QStringList{"text"};
    }

    void paragraphsAndText() {
        QFETCH(QByteArray, rtf);
        QFETCH(QStringList, expected);
        QCOMPARE(texts(report::RtfReader::read(rtf)), expected);
    }

    void characterFormatting() {
        const QByteArray rtf =
            "{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil Tahoma;}}"
            "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
            "\\fs24 plain{\\b\\i bi}\\ul u\\ul0\\strike s\\strike0\\cf1 red\\cf2\\f0\\fs17 blue"
            "\\plain back\\cf0 auto\\par}";
        const report::RichDocument doc = report::RtfReader::read(rtf, report::RichFormat{});
        QCOMPARE(doc.size(), 1);
        const QList<report::RichRun> &runs = doc[0].runs;
        QCOMPARE(runs.size(), 7);

        report::RichFormat f; // \deff1: Tahoma from the end of the font table on
        f.family = QStringLiteral("Tahoma");
        f.sizePt = 12;
        QCOMPARE(runs[0], (report::RichRun{QStringLiteral("plain"), f}));
        report::RichFormat bi = f;
        bi.bold = bi.italic = true;
        QCOMPARE(runs[1], (report::RichRun{QStringLiteral("bi"), bi}));
        report::RichFormat u = f;
        u.underline = true;
        QCOMPARE(runs[2], (report::RichRun{QStringLiteral("u"), u}));
        report::RichFormat s = f;
        s.strikeOut = true;
        QCOMPARE(runs[3], (report::RichRun{QStringLiteral("s"), s}));
        report::RichFormat red = f;
        red.colour = qRgb(255, 0, 0);
        QCOMPARE(runs[4], (report::RichRun{QStringLiteral("red"), red}));
        report::RichFormat blue = f;
        blue.family = QStringLiteral("Arial");
        blue.colour = qRgb(0, 0, 255);
        blue.sizePt = 8.5;
        QCOMPARE(runs[5], (report::RichRun{QStringLiteral("blue"), blue}));
        report::RichFormat plain; // \plain: the defaults, with the \deff font
        plain.family = QStringLiteral("Tahoma");
        QCOMPARE(runs[6], (report::RichRun{QStringLiteral("backauto"), plain}));
        QCOMPARE(doc[0].markFormat, plain);
    }

    void groupsRestoreFormatting() {
        const report::RichDocument doc = report::RtfReader::read("{\\rtf1 a{\\b b{\\i c}d}e\\par}");
        QCOMPARE(doc[0].runs.size(), 5);
        QCOMPARE(doc[0].runs[0].text, QStringLiteral("a"));
        QVERIFY(!doc[0].runs[0].format.bold);
        QCOMPARE(doc[0].runs[1].text, QStringLiteral("b"));
        QVERIFY(doc[0].runs[1].format.bold && !doc[0].runs[1].format.italic);
        QCOMPARE(doc[0].runs[2].text, QStringLiteral("c"));
        QVERIFY(doc[0].runs[2].format.bold && doc[0].runs[2].format.italic);
        QCOMPARE(doc[0].runs[3].text, QStringLiteral("d"));
        QVERIFY(doc[0].runs[3].format.bold && !doc[0].runs[3].format.italic);
        QCOMPARE(doc[0].runs[4].text, QStringLiteral("e"));
        QVERIFY(!doc[0].runs[4].format.bold);
        QCOMPARE(doc[0].text(), QStringLiteral("abcde"));
        QVERIFY(!doc[0].markFormat.bold);
    }

    void alignment() {
        const report::RichDocument doc =
            report::RtfReader::read("{\\rtf1\\qc a\\par b\\par\\pard c\\par\\qr d}");
        QCOMPARE(doc.size(), 4);
        QCOMPARE(doc[0].alignment, Qt::AlignHCenter);
        QCOMPARE(doc[1].alignment, Qt::AlignHCenter); // kept until \pard
        QCOMPARE(doc[2].alignment, Qt::AlignLeft);
        QCOMPARE(doc[3].alignment, Qt::AlignRight);
    }

    void damagedInputReadsWhatItCan_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty") << QByteArray() << QStringList{};
        QTest::newRow("not RTF at all") << QByteArray("hello") << QStringList{"hello"};
        QTest::newRow("unclosed groups") << QByteArray("{\\rtf1{\\b a{\\i b") << QStringList{"ab"};
        QTest::newRow("stray closing braces") << QByteArray("}}{\\rtf1 a}}}b") << QStringList{"ab"};
        QTest::newRow("truncated control word") << QByteArray("{\\rtf1 a\\") << QStringList{"a"};
        QTest::newRow("truncated hex") << QByteArray("{\\rtf1 a\\'e") << QStringList{"a"};
        QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zzb}") << QStringList{"azzb"};
        QTest::newRow("huge numbers")
            << QByteArray("{\\rtf1\\fs99999999999999999999 a\\u99999999999 b\\uc2147483647 c"
                          "\\cf-2147483648 d\\f-99999999999 e\\bin99999999999}")
            << QStringList{"acde"}; // the blank ends the unicode word; "b" is its fallback
        QTest::newRow("huge colour components")
            << QByteArray("{\\rtf1{\\colortbl;\\red999999\\green-5\\blue3;}\\cf1 x\\cf7 y}")
            << QStringList{"xy"};
        QTest::newRow("long control word")
            << QByteArray("{\\rtf1\\") + QByteArray(100000, 'a') + QByteArray(" x}")
            << QStringList{"x"};
        QTest::newRow("font table without end")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial") << QStringList{};
    }

    void damagedInputReadsWhatItCan() {
        QFETCH(QByteArray, rtf);
        QFETCH(QStringList, expected);
        QCOMPARE(texts(report::RtfReader::read(rtf)), expected);
    }

    void hugeFontSizeIsBounded() {
        const report::RichDocument doc = report::RtfReader::read("{\\rtf1\\fs99999999999 a}");
        QCOMPARE(doc.size(), 1);
        QVERIFY(doc[0].runs[0].format.sizePt <= 1638);
        QVERIFY(doc[0].runs[0].format.sizePt > 0);
    }

    void deepNestingDoesNotOverflow() {
        const int depth = 200000;
        QByteArray rtf = "{\\rtf1 start";
        rtf += QByteArray(depth, '{');
        rtf += "deep";
        rtf += QByteArray(depth, '}');
        rtf += "end\\par}";
        const report::RichDocument doc = report::RtfReader::read(rtf);
        QCOMPARE(doc.size(), 1);
        QVERIFY(doc[0].text().startsWith(QStringLiteral("start")));
        QVERIFY(doc[0].text().endsWith(QStringLiteral("end")));
    }

    void randomBytesNeverCrash() {
        // Random bytes and mutated RTF: whatever comes out, reading must end.
        QRandomGenerator random(20261209);
        const QByteArray seed =
            "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0\\fcharset238 Tahoma;}}{\\colortbl;\\red1"
            "\\green2\\blue3;}\\pard\\plain\\f0\\fs32\\b\\cf1 P\\'f8\\u8594?{\\*\\x y}\\par}";
        const QByteArray alphabet = "{}\\'*;0123456789-abfsuclpr ?\xe8\r\n";
        for (int round = 0; round < 3000; ++round) {
            QByteArray input;
            if (round % 2) {
                input = seed;
                const int edits = 1 + random.bounded(8);
                for (int e = 0; e < edits; ++e) {
                    const int at = random.bounded(int(input.size()));
                    input[at] = alphabet[random.bounded(int(alphabet.size()))];
                }
                input.truncate(random.bounded(int(input.size()) + 1));
            } else {
                input.resize(random.bounded(400));
                for (char &c : input)
                    c = char(random.bounded(256));
            }
            const report::RichDocument doc = report::RtfReader::read(input);
            for (const report::RichParagraph &p : doc)
                QVERIFY(p.text().size() <= input.size());
        }
    }
};

QTEST_GUILESS_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
