#include "print/U_report.h"
#include "report/ReportPreview.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>

namespace {

QStringList paragraphTexts(const report::RichDocument &doc) {
    QStringList texts;
    for (const report::RichParagraph &p : doc)
        texts.append(p.text());
    return texts;
}

QStringList cardTexts(const print::CardDocument &doc) {
    QStringList texts;
    for (const print::CardParagraph &p : doc.paragraphs())
        texts.append(p.text);
    return texts;
}

void composeCard(print::CardDocument &card, int contacts) {
    card.clear();
    card.addHeading(QStringLiteral("Stavby Novák s.r.o."), 16, true);
    card.addHeading(QStringLiteral("Popis:"), 11);
    card.addLine(QStringLiteral("Kód: K1     Zaměření: stavebnictví"));
    card.addHeading(QStringLiteral("KONTAKTY:"), 13);
    for (int i = 0; i < contacts; ++i) {
        card.addHeading(QStringLiteral("Ing.JanNovák%1CSc.").arg(i), 12);
        card.addSpacer();
        card.addLine(QStringLiteral("telefon (1,2):  123 , 456"));
        card.addLine(QStringLiteral("Email: jan%1@example.cz").arg(i));
        card.addLine(QStringLiteral("---- ---- ---- ---- ---- ---- ---- ---- ---- ----"));
    }
}

} // namespace

class TestPrintForm : public QObject {
    Q_OBJECT

  private slots:
    void reportDefinition() {
        TfmReporty form;
        QCOMPARE(form.qrVypis().name(), QStringLiteral("qrVypis"));
        QCOMPARE(form.QRBand1().name(), QStringLiteral("QRBand1"));
        QCOMPARE(form.qrrtVypis().name(), QStringLiteral("qrrtVypis"));
        const report::ReportSettings &s = form.qrVypis().settings();
        QCOMPARE(s.paperSizeMm, QSizeF(210, 297));
        QCOMPARE(s.orientation, QPageLayout::Portrait);
        QCOMPARE(s.marginsMm, QMarginsF(12.7, 12.7, 12.7, 12.7));
        QCOMPARE(s.copies, 1);
        QCOMPARE(s.firstPage, 0);         // all pages
        QVERIFY(s.printerName.isEmpty()); // the default printer
        QCOMPARE(s.paperTray, 0);
        QVERIFY(!s.duplex);
        QCOMPARE(form.qrrtVypis().defaultFormat().family, QStringLiteral("Arial"));
        QCOMPARE(form.qrrtVypis().defaultFormat().sizePt, 10.0);
        QCOMPARE(form.qrrtVypis().width(), 0.0); // the whole printable width
    }

    void copyCardToReportReplacesTheContent() {
        TfmReporty form;
        composeCard(form.RichEdit1(), 2);
        form.copyCardToReport();
        QCOMPARE(paragraphTexts(form.qrrtVypis().document()), cardTexts(form.RichEdit1()));
        const report::RichParagraph &name = form.qrrtVypis().document()[1];
        QCOMPARE(name.markFormat.family, QStringLiteral("Tahoma"));
        QCOMPARE(name.markFormat.sizePt, 16.0);
        QVERIFY(name.markFormat.bold);
        QCOMPARE(form.qrrtVypis().document()[0].markFormat.sizePt, 5.0);

        form.RichEdit1().clear();
        form.RichEdit1().addHeading(QStringLiteral("Jiná firma"), 16, true);
        form.copyCardToReport();
        QCOMPARE(paragraphTexts(form.qrrtVypis().document()),
                 (QStringList{" ", "Jiná firma", " "}));
    }

    void longCardContinuesOnFurtherPages() {
        TfmReporty form;
        composeCard(form.RichEdit1(), 100);
        form.copyCardToReport();
        const report::PreparedReport &pages = form.prepare();
        QVERIFY(form.pageCount() > 2);
        QCOMPARE(pages.pageCount(), form.pageCount());
        QCOMPARE(pages.pages.last().lines.last().text,
                 QStringLiteral("---- ---- ---- ---- ---- ---- ---- ---- ---- ----"));
    }

    void previewReturnsWhenClosed() {
        TfmReporty form;
        composeCard(form.RichEdit1(), 60);
        form.copyCardToReport();
        int shownPages = 0;
        QTimer::singleShot(0, [&] {
            for (QWidget *top : QApplication::topLevelWidgets())
                if (auto *w = qobject_cast<report::ReportPreview *>(top); w && w->isVisible()) {
                    shownPages = w->pageCount();
                    QCOMPARE(w->currentPage(), 0);
                    QVERIFY(w->isMaximized());
                    w->close();
                }
        });
        form.preview();
        QVERIFY(shownPages > 1);
        QCOMPARE(shownPages, form.pageCount());
    }
};

QTEST_MAIN(TestPrintForm)
#include "tst_printform.moc"
