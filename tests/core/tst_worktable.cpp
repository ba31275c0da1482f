#include "core/WorkTable.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
QString fileNames(const WorkTable& t)
{
    QStringList names;
    for (int r = 0; r < t.files.count(); ++r)
        names << t.files.cell(r, 2);
    return names.join(u' ');
}
} // namespace

class TestWorkTable : public QObject
{
    Q_OBJECT
private slots:
    void modelsPassTheTester();
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
    for (int i = 0; i < 10; ++i)
        rows.push_back({QString(), QString(), QString::number(i)});
    t.files.appendRows(rows);
    t.addColumn(u"メモ"_s);
    t.files.reorder({9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
    t.files.removeRowsAt({8, 1, 2, 9, 2});
    QCOMPARE(fileNames(t), u"9 6 5 4 3 2"_s);
    t.files.appendRows(std::vector<FileList::Row>(70));
    std::vector<int> odd;
    for (int i = 1; i < 76; i += 2)
        odd.push_back(i);
    t.files.removeRowsAt(odd);
    QCOMPARE(t.files.count(), 38);
    QCOMPARE(fileNames(t).trimmed(), u"9 5 3"_s);
    t.files.renumberCount(); // padded to the digits of the row count
    QCOMPARE(t.files.cell(0, 1) + u'|' + t.files.cell(37, 1), u"01|38"_s);
    t.removeColumn(6);
    t.apps.appendRow({u"<App1>"_s, u"x"_s, u"/x"_s});
    t.batch.insertRow(0, {u"<App1>"_s});
    t.filter.append(u"jpg"_s);
    t.filter.setChecked(0, true);
    t.loadFactoryDefaults();
}

QTEST_GUILESS_MAIN(TestWorkTable)
#include "tst_worktable.moc"
