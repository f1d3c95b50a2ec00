// The column layout store: the text of each value, reading damaged values,
// and whole layouts written to and read from a settings file.
#include "grid/LayoutFormat.h"
#include "grid/LayoutStore.h"
#include "support/TemporarySettings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using grid::GridColumn;
using grid::LayoutFormat;
using grid::LayoutStore;

class TestLayoutFormat : public QObject {
    Q_OBJECT

    TemporarySettings m_settings;

    static GridColumn column(const QString &field, int width, bool readOnly = false) {
        GridColumn c;
        c.field = field;
        c.width = width;
        c.readOnly = readOnly;
        return c;
    }

    static QSettings settings() {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Qorvel"),
                         QStringLiteral("Kontakty"));
    }

  private slots:
    void initTestCase() { QVERIFY(m_settings.isValid()); }
    void init() {
        auto s = settings();
        s.clear();
    }

    void itemsRoundTrip_data() {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringList{"PRIJMENI", "105", "PRIJMENI", ""}
                               << "PRIJMENI,105,PRIJMENI,";
        QTest::newRow("blanks stay unquoted")
            << QStringList{"MS Sans Serif", "1"} << "MS Sans Serif,1";
        QTest::newRow("comma quoted")
            << QStringList{"F", "64", "Jméno, příjmení", ""} << "F,64,\"Jméno, příjmení\",";
        QTest::newRow("quote doubled") << QStringList{"a\"b,c", "x"} << "\"a\"\"b,c\",x";
        QTest::newRow("leading quote") << QStringList{"\"q", ""} << "\"\"\"q\",";
        QTest::newRow("empty items") << QStringList{"", "", ""} << ",,";
        QTest::newRow("Czech letters") << QStringList{"ŽLUŤOUČKÝ", "kůň"} << "ŽLUŤOUČKÝ,kůň";
    }
    void itemsRoundTrip() {
        QFETCH(QStringList, items);
        QFETCH(QString, text);
        QCOMPARE(LayoutFormat::joinItems(items), text);
        QCOMPARE(LayoutFormat::splitItems(text), items);
    }

    void damagedQuotingIsReadWithoutLoss_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("unterminated") << "\"abc,def" << QStringList{"abc,def"};
        QTest::newRow("text after closing quote") << "\"ab\"cd,e" << QStringList{"abcd", "e"};
        QTest::newRow("empty value") << "" << QStringList{};
        QTest::newRow("trailing comma") << "a," << QStringList{"a", ""};
    }
    void damagedQuotingIsReadWithoutLoss() {
        QFETCH(QString, text);
        QFETCH(QStringList, items);
        QCOMPARE(LayoutFormat::splitItems(text), items);
    }

    void valuesOfKnownColumns() {
        QCOMPARE(LayoutFormat::writeColumn(column("PRIJMENI", 105)),
                 QStringLiteral("PRIJMENI,105,PRIJMENI,"));
        QCOMPARE(LayoutFormat::writeColumn(column("FLAG", 1, true)),
                 QStringLiteral("FLAG,1,FLAG,R"));
        GridColumn hidden = column("ID", 80);
        hidden.hidden = true;
        hidden.title = QStringLiteral("Číslo, interní");
        QCOMPARE(LayoutFormat::writeColumn(hidden), QStringLiteral("ID,-1,\"Číslo, interní\","));

        const GridColumn plain;
        QCOMPARE(LayoutFormat::writeStyle(plain.dataStyle),
                 QStringLiteral("Tahoma,1,-16777208,8,0,-16777211,0"));
        QCOMPARE(LayoutFormat::writeStyle(plain.titleStyle),
                 QStringLiteral("Tahoma,1,-16777208,8,0,-16777201,0"));
        QCOMPARE(LayoutFormat::writeExtras(plain.extras), QStringLiteral("0,,-1,0,,0,0"));

        grid::ColumnStyle style;
        style.fontName = QStringLiteral("MS Sans Serif");
        style.fontStyle = grid::ColumnStyle::Bold | grid::ColumnStyle::Underline;
        style.fontColor = grid::color::fromRgb(QColor(0x12, 0x34, 0x56));
        style.background = grid::color::fromRgb(QColor(0xF0, 0xF0, 0xF0));
        style.alignment = grid::Alignment::Center;
        QCOMPARE(LayoutFormat::writeStyle(style),
                 QStringLiteral("MS Sans Serif,1,5649426,8,5,15790320,2"));
    }

    void mainValueReading_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("readOnly");
        // The column starts as field "OLD", width 77, title "Old", writable.
        QTest::newRow("complete") << "JMENO,105,Jméno,R" << true << "JMENO" << 105 << false
                                  << "Jméno" << true;
        QTest::newRow("hidden") << "ID,-1,ID," << true << "ID" << 77 << true << "ID" << false;
        QTest::newRow("width not a number")
            << "JMENO,široký,J," << true << "JMENO" << 64 << false << "J" << false;
        QTest::newRow("width empty")
            << "JMENO,,J," << true << "JMENO" << 64 << false << "J" << false;
        QTest::newRow("width too large")
            << "JMENO,99999999999,J," << true << "JMENO" << 64 << false << "J" << false;
        QTest::newRow("width absurd")
            << "JMENO,2000000000,J," << true << "JMENO" << 64 << false << "J" << false;
        QTest::newRow("width widest kept")
            << "JMENO,4000,J," << true << "JMENO" << 4000 << false << "J" << false;
        QTest::newRow("field only") << "JMENO" << true << "JMENO" << 77 << false << "Old" << false;
        QTest::newRow("empty value is skipped")
            << "" << false << "OLD" << 77 << false << "Old" << false;
        QTest::newRow("blank value is skipped")
            << "  " << false << "OLD" << 77 << false << "Old" << false;
    }
    void mainValueReading() {
        QFETCH(QString, text);
        GridColumn c = column("OLD", 77);
        c.title = QStringLiteral("Old");
        QTEST(LayoutFormat::readColumn(text, c), "read");
        QTEST(c.field, "field");
        QTEST(c.width, "width");
        QTEST(c.hidden, "hidden");
        QTEST(c.title, "title");
        QTEST(c.readOnly, "readOnly");
    }

    void styleReadingKeepsWhatItCannotRead() {
        grid::ColumnStyle style;
        const grid::ColumnStyle defaults;
        LayoutFormat::readStyle(QStringLiteral("Arial,x,barva,0,99,,vlevo"), style);
        QCOMPARE(style.fontName, QStringLiteral("Arial"));
        QCOMPARE(style.charset, defaults.charset);
        QCOMPARE(style.fontColor, defaults.fontColor);
        QCOMPARE(style.fontSize, defaults.fontSize);
        QCOMPARE(style.fontStyle, defaults.fontStyle);
        QCOMPARE(style.background, defaults.background);
        QCOMPARE(style.alignment, defaults.alignment);

        style = {};
        LayoutFormat::readStyle(QStringLiteral(",238,255"), style); // missing items stay
        QCOMPARE(style.fontName, defaults.fontName);
        QCOMPARE(style.charset, 238);
        QCOMPARE(style.fontColor, 255);
        QCOMPARE(style.background, defaults.background);

        LayoutFormat::readStyle(QStringLiteral("Tahoma,1,4294967295,10,3,-16777201,1"), style);
        QCOMPARE(style.fontColor, -1); // the unsigned spelling of the same 32 bits
        QCOMPARE(style.fontSize, 10);
        QCOMPARE(style.fontStyle, 3);
        QCOMPARE(style.background, grid::color::kButtonFace);
        QCOMPARE(style.alignment, grid::Alignment::Right);
        QVERIFY(style.font().bold() && style.font().italic());

        grid::ColumnExtras extras;
        LayoutFormat::readExtras(QStringLiteral("2,\"a,b\",x"), extras);
        QCOMPARE(extras.sortKind, 2);
        QCOMPARE(extras.sortCaption, QStringLiteral("a,b"));
        QCOMPARE(extras.bandIndex, -1);
    }

    void storeRoundTrip() {
        GridColumn id = column("ID_FIRMA", 0);
        id.dataStyle.alignment = grid::Alignment::Right;
        GridColumn name = column("PRIJMENI", 105);
        name.title = QStringLiteral("Příjmení, jméno");
        name.titleStyle.fontStyle = grid::ColumnStyle::Bold;
        name.extras.footer = QStringLiteral("Součet");
        GridColumn hidden = column("EMAIL1", 180);
        hidden.hidden = true;
        GridColumn flag = column("FLAG", 1, true);
        const std::vector<GridColumn> columns{id, name, hidden, flag};

        LayoutStore(QStringLiteral("gHlavniDeska")).write(columns);
        const auto read = LayoutStore(QStringLiteral("gHlavniDeska")).read(GridColumn{});
        QVERIFY(read);
        QCOMPARE(read->size(), columns.size());
        for (size_t i = 0; i < columns.size(); ++i) {
            GridColumn expected = columns[i];
            if (expected.title.isEmpty())
                expected.title = expected.field; // the caption is stored as shown
            QCOMPARE(LayoutFormat::writeColumn((*read)[i]), LayoutFormat::writeColumn(expected));
            QCOMPARE((*read)[i].titleStyle, expected.titleStyle);
            QCOMPARE((*read)[i].dataStyle, expected.dataStyle);
            QCOMPARE((*read)[i].extras, expected.extras);
        }

        auto s = settings();
        s.beginGroup(QStringLiteral("gHlavniDeska"));
        QCOMPARE(s.value("Count").toString(), QStringLiteral("4"));
        QCOMPARE(s.value("0").toString(), QStringLiteral("ID_FIRMA,0,ID_FIRMA,"));
        QCOMPARE(s.value("1").toString(), QStringLiteral("PRIJMENI,105,\"Příjmení, jméno\","));
        QCOMPARE(s.value("2").toString(), QStringLiteral("EMAIL1,-1,EMAIL1,"));
        QCOMPARE(s.value("3").toString(), QStringLiteral("FLAG,1,FLAG,R"));
        QCOMPARE(s.value("0_Data").toString(),
                 QStringLiteral("Tahoma,1,-16777208,8,0,-16777211,1"));
        QCOMPARE(s.value("1_Title").toString(),
                 QStringLiteral("Tahoma,1,-16777208,8,1,-16777201,0"));
        QCOMPARE(s.value("3_Sort").toString(), QStringLiteral("0,,-1,0,,0,0"));
        QCOMPARE(s.value("1_Footer").toString(), QStringLiteral("Součet"));
        QVERIFY(!s.contains("0_Footer"));
    }

    void shorterLayoutLeavesNothingBehind() {
        GridColumn a = column("A", 10), b = column("B", 20);
        b.extras.footer = QStringLiteral("x");
        LayoutStore store(QStringLiteral("gKontaktyFirmy"));
        store.write({a, b});
        b.extras.footer.clear();
        store.write({b});
        auto s = settings();
        s.beginGroup(QStringLiteral("gKontaktyFirmy"));
        QCOMPARE(s.childKeys().size(), 5); // Count, 0, 0_Title, 0_Data, 0_Sort
        QVERIFY(!s.contains("1"));
        QVERIFY(!s.contains("0_Footer"));
    }

    void damagedStoreFallsBack_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QStringList>("mains");  // values "0", "1", ...; "-" leaves one out
        QTest::addColumn<QStringList>("fields"); // what is read; empty: nothing
        QTest::newRow("no count") << QString() << QStringList{"A,10,A,"} << QStringList{};
        QTest::newRow("count zero") << "0" << QStringList{"A,10,A,"} << QStringList{};
        QTest::newRow("count not a number") << "tři" << QStringList{"A,10,A,"} << QStringList{};
        QTest::newRow("missing and empty numbers skipped")
            << "4" << QStringList{"A,10,A,", "-", "", "D,5,D,"} << QStringList{"A", "D"};
        QTest::newRow("count beyond the values")
            << "3" << QStringList{"A,10,A,"} << QStringList{"A"};
        QTest::newRow("nothing readable") << "2" << QStringList{"", "-"} << QStringList{};
        QTest::newRow("absurd count") << "2000000000" << QStringList{"A,10,A,"} << QStringList{"A"};
    }
    void damagedStoreFallsBack() {
        QFETCH(QString, count);
        QFETCH(QStringList, mains);
        QFETCH(QStringList, fields);
        {
            auto s = settings();
            s.beginGroup(QStringLiteral("g"));
            if (!count.isNull())
                s.setValue("Count", count);
            for (int i = 0; i < mains.size(); ++i)
                if (mains[i] != QLatin1String("-"))
                    s.setValue(QString::number(i), mains[i]);
            s.setValue("0_Data", QStringLiteral("Arial,1,zelená"));
        }
        const auto read = LayoutStore(QStringLiteral("g")).read(GridColumn{});
        QCOMPARE(bool(read), !fields.isEmpty());
        if (!read)
            return;
        QStringList names;
        for (const GridColumn &c : *read)
            names << c.field;
        QCOMPARE(names, fields);
        QCOMPARE(read->front().dataStyle.fontName, QStringLiteral("Arial"));
        QCOMPARE(read->front().dataStyle.fontColor, GridColumn{}.dataStyle.fontColor);
    }

    void systemColoursFollowThePalette() {
        QPalette palette;
        palette.setColor(QPalette::Button, QColor(1, 2, 3));
        palette.setColor(QPalette::Base, QColor(4, 5, 6));
        QCOMPARE(grid::color::toQColor(grid::color::kButtonFace, palette), QColor(1, 2, 3));
        QCOMPARE(grid::color::toQColor(grid::color::kWindow, palette), QColor(4, 5, 6));
        QCOMPARE(grid::color::toQColor(0x00563412, palette), QColor(0x12, 0x34, 0x56));
        QCOMPARE(grid::color::fromRgb(QColor(0x12, 0x34, 0x56)), 0x00563412);
    }
};

QTEST_MAIN(TestLayoutFormat)
#include "tst_layoutformat.moc"
