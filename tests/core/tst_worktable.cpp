#include "core/WorkTable.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace Qt::StringLiterals;

class TestWorkTable : public QObject
{
    Q_OBJECT
private slots:
    void modelsPassTheTester();
    void columnPositionsStayAPermutation();
};

// Rows go in any order, with duplicates, in blocks, and past bulkRemoveBlocks blocks by one reset.
void TestWorkTable::modelsPassTheTester()
{
    WorkTable t;
    const auto mode = QAbstractItemModelTester::FailureReportingMode::QtTest;
    QAbstractItemModelTester files(&t.files, mode), columns(&t.columns, mode), filter(&t.filter, mode);
    std::vector<FileList::Row> rows;
    std::vector<int> order, odd;
    for (int i = 0; i < 80; ++i) {
        rows.push_back({QString(), QString(), QString::number(i)});
        order.push_back(i < 10 ? 9 - i : i);
        odd.push_back(2 * i + 7);
    }
    t.files.appendRows(rows);
    t.addColumn(u"メモ"_s);
    t.files.reorder(order);
    t.files.removeRowsAt({8, 1, 2, 9, 2}); // block by block
    t.files.removeRowsAt(odd);             // names 11, 13, ... 79, the rest strays: one reset
    t.files.renumberCount();               // padded to the digits of the row count
    const auto row = [&t](int r) -> QString { return t.files.cell(r, 1) + u' ' + t.files.cell(r, 2); };
    QCOMPARE((QStringList{row(0), row(5), row(6), row(t.files.count() - 1)}), // 41 rows
             (QStringList{u"01 9"_s, u"06 2"_s, u"07 10"_s, u"41 78"_s}));
    t.removeColumn(6);
    t.filter.append(u"jpg"_s);
    t.filter.setChecked(0, true);
    t.loadFactoryDefaults();
}

// Positions as a template may give them: ties go in column order, a delete closes the gap, an add goes last.
void TestWorkTable::columnPositionsStayAPermutation()
{
    WorkTable t;
    std::vector<ColumnSet::Column> columns;
    for (const int position : {9, 0, 9, 5})
        columns.push_back({{}, {}, 1440.0f, position});
    t.columns.resetTo(columns);
    t.removeColumn(1);
    t.addColumn(u"new"_s);
    QList<int> positions;
    for (int i = 0; i < t.columns.count(); ++i)
        positions << t.columns.column(i).position;
    QCOMPARE(positions, (QList<int>{2, 3, 1, 4})); // ranked 3 1 4 2, then the second column deleted
}

QTEST_GUILESS_MAIN(TestWorkTable)
#include "tst_worktable.moc"
