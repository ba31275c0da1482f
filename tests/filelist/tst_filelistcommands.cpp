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

struct Fixture {
    WorkTable t;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    FileListCommands commands{t, dialogs, fs};

    // Appends `n` rows whose <c5> is "/old/<k>".
    void rows(int n)
    {
        std::vector<FileList::Row> rows;
        for (int k = 1; k <= n; ++k)
            rows.push_back({{}, {}, {}, {}, {}, u"/old/"_s + QString::number(k)});
        t.files.appendRows(std::move(rows));
        t.files.renumberCount();
    }
    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 0; r < t.files.count(); ++r)
            out.append(t.files.cell(r, c));
        return out;
    }
};

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
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
    void filter_data();
    void filter();
    void deleteSelectedRows_data();
    void deleteSelectedRows();
    void extensionEntries();
    void fillDialogOpens();
    void columnTools();
    void sortFlipsAndCarriesOver();
    void dropAfterSortAppendsAtEnd();
    void modelStaysConsistent();
};

void TestFileListCommands::splitPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("parts"); // name|extension|parent
    QTest::addRow("C:\\data\\photo.01.jpg") << u"C:\\data\\photo.01.jpg"_s << u"photo.01|jpg|C:\\data"_s;
    QTest::addRow("C:\\readme") << u"C:\\readme"_s << u"readme||C:"_s;
    QTest::addRow("D:\\work\\.profile") << u"D:\\work\\.profile"_s << u"|profile|D:\\work"_s;
    QTest::addRow("C:\\a\\b.") << u"C:\\a\\b."_s << u"b||C:\\a"_s;
    QTest::addRow("unc") << u"\\\\server\\share\\x.txt"_s << u"x|txt|\\\\server\\share"_s;
    QTest::addRow("dot only in folder") << u"C:\\v1.2\\notes"_s << u"notes||C:\\v1.2"_s;
    QTest::addRow("/data/photo.01.jpg") << u"/data/photo.01.jpg"_s << u"photo.01|jpg|/data"_s;
    QTest::addRow("/readme") << u"/readme"_s << u"readme||"_s;
    QTest::addRow("/work/.profile") << u"/work/.profile"_s << u"|profile|/work"_s;
    QTest::addRow("/a/b.") << u"/a/b."_s << u"b||/a"_s;
    QTest::addRow("//server/share/x.txt") << u"//server/share/x.txt"_s << u"x|txt|//server/share"_s;
    QTest::addRow("no separator") << u"x.tar.gz"_s << u"x.tar|gz|"_s;
}

void TestFileListCommands::splitPath()
{
    QFETCH(QString, path);
    QFETCH(QString, parts);
    // The same rule with either separator; the other one is an ordinary character.
    const bool windows = path.contains(u'\\');
    const PathParts p = ::splitPath(path, windows ? u'\\' : u'/');
    QCOMPARE(p.name + u'|' + p.extension + u'|' + p.parent, parts);
    const PathParts other = ::splitPath(path, windows ? u'/' : u'\\');
    QCOMPARE(other.parent, QString());
}

void TestFileListCommands::dropAppendsOrReplaces_data()
{
    QTest::addColumn<int>("check1");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("appends");
    for (int m = 0; m < 8; ++m) {
        QTest::addRow("Check1 on, keys %d", m) << 1 << m << true;
        // Shift alone (1) or Ctrl alone (2) appends; no key, both, or anything with Alt (4) replaces.
        QTest::addRow("Check1 off, keys %d", m) << 0 << m << (m == 1 || m == 2);
    }
}

void TestFileListCommands::dropAppendsOrReplaces()
{
    QFETCH(int, check1);
    QFETCH(int, modifiers);
    QFETCH(bool, appends);
    Fixture f;
    f.t.settings.check1 = check1;
    f.rows(3);
    const QString dropped = native(u"/new/a.txt"_s);
    f.commands.ListView1_OLEDragDrop({dropped}, modifiers);
    QCOMPARE(f.t.files.count(), appends ? 4 : 1);
    QCOMPARE(f.t.files.cell(f.t.files.count() - 1, 5), dropped);
    // A replacing drop clears the list even when it takes nothing.
    f.fs.attrs.insert(dropped, FileSystem::Directory);
    f.commands.ListView1_OLEDragDrop({dropped}, modifiers);
    QCOMPARE(f.t.files.count(), appends ? 4 : 0);
}

void TestFileListCommands::dropSkipsByAttributes_data()
{
    QTest::addColumn<int>("attributes");
    QTest::addColumn<bool>("taken");
    for (int a : {0, 1, 4, 17, 18, 32, 34, 48})
        QTest::addRow("%d", a) << a << true;
    QTest::addRow("hidden only") << 2 << false;
    QTest::addRow("folder only") << 16 << false;
    QTest::addRow("unreadable") << -1 << false;
}

void TestFileListCommands::dropSkipsByAttributes()
{
    QFETCH(int, attributes);
    QFETCH(bool, taken);
    Fixture f;
    f.t.addColumn(u"メモ"_s);
    const QString path = native(u"/data/photo.01.jpg"_s);
    f.fs.attrs.insert(path, attributes);
    f.commands.ListView1_OLEDragDrop({path}, 0);
    QCOMPARE(f.t.files.count(), taken ? 1 : 0);
    if (taken)
        QCOMPARE(f.t.files.row(0),
                 FileList::Row({{}, u"1"_s, u"photo.01"_s, u"jpg"_s, native(u"/data"_s), path, {}}));
}

void TestFileListCommands::dropReadsRealAttributes()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto p = [&dir](const QString& name) { return native(dir.filePath(name)); };
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    QVERIFY(QDir(dir.path()).mkdir(u".dotfolder"_s));
    for (const QString& name : {u"file.txt"_s, u".dotfile"_s}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    WorkTable t;
    FakeDialogs dialogs;
    RealFileSystem fs;
    FileListCommands commands(t, dialogs, fs);
    commands.ListView1_OLEDragDrop(
        {p(u"folder"_s), p(u"file.txt"_s), p(u".dotfile"_s), p(u".dotfolder"_s), p(u"vanished"_s)}, 0);
    // A plain folder and a vanished path are left out; dot names carry the hidden bit on top of another.
    QCOMPARE(t.files.count(), 3);
    QCOMPARE(t.files.cell(0, 5), p(u"file.txt"_s));
    QCOMPARE(t.files.cell(1, 3), u"dotfile"_s);
    QCOMPARE(t.files.cell(2, 3), u"dotfolder"_s);
    QCOMPARE(t.files.cell(2, 4), native(dir.path()));
}

void TestFileListCommands::filter_data()
{
    QTest::addColumn<QStringList>("entries"); // a leading "+" marks a checked entry; null: filter off
    QTest::addColumn<QString>("taken");       // the files taken, of a.jpg b.JPG c.jpeg d e.tar.gz f.targz g.
    QTest::addRow("jpg checked") << QStringList{u"+jpg"_s} << u"a"_s;
    QTest::addRow("jpg unchecked") << QStringList{u"jpg"_s} << QString();
    QTest::addRow("no entries") << QStringList{} << QString();
    QTest::addRow("case differs") << QStringList{u"+JPG"_s} << u"b"_s;
    QTest::addRow("empty entry") << QStringList{u"+"_s} << u"dg"_s;
    QTest::addRow("last extension only") << QStringList{u"+targz"_s, u"+tar"_s} << u"f"_s;
    QTest::addRow("unchecked twin first") << QStringList{u"gz"_s, u"+gz"_s} << u"e"_s;
    QTest::addRow("filter off") << QStringList{u"off"_s} << u"abcdefg"_s;
}

void TestFileListCommands::filter()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, taken);
    Fixture f;
    if (entries != QStringList{u"off"_s}) {
        f.t.filter.setMode(OptionGroup{1});
        for (const QString& e : std::as_const(entries))
            f.t.filter.append(e.startsWith(u'+') ? e.mid(1) : e, e.startsWith(u'+'));
    }
    QStringList paths;
    for (const QString& n :
         {u"a.jpg"_s, u"b.JPG"_s, u"c.jpeg"_s, u"d"_s, u"e.tar.gz"_s, u"f.targz"_s, u"g."_s})
        paths.append(native(u"/p/"_s + n));
    f.t.settings.check1 = 0;
    f.rows(2);
    f.commands.ListView1_OLEDragDrop(paths, 0);
    QString got;
    for (const QString& name : f.column(2))
        got += name.front();
    QCOMPARE(got, taken);
}

void TestFileListCommands::deleteSelectedRows_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("left"); // the 1-based numbers of the rows left, in order
    QTest::addRow("rows 2 and 3 of 10") << 10 << QList<int>{2, 1} << QList<int>{1, 4, 5, 6, 7, 8, 9, 10};
    QTest::addRow("duplicates and strays") << 3 << QList<int>{0, 0, -1, 3} << QList<int>{2, 3};
    QTest::addRow("empty list") << 0 << QList<int>{0} << QList<int>{};
    QList<int> even;
    QList<int> oddNumbers;
    for (int r = 0; r < 100; r += 2) {
        even.append(r);
        oddNumbers.append(r + 2);
    }
    // Fifty separate blocks: the file list removes them in one pass.
    QTest::addRow("every other of 100") << 100 << even << oddNumbers;
}

void TestFileListCommands::deleteSelectedRows()
{
    QFETCH(int, rows);
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, left);
    Fixture f;
    f.rows(rows);
    f.commands.Pulldown_list_SelectDell_Click(std::vector<int>(selected.begin(), selected.end()));
    QStringList paths;
    QStringList counts;
    for (int k = 0; k < left.size(); ++k) {
        paths.append(u"/old/"_s + QString::number(left[k]));
        counts.append(QString::number(k + 1).rightJustified(int(QString::number(left.size()).size()), u'0'));
    }
    QCOMPARE(f.column(5), paths);
    QCOMPARE(f.column(1), counts);
}

void TestFileListCommands::extensionEntries()
{
    Fixture f;
    f.dialogs.inputs = {u".JPG"_s, u"jpg"_s, u"JPG"_s, QString(), u"tar.gz"_s, u".."_s, u" a "_s};
    for (size_t i = 0; i < 7; ++i)
        f.commands.Pulldown_kakuchosi_tuika_Click();
    QCOMPARE(f.dialogs.prompts.first(), u"拡張子を登録してください"_s);
    QCOMPARE(f.dialogs.shown.size(), 1);
    QCOMPARE(f.dialogs.shown.first().text, u"すでに登録されています"_s);
    QCOMPARE(f.dialogs.shown.first().title, u"Lomvato"_s);
    const auto texts = [&f] {
        QStringList out;
        for (int i = 0; i < f.t.filter.count(); ++i)
            out.append(f.t.filter.item(i).text + (f.t.filter.item(i).checked ? u"+"_s : QString()));
        return out;
    };
    QCOMPARE(texts(), QStringList({u"JPG"_s, u"jpg"_s, u"targz"_s, QString(), u" a "_s}));
    f.commands.Pulldown_kakuchosi_del_Click(-1);
    f.commands.Pulldown_kakuchosi_del_Click(5);
    f.commands.Pulldown_kakuchosi_del_Click(1);
    QCOMPARE(texts(), QStringList({u"JPG"_s, u"targz"_s, QString(), u" a "_s}));
}

void TestFileListCommands::fillDialogOpens()
{
    Fixture f;
    f.t.addColumn(u"メモ"_s);
    QVERIFY(!f.commands.Pulldown_list_mozi_Click()); // no rows: nothing at all
    f.rows(1);
    QVERIFY(f.commands.Pulldown_list_mozi_Click());
    QVERIFY(f.dialogs.shown.isEmpty());
    f.t.removeColumn(6);
    QVERIFY(!f.commands.Pulldown_list_mozi_Click());
    QCOMPARE(f.dialogs.shown.size(), 1);
    QCOMPARE(f.dialogs.shown.first().text, u"新規を追加してから行ってください"_s);
}

void TestFileListCommands::columnTools()
{
    Fixture f;
    f.rows(2);
    f.dialogs.inputs = {u"A"_s, QString(), u"a>b"_s, u"<c9>x"_s};
    for (int i = 0; i < 4; ++i)
        f.commands.Pulldown_ColumnTool_tuika_Click();
    QCOMPARE(f.dialogs.prompts.first(), u"カラム名を入力してください"_s);
    QCOMPARE(f.t.columns.count(), 9);
    QCOMPARE(f.t.files.headerData(7, Qt::Horizontal).toString(), u"<c7>a>b"_s);
    for (int c = 6; c < 9; ++c)
        f.t.files.setCell(1, c, QString::number(c));

    // The fixed six are refused, no selection does nothing.
    for (int row : {0, 5, -1, 9})
        f.commands.Pulldown_ColumnTool_sakuzyo_Click(row);
    QCOMPARE(f.dialogs.shown.size(), 2);
    QCOMPARE(f.dialogs.shown.first().text, u"ソフトが必要としているカラムですので削除はできません"_s);
    QCOMPARE(f.t.columns.count(), 9);

    f.commands.Pulldown_ColumnTool_sakuzyo_Click(6);
    // Keys stay consecutive; the old key is cut at its first ">", so a ">" or a key inside a name survives.
    QCOMPARE(f.t.files.headerData(6, Qt::Horizontal).toString(), u"<c6>a>b"_s);
    QCOMPARE(f.t.files.headerData(7, Qt::Horizontal).toString(), u"<c7><c9>x"_s);
    QCOMPARE(f.t.columns.data(f.t.columns.index(7, 0)).toString(), u"<c7>"_s);
    QCOMPARE(f.column(6), QStringList({QString(), u"7"_s}));
    QCOMPARE(f.column(7), QStringList({QString(), u"8"_s}));
}

void TestFileListCommands::sortFlipsAndCarriesOver()
{
    Fixture f;
    f.t.files.appendRows(
        {{u"b"_s, {}, u"9"_s}, {u"c"_s, {}, u"1"_s}, {u"a"_s, {}, u"10"_s}, {u"d"_s, {}, {}}});
    // The first click sorts ascending, the same header again flips, another header keeps the order.
    // Texts compare as texts: "10" comes before "9".
    const std::pair<int, QString> steps[] = {{1, u"abcd"_s}, {1, u"dcba"_s}, {1, u"abcd"_s},
                                             {1, u"dcba"_s}, {3, u"bacd"_s}, {3, u"dcab"_s},
                                             {1, u"abcd"_s}, {0, u"abcd"_s}, {7, u"abcd"_s}};
    for (const auto& [header, order] : steps) {
        f.commands.ListView1_ColumnClick(header);
        QCOMPARE(f.column(0).join(QString()), order);
        QCOMPARE(f.column(1), QStringList({u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    }
    QCOMPARE(f.commands.lastSortColumn(), 1);
}

void TestFileListCommands::dropAfterSortAppendsAtEnd()
{
    Fixture f;
    f.rows(9);
    f.commands.ListView1_ColumnClick(6);
    f.commands.ListView1_ColumnClick(6);
    QCOMPARE(f.t.files.cell(0, 5), u"/old/9"_s);
    const QString dropped = native(u"/old/5"_s);
    f.commands.ListView1_OLEDragDrop({dropped}, 0);
    QCOMPARE(f.t.files.cell(9, 5), dropped);
    QCOMPARE(f.t.files.cell(0, 5), u"/old/9"_s);
    QCOMPARE(f.t.files.cell(0, 1), u"01"_s);
}

void TestFileListCommands::modelStaysConsistent()
{
    Fixture f;
    QAbstractItemModelTester tester(&f.t.files, QAbstractItemModelTester::FailureReportingMode::QtTest);
    f.t.settings.check1 = 0;
    QStringList paths;
    for (int i = 70; i > 0; --i)
        paths.append(native(u"/m/f"_s + QString::number(i) + u".txt"_s));
    f.commands.ListView1_OLEDragDrop(paths, 0);
    f.commands.ListView1_OLEDragDrop(paths.mid(0, 5), FileListCommands::Shift);
    f.commands.ListView1_ColumnClick(3);
    f.commands.ListView1_ColumnClick(3);
    std::vector<int> everyOther;
    for (int r = 0; r < f.t.files.count(); r += 2)
        everyOther.push_back(r);
    f.commands.Pulldown_list_SelectDell_Click(everyOther);
    f.commands.Pulldown_list_SelectDell_Click({0, 1});
    QCOMPARE(f.t.files.count(), 35);
    f.commands.ListView1_OLEDragDrop(paths.mid(0, 3), 0);
    QCOMPARE(f.t.files.count(), 3);
    f.commands.Pulldown_list_AllDel_Click();
    QCOMPARE(f.t.files.count(), 0);
}

QTEST_GUILESS_MAIN(TestFileListCommands)
#include "tst_filelistcommands.moc"
