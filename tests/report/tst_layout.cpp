#include "report/PageRenderer.h"
#include "report/Report.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

constexpr qreal kEps = 0.01;

QString lineText(int i) {
    return QStringLiteral("Line %1 Příliš žluťoučký kůň").arg(i, 3, 10, QLatin1Char('0'));
}

/// An RTF of `count` one-line paragraphs in `halfPoints` Tahoma.
QByteArray linesRtf(int count, int halfPoints = 22) {
    QByteArray rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs" + QByteArray::number(halfPoints) + "\\b ";
    for (int i = 1; i <= count; ++i) {
        for (const QChar c : lineText(i))
            rtf += c.unicode() < 0x80 ? QByteArray(1, char(c.unicode()))
                                      : "\\u" + QByteArray::number(c.unicode()) + '?';
        rtf += "\\par\n";
    }
    return rtf + '}';
}

QStringList allLines(const report::PreparedReport &report) {
    QStringList texts;
    for (const report::PreparedPage &page : report.pages)
        for (const report::PageLine &line : page.lines)
            texts.append(line.text);
    return texts;
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT

  private slots:
    void longDocumentFlowsOverPages() {
        const report::ReportSettings settings;
        const QRectF area = settings.printableRectPt();
        const report::PreparedReport report = report::prepareRtf(linesRtf(300), settings);

        QVERIFY(report.pageCount() > 1);
        QCOMPARE(report.pageSizePt, settings.pageSizePt());
        QCOMPARE(report.pages[0].lines[0].top, area.top());

        QStringList expected;
        for (int i = 1; i <= 300; ++i)
            expected.append(lineText(i));
        QCOMPARE(allLines(report), expected); // each line once, in order

        for (int p = 0; p < report.pageCount(); ++p) {
            const QList<report::PageLine> &lines = report.pages[p].lines;
            QVERIFY(!lines.isEmpty());
            QCOMPARE(lines.first().top, area.top()); // every page starts at the top margin
            for (int l = 0; l < lines.size(); ++l) {
                const report::PageLine &line = lines[l];
                QVERIFY(line.height > 0);
                QVERIFY(line.top + line.height <= area.bottom() + kEps);
                if (l > 0)
                    QVERIFY(qAbs(lines[l - 1].top + lines[l - 1].height - line.top) < kEps);
                for (const report::TextFragment &f : line.fragments) {
                    QVERIFY(f.x >= area.left() - kEps);
                    QVERIFY(f.x + f.width <= area.right() + kEps);
                }
            }
            // A page ends only when its next line would not have fitted.
            if (p + 1 < report.pageCount()) {
                const report::PageLine &next = report.pages[p + 1].lines.first();
                QVERIFY(lines.last().top + lines.last().height + next.height > area.bottom());
            }
        }
    }

    void pageCountFollowsLength() {
        const int short1 = report::prepareRtf(linesRtf(100)).pageCount();
        const int long1 = report::prepareRtf(linesRtf(400)).pageCount();
        const int bigFont = report::prepareRtf(linesRtf(100, 48)).pageCount();
        QVERIFY(long1 > short1);
        QVERIFY(bigFont > short1);
        QCOMPARE(report::prepareRtf(linesRtf(1)).pageCount(), 1);
        QCOMPARE(report::prepareRtf(QByteArray()).pageCount(),
                 1); // an empty report is a blank page
        QVERIFY(report::prepareRtf(QByteArray()).pages[0].lines.isEmpty());
    }

    void longParagraphWrapsInsideTheWidth() {
        QString words;
        for (int i = 0; i < 200; ++i)
            words += QStringLiteral("slovo%1 ").arg(i);
        const QString unbroken(500, QLatin1Char('x'));
        const QByteArray rtf =
            "{\\rtf1\\fs24 " + words.toLatin1() + "\\par " + unbroken.toLatin1() + "\\par}";
        const report::ReportSettings settings;
        const report::PreparedReport report = report::prepareRtf(rtf, settings);
        const QStringList lines = allLines(report);
        QVERIFY(lines.size() > 4);
        QCOMPARE(lines.join(QString()), words + unbroken); // wrapping loses no character
        for (const report::PageLine &line : report.pages[0].lines)
            for (const report::TextFragment &f : line.fragments)
                QVERIFY(f.x + f.width <= settings.printableRectPt().right() + kEps);
    }

    void lineTallerThanAPageStandsAlone() {
        const report::PreparedReport report =
            report::prepareRtf("{\\rtf1\\fs24 before\\par\\fs3200 X\\par\\fs24 after\\par}");
        QCOMPARE(allLines(report), (QStringList{"before", "X", "after"}));
        QCOMPARE(report.pageCount(), 3);
        QCOMPARE(report.pages[1].lines.size(), 1);
    }

    void formatsAndPositionsFollowTheRuns() {
        const report::PreparedReport report = report::prepareRtf(
            "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\fs20 left \\b\\cf1 bold\\b0\\cf0 "
            "\\tab after\\par}");
        const report::PageLine &line = report.pages[0].lines[0];
        QCOMPARE(line.text, QStringLiteral("left bold\tafter"));
        QCOMPARE(line.fragments.size(), 3); // the tab separates two pieces
        QCOMPARE(line.fragments[1].text, QStringLiteral("bold"));
        const report::RichFormat &bold = report.formats[line.fragments[1].format];
        QVERIFY(bold.bold);
        QCOMPARE(bold.colour, qRgb(255, 0, 0));
        QVERIFY(line.fragments[0].x < line.fragments[1].x);
        QVERIFY(line.fragments[1].x + line.fragments[1].width < line.fragments[2].x);
    }

    void landscapeAndMargins() {
        report::ReportSettings settings;
        settings.orientation = QPageLayout::Landscape;
        settings.marginsMm = QMarginsF(30, 20, 10, 5);
        const report::PreparedReport report = report::prepareRtf("{\\rtf1 text\\par}", settings);
        QVERIFY(report.pageSizePt.width() > report.pageSizePt.height());
        QCOMPARE(report.pages[0].lines[0].top, report::mmToPt(20));
        QVERIFY(qAbs(report.pages[0].lines[0].fragments[0].x - report::mmToPt(30)) < 0.5);
    }

    void paintingStaysInsideTheMargins() {
        const report::ReportSettings settings;
        const report::PreparedReport report = report::prepareRtf(linesRtf(300), settings);
        const qreal scale = 2; // pixels per point
        QImage image((report.pageSizePt * scale).toSize(), QImage::Format_RGB32);
        const QRectF area = settings.printableRectPt();
        const QRect inside(
            QPoint(int((area.left() - 2) * scale), int((area.top() - 2) * scale)),
            QPoint(int((area.right() + 2) * scale), int((area.bottom() + 2) * scale)));
        for (int p = 0; p < report.pageCount(); ++p) {
            image.fill(Qt::white);
            QPainter painter(&image);
            report::PageRenderer::paint(painter, report, p, QRectF(image.rect()));
            painter.end();
            int inked = 0;
            for (int y = 0; y < image.height(); ++y) {
                const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    if (qGray(row[x]) > 250)
                        continue;
                    ++inked;
                    QVERIFY2(
                        inside.contains(x, y),
                        qPrintable(
                            QStringLiteral("ink at %1,%2 on page %3").arg(x).arg(y).arg(p + 1)));
                }
            }
            QVERIFY(inked > 0);
        }
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
