#include "core/WorkTable.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace Qt::StringLiterals;

class TestWorkTable : public QObject
{
    Q_OBJECT
private slots:
    void factoryState();
    void modelsPassTheTester();
    void addAndRemoveColumnsKeepKeysConsecutive();
    void renumberCountPadsToRowCountDigits_data();
    void renumberCountPadsToRowCountDigits();
    void removeRowsInBlocks();
    void logPrependsNewestFirst();
    void stampIsMonthYearDay();
};

void TestWorkTable::factoryState()
{
    WorkTable t;
    QCOMPARE(t.columns.count(), 6);
    QCOMPARE(t.columns.caption(0), u"<c0>戻り値"_s);
    QCOMPARE(t.columns.caption(5), u"<c5>フルパス"_s);
    QCOMPARE(t.columns.column(2).position, 3);
    QCOMPARE(t.files.headerData(2, Qt::Horizontal).toString(), u"<c2>元ファイル名"_s);
    QCOMPARE(t.apps.count(), 0);
    QCOMPARE(t.batch.headerData(0, Qt::Horizontal).toString(), u"ｷ-"_s);
    QCOMPARE(t.apps.headerData(0, Qt::Horizontal).toString(), u"ｷｰ"_s);
    QCOMPARE(t.columns.headerData(0, Qt::Horizontal).toString(), u"ｷｰ"_s);
    QVERIFY(!t.filter.isOn());
    QVERIFY(!t.filter.listEnabled());
    QCOMPARE(t.settings.check1, 1);
    QCOMPARE(t.settings.check2, 1);
    QCOMPARE(t.settings.option2.selected(), 0);
    QCOMPARE(t.settings.check3, 0);
    QCOMPARE(t.settings.logLimit(), 32.0);
}

void TestWorkTable::modelsPassTheTester()
{
    WorkTable t;
    QAbstractItemModelTester a(&t.files, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester b(&t.columns, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester c(&t.apps, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester d(&t.batch, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester e(&t.filter, QAbstractItemModelTester::FailureReportingMode::QtTest);
    t.files.appendRows({{u""_s, u""_s, u"a"_s}, {u""_s, u""_s, u"b"_s}, {u""_s, u""_s, u"c"_s}});
    t.addColumn(u"メモ"_s);
    t.files.reorder({2, 0, 1});
    t.files.removeRowsAt({0, 2});
    t.removeColumn(6);
    t.apps.appendRow({u"<App1>"_s, u"x"_s, u"/x"_s});
    t.batch.insertRow(0, {u"<App1>"_s});
    t.filter.append(u"jpg"_s);
    t.filter.setChecked(0, true);
    t.loadFactoryDefaults();
}

void TestWorkTable::addAndRemoveColumnsKeepKeysConsecutive()
{
    WorkTable t;
    t.files.appendRows({{}, {}});
    t.addColumn(u"A"_s);
    t.addColumn(u"a>b"_s);
    t.addColumn(u"C"_s);
    t.files.setCell(0, 8, u"c-value"_s);
    QCOMPARE(t.columns.caption(7), u"<c7>a>b"_s);
    t.removeColumn(6);
    QCOMPARE(t.columns.count(), 8);
    QCOMPARE(t.files.cellCount(), 8);
    QCOMPARE(t.columns.caption(6), u"<c6>a>b"_s);
    QCOMPARE(t.columns.column(7).keyText, u"<c7>"_s);
    QCOMPARE(t.columns.column(7).name, u"C"_s);
    QCOMPARE(t.files.cell(0, 7), u"c-value"_s);
}

void TestWorkTable::renumberCountPadsToRowCountDigits_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addRow("9") << 9 << u"1"_s << u"9"_s;
    QTest::addRow("10") << 10 << u"01"_s << u"10"_s;
    QTest::addRow("250") << 250 << u"001"_s << u"250"_s;
}

void TestWorkTable::renumberCountPadsToRowCountDigits()
{
    QFETCH(int, rows);
    WorkTable t;
    t.files.appendRows(std::vector<FileList::Row>(static_cast<size_t>(rows)));
    t.files.renumberCount();
    QTEST(t.files.cell(0, 1), "first");
    QTEST(t.files.cell(rows - 1, 1), "last");
}

void TestWorkTable::removeRowsInBlocks()
{
    WorkTable t;
    std::vector<FileList::Row> rows;
    for (int i = 0; i < 10; ++i)
        rows.push_back({QString(), QString(), QString::number(i)});
    t.files.appendRows(rows);
    t.files.removeRowsAt({8, 1, 2, 9, 2});
    QCOMPARE(t.files.count(), 6);
    QStringList left;
    for (int i = 0; i < t.files.count(); ++i)
        left << t.files.cell(i, 2);
    QCOMPARE(left, (QStringList{u"0"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s}));
}

void TestWorkTable::logPrependsNewestFirst()
{
    ActivityLog log;
    log.setText(u"\r\nold"_s);
    log.prepend(u"a\r\n"_s);
    log.prependSeparator();
    QCOMPARE(log.text(), QString(60, u'*') + u"\r\n\r\na\r\n\r\nold"_s);
    QCOMPARE(log.length(), log.text().size());
    log.clear();
    QVERIFY(log.text().isEmpty());
}

void TestWorkTable::stampIsMonthYearDay()
{
    QCOMPARE(ActivityLog::stamp(QDateTime(QDate(2004, 3, 15), QTime(9, 5, 7))), u"03/04/15 09:05:07"_s);
    QCOMPARE(ActivityLog::stamp(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 3))), u"12/26/06 09:05:03"_s);
    QCOMPARE(ActivityLog::timed(QDateTime(QDate(2026, 12, 6), QTime(23, 0, 0)), u"x"_s, 1),
             u"12/26/06 23:00:00\tx\r\n"_s);
}

QTEST_GUILESS_MAIN(TestWorkTable)
#include "tst_worktable.moc"
