#include "Fakes.h"
#include "core/WorkTable.h"
#include "filelist/ColumnFill.h"
#include "filelist/FileListCommands.h"

#include <QTest>

#include <numeric>

using namespace Qt::StringLiterals;

namespace
{

// `rows` rows whose <c2> is the row's index, with user columns <c6> and <c7> holding "old".
void prepare(WorkTable& t, int rows)
{
    t.addColumn(u"A"_s);
    t.addColumn(u"B"_s);
    std::vector<FileList::Row> list;
    for (int r = 0; r < rows; ++r)
        list.push_back({{}, {}, QString::number(r), {}, {}, {}, u"old"_s, u"old"_s});
    t.files.appendRows(std::move(list));
}

QStringList column(const FileList& files, int c)
{
    QStringList out;
    for (int r = 0; r < files.count(); ++r)
        out.append(files.cell(r, c));
    return out;
}

} // namespace

class TestColumnFill : public QObject
{
    Q_OBJECT
private slots:
    void fill_data();
    void fill();
    void fillFollowsSortedOrder();
    void arrowKeys_data();
    void arrowKeys();
};

void TestColumnFill::fill_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("expected"); // <c6> of rows 0..4, "|" separated
    QTest::addRow("start 5 step 10, rows 1 3 4")
        << 3 << QList<int>{3, 0, 2} << u"5"_s << u"10"_s << u"5|old|15|25|old"_s;
    QTest::addRow("step 0") << 3 << QList<int>{0, 1, 4} << u"1"_s << u"0"_s << u"1|1|old|old|1"_s;
    QTest::addRow("empty boxes count as 0")
        << 3 << QList<int>{0, 2} << QString() << QString() << u"0|old|0|old|old"_s;
    QTest::addRow("negative start") << 3 << QList<int>{0, 1, 2} << u"-1"_s << u"1"_s << u"-1|0|1|old|old"_s;
    QTest::addRow("past 16 bits") << 3 << QList<int>{0, 1} << u"999"_s << u"32767"_s
                                  << u"999|33766|old|old|old"_s;
    QTest::addRow("no wrap at 64 bits")
        << 3 << QList<int>{0, 1, 2} << u"9223372036854775806"_s << u"99999999999999999999"_s
        << u"9223372036854775806|9223372036854775807|9223372036854775807|old|old"_s;
    QTest::addRow("duplicates and strays")
        << 3 << QList<int>{1, 1, -1, 7} << u"4"_s << u"1"_s << u"old|4|old|old|old"_s;
    QTest::addRow("clear") << 0 << QList<int>{1, 3} << u"1"_s << u"1"_s << u"old||old||old"_s;
    QTest::addRow("text") << 2 << QList<int>{4} << u"1"_s << u"1"_s << u"old|old|old|old| 値 "_s;
    QTest::addRow("folder") << 1 << QList<int>{0} << u"1"_s << u"1"_s << u"/data/in|old|old|old|old"_s;
    QTest::addRow("nothing selected") << 3 << QList<int>{} << u"1"_s << u"1"_s << u"old|old|old|old|old"_s;
}

void TestColumnFill::fill()
{
    QFETCH(int, mode);
    QFETCH(QList<int>, selected);
    QFETCH(QString, start);
    QFETCH(QString, step);
    QFETCH(QString, expected);
    WorkTable t;
    prepare(t, 5);
    ColumnFill::Request request{
        mode, 0, std::vector<int>(selected.begin(), selected.end()), u"/data/in"_s, u" 値 "_s, start, step};
    ColumnFill::fill(t.files, request);
    QCOMPARE(column(t.files, 6).join(u'|'), expected);
    QCOMPARE(column(t.files, 7), QStringList(5, u"old"_s));

    // The second entry writes the second user column; an entry past the columns writes nothing.
    request.comboIndex = 1;
    ColumnFill::fill(t.files, request);
    QCOMPARE(column(t.files, 7).join(u'|'), expected);
    request.comboIndex = 2;
    request.mode = ColumnFill::Clear;
    ColumnFill::fill(t.files, request);
    QCOMPARE(column(t.files, 7).join(u'|'), expected);
}

void TestColumnFill::fillFollowsSortedOrder()
{
    WorkTable t;
    prepare(t, 12);
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    commands.ListView1_ColumnClick(3); // <c2> as text: 0 1 10 11 2 3 ...
    std::vector<int> all(12);
    std::iota(all.begin(), all.end(), 0);
    ColumnFill::fill(t.files, {ColumnFill::Sequence, 0, all, {}, {}, u"1"_s, u"1"_s});
    QCOMPARE(t.files.cell(2, 2), u"10"_s);
    QCOMPARE(column(t.files, 6), QStringList({u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s,
                                              u"9"_s, u"10"_s, u"11"_s, u"12"_s}));
}

void TestColumnFill::arrowKeys_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("up");
    QTest::addColumn<QString>("down");
    // Wrapping at "1" and at the limit is driven through the dialog itself.
    QTest::addRow("10") << u"10"_s << 99 << u"9"_s << u"11"_s;
    QTest::addRow("98") << u"98"_s << 99 << u"97"_s << u"99"_s;
    QTest::addRow("0") << u"0"_s << 99 << u"-1"_s << u"1"_s;
    QTest::addRow("empty") << QString() << 999 << u"-1"_s << u"1"_s;
    QTest::addRow("01 is not 1") << u"01"_s << 99 << u"0"_s << u"2"_s;
    QTest::addRow("pasted letters") << u"ab"_s << 99 << u"-1"_s << u"1"_s;
}

void TestColumnFill::arrowKeys()
{
    QFETCH(QString, text);
    QFETCH(int, limit);
    QFETCH(QString, up);
    QFETCH(QString, down);
    QCOMPARE(ColumnFill::stepped(text, ColumnFill::keyUp, limit), up);
    QCOMPARE(ColumnFill::stepped(text, ColumnFill::keyDown, limit), down);
    QCOMPARE(ColumnFill::stepped(text, 37, limit), text);
}

QTEST_GUILESS_MAIN(TestColumnFill)
#include "tst_columnfill.moc"
