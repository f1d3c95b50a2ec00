#include "report/Report.h"
#include "report/ReportFile.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QTemporaryDir>
#include <QTest>

namespace {

report::PreparedReport sampleReport(int paragraphs) {
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0\\fcharset238 Tahoma;}}"
                     "{\\colortbl;\\red0\\green0\\blue200;}";
    for (int i = 0; i < paragraphs; ++i)
        rtf += "\\pard\\plain\\f0\\fs" + QByteArray::number(18 + i % 10) +
               (i % 3 ? "\\b" : "\\i\\cf1") + " \\'d8\\'e1dek " + QByteArray::number(i) +
               " C:\\\\\\{x\\} \\u8594?\\tab konec\\par\n";
    return report::prepareRtf(rtf + '}');
}

} // namespace

class TestReportFile : public QObject {
    Q_OBJECT

  private slots:
    void saveThenLoadGivesTheSamePages() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("card.vzr"));
        const report::PreparedReport report = sampleReport(200);
        QVERIFY(report.pageCount() > 1);
        QCOMPARE(report::ReportFile::save(report, path), QString());

        QString error;
        const std::optional<report::PreparedReport> loaded = report::ReportFile::load(path, &error);
        QVERIFY2(loaded, qPrintable(error));
        QCOMPARE(loaded->pageCount(), report.pageCount());
        QCOMPARE(*loaded, report);
    }

    void headerDescribesTheFile() {
        const QByteArray bytes = report::ReportFile::serialize(sampleReport(3));
        QVERIFY(bytes.startsWith("VZREPORT"));
        QCOMPARE(bytes.mid(8, 2), QByteArray("\x00\x01", 2)); // format version 1
    }

    void truncatedFilesAreRefused() {
        const QByteArray bytes = report::ReportFile::serialize(sampleReport(2));
        for (int cut = 0; cut < bytes.size(); ++cut) {
            QString error;
            QVERIFY2(!report::ReportFile::deserialize(bytes.left(cut), &error),
                     qPrintable(QStringLiteral("accepted a file cut at %1").arg(cut)));
            QVERIFY(!error.isEmpty());
        }
    }

    void damagedFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray good = report::ReportFile::serialize(sampleReport(2));

        QByteArray flipped = good;
        flipped[good.size() / 2] = char(flipped[good.size() / 2] ^ 0x20);
        QTest::newRow("byte changed") << flipped << QStringLiteral("damaged");
        QTest::newRow("bytes appended") << good + "xx" << QStringLiteral("damaged");
        QByteArray newer = good;
        newer[9] = 9;
        QTest::newRow("newer version") << newer << QStringLiteral("version 9");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("not a saved report");
        QTest::newRow("foreign") << QByteArray("%PDF-1.4\nsomething else entirely")
                                 << QStringLiteral("not a saved report");
        QByteArray hugeLength = good;
        hugeLength.replace(12, 8, QByteArray("\x7f\xff\xff\xff\xff\xff\xff\xff", 8));
        QTest::newRow("absurd length") << hugeLength << QStringLiteral("damaged");
    }

    void damagedFilesAreRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QString error;
        QVERIFY(!report::ReportFile::deserialize(bytes, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    void validChecksumButAbsurdContentIsRefused_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<quint32>("pages");
        QTest::newRow("a billion pages") << 595.0 << 842.0 << quint32(1000000000);
        QTest::newRow("a page ten metres high") << 595.0 << 28346.0 << quint32(0);
        QTest::newRow("a page four metres wide") << 11339.0 << 842.0 << quint32(0);
        QTest::newRow("a page a millimetre wide") << 2.8 << 842.0 << quint32(0);
    }
    void validChecksumButAbsurdContentIsRefused() {
        // A body that passes the checksum but is out of all proportion must not be believed.
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(quint32, pages);
        QByteArray body;
        {
            QDataStream out(&body, QIODevice::WriteOnly);
            out.setVersion(QDataStream::Qt_6_0);
            out << width << height << quint32(0) << pages;
        }
        QByteArray header;
        {
            QDataStream out(&header, QIODevice::WriteOnly);
            out << quint16(1) << quint16(0) << quint64(body.size());
        }
        const QByteArray bytes =
            "VZREPORT" + header + body + QCryptographicHash::hash(body, QCryptographicHash::Sha256);
        QString error;
        QVERIFY(!report::ReportFile::deserialize(bytes, &error));
        QVERIFY(!error.isEmpty());
    }

    void fileErrorsAreReported() {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!report::ReportFile::load(dir.filePath(QStringLiteral("missing.vzr")), &error));
        QVERIFY(error.contains(QStringLiteral("missing.vzr")));
        const QString saveError = report::ReportFile::save(
            sampleReport(1), dir.filePath(QStringLiteral("no/such/dir/x.vzr")));
        QVERIFY(!saveError.isEmpty());
    }
};

QTEST_MAIN(TestReportFile)
#include "tst_reportfile.moc"
