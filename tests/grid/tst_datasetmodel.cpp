// The table model over a dataset: checked by Qt's model tester while the
// dataset opens, fetches, edits and refilters; lazy fetching; columns,
// texts and roles.
#include "GridData.h"
#include "grid/DatasetModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

class TestDatasetModel : public QObject {
    Q_OBJECT

    std::unique_ptr<DataFixture> f;

  private slots:
    void init() {
        f = std::make_unique<DataFixture>();
        f->openAll();
    }
    void cleanup() { f.reset(); }

    void followsTheDatasetThroughItsWholeCycle() {
        addContacts(*f, 300);
        dataset::TableDataset &t = f->dm->tKONTAKT;
        QVERIFY_DB(t.close(); t.open());
        grid::DatasetModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumns({gridColumn("ID"), gridColumn("PRIJMENI"), gridColumn("NIC")});
        model.setFetchBatch(50);
        model.setDataset(&t);
        // The tester fetches more by itself; only the agreement of the counts is certain.
        QVERIFY(model.rowCount() >= 50);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        auto same = [&] { return model.rowCount() == t.fetchedCount(); };
        QVERIFY_DB(
            model.fetchMore({}); QVERIFY(same()); t.moveTo(3); t.edit();
            t.fieldByName("PRIJMENI")->setAsString(QStringLiteral("Žluťoučký")); QVERIFY(same());
            QCOMPARE(model.index(3, 1).data().toString(), QStringLiteral("Žluťoučký")); t.post();
            QVERIFY(changed.count() > 0); t.insert(); QVERIFY(same()); t.cancel(); QVERIFY(same());
            t.insert(); t.fieldByName("ID")->setAsInteger(1000); t.post(); QVERIFY(same());
            t.moveTo(0); t.deleteRecord(); QVERIFY(same()); t.setFilter(QStringLiteral("id<100"));
            t.setFiltered(true); QVERIFY(same()); t.setFiltered(false); t.refresh();
            QVERIFY(same()); t.last(); QVERIFY(same());
            QCOMPARE(model.rowCount(), 300); // one deleted, one added
            QVERIFY(!model.canFetchMore({})); t.close(); QCOMPARE(model.rowCount(), 0); t.open());
        QVERIFY(same());
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("Příjmení00001"));
    }

    void fetchesInBatches() {
        addContacts(*f, 5000);
        auto q = contactQuery(*f);
        grid::DatasetModel model;
        model.setFetchBatch(40);
        model.setColumns({gridColumn("PRIJMENI")});
        model.setDataset(q.get());
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.canFetchMore({}));
        QVERIFY_DB(q->open());
        QCOMPARE(model.rowCount(), 40);
        QCOMPARE(q->fetchedCount(), 40);
        QVERIFY(model.canFetchMore({}));
        model.fetchMore({});
        QCOMPARE(model.rowCount(), 80);
        QCOMPARE(model.index(79, 0).data().toString(), QStringLiteral("Příjmení00079"));
    }

    void columnsAndTitles() {
        addContacts(*f, 3);
        f->exec(
            QStringLiteral("UPDATE KONTAKT SET JMENO = NULL, NAROZENINY = '1. 5.' WHERE ID = 2"));
        auto q = contactQuery(*f, QStringLiteral("ID, PRIJMENI, JMENO, NAROZENINY"));
        grid::DatasetModel model;
        grid::GridColumn named = gridColumn("prijmeni");
        named.title = QStringLiteral("Příjmení");
        model.setColumns({gridColumn("JMENO"), named, gridColumn("ID"), gridColumn("CHYBI")});
        model.setDataset(q.get());
        QVERIFY_DB(q->open());
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("JMENO"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Příjmení"));
        QCOMPARE(model.headerData(1, Qt::Horizontal, grid::DatasetModel::FieldNameRole).toString(),
                 QStringLiteral("prijmeni"));
        QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("Jméno0"));
        QCOMPARE(model.index(1, 0).data().toString(), QString()); // NULL
        QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("Příjmení00001"));
        QCOMPARE(model.index(2, 2).data().toString(), QStringLiteral("3"));
        QCOMPARE(model.index(2, 2).data(grid::DatasetModel::RawValueRole), QVariant(qint64(3)));
        QCOMPARE(model.index(0, 3).data().toString(), QString()); // no such field
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

        // Without a column list, every field becomes a column when the dataset opens.
        QSignalSpy replaced(&model, &grid::DatasetModel::columnsReplaced);
        model.setColumns({});
        QCOMPARE(model.columnCount(), 4);
        QCOMPARE(model.index(0, 0).data(Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignRight | Qt::AlignVCenter));
        QCOMPARE(model.index(0, 1).data(Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignLeft | Qt::AlignVCenter));
        q->close();
        QCOMPARE(model.columnCount(), 4); // the columns stay while the dataset is closed
        QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("NAROZENINY"));
        QVERIFY(replaced.count() >= 1);

        // A fresh model meets an unopened dataset: the columns come with the first open.
        grid::DatasetModel late;
        late.setDataset(q.get());
        QCOMPARE(late.columnCount(), 0);
        QSignalSpy lateReplaced(&late, &grid::DatasetModel::columnsReplaced);
        QVERIFY_DB(q->open());
        QCOMPARE(late.columnCount(), 4);
        QCOMPARE(lateReplaced.count(), 1);
    }

    void rowColoursAndAccessibleText() {
        addContacts(*f, 4);
        auto q = contactQuery(*f);
        grid::DatasetModel model;
        model.setColumns({gridColumn("ID"), gridColumn("PRIJMENI")});
        model.setDataset(q.get());
        QVERIFY_DB(q->open());
        const QColor window =
            grid::color::toQColor(grid::color::kWindow, QGuiApplication::palette());
        QCOMPARE(model.index(0, 0).data(Qt::BackgroundRole).value<QColor>(), window);
        QCOMPARE(model.index(1, 0).data(Qt::BackgroundRole).value<QColor>(), window);
        model.setRowColors(QColor(), QColor(0xF0, 0xF0, 0xF0));
        QCOMPARE(model.index(0, 0).data(Qt::BackgroundRole).value<QColor>(), window);
        QCOMPARE(model.index(1, 0).data(Qt::BackgroundRole).value<QColor>(),
                 QColor(0xF0, 0xF0, 0xF0));
        QCOMPARE(model.index(3, 1).data(Qt::BackgroundRole).value<QColor>(),
                 QColor(0xF0, 0xF0, 0xF0));

        model.setGroupText([](int row, QString &text) {
            if (row != 2)
                return false;
            text = QStringLiteral("Skupina");
            return true;
        });
        model.setGroupTextColumn(1);
        QCOMPARE(model.index(0, 1).data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("Příjmení00000"));
        QCOMPARE(model.index(2, 1).data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("Skupina"));
        QCOMPARE(model.index(2, 0).data(Qt::AccessibleTextRole).toString(), QStringLiteral(" "));
    }
};

QTEST_MAIN(TestDatasetModel)
#include "tst_datasetmodel.moc"
