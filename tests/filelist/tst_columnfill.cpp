#include "Fakes.h"
#include "core/WorkTable.h"
#include "filelist/ColumnFill.h"
#include "filelist/FileListCommands.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::vector<int>)

namespace
{

QStringList column(const FileList& files, int c)
{
    QStringList out;
    for (int r = 0; r < files.count(); ++r)
        out.append(files.cell(r, c));
    return out;
}

// `rows` rows with two user columns, every user cell holding "old".
void prepare(WorkTable& t, int rows)
{
    t.addColumn(u"A"_s);
    t.addColumn(u"B"_s);
    std::vector<FileList::Row> list;
    for (int r = 0; r < rows; ++r)
        list.push_back(
            {QString(), QString(), QString::number(r), QString(), QString(), QString(), u"old"_s, u"old"_s});
    t.files.appendRows(std::move(list));
    t.files.renumberCount();
}

} // namespace

class TestColumnFill : public QObject
{
    Q_OBJECT
private slots:
    void fill_data();
    void fill();
    void fillTargetsTheChosenColumnOnly();
    void fillFollowsSortedOrder();
    void sequenceNeverWraps();
    void arrowKeys_data();
    void arrowKeys();
    void typedCharacters_data();
    void typedCharacters();
};

void TestColumnFill::fill_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("mode");
    QTest::addColumn<std::vector<int>>("selected");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    const QString o = u"old"_s;
    QTest::addRow("sequence 5 by 10 over rows 1, 3, 4 of 5")
        << 5 << 3 << std::vector<int>{3, 0, 2} << u"5"_s << u"10"_s << QString()
        << QStringList{u"5"_s, o, u"15"_s, u"25"_s, o};
    QTest::addRow("step 0") << 3 << 3 << std::vector<int>{0, 1, 2} << u"1"_s << u"0"_s << QString()
                            << QStringList{u"1"_s, u"1"_s, u"1"_s};
    QTest::addRow("twelve rows without leading zeros")
        << 12 << 3 << std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11} << u"1"_s << u"1"_s << QString()
        << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s,  u"5"_s,  u"6"_s,
                       u"7"_s, u"8"_s, u"9"_s, u"10"_s, u"11"_s, u"12"_s};
    QTest::addRow("empty start and step count as 0")
        << 3 << 3 << std::vector<int>{0, 2} << QString() << QString() << QString()
        << QStringList{u"0"_s, o, u"0"_s};
    QTest::addRow("negative start") << 3 << 3 << std::vector<int>{0, 1, 2} << u"-1"_s << u"1"_s << QString()
                                    << QStringList{u"-1"_s, u"0"_s, u"1"_s};
    QTest::addRow("past 16 bits") << 2 << 3 << std::vector<int>{0, 1} << u"999"_s << u"32767"_s << QString()
                                  << QStringList{u"999"_s, u"33766"_s};
    QTest::addRow("duplicate and stray indexes") << 3 << 3 << std::vector<int>{1, 1, -1, 7} << u"4"_s
                                                 << u"1"_s << QString() << QStringList{o, u"4"_s, o};
    QTest::addRow("clear") << 3 << 0 << std::vector<int>{1} << u"1"_s << u"1"_s << u"ignored"_s
                           << QStringList{o, QString(), o};
    QTest::addRow("text") << 3 << 2 << std::vector<int>{0, 2} << u"1"_s << u"1"_s << u" 値 "_s
                          << QStringList{u" 値 "_s, o, u" 値 "_s};
    QTest::addRow("text with empty box")
        << 2 << 2 << std::vector<int>{0} << u"1"_s << u"1"_s << QString() << QStringList{QString(), o};
    QTest::addRow("folder") << 2 << 1 << std::vector<int>{1} << u"1"_s << u"1"_s << QString()
                            << QStringList{o, u"/data/in"_s};
    QTest::addRow("nothing selected")
        << 2 << 3 << std::vector<int>{} << u"1"_s << u"1"_s << QString() << QStringList{o, o};
}

void TestColumnFill::fill()
{
    QFETCH(int, rows);
    QFETCH(int, mode);
    QFETCH(std::vector<int>, selected);
    QFETCH(QString, start);
    QFETCH(QString, step);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    WorkTable t;
    prepare(t, rows);
    ColumnFill::Request request;
    request.mode = mode;
    request.comboIndex = 0;
    request.selectedRows = selected;
    request.folder = u"/data/in"_s;
    request.text = text;
    request.start = start;
    request.step = step;
    ColumnFill::fill(t.files, request);
    QCOMPARE(column(t.files, 6), expected);
    QCOMPARE(column(t.files, 7), QStringList(expected.size(), u"old"_s));
}

void TestColumnFill::fillTargetsTheChosenColumnOnly()
{
    WorkTable t;
    prepare(t, 2);
    ColumnFill::Request request;
    request.mode = ColumnFill::Text;
    request.comboIndex = 1;
    request.selectedRows = {0, 1};
    request.text = u"x"_s;
    ColumnFill::fill(t.files, request);
    QCOMPARE(column(t.files, 7), QStringList({u"x"_s, u"x"_s}));
    QCOMPARE(column(t.files, 6), QStringList({u"old"_s, u"old"_s}));
    QCOMPARE(column(t.files, 1), QStringList({u"1"_s, u"2"_s}));

    // An entry past the columns writes nothing anywhere.
    request.comboIndex = 2;
    request.text = u"y"_s;
    ColumnFill::fill(t.files, request);
    QCOMPARE(column(t.files, 7), QStringList({u"x"_s, u"x"_s}));
}

void TestColumnFill::fillFollowsSortedOrder()
{
    WorkTable t;
    prepare(t, 3);
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    commands.ListView1_ColumnClick(3);
    commands.ListView1_ColumnClick(3); // <c2> descending: 2, 1, 0
    ColumnFill::Request request;
    request.mode = ColumnFill::Sequence;
    request.selectedRows = {0, 1, 2};
    request.start = u"1"_s;
    request.step = u"1"_s;
    ColumnFill::fill(t.files, request);
    QCOMPARE(column(t.files, 2), QStringList({u"2"_s, u"1"_s, u"0"_s}));
    QCOMPARE(column(t.files, 6), QStringList({u"1"_s, u"2"_s, u"3"_s}));
}

void TestColumnFill::sequenceNeverWraps()
{
    WorkTable t;
    prepare(t, 3);
    ColumnFill::Request request;
    request.mode = ColumnFill::Sequence;
    request.selectedRows = {0, 1, 2};
    request.start = u"9223372036854775800"_s;
    request.step = u"99999999999999999999"_s;
    ColumnFill::fill(t.files, request);
    for (const QString& cell : column(t.files, 6)) {
        bool ok = false;
        QVERIFY(cell.toLongLong(&ok) > 0);
        QVERIFY(ok);
    }
}

void TestColumnFill::arrowKeys_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("up");
    QTest::addColumn<QString>("down");
    QTest::addRow("start 1") << u"1"_s << 999 << u"999"_s << u"2"_s;
    QTest::addRow("start limit") << u"999"_s << 999 << u"998"_s << u"1"_s;
    QTest::addRow("step 1") << u"1"_s << 99 << u"99"_s << u"2"_s;
    QTest::addRow("step limit") << u"99"_s << 99 << u"98"_s << u"1"_s;
    QTest::addRow("step 10") << u"10"_s << 99 << u"9"_s << u"11"_s;
    QTest::addRow("step 98") << u"98"_s << 99 << u"97"_s << u"99"_s;
    QTest::addRow("zero") << u"0"_s << 99 << u"-1"_s << u"1"_s;
    QTest::addRow("empty") << QString() << 999 << u"-1"_s << u"1"_s;
    QTest::addRow("leading zero is not 1") << u"01"_s << 99 << u"0"_s << u"2"_s;
    QTest::addRow("negative") << u"-5"_s << 99 << u"-6"_s << u"-4"_s;
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

void TestColumnFill::typedCharacters_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("kept");
    QTest::addRow("digit 0") << u"0"_s << true;
    QTest::addRow("digit 9") << u"9"_s << true;
    QTest::addRow("backspace") << u"\b"_s << true;
    QTest::addRow("no text") << QString() << true;
    QTest::addRow("letter") << u"a"_s << false;
    QTest::addRow("minus") << u"-"_s << false;
    QTest::addRow("blank") << u" "_s << false;
    QTest::addRow("full-width digit") << u"１"_s << false;
    QTest::addRow("arabic-indic digit") << u"٣"_s << false;
}

void TestColumnFill::typedCharacters()
{
    QFETCH(QString, typed);
    QFETCH(bool, kept);
    QCOMPARE(ColumnFill::keepsTypedCharacter(typed), kept);
}

QTEST_GUILESS_MAIN(TestColumnFill)
#include "tst_columnfill.moc"
