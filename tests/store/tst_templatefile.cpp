#include "Fakes.h"
#include "core/WorkTable.h"
#include "store/ProgramStore.h"
#include "store/TemplateFile.h"
#include "store/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
QByteArray readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray cp932(const QString& text)
{
    QStringEncoder e("windows-31j");
    return e.encode(text);
}

// The factory file, line for line.
const QStringList factoryLines = {
    u"/check1.Value"_s,
    u"1"_s,
    u"/check2.Value"_s,
    u"1"_s,
    u"/option1.value"_s,
    u"True|False"_s,
    u"/option2.value"_s,
    u"True|False"_s,
    u"/list1.List"_s,
    QString(),
    u"/list1.value"_s,
    QString(),
    u"/listview3.listitems.Text"_s,
    u"<c0>|戻り値"_s,
    u"<c1>|カウント"_s,
    u"<c2>|元ファイル名"_s,
    u"<c3>|拡張子"_s,
    u"<c4>|親パス"_s,
    u"<c5>|フルパス"_s,
    QString(),
    u"/listview3.ColumnHeaders.Width"_s,
    u"450.1418|1440"_s,
    u"/listview1.ColumnHeaders.Position"_s,
    u"1|2|3|4|5|6"_s,
    u"/listview1.ColumnHeaders.Width"_s,
    u"1409.953|1140.095|1530.142|1035.213|1080|1440"_s,
    u"/listview2.listitems.Text"_s,
    QString(),
    u"/listview2.ColumnHeaders.Width"_s,
    u"659.9055|1440|1440|1440"_s,
    u"/listview4.ColumnHeaders.Width"_s,
    u"659.9055|1214.92"_s,
    u"/label6.caption"_s,
    u"32"_s,
};

QString crlfJoined(const QStringList& lines)
{
    QString t;
    for (const QString& l : lines)
        t += l + u"\r\n"_s;
    return t;
}

struct Fixture {
    QTemporaryDir dir;
    WorkTable table;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    TemplateFile file{table, dialogs, fs, dir.path()};
    QString path(const QString& name) const { return dir.filePath(name); }
    QString defaultPath() const { return dir.filePath(u"default.lvt"_s); }
};
} // namespace

class TestTemplateFile : public QObject
{
    Q_OBJECT
private slots:
    void factoryFileByteForByte();
    void factoryTableWrittenBack();
    void freshTableKeepsFractionalWidths();
    void richTableRoundTrip();
    void loadingEmptiesRowsAndBatch();
    void missingApplicationsAreReported();
    void recoveryReplacesDamagedStartupTemplate_data();
    void recoveryReplacesDamagedStartupTemplate();
    void secondFailureGivesUp();
    void openingDamagedTemplateChangesNothing();
    void menuCommands();
    void failedWriteKeepsOldFile();
    void storeAtCloseWritesLogThenTemplate();
    void storeAtCloseReportsAndGoesOn();
    void startupTemplateCopiedFromShipped();
};

void TestTemplateFile::factoryFileByteForByte()
{
    Fixture f;
    QVERIFY(f.file.DefaultOutPut());
    const QByteArray bytes = readBytes(f.defaultPath());
    QCOMPARE(bytes, cp932(crlfJoined(factoryLines)));
    QVERIFY(bytes.contains(QByteArray("<c0>|\x96\xdf\x82\xe8\x92\x6c\r\n"))); // 戻り値 in code page 932
    QVERIFY(bytes.endsWith("\r\n32\r\n"));
    QCOMPARE(bytes.count("\r\n"), 34);
}

void TestTemplateFile::factoryTableWrittenBack()
{
    Fixture f;
    QVERIFY(f.file.DefaultOutPut());
    QCOMPARE(f.file.KankyouInPut(f.defaultPath()), TemplateFile::Outcome::Loaded);
    QVERIFY(f.dialogs.shown.isEmpty());
    QVERIFY(f.file.KankyouOutPut(f.path(u"back.lvt"_s)));

    // Widths come back as the whole twips the lists hold after loading, the batch list gives all four
    // widths, and the file ends with one more empty line.
    QStringList expected = factoryLines;
    expected[21] = u"450|1440"_s;
    expected[25] = u"1410|1140|1530|1035|1080|1440"_s;
    expected[29] = u"660|1440|1440|1440"_s;
    expected[31] = u"660|1215|1440|1440"_s;
    expected.append(QString());
    QCOMPARE(TextCodec::splitLines(TextCodec::decode(readBytes(f.path(u"back.lvt"_s)))), expected);
    QCOMPARE(readBytes(f.path(u"back.lvt"_s)), cp932(crlfJoined(expected)));
}

void TestTemplateFile::freshTableKeepsFractionalWidths()
{
    Fixture f;
    QVERIFY(f.file.KankyouOutPut(f.path(u"fresh.lvt"_s)));
    const QStringList lines = TextCodec::splitLines(TextCodec::decode(readBytes(f.path(u"fresh.lvt"_s))));
    QCOMPARE(lines.size(), 35);
    QCOMPARE(lines[21], u"450.1418|1440"_s);
    QCOMPARE(lines[25], u"1409.953|1140.095|1530.142|1035.213|1080|1440"_s);
    QCOMPARE(lines[31], u"659.9055|1214.92|1440|1440"_s);
}

void TestTemplateFile::richTableRoundTrip()
{
    Fixture f;
    WorkTable& t = f.table;
    t.addColumn(u"メモ|備考"_s);
    t.addColumn(u"출력"_s); // Korean: the file goes out as UTF-8
    t.columns.setWidth(6, 2000.4f);
    t.columns.setPosition(0, 2);
    t.columns.setPosition(1, 1);
    t.columns.setListWidth(0, 500.0f);
    t.apps.appendRow({u"<App1>"_s, u"変換.exe"_s, u"/opt/変換.exe"_s, u"<App1> -i \"<c5>\""_s});
    t.apps.appendRow({u"<App2>"_s, u"b"_s, u"/opt/b"_s, QString()});
    t.apps.setWidth(3, 3000.0f);
    t.batch.setWidth(2, 777.0f);
    t.filter.append(u"jpg"_s, true);
    t.filter.append(u"ＰＮＧ"_s, false);
    t.filter.setMode(OptionGroup{1});
    t.filter.applyModeToList();
    t.settings.check1 = 0;
    t.settings.check2 = 0;
    t.settings.option2 = OptionGroup{1};
    t.settings.option2Enabled = false;
    t.settings.label6 = u"8"_s;
    t.settings.slider1 = 8;
    // A key-list text that differs from its position is kept as stored.
    std::vector<ColumnSet::Column> cols;
    for (int i = 0; i < t.columns.count(); ++i)
        cols.push_back(t.columns.column(i));
    cols[3].keyText = u"<c9>"_s;
    t.columns.resetTo(cols);
    f.fs.files = {u"/opt/変換.exe"_s, u"/opt/b"_s};

    const QString path = f.path(u"rich.lvt"_s);
    QVERIFY(f.file.KankyouOutPut(path));
    QVERIFY(readBytes(path).startsWith("\xEF\xBB\xBF"));

    WorkTable back;
    TemplateFile reader(back, f.dialogs, f.fs, f.dir.path());
    QCOMPARE(reader.KankyouInPut(path), TemplateFile::Outcome::Loaded);
    QVERIFY(f.dialogs.shown.isEmpty());
    QCOMPARE(back.columns.count(), 8);
    QCOMPARE(back.columns.column(6).name, u"メモ|備考"_s);
    QCOMPARE(back.columns.column(7).name, u"출력"_s);
    QCOMPARE(back.columns.column(3).keyText, u"<c9>"_s);
    QCOMPARE(back.columns.caption(3), u"<c3>拡張子"_s); // rebuilt from the row number
    QCOMPARE(back.files.headerData(6, Qt::Horizontal).toString(), u"<c6>メモ|備考"_s);
    QCOMPARE(back.columns.column(6).width, 2000.0f);
    QCOMPARE(back.columns.column(0).position, 2);
    QCOMPARE(back.columns.column(1).position, 1);
    QCOMPARE(back.columns.listWidths()[0], 500.0f);
    QCOMPARE(back.files.cellCount(), 8);
    QCOMPARE(back.apps.count(), 2);
    QCOMPARE(back.apps.rowCells(0), t.apps.rowCells(0));
    QCOMPARE(back.apps.rowCells(1), t.apps.rowCells(1));
    QCOMPARE(back.apps.widths()[3], 3000.0f);
    QCOMPARE(back.batch.widths()[2], 777.0f);
    QCOMPARE(back.filter.count(), 2);
    QCOMPARE(back.filter.item(1).text, u"ＰＮＧ"_s);
    QVERIFY(back.filter.item(0).checked);
    QVERIFY(!back.filter.item(1).checked);
    QVERIFY(back.filter.isOn());
    QVERIFY(back.filter.listEnabled());
    QCOMPARE(back.settings.check1, 0);
    QCOMPARE(back.settings.check2, 0);
    QCOMPARE(back.settings.option2.selected(), 1);
    QVERIFY(!back.settings.option2Enabled);
    QCOMPARE(back.settings.label6, u"8"_s);
    QCOMPARE(back.settings.slider1, 8);

    // Once loaded, widths are whole and the file no longer changes from one round to the next.
    QVERIFY(reader.KankyouOutPut(f.path(u"again.lvt"_s)));
    WorkTable third;
    TemplateFile thirdFile(third, f.dialogs, f.fs, f.dir.path());
    QCOMPARE(thirdFile.KankyouInPut(f.path(u"again.lvt"_s)), TemplateFile::Outcome::Loaded);
    QVERIFY(thirdFile.KankyouOutPut(f.path(u"third.lvt"_s)));
    QCOMPARE(readBytes(f.path(u"third.lvt"_s)), readBytes(f.path(u"again.lvt"_s)));
}

void TestTemplateFile::loadingEmptiesRowsAndBatch()
{
    Fixture f;
    const QString path = f.path(u"t.lvt"_s);
    QVERIFY(f.file.KankyouOutPut(path));
    f.table.files.appendRows({{u""_s, u"1"_s, u"a"_s}});
    f.table.batch.appendRow({u"<App1>"_s, u"a"_s, u"p"_s, u"/a"_s});
    f.table.log.setText(u"kept"_s);
    QCOMPARE(f.file.KankyouInPut(path), TemplateFile::Outcome::Loaded);
    QCOMPARE(f.table.files.count(), 0);
    QCOMPARE(f.table.batch.count(), 0);
    QCOMPARE(f.table.files.cellCount(), 6);
    QCOMPARE(f.table.log.text(), u"kept"_s);
}

void TestTemplateFile::missingApplicationsAreReported()
{
    Fixture f;
    const QString path = f.path(u"apps.lvt"_s);
    // A sample of two lines in a hand-made file: the second line becomes a row of its own.
    writeBytes(path, cp932(u"/listview2.listitems.Text\r\n<App1>|a|/a|first\r\nsecond\r\n<App3>|c|/c\r\n"_s));
    f.fs.files = {u"/a"_s};
    QCOMPARE(f.file.KankyouInPut(path), TemplateFile::Outcome::Loaded);
    QCOMPARE(f.table.apps.count(), 3);
    QCOMPARE(f.table.apps.key(1), u"second"_s);
    QCOMPARE(f.dialogs.shown.size(), 1);
    QCOMPARE(f.dialogs.shown[0].text, u"<App2><App3>\r\n登録されたパスに見あたりません"_s);
    QCOMPARE(f.dialogs.shown[0].title, u"Lomvato"_s);
    QCOMPARE(f.table.stopFlag, 0);
}

void TestTemplateFile::recoveryReplacesDamagedStartupTemplate_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<int>("number");
    QTest::addRow("missing") << QByteArray() << int(StoreError::CannotOpen);
    QTest::addRow("not a number") << QByteArray("/check1.Value\r\nabc\r\n") << int(StoreError::NotANumber);
    QTest::addRow("row without bar") << QByteArray("/listview3.listitems.Text\r\n<c0>\r\n")
                                     << int(StoreError::MissingSeparator);
    QTest::addRow("log limit") << QByteArray("/label6.caption\r\n64\r\n")
                               << int(StoreError::LogLimitOutOfRange);
}

void TestTemplateFile::recoveryReplacesDamagedStartupTemplate()
{
    QFETCH(QByteArray, content);
    QFETCH(int, number);
    Fixture f;
    if (!content.isEmpty())
        writeBytes(f.defaultPath(), content);
    f.table.settings.check1 = 0;
    QCOMPARE(f.file.KankyouInPut(f.defaultPath()), TemplateFile::Outcome::Recovered);
    QCOMPARE(f.dialogs.shown.size(), 1);
    const QString text = f.dialogs.shown[0].text;
    QVERIFY2(text.startsWith(QString::number(number) + u" : "_s), qPrintable(text));
    QVERIFY(text.endsWith(
        u"\r\n初期設定（default.lvt）ファイルが壊れている可能性があります。\r\n出荷時設定で起動します"_s));
    QCOMPARE(text.count(u"\r\n"_s), 2);
    QCOMPARE(f.dialogs.shown[0].title, u"起動時にエラーが発生しました"_s);
    QCOMPARE(f.dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
    QCOMPARE(readBytes(f.defaultPath()), cp932(crlfJoined(factoryLines)));
    QCOMPARE(f.table.stopFlag, 0);
    QCOMPARE(f.table.settings.check1, 1);
    QCOMPARE(f.table.columns.count(), 6);
}

void TestTemplateFile::secondFailureGivesUp()
{
    Fixture f;
    // A damaged file other than default.lvt: the factory template goes to default.lvt, and reading the
    // same damaged file again fails for the second time.
    const QString path = f.path(u"bad.lvt"_s);
    writeBytes(path, "/check2.Value\r\n1|2\r\n");
    f.table.addColumn(u"user"_s);
    QCOMPARE(f.file.KankyouInPut(path), TemplateFile::Outcome::GaveUp);
    QCOMPARE(f.dialogs.shown.size(), 2);
    QCOMPARE(f.dialogs.shown[0].title, u"起動時にエラーが発生しました"_s);
    QCOMPARE(f.dialogs.shown[1].text, u"出荷時設定での起動も失敗しました"_s);
    QCOMPARE(f.dialogs.shown[1].title, u"再インストールしてください"_s);
    QCOMPARE(f.table.stopFlag, -1);
    QVERIFY(QFile::exists(f.defaultPath()));
    QCOMPARE(f.table.columns.count(), 7); // nothing was applied

    // The window then closes; with stopFlag -1 nothing is stored.
    ProgramStore store(f.table, f.dialogs, f.fs, f.dir.path());
    const QByteArray before = readBytes(f.defaultPath());
    QVERIFY(!store.storeAtClose());
    QVERIFY(!QFile::exists(store.logPath()));
    QCOMPARE(readBytes(f.defaultPath()), before);
}

void TestTemplateFile::openingDamagedTemplateChangesNothing()
{
    Fixture f;
    writeBytes(f.defaultPath(), "startup");
    f.table.addColumn(u"user"_s);
    f.table.files.appendRows({{u""_s, u"1"_s}});
    f.table.batch.appendRow({u"<App1>"_s});
    const QString bad = f.path(u"bad.lvt"_s);
    // Good sections before the damage must not take effect either.
    writeBytes(bad, "/check1.Value\r\n0\r\n/listview3.listitems.Text\r\n<c0>|x\r\n/label6.caption\r\n99\r\n");
    QVERIFY(!f.file.openTemplate(bad));
    QCOMPARE(f.dialogs.shown.size(), 1);
    QVERIFY(f.dialogs.shown[0].text.startsWith(u"6 : "_s));
    QVERIFY(f.dialogs.shown[0].text.endsWith(u"\r\nテンプレートファイルを読み込めませんでした"_s));
    QCOMPARE(f.dialogs.shown[0].title, u"Lomvato"_s);
    QCOMPARE(f.table.settings.check1, 1);
    QCOMPARE(f.table.columns.count(), 7);
    QCOMPARE(f.table.files.count(), 1);
    QCOMPARE(f.table.batch.count(), 1);
    QCOMPARE(f.table.stopFlag, 0);
    QCOMPARE(readBytes(f.defaultPath()), QByteArray("startup"));

    QVERIFY(!f.file.openTemplate(f.path(u"absent.lvt"_s)));
    QVERIFY(f.dialogs.shown[1].text.startsWith(u"1 : "_s));
    QCOMPARE(readBytes(f.defaultPath()), QByteArray("startup"));
}

void TestTemplateFile::menuCommands()
{
    Fixture f;
    const QString folder = QDir(f.dir.path()).filePath(u"lvtファイル"_s);
    // Cancelled dialogs do nothing.
    f.file.Pulldown_file_table_save_Click();
    f.file.Pulldown_file_table_open_Click();
    QCOMPARE(f.dialogs.fileFolders, (QStringList{folder, folder}));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());

    const QString path = f.path(u"saved.lvt"_s);
    f.table.addColumn(u"user"_s);
    f.dialogs.files = {path};
    f.file.Pulldown_file_table_save_Click();
    QVERIFY(QFile::exists(path));

    // A failing save is silent.
    f.dialogs.files = {f.path(u"no/such/folder/x.lvt"_s)};
    f.file.Pulldown_file_table_save_Click();
    QVERIFY(f.dialogs.shown.isEmpty());

    f.table.removeColumn(6);
    f.table.batch.appendRow({u"<App1>"_s});
    f.dialogs.files = {path};
    f.file.Pulldown_file_table_open_Click();
    QCOMPARE(f.table.columns.count(), 7);
    QCOMPARE(f.table.batch.count(), 0);
    QVERIFY(f.dialogs.shown.isEmpty());
}

void TestTemplateFile::failedWriteKeepsOldFile()
{
    Fixture f;
    StoreError error;
    QVERIFY(!f.file.KankyouOutPut(f.path(u"missing/x.lvt"_s), &error));
    QCOMPARE(error.number, int(StoreError::CannotWrite));
    QVERIFY(!error.description.isEmpty());

    // A folder in place of the file.
    QVERIFY(QDir(f.dir.path()).mkdir(u"folder.lvt"_s));
    QVERIFY(!f.file.KankyouOutPut(f.path(u"folder.lvt"_s), &error));

    // The file exists, but its replacement fails at the end: a name of 250 characters leaves no room for
    // the temporary name beside it.
    const QString longName = f.path(QString(250, u'a'));
    writeBytes(longName, "old content");
    QVERIFY(!f.file.KankyouOutPut(longName, &error));
    QCOMPARE(readBytes(longName), QByteArray("old content"));

    const QString ro = f.path(u"ro"_s);
    QVERIFY(QDir(f.dir.path()).mkdir(u"ro"_s));
    const QString old = ro + u"/old.lvt"_s;
    writeBytes(old, "old content");
    QFile::setPermissions(ro, QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(ro + u"/probe"_s);
    if (probe.open(QIODevice::WriteOnly)) {
        QFile::setPermissions(ro, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QSKIP("this user may write into read-only folders");
    }
    QVERIFY(!f.file.KankyouOutPut(old, &error));
    QFile::setPermissions(ro, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(readBytes(old), QByteArray("old content"));
}

void TestTemplateFile::storeAtCloseWritesLogThenTemplate()
{
    Fixture f;
    ProgramStore store(f.table, f.dialogs, f.fs, f.dir.path());
    f.table.log.setText(u"ログ"_s);
    f.table.addColumn(u"user"_s);
    QVERIFY(store.storeAtClose());
    QVERIFY(f.dialogs.shown.isEmpty());
    QCOMPARE(readBytes(store.logPath()), cp932(u"ログ\r\n"_s));
    QVERIFY(TextCodec::decode(readBytes(store.templatePath())).contains(u"\r\n<c6>|user\r\n"_s));
}

void TestTemplateFile::storeAtCloseReportsAndGoesOn()
{
    Fixture f;
    ProgramStore store(f.table, f.dialogs, f.fs, f.dir.path());
    writeBytes(store.templatePath(), "before");
    QVERIFY(QDir(f.dir.path()).mkdir(u"log.ini"_s)); // log.ini cannot be written
    QVERIFY(!store.storeAtClose());
    QCOMPARE(f.dialogs.shown.size(), 1);
    const QString text = f.dialogs.shown[0].text;
    QVERIFY2(text.startsWith(u"7 : "_s), qPrintable(text));
    QVERIFY(
        text.endsWith(u"\r\n"_s + QDir::toNativeSeparators(store.logPath()) + u"を保存できませんでした"_s));
    QCOMPARE(f.dialogs.shown[0].title, u"Lomvato"_s);
    // The template is still written.
    QVERIFY(readBytes(store.templatePath()).startsWith("/check1.Value\r\n"));
}

void TestTemplateFile::startupTemplateCopiedFromShipped()
{
    QTemporaryDir exe;
    QTemporaryDir user;
    const QString shipped = exe.filePath(u"default.lvt"_s);
    QVERIFY(TemplateFile::writeFactoryTemplate(shipped));
    QFile::setPermissions(shipped, QFile::ReadOwner | QFile::ReadGroup);

    // Nothing shipped, nothing there.
    QTemporaryDir empty;
    QVERIFY(!ProgramStore::ensureStartupTemplate(user.path(), empty.path()));
    QVERIFY(!QFile::exists(user.filePath(u"default.lvt"_s)));

    QVERIFY(ProgramStore::ensureStartupTemplate(user.path(), exe.path()));
    QCOMPARE(readBytes(user.filePath(u"default.lvt"_s)), readBytes(shipped));
    QVERIFY(QFileInfo(user.filePath(u"default.lvt"_s)).permissions() & QFile::WriteOwner);

    // An existing one is the user's own and stays.
    writeBytes(user.filePath(u"default.lvt"_s), "mine");
    QVERIFY(ProgramStore::ensureStartupTemplate(user.path(), exe.path()));
    QCOMPARE(readBytes(user.filePath(u"default.lvt"_s)), QByteArray("mine"));

    // The program folder is the executable's folder: nothing to copy.
    QVERIFY(ProgramStore::ensureStartupTemplate(exe.path(), exe.path()));

    // Start-up reads the copy.
    QFile::remove(user.filePath(u"default.lvt"_s));
    QVERIFY(ProgramStore::ensureStartupTemplate(user.path(), exe.path()));
    WorkTable table;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    ProgramStore store(table, dialogs, fs, user.path());
    QCOMPARE(store.loadAtStart(), TemplateFile::Outcome::Loaded);
    QVERIFY(dialogs.shown.isEmpty());
}

QTEST_GUILESS_MAIN(TestTemplateFile)
#include "tst_templatefile.moc"
