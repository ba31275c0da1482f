#include "core/WorkTable.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace Qt::StringLiterals;

class TestWorkTable : public QObject
{
    Q_OBJECT
private slots:
    void modelsPassTheTester();
    void columnPositionsStayAPermutation_data();
    void columnPositionsStayAPermutation();
};

// Every model through the operations that change its shape; rows go in any order, with duplicates, in blocks,
// and past bulkRemoveBlocks blocks by one reset.
void TestWorkTable::modelsPassTheTester()
{
    WorkTable t;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    for (QAbstractItemModel* m :
         std::initializer_list<QAbstractItemModel*>{&t.files, &t.columns, &t.apps, &t.batch, &t.filter})
        testers.push_back(std::make_unique<QAbstractItemModelTester>(
            m, QAbstractItemModelTester::FailureReportingMode::QtTest));
    std::vector<FileList::Row> rows;
    std::vector<int> order;
    for (int i = 0; i < 80; ++i) {
        rows.push_back({QString(), QString(), QString::number(i)});
        order.push_back(i < 10 ? 9 - i : i);
    }
    t.files.appendRows(rows);
    t.addColumn(u"メモ"_s);
    t.files.reorder(order);
    t.files.removeRowsAt({8, 1, 2, 9, 2}); // block by block
    std::vector<int> odd;
    for (int i = 7; i < 76; i += 2)
        odd.push_back(i);
    t.files.removeRowsAt(odd); // names 11, 13, ... 79: one reset
    t.files.renumberCount();   // padded to the digits of the row count
    QCOMPARE(t.files.count(), 41);
    QCOMPARE((QStringList{t.files.cell(0, 2), t.files.cell(5, 2), t.files.cell(6, 2), t.files.cell(40, 2)}),
             (QStringList{u"9"_s, u"2"_s, u"10"_s, u"78"_s}));
    QCOMPARE((QStringList{t.files.cell(0, 1), t.files.cell(40, 1)}), (QStringList{u"01"_s, u"41"_s}));
    t.removeColumn(6);
    t.apps.appendRow({u"<App1>"_s, u"x"_s, u"/x"_s});
    t.batch.insertRow(0, {u"<App1>"_s});
    t.filter.append(u"jpg"_s);
    t.filter.setChecked(0, true);
    t.loadFactoryDefaults();
}

void TestWorkTable::columnPositionsStayAPermutation_data()
{
    // Positions the set is given (a template's line), then the positions it holds after a delete of the
    // second column and an add.
    QTest::addColumn<QList<int>>("given");
    QTest::addColumn<QList<int>>("after");
    QTest::addRow("moved") << QList<int>{4, 1, 2, 3} << QList<int>{3, 1, 2, 4};
    QTest::addRow("duplicates, gaps and zero") << QList<int>{9, 9, 0, 5} << QList<int>{3, 1, 2, 4};
}

void TestWorkTable::columnPositionsStayAPermutation()
{
    QFETCH(QList<int>, given);
    QFETCH(QList<int>, after);
    WorkTable t;
    std::vector<ColumnSet::Column> columns;
    for (int i = 0; i < given.size(); ++i)
        columns.push_back({ColumnSet::keyFor(i), QString::number(i), 1440.0f, given[i]});
    t.columns.resetTo(columns);
    t.removeColumn(1);
    t.addColumn(u"new"_s);
    QList<int> positions;
    for (int i = 0; i < t.columns.count(); ++i)
        positions << t.columns.column(i).position;
    QCOMPARE(positions, after);
}

QTEST_GUILESS_MAIN(TestWorkTable)
#include "tst_worktable.moc"
