// The benchmark's own machinery: the statistics it prints, the verdicts
// against the targets, and that the three board readers really read the
// same rows and text (otherwise the fetch comparison would be unfair).
#include "BenchResults.h"
#include "BenchStats.h"
#include "BoardReaders.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

using namespace bench;

Q_DECLARE_METATYPE(std::vector<double>)
Q_DECLARE_METATYPE(std::optional<double>)

class tst_BenchSupport : public QObject {
    Q_OBJECT
  private slots:
    void statistics_data();
    void statistics();
    void sinkTellsTextsAndNullsApart();
    void readersReadTheSameBoard();
    void verdicts_data();
    void verdicts();
    void jsonHoldsEveryFigure();
};

void tst_BenchSupport::statistics_data() {
    QTest::addColumn<std::vector<double>>("samples");
    QTest::addColumn<double>("median");
    QTest::addColumn<double>("p95");

    std::vector<double> twenty;
    for (int i = 20; i >= 1; --i)
        twenty.push_back(i);
    QTest::newRow("none") << std::vector<double>{} << 0.0 << 0.0;
    QTest::newRow("one") << std::vector<double>{7} << 7.0 << 7.0;
    QTest::newRow("odd count, unsorted") << std::vector<double>{9, 1, 5} << 5.0 << 9.0;
    QTest::newRow("even count: mean of the middle two")
        << std::vector<double>{4, 1, 3, 2} << 2.5 << 4.0;
    // Nearest rank: 95% of 20 samples is the 19th smallest.
    QTest::newRow("twenty, descending") << twenty << 10.5 << 19.0;
    QTest::newRow("one outlier") << std::vector<double>{10, 10, 10, 10, 500} << 10.0 << 500.0;
}

void tst_BenchSupport::statistics() {
    QFETCH(std::vector<double>, samples);
    QFETCH(double, median);
    QFETCH(double, p95);
    QCOMPARE(bench::median(samples), median);
    QCOMPARE(percentile(samples, 95), p95);
    const Summary s = summarize(samples);
    QCOMPARE(s.count, int(samples.size()));
    QCOMPARE(s.median, median);
    QCOMPARE(s.p95, p95);
}

void tst_BenchSupport::sinkTellsTextsAndNullsApart() {
    const auto sum = [](const QString &text, bool null) {
        CellSink sink(CellSink::Full);
        null ? sink.null() : sink.text(text);
        sink.endRow();
        return sink.checksum();
    };
    QVERIFY(sum(QStringLiteral("Žák"), false) != sum(QStringLiteral("Zák"), false));
    QVERIFY(sum(QString(), false) != sum(QString(), true));
    QCOMPARE(sum(QStringLiteral("Šťastná"), false), sum(QStringLiteral("Šťastná"), false));

    CellSink ordered(CellSink::Full), swapped(CellSink::Full);
    ordered.integer(1), ordered.integer(2);
    swapped.integer(2), swapped.integer(1);
    QVERIFY(ordered.checksum() != swapped.checksum());
}

void tst_BenchSupport::readersReadTheSameBoard() {
    initdb::BuildOptions options;
    options.companies = 12;
    options.contacts = 60;
    TestDatabase db(options);
    // Letters only Windows-1250 has, and a contact whose board columns are NULL.
    QVERIFY_DB(db.exec(QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, KRAJ) "
                                      "VALUES (100000, 1, ?, ?, ' ')"),
                       {QStringLiteral("Žofie"), QStringLiteral("Šťastná-Ďurďová")}));
    QVERIFY_DB(db.exec(
        QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, KRAJ) VALUES (100001, 2, ' ')")));
    int expected = 0;
    QVERIFY_DB(expected =
                   db.scalar(QStringLiteral("SELECT COUNT(*) FROM KONTAKT K JOIN FIRMA F ON "
                                            "K.ID_FIRMA = F.ID WHERE K.KRAJ <> '***'"))
                       .toInt() +
                   db.scalar(QStringLiteral("SELECT COUNT(DISTINCT K.ID_FIRMA) FROM KONTAKT K "
                                            "JOIN FIRMA F ON K.ID_FIRMA = F.ID"))
                       .toInt());
    db.disconnect();

    std::vector<std::pair<QString, quint64>> sums;
    for (auto make : {accessLayerReader, qtDriverReader, clientApiReader}) {
        try {
            const std::unique_ptr<BoardReader> reader = make(db.path());
            CellSink sink(CellSink::Full);
            reader->read(sink);
            QCOMPARE(sink.rows(), expected);
            QVERIFY(sink.firstRowMs() > 0);
            sums.emplace_back(reader->name(), sink.checksum());
        } catch (const std::exception &e) {
            QFAIL(e.what());
        }
    }
    for (const auto &[name, checksum] : sums) {
        if (checksum != sums.front().second)
            QFAIL(
                qPrintable(name + QStringLiteral(" reads other text than ") + sums.front().first));
    }
}

void tst_BenchSupport::verdicts_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<std::optional<double>>("target");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("below") << 29.0 << std::optional<double>(30) << QStringLiteral("ok");
    QTest::newRow("on the target") << 30.0 << std::optional<double>(30) << QStringLiteral("ok");
    QTest::newRow("above") << 30.5 << std::optional<double>(30) << QStringLiteral("MISS");
    QTest::newRow("no target") << 1e9 << std::optional<double>() << QString();
}

void tst_BenchSupport::verdicts() {
    QFETCH(double, value);
    QFETCH(std::optional<double>, target);
    QFETCH(QString, verdict);
    const Figure f{QStringLiteral("1/5"),
                   QStringLiteral("keystroke"),
                   QStringLiteral("median"),
                   value,
                   QStringLiteral("ms"),
                   target,
                   {}};
    QCOMPARE(f.verdict(), verdict);
    Results results;
    results.add(f);
    const QString row = results.table().split(QLatin1Char('\n')).value(2);
    QVERIFY2(row.contains(QStringLiteral("| keystroke | median |")), qPrintable(row));
    if (!verdict.isEmpty())
        QVERIFY2(row.contains(QStringLiteral("| ") + verdict + QStringLiteral(" |")),
                 qPrintable(row));
}

void tst_BenchSupport::jsonHoldsEveryFigure() {
    Results results;
    results.setMachine({{QStringLiteral("cores"), 2}});
    results.add({QStringLiteral("1000/5000"), QStringLiteral("start-up"), QStringLiteral("median"),
                 812.5, QStringLiteral("ms"), 1000, QStringLiteral("five runs")});
    results.add({QStringLiteral("1000/5000"),
                 QStringLiteral("fetch ratio"),
                 QStringLiteral("a/c"),
                 1.2,
                 QStringLiteral("x"),
                 1.15,
                 {}});
    results.addNote(QStringLiteral("the board is not painted yet"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("results.json"));
    QVERIFY(results.writeJson(path));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(
        root.value(QStringLiteral("machine")).toObject().value(QStringLiteral("cores")).toInt(), 2);
    const QJsonArray figures = root.value(QStringLiteral("figures")).toArray();
    QCOMPARE(figures.size(), 2);
    const QJsonObject first = figures.at(0).toObject();
    QCOMPARE(first.value(QStringLiteral("value")).toDouble(), 812.5);
    QCOMPARE(first.value(QStringLiteral("verdict")).toString(), QStringLiteral("ok"));
    QCOMPARE(first.value(QStringLiteral("note")).toString(), QStringLiteral("five runs"));
    QCOMPARE(figures.at(1).toObject().value(QStringLiteral("verdict")).toString(),
             QStringLiteral("MISS"));
    QCOMPARE(root.value(QStringLiteral("notes")).toArray().size(), 1);
}

QTEST_MAIN(tst_BenchSupport)
#include "tst_benchsupport.moc"
