#include "print/CardDocument.h"

#include <QTest>

class TestCardDocument : public QObject {
    Q_OBJECT

  private:
    static print::CardFormat format(int size, print::CardStyles styles = {}) {
        print::CardFormat f;
        f.sizePt = size;
        f.styles = styles;
        return f;
    }

  private slots:
    void openingSpacerIsTahomaFivePointRegular() {
        print::CardDocument doc;
        doc.addSpacer();
        doc.addLine(QStringLiteral("after"));
        QCOMPARE(doc.paragraphs().size(), 2);
        QCOMPARE(doc.paragraphs()[0], (print::CardParagraph{QStringLiteral(" "), format(5)}));
        QCOMPARE(doc.paragraphs()[1].format, format(5));
    }

    void firstLineTakesTheBufferFont() {
        print::CardDocument doc;
        doc.addLine(QStringLiteral("first"));
        doc.addLine(QString());
        QCOMPARE(doc.paragraphs()[0], (print::CardParagraph{QStringLiteral("first"), format(10)}));
        QCOMPARE(doc.paragraphs()[1], (print::CardParagraph{QString(), format(10)}));
        QCOMPARE(doc.paragraphs()[0].format.fontName, QStringLiteral("Tahoma"));
    }

    void headingsSetFormatAndLaterParagraphsFollow() {
        print::CardDocument doc;
        doc.addHeading(QStringLiteral("Firma s.r.o."), 16, true);
        doc.addHeading(QStringLiteral("Popis:"), 11);
        doc.addLine(QStringLiteral("Kód: 7     "));
        doc.addLine(QString());
        doc.addSpacer();
        doc.addHeading(QStringLiteral("KONTAKTY:"), 13);

        const print::CardFormat bold16 = format(16, print::CardStyle::Bold);
        const print::CardFormat bold11 = format(11, print::CardStyle::Bold);
        const print::CardFormat bold13 = format(13, print::CardStyle::Bold);
        const QList<print::CardParagraph> expected = {
            {QStringLiteral(" "), format(5)},
            {QStringLiteral("Firma s.r.o."), bold16},
            {QStringLiteral(" "), bold16},
            {QStringLiteral(" "), bold16}, // the spacer before "Popis:"
            {QStringLiteral("Popis:"), bold11},
            {QStringLiteral("Kód: 7     "), bold11},
            {QString(), bold11},
            {QStringLiteral(" "), bold11},
            {QStringLiteral(" "), bold11}, // the spacer before "KONTAKTY:"
            {QStringLiteral("KONTAKTY:"), bold13},
        };
        QCOMPARE(doc.paragraphs(), expected);
        QCOMPARE(bold13.colour, qRgb(0, 0, 0));
    }

    void lineBreaksSplitIntoParagraphs_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("LF") << QStringLiteral("a\nb") << QStringList{"a", "b"};
        QTest::newRow("CR LF") << QStringLiteral("a\r\nb\r\nc") << QStringList{"a", "b", "c"};
        QTest::newRow("CR") << QStringLiteral("a\rb") << QStringList{"a", "b"};
        QTest::newRow("mixed, empty lines kept")
            << QStringLiteral("a\n\r\n\rb\n") << QStringList{"a", "", "", "b", ""};
        QTest::newRow("no break, blanks kept") << QStringLiteral("  a  ") << QStringList{"  a  "};
    }

    void lineBreaksSplitIntoParagraphs() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        print::CardDocument doc;
        doc.addHeading(QStringLiteral("H"), 12);
        doc.addLine(text);
        const QList<print::CardParagraph> &ps = doc.paragraphs();
        QCOMPARE(ps.size(), 2 + lines.size());
        for (int i = 0; i < lines.size(); ++i) {
            QCOMPARE(ps[2 + i].text, lines[i]);
            QCOMPARE(ps[2 + i].format, format(12, print::CardStyle::Bold));
        }
    }

    void multiLineHeadingKeepsHeadingFormat() {
        print::CardDocument doc;
        doc.addHeading(QStringLiteral("Jméno\nDruhý řádek"), 16, true);
        QCOMPARE(doc.paragraphs().size(), 4);
        QCOMPARE(doc.paragraphs()[2], (print::CardParagraph{QStringLiteral("Druhý řádek"),
                                                            format(16, print::CardStyle::Bold)}));
        QCOMPARE(doc.paragraphs()[3].text, QStringLiteral(" "));
    }

    void clearStartsAgain() {
        print::CardDocument doc;
        doc.addHeading(QStringLiteral("X"), 16);
        doc.clear();
        QVERIFY(doc.isEmpty());
        doc.addSpacer();
        QCOMPARE(doc.paragraphs()[0].format, format(5)); // the opening rule applies again
    }
};

QTEST_GUILESS_MAIN(TestCardDocument)
#include "tst_carddocument.moc"
