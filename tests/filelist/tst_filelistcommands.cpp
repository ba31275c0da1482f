#include "Fakes.h"
#include "core/WorkTable.h"
#include "filelist/FileListCommands.h"
#include "filelist/PathParts.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{

// The rows' cells of one column, top to bottom.
QStringList column(const FileList& files, int c)
{
    QStringList out;
    for (int r = 0; r < files.count(); ++r)
        out.append(files.cell(r, c));
    return out;
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// A list of `n` rows whose full path (<c5>) is "/old/<k>".
void fill(WorkTable& t, int n)
{
    std::vector<FileList::Row> rows;
    for (int k = 1; k <= n; ++k)
        rows.push_back(
            {QString(), QString(), QString(), QString(), QString(), u"/old/"_s + QString::number(k)});
    t.files.appendRows(std::move(rows));
    t.files.renumberCount();
}

} // namespace

class TestFileListCommands : public QObject
{
    Q_OBJECT
private slots:
    void splitPath_data();
    void splitPath();
    void dropAppendsOrReplaces_data();
    void dropAppendsOrReplaces();
    void dropSkipsByAttributes_data();
    void dropSkipsByAttributes();
    void dropReadsRealAttributes();
    void dropFillsFixedColumnsAndRenumbersAll();
    void filter_data();
    void filter();
    void deleteSelectedRowsRenumbers_data();
    void deleteSelectedRowsRenumbers();
    void commandsOnEmptyList();
    void addExtension_data();
    void addExtension();
    void deleteExtension_data();
    void deleteExtension();
    void popUpRules();
    void fillDialogOpeningRule_data();
    void fillDialogOpeningRule();
    void addColumn();
    void deleteColumn_data();
    void deleteColumn();
    void deleteColumnKeepsNamesWithAngleBracket();
    void sortFlipsAndCarriesOver();
    void sortComparesText_data();
    void sortComparesText();
    void sortIsStableAndCarriesSelection();
    void dropAfterSortAppendsAtEnd();
    void modelStaysConsistent();
};

void TestFileListCommands::splitPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("parent");
    const QChar win = u'\\';
    const QChar nix = u'/';
    QTest::addRow("win two dots") << u"C:\\data\\photo.01.jpg"_s << win << u"photo.01"_s << u"jpg"_s
                                  << u"C:\\data"_s;
    QTest::addRow("win no extension") << u"C:\\readme"_s << win << u"readme"_s << QString() << u"C:"_s;
    QTest::addRow("win dot file") << u"D:\\work\\.profile"_s << win << QString() << u"profile"_s
                                  << u"D:\\work"_s;
    QTest::addRow("win trailing dot") << u"C:\\a\\b."_s << win << u"b"_s << QString() << u"C:\\a"_s;
    QTest::addRow("win unc") << u"\\\\server\\share\\x.txt"_s << win << u"x"_s << u"txt"_s
                             << u"\\\\server\\share"_s;
    QTest::addRow("win drive root") << u"C:\\x.txt"_s << win << u"x"_s << u"txt"_s << u"C:"_s;
    QTest::addRow("win dot in folder only")
        << u"C:\\v1.2\\notes"_s << win << u"notes"_s << QString() << u"C:\\v1.2"_s;
    QTest::addRow("win slash is no separator") << u"C:\\a/b.txt"_s << win << u"a/b"_s << u"txt"_s << u"C:"_s;
    QTest::addRow("nix two dots") << u"/data/photo.01.jpg"_s << nix << u"photo.01"_s << u"jpg"_s
                                  << u"/data"_s;
    QTest::addRow("nix root file") << u"/readme"_s << nix << u"readme"_s << QString() << QString();
    QTest::addRow("nix dot file") << u"/work/.profile"_s << nix << QString() << u"profile"_s << u"/work"_s;
    QTest::addRow("nix trailing dot") << u"/a/b."_s << nix << u"b"_s << QString() << u"/a"_s;
    QTest::addRow("nix double slash")
        << u"//server/share/x.txt"_s << nix << u"x"_s << u"txt"_s << u"//server/share"_s;
    QTest::addRow("nix backslash in name") << u"/a/b\\c.txt"_s << nix << u"b\\c"_s << u"txt"_s << u"/a"_s;
    QTest::addRow("no separator") << u"x.tar.gz"_s << nix << u"x.tar"_s << u"gz"_s << QString();
    QTest::addRow("empty") << QString() << nix << QString() << QString() << QString();
    QTest::addRow("trailing separator") << u"/a/b/"_s << nix << QString() << QString() << u"/a/b"_s;
}

void TestFileListCommands::splitPath()
{
    QFETCH(QString, path);
    QFETCH(QChar, separator);
    QFETCH(QString, name);
    QFETCH(QString, extension);
    QFETCH(QString, parent);
    const PathParts parts = ::splitPath(path, separator);
    QCOMPARE(parts.name, name);
    QCOMPARE(parts.extension, extension);
    QCOMPARE(parts.parent, parent);
}

void TestFileListCommands::dropAppendsOrReplaces_data()
{
    QTest::addColumn<int>("check1");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("appends");
    for (int m = 0; m < 8; ++m)
        QTest::addRow("check1 on, keys %d", m) << 1 << m << true;
    QTest::addRow("check1 off, no key") << 0 << 0 << false;
    QTest::addRow("check1 off, shift") << 0 << 1 << true;
    QTest::addRow("check1 off, ctrl") << 0 << 2 << true;
    QTest::addRow("check1 off, shift+ctrl") << 0 << 3 << false;
    QTest::addRow("check1 off, alt") << 0 << 4 << false;
    QTest::addRow("check1 off, shift+alt") << 0 << 5 << false;
    QTest::addRow("check1 off, ctrl+alt") << 0 << 6 << false;
    QTest::addRow("check1 off, all three") << 0 << 7 << false;
}

void TestFileListCommands::dropAppendsOrReplaces()
{
    QFETCH(int, check1);
    QFETCH(int, modifiers);
    QFETCH(bool, appends);
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    t.settings.check1 = check1;
    fill(t, 3);

    const QString dropped = native(u"/new/a.txt"_s);
    commands.ListView1_OLEDragDrop({dropped}, modifiers);
    QCOMPARE(t.files.count(), appends ? 4 : 1);
    QCOMPARE(t.files.cell(t.files.count() - 1, 5), dropped);

    // A replacing drop clears the list even when it takes nothing.
    fs.attrs.insert(dropped, FileSystem::Directory);
    commands.ListView1_OLEDragDrop({dropped}, modifiers);
    QCOMPARE(t.files.count(), appends ? 4 : 0);
}

void TestFileListCommands::dropSkipsByAttributes_data()
{
    QTest::addColumn<int>("attributes");
    QTest::addColumn<bool>("taken");
    QTest::addRow("none") << 0 << true;
    QTest::addRow("read-only") << 1 << true;
    QTest::addRow("hidden only") << 2 << false;
    QTest::addRow("system") << 4 << true;
    QTest::addRow("folder only") << 16 << false;
    QTest::addRow("read-only folder") << 17 << true;
    QTest::addRow("hidden folder") << 18 << true;
    QTest::addRow("archive") << 32 << true;
    QTest::addRow("hidden archive") << 34 << true;
    QTest::addRow("archive folder") << 48 << true;
    QTest::addRow("unreadable") << -1 << false;
}

void TestFileListCommands::dropSkipsByAttributes()
{
    QFETCH(int, attributes);
    QFETCH(bool, taken);
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    const QString path = native(u"/d/entry.bin"_s);
    fs.attrs.insert(path, attributes);
    commands.ListView1_OLEDragDrop({path, native(u"/d/plain.txt"_s)}, 0);
    QCOMPARE(t.files.count(), taken ? 2 : 1);
    QCOMPARE(t.files.cell(0, 5) == path, taken);
}

void TestFileListCommands::dropReadsRealAttributes()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString base = dir.path();
    QVERIFY(QDir(base).mkdir(u"folder"_s));
    QVERIFY(QDir(base).mkdir(u".dotfolder"_s));
    for (const QString& name : {u"file.txt"_s, u".dotfile"_s}) {
        QFile f(base + u'/' + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    WorkTable t;
    FakeDialogs dialogs;
    RealFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    const auto p = [&base](const QString& name) { return native(base + u'/' + name); };
    commands.ListView1_OLEDragDrop(
        {p(u"folder"_s), p(u"file.txt"_s), p(u".dotfile"_s), p(u".dotfolder"_s), p(u"vanished"_s)}, 0);
    // A plain folder and a vanished path are left out; a dot file and a dot folder carry further bits.
    QCOMPARE(column(t.files, 5), QStringList({p(u"file.txt"_s), p(u".dotfile"_s), p(u".dotfolder"_s)}));
    QCOMPARE(column(t.files, 3), QStringList({u"txt"_s, u"dotfile"_s, u"dotfolder"_s}));
    QCOMPARE(column(t.files, 4), QStringList({native(base), native(base), native(base)}));
}

void TestFileListCommands::dropFillsFixedColumnsAndRenumbersAll()
{
    WorkTable t;
    t.addColumn(u"メモ"_s);
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    t.settings.check1 = 0;
    fill(t, 9);
    t.files.setCell(0, 0, u"kept"_s);
    const QString path = native(u"/data/photo.01.jpg"_s);
    commands.ListView1_OLEDragDrop({path}, FileListCommands::Ctrl);
    QCOMPARE(t.files.count(), 10);
    QCOMPARE(t.files.row(9), FileList::Row({QString(), u"10"_s, u"photo.01"_s, u"jpg"_s, native(u"/data"_s),
                                            path, QString()}));
    QCOMPARE(column(t.files, 1).first(), u"01"_s);
    QCOMPARE(t.files.cell(0, 0), u"kept"_s);

    // The same file twice gives two rows.
    commands.ListView1_OLEDragDrop({path, path}, 0);
    QCOMPARE(column(t.files, 1), QStringList({u"1"_s, u"2"_s}));
}

void TestFileListCommands::filter_data()
{
    QTest::addColumn<QStringList>("entries"); // a leading "+" marks a checked entry
    QTest::addColumn<QStringList>("taken");
    const QStringList names{u"a.jpg"_s,    u"b.JPG"_s,   u"c.jpeg"_s, u"d"_s,
                            u"e.tar.gz"_s, u"f.targz"_s, u"g."_s};
    QTest::addRow("jpg checked") << QStringList{u"+jpg"_s} << QStringList{u"a.jpg"_s};
    QTest::addRow("jpg unchecked") << QStringList{u"jpg"_s} << QStringList{};
    QTest::addRow("no entries") << QStringList{} << QStringList{};
    QTest::addRow("case differs") << QStringList{u"+JPG"_s} << QStringList{u"b.JPG"_s};
    QTest::addRow("empty entry takes no extension") << QStringList{u"+"_s} << QStringList{u"d"_s, u"g."_s};
    QTest::addRow("dots removed on add") << QStringList{u"+targz"_s} << QStringList{u"f.targz"_s};
    QTest::addRow("unchecked duplicate first")
        << QStringList{u"gz"_s, u"+gz"_s} << QStringList{u"e.tar.gz"_s};
    QTest::addRow("several") << QStringList{u"+jpeg"_s, u"+jpg"_s, u"png"_s}
                             << QStringList{u"a.jpg"_s, u"c.jpeg"_s};
    QTest::addRow("filter off") << QStringList{u"off"_s} << names;
}

void TestFileListCommands::filter()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, taken);
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    if (entries != QStringList{u"off"_s}) {
        t.filter.setMode(OptionGroup{1});
        for (const QString& e : std::as_const(entries))
            t.filter.append(e.startsWith(u'+') ? e.mid(1) : e, e.startsWith(u'+'));
    }
    QStringList paths;
    for (const QString& n :
         {u"a.jpg"_s, u"b.JPG"_s, u"c.jpeg"_s, u"d"_s, u"e.tar.gz"_s, u"f.targz"_s, u"g."_s})
        paths.append(native(u"/p/"_s + n));
    // A replacing drop: the list afterwards holds exactly what the filter took.
    t.settings.check1 = 0;
    fill(t, 2);
    commands.ListView1_OLEDragDrop(paths, 0);
    QStringList expected;
    for (const QString& n : std::as_const(taken))
        expected.append(native(u"/p/"_s + n));
    QCOMPARE(column(t.files, 5), expected);
}

void TestFileListCommands::deleteSelectedRowsRenumbers_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("left"); // the 1-based numbers of the rows left, in order
    QTest::addRow("rows 2 and 3 of 10") << 10 << QList<int>{2, 1} << QList<int>{1, 4, 5, 6, 7, 8, 9, 10};
    QTest::addRow("none") << 3 << QList<int>{} << QList<int>{1, 2, 3};
    QTest::addRow("duplicates and strays") << 3 << QList<int>{0, 0, -1, 3} << QList<int>{2, 3};
    QList<int> even;
    QList<int> odd;
    for (int r = 0; r < 100; ++r)
        (r % 2 ? odd : even).append(r);
    QList<int> oddNumbers;
    for (int r : odd)
        oddNumbers.append(r + 1);
    // Fifty blocks: removed in one pass.
    QTest::addRow("every other of 100") << 100 << even << oddNumbers;
    QTest::addRow("all of 100") << 100 << (even + odd) << QList<int>{};
}

void TestFileListCommands::deleteSelectedRowsRenumbers()
{
    QFETCH(int, rows);
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, left);
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    fill(t, rows);
    commands.Pulldown_list_SelectDell_Click(std::vector<int>(selected.begin(), selected.end()));
    QStringList paths;
    QStringList counts;
    for (int k = 0; k < left.size(); ++k) {
        paths.append(u"/old/"_s + QString::number(left[k]));
        counts.append(QString::number(k + 1).rightJustified(int(QString::number(left.size()).size()), u'0'));
    }
    QCOMPARE(column(t.files, 5), paths);
    QCOMPARE(column(t.files, 1), counts);
}

void TestFileListCommands::commandsOnEmptyList()
{
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    commands.Pulldown_list_SelectDell_Click({0});
    commands.Pulldown_list_AllDel_Click();
    commands.ListView1_ColumnClick(1);
    QCOMPARE(t.files.count(), 0);
    QVERIFY(dialogs.shown.isEmpty());
}

void TestFileListCommands::addExtension_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("messages");
    QTest::addRow("dot removed") << QStringList{u".JPG"_s} << QStringList{u"JPG"_s} << 0;
    QTest::addRow("case-sensitive") << QStringList{u".JPG"_s, u"jpg"_s} << QStringList{u"JPG"_s, u"jpg"_s}
                                    << 0;
    QTest::addRow("duplicate") << QStringList{u".JPG"_s, u"jpg"_s, u"JPG"_s}
                               << QStringList{u"JPG"_s, u"jpg"_s} << 1;
    QTest::addRow("every dot") << QStringList{u"tar.gz"_s} << QStringList{u"targz"_s} << 0;
    QTest::addRow("dots only") << QStringList{u".."_s} << QStringList{QString()} << 0;
    QTest::addRow("blanks kept") << QStringList{u" jpg "_s} << QStringList{u" jpg "_s} << 0;
    QTest::addRow("cancel") << QStringList{QString()} << QStringList{} << 0;
}

void TestFileListCommands::addExtension()
{
    QFETCH(QStringList, answers);
    QFETCH(QStringList, entries);
    QFETCH(int, messages);
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    for (const QString& a : std::as_const(answers)) {
        dialogs.inputs.push_back(a);
        commands.Pulldown_kakuchosi_tuika_Click();
    }
    QStringList got;
    for (int i = 0; i < t.filter.count(); ++i) {
        got.append(t.filter.item(i).text);
        QVERIFY(!t.filter.item(i).checked);
    }
    QCOMPARE(got, entries);
    QCOMPARE(dialogs.prompts.first(), u"拡張子を登録してください"_s);
    QCOMPARE(dialogs.shown.size(), messages);
    if (messages > 0) {
        QCOMPARE(dialogs.shown.first().text, u"すでに登録されています"_s);
        QCOMPARE(dialogs.shown.first().title, u"Lomvato"_s);
    }
}

void TestFileListCommands::deleteExtension_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("left");
    QTest::addRow("first") << 0 << QStringList{u"b"_s, u"c"_s};
    QTest::addRow("last") << 2 << QStringList{u"a"_s, u"b"_s};
    QTest::addRow("none current") << -1 << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::addRow("past the end") << 3 << QStringList{u"a"_s, u"b"_s, u"c"_s};
}

void TestFileListCommands::deleteExtension()
{
    QFETCH(int, current);
    QFETCH(QStringList, left);
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    t.filter.append(u"a"_s, true);
    t.filter.append(u"b"_s);
    t.filter.append(u"c"_s, true);
    commands.Pulldown_kakuchosi_del_Click(current);
    QStringList got;
    for (int i = 0; i < t.filter.count(); ++i)
        got.append(t.filter.item(i).text);
    QCOMPARE(got, left);
}

void TestFileListCommands::popUpRules()
{
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    QVERIFY(!commands.ListView1_MouseDown(Qt::RightButton));
    fill(t, 1);
    QVERIFY(commands.ListView1_MouseDown(Qt::RightButton));
    QVERIFY(!commands.ListView1_MouseDown(Qt::LeftButton));

    // With the filter off List1 is disabled and opens no menu; entries do not matter.
    QVERIFY(!commands.List1_MouseDown(Qt::RightButton));
    t.filter.setMode(OptionGroup{1});
    t.filter.applyModeToList();
    QVERIFY(commands.List1_MouseDown(Qt::RightButton));
    QVERIFY(!commands.List1_MouseDown(Qt::MiddleButton));

    QVERIFY(commands.ListView3_MouseDown(Qt::RightButton));
    QVERIFY(!commands.ListView3_MouseDown(Qt::LeftButton));
}

void TestFileListCommands::fillDialogOpeningRule_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("userColumn");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("message");
    QTest::addRow("empty list, user column") << 0 << true << false << false;
    QTest::addRow("empty list, fixed columns") << 0 << false << false << false;
    QTest::addRow("rows, fixed columns only") << 2 << false << false << true;
    QTest::addRow("rows and user column") << 2 << true << true << false;
}

void TestFileListCommands::fillDialogOpeningRule()
{
    QFETCH(int, rows);
    QFETCH(bool, userColumn);
    QFETCH(bool, opens);
    QFETCH(bool, message);
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    if (userColumn)
        t.addColumn(u"メモ"_s);
    fill(t, rows);
    QCOMPARE(commands.Pulldown_list_mozi_Click(), opens);
    QCOMPARE(dialogs.shown.size(), message ? 1 : 0);
    if (message)
        QCOMPARE(dialogs.shown.first().text, u"新規を追加してから行ってください"_s);
}

void TestFileListCommands::addColumn()
{
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    fill(t, 2);
    dialogs.inputs = {u"メモ"_s, QString(), u" a|b "_s};
    commands.Pulldown_ColumnTool_tuika_Click();
    commands.Pulldown_ColumnTool_tuika_Click();
    commands.Pulldown_ColumnTool_tuika_Click();
    QCOMPARE(dialogs.prompts.first(), u"カラム名を入力してください"_s);
    QCOMPARE(t.columns.count(), 8);
    QCOMPARE(t.files.headerData(6, Qt::Horizontal).toString(), u"<c6>メモ"_s);
    QCOMPARE(t.columns.data(t.columns.index(6, 0)).toString(), u"<c6>"_s);
    QCOMPARE(t.columns.data(t.columns.index(6, 1)).toString(), u"メモ"_s);
    QCOMPARE(t.columns.caption(7), u"<c7> a|b "_s);
    QCOMPARE(t.files.row(1).size(), 8);
    QCOMPARE(t.files.cell(1, 7), QString());
}

void TestFileListCommands::deleteColumn_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("names"); // names of <c6> on, afterwards
    QTest::addColumn<bool>("refused");
    QTest::addRow("first fixed") << 0 << QStringList{u"A"_s, u"B"_s, u"C"_s} << true;
    QTest::addRow("last fixed") << 5 << QStringList{u"A"_s, u"B"_s, u"C"_s} << true;
    QTest::addRow("none selected") << -1 << QStringList{u"A"_s, u"B"_s, u"C"_s} << false;
    QTest::addRow("first user") << 6 << QStringList{u"B"_s, u"C"_s} << false;
    QTest::addRow("middle user") << 7 << QStringList{u"A"_s, u"C"_s} << false;
    QTest::addRow("last user") << 8 << QStringList{u"A"_s, u"B"_s} << false;
}

void TestFileListCommands::deleteColumn()
{
    QFETCH(int, selected);
    QFETCH(QStringList, names);
    QFETCH(bool, refused);
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    fill(t, 2);
    for (const QString& n : {u"A"_s, u"B"_s, u"C"_s})
        t.addColumn(n);
    for (int r = 0; r < 2; ++r) {
        for (int c = 6; c < 9; ++c)
            t.files.setCell(r, c, t.columns.column(c).name + QString::number(r));
    }
    commands.Pulldown_ColumnTool_sakuzyo_Click(selected);

    QCOMPARE(dialogs.shown.size(), refused ? 1 : 0);
    if (refused)
        QCOMPARE(dialogs.shown.first().text, u"ソフトが必要としているカラムですので削除はできません"_s);
    QCOMPARE(t.columns.count(), 6 + names.size());
    QCOMPARE(t.files.cellCount(), t.columns.count());
    for (int i = 0; i < t.columns.count(); ++i) {
        QCOMPARE(t.columns.column(i).keyText, ColumnSet::keyFor(i));
        QCOMPARE(t.files.headerData(i, Qt::Horizontal).toString().section(u'>', 0, 0) + u'>',
                 ColumnSet::keyFor(i));
    }
    for (int k = 0; k < names.size(); ++k) {
        QCOMPARE(t.columns.column(6 + k).name, names[k]);
        // Cells move with their columns.
        QCOMPARE(t.files.cell(1, 6 + k), names[k] + u'1');
    }
    QCOMPARE(t.files.cell(0, 5), u"/old/1"_s);
}

void TestFileListCommands::deleteColumnKeepsNamesWithAngleBracket()
{
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    dialogs.inputs = {u"A"_s, u"a>b"_s, u"<c9>x"_s};
    for (int i = 0; i < 3; ++i)
        commands.Pulldown_ColumnTool_tuika_Click();
    QCOMPARE(t.columns.caption(7), u"<c7>a>b"_s);
    commands.Pulldown_ColumnTool_sakuzyo_Click(6);
    QCOMPARE(t.files.headerData(6, Qt::Horizontal).toString(), u"<c6>a>b"_s);
    // The old key is cut at its first ">": a name that itself looks like a key survives whole.
    QCOMPARE(t.files.headerData(7, Qt::Horizontal).toString(), u"<c7><c9>x"_s);
    QCOMPARE(t.columns.data(t.columns.index(7, 0)).toString(), u"<c7>"_s);
}

void TestFileListCommands::sortFlipsAndCarriesOver()
{
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    t.files.appendRows(
        {{u"b"_s, QString(), u"x"_s}, {u"c"_s, QString(), u"z"_s}, {u"a"_s, QString(), u"y"_s}});
    QCOMPARE(commands.lastSortColumn(), 0);

    struct Step {
        int header;
        QStringList c0;
    };
    // First click ascending, same header flips, another header keeps the order the last one had.
    const Step steps[] = {
        {1, {u"a"_s, u"b"_s, u"c"_s}}, {1, {u"c"_s, u"b"_s, u"a"_s}}, {1, {u"a"_s, u"b"_s, u"c"_s}},
        {1, {u"c"_s, u"b"_s, u"a"_s}}, {3, {u"c"_s, u"a"_s, u"b"_s}}, {3, {u"b"_s, u"a"_s, u"c"_s}},
        {1, {u"a"_s, u"b"_s, u"c"_s}},
    };
    for (const Step& s : steps) {
        commands.ListView1_ColumnClick(s.header);
        QCOMPARE(column(t.files, 0), s.c0);
        QCOMPARE(column(t.files, 1), QStringList({u"1"_s, u"2"_s, u"3"_s}));
        QCOMPARE(commands.lastSortColumn(), s.header);
    }
    // Headers that do not exist change nothing.
    commands.ListView1_ColumnClick(0);
    commands.ListView1_ColumnClick(7);
    QCOMPARE(commands.lastSortColumn(), 1);
    QCOMPARE(column(t.files, 0), QStringList({u"a"_s, u"b"_s, u"c"_s}));
}

void TestFileListCommands::sortComparesText_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("sorted");
    QTest::addRow("numbers as text") << QStringList{u"9"_s, u"10"_s, u"1"_s}
                                     << QStringList{u"1"_s, u"10"_s, u"9"_s};
    QTest::addRow("padded") << QStringList{u"09"_s, u"10"_s, u"01"_s}
                            << QStringList{u"01"_s, u"09"_s, u"10"_s};
    QTest::addRow("negative") << QStringList{u"5"_s, u"-1"_s, u"15"_s}
                              << QStringList{u"-1"_s, u"15"_s, u"5"_s};
    QTest::addRow("empty first") << QStringList{u"b"_s, QString(), u"a"_s}
                                 << QStringList{QString(), u"a"_s, u"b"_s};
}

void TestFileListCommands::sortComparesText()
{
    QFETCH(QStringList, texts);
    QFETCH(QStringList, sorted);
    WorkTable t;
    t.addColumn(u"n"_s);
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    fill(t, static_cast<int>(texts.size()));
    for (int r = 0; r < texts.size(); ++r)
        t.files.setCell(r, 6, texts[r]);
    commands.ListView1_ColumnClick(7);
    QCOMPARE(column(t.files, 6), sorted);
}

void TestFileListCommands::sortIsStableAndCarriesSelection()
{
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    fill(t, 4);
    t.files.setCell(0, 0, u"b"_s);
    t.files.setCell(1, 0, u"a"_s);
    t.files.setCell(2, 0, u"b"_s);
    t.files.setCell(3, 0, u"a"_s);
    const QPersistentModelIndex tracked(t.files.index(2, 0));
    commands.ListView1_ColumnClick(1);
    QCOMPARE(column(t.files, 5), QStringList({u"/old/2"_s, u"/old/4"_s, u"/old/1"_s, u"/old/3"_s}));
    QCOMPARE(tracked.row(), 3);
    commands.ListView1_ColumnClick(1);
    QCOMPARE(column(t.files, 5), QStringList({u"/old/1"_s, u"/old/3"_s, u"/old/2"_s, u"/old/4"_s}));
    QCOMPARE(tracked.row(), 1);
}

void TestFileListCommands::dropAfterSortAppendsAtEnd()
{
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    fill(t, 9);
    commands.ListView1_ColumnClick(6);
    commands.ListView1_ColumnClick(6);
    QCOMPARE(t.files.cell(0, 5), u"/old/9"_s);
    const QString dropped = native(u"/old/5"_s);
    commands.ListView1_OLEDragDrop({dropped}, 0);
    QCOMPARE(t.files.count(), 10);
    QCOMPARE(t.files.cell(9, 5), dropped);
    QCOMPARE(t.files.cell(0, 5), u"/old/9"_s);
    QCOMPARE(column(t.files, 1).first(), u"01"_s);
    QCOMPARE(column(t.files, 1).last(), u"10"_s);
}

void TestFileListCommands::modelStaysConsistent()
{
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    QAbstractItemModelTester tester(&t.files, QAbstractItemModelTester::FailureReportingMode::QtTest);
    t.settings.check1 = 0;
    QStringList paths;
    // Enough rows that deleting every other one takes the file list's single-reset path.
    for (int i = 0; i < 70; ++i)
        paths.append(native(u"/m/f"_s + QString::number(70 - i) + u".txt"_s));
    commands.ListView1_OLEDragDrop(paths, 0);
    commands.ListView1_OLEDragDrop(paths.mid(0, 5), FileListCommands::Shift);
    commands.ListView1_ColumnClick(3);
    commands.ListView1_ColumnClick(3);
    std::vector<int> everyOther;
    for (int r = 0; r < t.files.count(); r += 2)
        everyOther.push_back(r);
    commands.Pulldown_list_SelectDell_Click(everyOther);
    QCOMPARE(t.files.count(), 37);
    QCOMPARE(t.files.cell(36, 1), u"37"_s);
    commands.ListView1_OLEDragDrop(paths.mid(0, 3), 0);
    QCOMPARE(t.files.count(), 3);
    commands.Pulldown_list_AllDel_Click();
    QCOMPARE(t.files.count(), 0);
}

QTEST_GUILESS_MAIN(TestFileListCommands)
#include "tst_filelistcommands.moc"
