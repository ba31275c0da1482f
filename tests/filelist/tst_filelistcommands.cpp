#include "Fakes.h"
#include "core/WorkTable.h"
#include "filelist/ColumnFill.h"
#include "filelist/FileListCommands.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{

struct Fixture {
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands{t, dialogs, fs};
    QAbstractItemModelTester tester{&t.files, QAbstractItemModelTester::FailureReportingMode::QtTest};

    // Five rows with "old" in the user columns <c6> and <c7>.
    void userColumns()
    {
        t.addColumn(u"A"_s);
        t.addColumn(u"B"_s);
        t.files.appendRows(std::vector<FileList::Row>(5, {{}, {}, {}, {}, {}, {}, u"old"_s, u"old"_s}));
    }

    QString column(int c) const
    {
        QStringList out;
        for (int r = 0; r < t.files.count(); ++r)
            out.append(t.files.cell(r, c));
        return out.join(u'|');
    }
};

} // namespace

class TestFileListCommands : public QObject
{
    Q_OBJECT
private slots:
    void drop_data();
    void drop();
    void dialogHandlers();
    void rowCommands();
    void columnFill_data();
    void columnFill();
};

// One path dropped on three rows.
void TestFileListCommands::drop_data()
{
    QTest::addColumn<int>("check1");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("attributes");
    QTest::addColumn<QString>("filter"); // entries, "+" checked, "-" not; none: filter off
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("count");     // rows afterwards
    QTest::addColumn<QString>("parts"); // name|extension|parent of the new row
    const QString photo = u"/data/photo.01.jpg"_s, parts = u"photo.01|jpg|/data"_s;
    for (int m = 0; m < 8; ++m) {
        QTest::addRow("Check1 on, keys %d", m) << 1 << m << 32 << QString() << photo << 4 << parts;
        // Shift alone (1) or Ctrl alone (2) appends; no key, both, or anything with Alt (4) replaces.
        QTest::addRow("Check1 off, keys %d", m)
            << 0 << m << 32 << QString() << photo << (m == 1 || m == 2 ? 4 : 1) << parts;
    }
    // Every folder is skipped, hidden (18), read-only (17) or both (19) too; of the rest only a bare hidden
    // entry is. A replacing drop clears even when it takes nothing.
    const QList<std::pair<int, int>> taken{{-1, 0}, {0, 1},  {1, 1},  {2, 0},  {16, 0},
                                           {17, 0}, {18, 0}, {19, 0}, {34, 1}, {48, 0}}; // attributes, rows
    for (const auto& [a, rows] : taken)
        QTest::addRow("attributes %d", a) << 0 << 0 << a << QString() << photo << rows << parts;
    // Only the last extension counts, as typed, and only from a checked entry.
    QTest::addRow("filter jpg") << 0 << 0 << 32 << u"-gif,+jpg"_s << photo << 1 << parts;
    QTest::addRow("filter unchecked") << 0 << 0 << 32 << u"-jpg"_s << photo << 0 << parts;
    QTest::addRow("filter other case, dotted") << 0 << 0 << 32 << u"+JPG,+01.jpg"_s << photo << 0 << parts;
    // A backslash is an ordinary character.
    QTest::addRow("dot file") << 0 << 0 << 32 << QString() << u"/v1.2/.pro\\file"_s << 1
                              << u"|pro\\file|/v1.2"_s;
    QTest::addRow("trailing dot") << 0 << 0 << 32 << QString() << u"/data/b."_s << 1 << u"b||/data"_s;
}

void TestFileListCommands::drop()
{
    QFETCH(int, check1);
    QFETCH(int, modifiers);
    QFETCH(int, attributes);
    QFETCH(QString, filter);
    QFETCH(QString, path);
    QFETCH(int, count);
    QFETCH(QString, parts);
    Fixture f;
    if (!filter.isEmpty())
        f.t.filter.setMode(OptionGroup{1});
    for (const QString& entry : filter.split(u',', Qt::SkipEmptyParts))
        f.t.filter.append(entry.mid(1), entry.startsWith(u'+'));
    f.t.settings.check1 = check1;
    f.t.files.appendRows({{}, {}, {}});
    f.fs.attrs.insert(path, attributes);
    f.commands.takeDroppedFiles({path}, modifiers);
    QCOMPARE(f.t.files.count(), count);
    if (count > 0)
        QCOMPARE(f.t.files.row(count - 1).join(u'|'), u"|%1|%2|%3"_s.arg(count).arg(parts, path));
}

void TestFileListCommands::dialogHandlers()
{
    Fixture f;
    // Extensions lose their dots; an equal entry is refused, a differently cased one is not.
    f.dialogs.inputs = {u".JPG"_s, u"jpg"_s, u"JPG"_s, QString(), u"tar.gz"_s, u".."_s};
    for (int i = 0; i < 6; ++i)
        f.commands.addExtension();
    for (int index : {-1, 4, 1})
        f.commands.removeExtension(index);
    QStringList texts;
    for (int i = 0; i < f.t.filter.count(); ++i)
        texts.append(f.t.filter.item(i).text + (f.t.filter.item(i).checked ? u"+"_s : QString()));
    QCOMPARE(texts, QStringList({u"JPG"_s, u"targz"_s, QString()}));

    // Menus open on a right press only, and only while their list has something to act on.
    QVERIFY(!f.commands.mayOpenFileMenu(Qt::RightButton) && !f.commands.mayOpenFilterMenu(Qt::RightButton));
    QVERIFY(!f.commands.mayOpenColumnFill()); // no rows: not even a message
    f.t.files.appendRows({{}, {}});
    f.t.filter.setMode(OptionGroup{1});
    f.t.filter.applyModeToList();
    QVERIFY(f.commands.mayOpenFileMenu(Qt::RightButton) && f.commands.mayOpenFilterMenu(Qt::RightButton));
    QVERIFY(f.commands.mayOpenColumnMenu(Qt::RightButton) && !f.commands.mayOpenFileMenu(Qt::LeftButton));
    QVERIFY(!f.commands.mayOpenColumnFill()); // no user column yet
    f.dialogs.inputs = {u"A"_s, QString(), u"a>b"_s, u"<c9>x"_s};
    for (int i = 0; i < 4; ++i)
        f.commands.addColumn();
    QVERIFY(f.commands.mayOpenColumnFill());
    for (int c = 6; c < 9; ++c)
        f.t.files.setCell(1, c, QString::number(c));
    // The fixed six are refused, no selection does nothing. Keys stay consecutive; the old key is cut at its
    // first ">", so a ">" or a key inside a name survives.
    for (int row : {0, 5, -1, 9, 6})
        f.commands.removeColumn(row);
    QCOMPARE(f.t.columns.caption(6) + f.t.columns.caption(7), u"<c6>a>b<c7><c9>x"_s);
    QCOMPARE(f.t.columns.data(f.t.columns.index(7, 0)).toString(), u"<c7>"_s);
    QCOMPARE(f.column(6) + u'|' + f.column(7), u"|7||8"_s);

    QStringList shown{f.dialogs.prompts.first(), f.dialogs.prompts.last()};
    for (const auto& m : std::as_const(f.dialogs.shown))
        shown.append(m.title + u':' + m.text);
    QCOMPARE(shown,
             QStringList({u"拡張子を登録してください"_s, u"カラム名を入力してください"_s,
                          u"Lomvato:すでに登録されています"_s, u"Lomvato:新規を追加してから行ってください"_s,
                          u"Lomvato:ソフトが必要としているカラムですので削除はできません"_s,
                          u"Lomvato:ソフトが必要としているカラムですので削除はできません"_s}));
}

void TestFileListCommands::rowCommands()
{
    Fixture f;
    f.t.files.appendRows(
        {{u"b"_s, {}, u"9"_s}, {u"c"_s, {}, u"1"_s}, {u"a"_s, {}, u"10"_s}, {u"d"_s, {}, {}}});
    // The first click sorts ascending, the same header again flips, another header keeps the order.
    // Texts compare as texts: "10" comes before "9". Out-of-range headers do nothing.
    const std::pair<int, QString> steps[] = {{1, u"abcd"_s}, {1, u"dcba"_s}, {3, u"bacd"_s}, {3, u"dcab"_s},
                                             {1, u"abcd"_s}, {1, u"dcba"_s}, {0, u"dcba"_s}, {7, u"dcba"_s}};
    for (const auto& [header, order] : steps) {
        f.commands.sortByHeader(header);
        QCOMPARE(f.column(0).remove(u'|') + f.column(1), order + u"1|2|3|4"_s);
    }
    // Rows dropped after a sort go to the end, unsorted, and are numbered on.
    f.commands.takeDroppedFiles({u"/z/e"_s}, FileListCommands::Ctrl);
    QCOMPARE(f.column(0) + f.column(1), u"d|c|b|a|1|2|3|4|5"_s);
    // Duplicates and strays in a selection are ignored; the rest go, renumbered.
    f.commands.removeRows({3, 0, 0, -1, 5});
    QCOMPARE(f.column(0) + f.column(1), u"c|b|1|2|3"_s);
    f.commands.removeAllRows();
    f.commands.removeRows({0});
    QCOMPARE(f.t.files.count(), 0);
}

void TestFileListCommands::columnFill_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("expected"); // <c6> of rows 0..4, "|" separated
    QTest::addRow("selected rows in list order")
        << 3 << QList<int>{3, 0, 2} << u"5"_s << u"10"_s << u"5|old|15|25|old"_s;
    QTest::addRow("empty boxes count as 0")
        << 3 << QList<int>{0, 2} << QString() << QString() << u"0|old|0|old|old"_s;
    QTest::addRow("past 16 bits") << 3 << QList<int>{0, 1} << u"999"_s << u"32767"_s
                                  << u"999|33766|old|old|old"_s;
    QTest::addRow("no wrap at 64 bits")
        << 3 << QList<int>{0, 1, 2} << u"9223372036854775806"_s << u"99999999999999999999"_s
        << u"9223372036854775806|9223372036854775807|9223372036854775807|old|old"_s;
    QTest::addRow("negative start, duplicates and strays")
        << 3 << QList<int>{2, 1, 1, -1, 7} << u"-1"_s << u"1"_s << u"old|-1|0|old|old"_s;
    QTest::addRow("clear") << 0 << QList<int>{1, 3} << u"1"_s << u"1"_s << u"old||old||old"_s;
    QTest::addRow("text") << 2 << QList<int>{4} << u"1"_s << u"1"_s << u"old|old|old|old| 値 "_s;
}

void TestFileListCommands::columnFill()
{
    QFETCH(int, mode);
    QFETCH(QList<int>, selected);
    QFETCH(QString, start);
    QFETCH(QString, step);
    QFETCH(QString, expected);
    Fixture f;
    f.userColumns();
    ColumnFill::Request request{
        mode, 0, std::vector<int>(selected.begin(), selected.end()), u"/data/in"_s, u" 値 "_s, start, step};
    ColumnFill::fill(f.t.files, request);
    QCOMPARE(f.column(6) + u'/' + f.column(7), expected + u"/old|old|old|old|old"_s);
    // The second entry writes the second user column; an entry past the columns writes nothing.
    for (int combo : {1, 2}) {
        request.comboIndex = combo;
        request.mode = combo == 2 ? ColumnFill::Clear : mode;
        ColumnFill::fill(f.t.files, request);
    }
    QCOMPARE(f.column(7), expected);
}

QTEST_GUILESS_MAIN(TestFileListCommands)
#include "tst_filelistcommands.moc"
