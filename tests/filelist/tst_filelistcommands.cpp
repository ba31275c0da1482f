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

    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 0; r < t.files.count(); ++r)
            out.append(t.files.cell(r, c));
        return out;
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
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("attributes");
    QTest::addColumn<QStringList>("filter"); // checked entries end in ✓; with none the filter is off
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("count");         // rows afterwards
    QTest::addColumn<QStringList>("parts"); // name, extension and parent of the new row
    const QString photo = u"/data/photo.01.jpg"_s;
    const QStringList parts{u"photo.01"_s, u"jpg"_s, u"/data"_s}, none;
    const Qt::KeyboardModifiers noKeys, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    // Shift alone or Ctrl alone appends; no key, both, or anything with Alt replaces.
    for (const Qt::KeyboardModifiers m : {noKeys, shift, ctrl, shift | ctrl, ctrl | Qt::AltModifier})
        QTest::addRow("keys %x", m.toInt())
            << m << 32 << none << photo << (m == shift || m == ctrl ? 4 : 1) << parts;
    // Every folder is skipped, of the rest only a bare hidden entry; a replacing drop clears even so.
    for (const auto& [a, rows] : {std::pair{-1, 0}, {1, 1}, {2, 0}, {19, 0}, {34, 1}})
        QTest::addRow("attributes %d", a) << noKeys << a << none << photo << rows << parts;
    // Only the last extension counts, as typed, and only from a checked entry.
    QTest::addRow("filter jpg") << noKeys << 32 << QStringList{u"gif"_s, u"jpg✓"_s} << photo << 1 << parts;
    QTest::addRow("filter unchecked") << noKeys << 32 << QStringList{u"jpg"_s} << photo << 0 << parts;
    QTest::addRow("filter other case, dotted")
        << noKeys << 32 << QStringList{u"JPG✓"_s, u"01.jpg✓"_s} << photo << 0 << parts;
    // A backslash is an ordinary character.
    QTest::addRow("dot file") << noKeys << 32 << none << u"/v1.2/.pro\\file"_s << 1
                              << QStringList{QString(), u"pro\\file"_s, u"/v1.2"_s};
    QTest::addRow("trailing dot") << noKeys << 32 << none << u"/data/b."_s << 1
                                  << QStringList{u"b"_s, QString(), u"/data"_s};
}

void TestFileListCommands::drop()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, attributes);
    QFETCH(QStringList, filter);
    QFETCH(QString, path);
    QFETCH(int, count);
    QFETCH(QStringList, parts);
    Fixture f;
    if (!filter.isEmpty())
        f.t.filter.setMode(OptionGroup{1});
    for (const QString& entry : std::as_const(filter))
        f.t.filter.append(QString(entry).remove(u'✓'), entry.endsWith(u'✓'));
    f.t.settings.alwaysAppend = 0; // on in the factory table
    f.t.files.appendRows({{}, {}, {}});
    f.fs.attrs.insert(path, attributes);
    f.commands.takeDroppedFiles({path}, modifiers);
    QCOMPARE(f.t.files.count(), count);
    if (count > 0)
        QCOMPARE(f.t.files.row(count - 1), (QStringList{{}, QString::number(count)} + parts << path));
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
    QStringList entries; // none checked
    for (int i = 0; i < f.t.filter.count(); ++i)
        entries.append(f.t.filter.item(i).text + (f.t.filter.item(i).checked ? u"✓"_s : QString()));
    QCOMPARE(entries, QStringList({u"JPG"_s, u"targz"_s, QString()}));

    // Menus open on a right press only, and only while their list has something to act on.
    const auto menus = [&f](Qt::MouseButton button) {
        return QList<bool>{f.commands.mayOpenFileMenu(button), f.commands.mayOpenFilterMenu(button),
                           f.commands.mayOpenColumnFill()};
    };
    QCOMPARE(menus(Qt::RightButton), QList<bool>(3, false)); // no rows: column fill not even a message
    f.t.files.appendRows({{}, {}});
    f.t.filter.choose(1);
    QCOMPARE(menus(Qt::RightButton), (QList<bool>{true, true, false})); // no user column yet
    f.dialogs.inputs = {u"A"_s, QString(), u"a>b"_s, u"<c9>x"_s};
    for (int i = 0; i < 4; ++i)
        f.commands.addColumn();
    QCOMPARE(menus(Qt::LeftButton), (QList<bool>{false, false, true}));
    for (int c = 6; c < 9; ++c)
        f.t.files.setCell(1, c, QString::number(c));
    // The fixed six are refused, no selection does nothing; keys renumber, the old one cut at its first ">".
    for (int row : {0, 5, -1, 9, 6})
        f.commands.removeColumn(row);
    QCOMPARE((QStringList{f.t.columns.caption(6), f.t.columns.caption(7)}),
             (QStringList{u"<c6>a>b"_s, u"<c7><c9>x"_s}));
    QCOMPARE(f.t.files.row(1).mid(6), QStringList({u"7"_s, u"8"_s}));

    const QString refused = u"ソフトが必要としているカラムですので削除はできません"_s;
    QCOMPARE(f.dialogs.texts(), QStringList({u"すでに登録されています"_s,
                                             u"新規を追加してから行ってください"_s, refused, refused}));
}

void TestFileListCommands::rowCommands()
{
    Fixture f;
    f.t.files.appendRows(
        {{u"b"_s, {}, u"9"_s}, {u"c"_s, {}, u"1"_s}, {u"a"_s, {}, u"10"_s}, {u"d"_s, {}, {}}});
    // Ascending, the same header again flips, another keeps the order; as texts, "10" before "9".
    const auto shown = [&f]() -> QString { return f.column(0).join(u' ') + u'|' + f.column(1).join(u' '); };
    const std::pair<int, QString> steps[] = {{1, u"a b c d"_s}, {1, u"d c b a"_s}, {3, u"b a c d"_s},
                                             {3, u"d c a b"_s}, {1, u"a b c d"_s}, {0, u"a b c d"_s},
                                             {7, u"a b c d"_s}};
    for (const auto& [header, order] : steps) {
        f.commands.sortByHeader(header);
        QCOMPARE(shown(), order + u"|1 2 3 4"_s);
    }
    // Dropped after a sort, "always append" being on, rows go to the end and are numbered on.
    f.commands.takeDroppedFiles({u"/z/e"_s}, {});
    QCOMPARE(shown(), u"a b c d |1 2 3 4 5"_s);
    // Duplicates and strays in a selection are ignored; the rest go, renumbered.
    f.commands.removeRows({3, 0, 0, -1, 5});
    QCOMPARE(shown(), u"b c |1 2 3"_s);
    f.commands.removeAllRows();
    QCOMPARE(f.t.files.count(), 0);
}

void TestFileListCommands::columnFill_data()
{
    QTest::addColumn<int>("mode"); // ColumnFill::Mode
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("expected"); // <c6> of rows 0..4
    const int sequence = ColumnFill::Sequence, clear = ColumnFill::Clear, text = ColumnFill::Text;
    QTest::addRow("empty boxes count as 0")
        << sequence << QList<int>{0, 2} << QString() << QString() << u"0,old,0,old,old"_s;
    QTest::addRow("no wrap at 64 bits")
        << sequence << QList<int>{0, 1, 2} << u"9223372036854775806"_s << u"99999999999999999999"_s
        << u"9223372036854775806,9223372036854775807,9223372036854775807,old,old"_s;
    QTest::addRow("negative start, list order, duplicates and strays")
        << sequence << QList<int>{2, 1, 1, -1, 7} << u"-1"_s << u"1"_s << u"old,-1,0,old,old"_s;
    QTest::addRow("clear") << clear << QList<int>{1, 3} << u"1"_s << u"1"_s << u"old,,old,,old"_s;
    QTest::addRow("text") << text << QList<int>{4} << u"1"_s << u"1"_s << u"old,old,old,old, 値 "_s;
}

void TestFileListCommands::columnFill()
{
    QFETCH(int, mode);
    QFETCH(QList<int>, selected);
    QFETCH(QString, start);
    QFETCH(QString, step);
    QFETCH(QString, expected);
    Fixture f; // five rows with "old" in the user columns <c6> and <c7>
    f.t.addColumn(u"A"_s);
    f.t.addColumn(u"B"_s);
    f.t.files.appendRows(std::vector<FileList::Row>(5, {{}, {}, {}, {}, {}, {}, u"old"_s, u"old"_s}));
    ColumnFill::fill(f.t.files, {mode, 0, std::vector<int>(selected.begin(), selected.end()), u"/data/in"_s,
                                 u" 値 "_s, start, step});
    QCOMPARE(f.column(6).join(u','), expected);
    QCOMPARE(f.column(7), QStringList(5, u"old"_s));
}

QTEST_GUILESS_MAIN(TestFileListCommands)
#include "tst_filelistcommands.moc"
