#include "Fakes.h"
#include "core/WorkTable.h"
#include "store/ProgramStore.h"
#include "store/TemplateFile.h"
#include "store/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

const QString factoryText =
    u"/check1.Value\r\n1\r\n/check2.Value\r\n1\r\n/option1.value\r\nTrue|False\r\n/option2.value\r\n"
    u"True|False\r\n/list1.List\r\n\r\n/list1.value\r\n\r\n/listview3.listitems.Text\r\n<c0>|戻り値\r\n"
    u"<c1>|カウント\r\n<c2>|元ファイル名\r\n<c3>|拡張子\r\n<c4>|親パス\r\n<c5>|フルパス\r\n\r\n"
    u"/listview3.ColumnHeaders.Width\r\n450.1418|1440\r\n/listview1.ColumnHeaders.Position\r\n1|2|3|4|5|6\r\n"
    u"/listview1.ColumnHeaders.Width\r\n1409.953|1140.095|1530.142|1035.213|1080|1440\r\n"
    u"/listview2.listitems.Text\r\n\r\n/listview2.ColumnHeaders.Width\r\n659.9055|1440|1440|1440\r\n"
    u"/listview4.ColumnHeaders.Width\r\n659.9055|1214.92\r\n/label6.caption\r\n32\r\n"_s;

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
    void factoryAndRichTables();
    void recovery_data();
    void recovery();
    void menuCommands();
    void failedWriteKeepsOldFile();
    void storeAtClose_data();
    void storeAtClose();
    void startupTemplateCopiedFromShipped();
};

void TestTemplateFile::factoryAndRichTables()
{
    Fixture f;
    QVERIFY(f.file.DefaultOutPut());
    const QByteArray bytes = readBytes(f.defaultPath());
    QCOMPARE(bytes, TextCodec::encode(factoryText));
    QVERIFY(bytes.contains(QByteArray("<c0>|\x96\xdf\x82\xe8\x92\x6c\r\n"))); // 戻り値 in code page 932

    // Widths come back as the whole twips the lists hold after loading, the batch list gives all four
    // widths, and the file ends with one more empty line.
    QCOMPARE(f.file.KankyouInPut(f.defaultPath()), TemplateFile::Outcome::Loaded);
    QVERIFY(f.dialogs.shown.isEmpty());
    QVERIFY(f.file.KankyouOutPut(f.path(u"back.lvt"_s)));
    QString expected = factoryText;
    expected.replace(u"450.1418|"_s, u"450|"_s)
        .replace(u"1409.953|1140.095|1530.142|1035.213|"_s, u"1410|1140|1530|1035|"_s)
        .replace(u"659.9055|1440|1440|1440"_s, u"660|1440|1440|1440"_s)
        .replace(u"659.9055|1214.92"_s, u"660|1215|1440|1440"_s);
    QCOMPARE(readBytes(f.path(u"back.lvt"_s)), TextCodec::encode(expected + u"\r\n"_s));

    // A rich table on top of the loaded one, whose widths are whole from now on.
    WorkTable& t = f.table;
    t.addColumn(u"メモ|備考"_s);
    t.addColumn(u"출력"_s); // Korean: the file goes out as UTF-8
    t.apps.appendRow({u"<App1>"_s, u"変換.exe"_s, u"/opt/変換.exe"_s, u"<App1> -i \"<c5>\" x|y|"_s});
    t.apps.appendRow({u"<App2>"_s, u"b"_s, u"/opt/b"_s, u"first\r\nsecond"_s});
    t.apps.appendRow({u"<App3>"_s, u"c"_s, u"/opt/c"_s});
    t.filter.append(u"jpg"_s, true);
    t.filter.append(u"ＰＮＧ"_s, false);
    t.filter.setMode(OptionGroup{1});
    t.filter.applyModeToList();
    t.settings.check1 = 0;
    t.settings.label6 = u"8"_s;
    f.fs.files = {u"/opt/変換.exe"_s}; // the others are missing

    QVERIFY(f.file.KankyouOutPut(f.path(u"rich.lvt"_s)));
    const QByteArray written = readBytes(f.path(u"rich.lvt"_s));
    QVERIFY(written.startsWith("\xEF\xBB\xBF"));

    // Everything written is read back: the loaded table writes the same bytes.
    WorkTable back;
    TemplateFile reader(back, f.dialogs, f.fs, f.dir.path());
    QCOMPARE(reader.KankyouInPut(f.path(u"rich.lvt"_s)), TemplateFile::Outcome::Loaded);
    QCOMPARE(f.dialogs.shown.size(), 1);
    QCOMPARE(f.dialogs.shown[0].text, u"<App2><App3>\r\n登録されたパスに見あたりません"_s);
    QCOMPARE(f.dialogs.shown[0].title, u"Lomvato"_s);
    QCOMPARE(back.files.headerData(6, Qt::Horizontal).toString(), u"<c6>メモ|備考"_s);
    QVERIFY(back.filter.isOn() && back.filter.listEnabled());
    QCOMPARE(back.apps.rowCells(0), t.apps.rowCells(0)); // "|" in a sample
    QCOMPARE(back.apps.rowCells(1).last(), u"first second"_s);
    QVERIFY(reader.KankyouOutPut(f.path(u"again.lvt"_s)));
    QCOMPARE(readBytes(f.path(u"again.lvt"_s)), written);
}

void TestTemplateFile::recovery_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<int>("number");
    QTest::addRow("startup template missing")
        << u"default.lvt"_s << QByteArray() << int(StoreError::CannotOpen);
    QTest::addRow("startup template damaged")
        << u"default.lvt"_s << QByteArray("/label6.caption\r\n64\r\n") << int(StoreError::LogLimitOutOfRange);
    // The factory template goes to default.lvt, and reading the same damaged file again fails.
    QTest::addRow("other template damaged: gives up")
        << u"bad.lvt"_s << QByteArray("/check2.Value\r\n1|2\r\n") << int(StoreError::NotANumber);
}

void TestTemplateFile::recovery()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, number);
    Fixture f;
    if (!content.isEmpty())
        writeBytes(f.path(name), content);
    f.table.addColumn(u"user"_s);
    const bool givesUp = name != u"default.lvt"_s;
    QCOMPARE(f.file.KankyouInPut(f.path(name)),
             givesUp ? TemplateFile::Outcome::GaveUp : TemplateFile::Outcome::Recovered);
    QCOMPARE(f.dialogs.shown.size(), givesUp ? 2 : 1);
    const QString text = f.dialogs.shown[0].text;
    QVERIFY2(text.startsWith(QString::number(number) + u" : "_s), qPrintable(text));
    QVERIFY(text.endsWith(
        u"\r\n初期設定（default.lvt）ファイルが壊れている可能性があります。\r\n出荷時設定で起動します"_s));
    QCOMPARE(f.dialogs.shown[0].title, u"起動時にエラーが発生しました"_s);
    QCOMPARE(f.dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
    QCOMPARE(readBytes(f.defaultPath()), TextCodec::encode(factoryText));
    if (givesUp) {
        QCOMPARE(f.dialogs.shown[1].text, u"出荷時設定での起動も失敗しました"_s);
        QCOMPARE(f.dialogs.shown[1].title, u"再インストールしてください"_s);
    }
    QCOMPARE(f.table.stopFlag, givesUp ? -1 : 0);
    QCOMPARE(f.table.columns.count(), givesUp ? 7 : 6); // the factory table, or nothing applied
}

void TestTemplateFile::menuCommands()
{
    Fixture f;
    const QString folder = QDir(f.dir.path()).filePath(u"lvtファイル"_s);
    // Cancelled dialogs do nothing.
    f.file.Pulldown_file_table_save_Click();
    f.file.Pulldown_file_table_open_Click();
    QCOMPARE(f.dialogs.fileFolders, (QStringList{folder, folder}));
    QVERIFY(QDir(f.dir.path()).isEmpty());

    // A failing save is silent.
    const QString path = f.path(u"saved.lvt"_s);
    f.table.addColumn(u"user"_s);
    f.dialogs.files = {f.path(u"no/such/folder/x.lvt"_s), path};
    f.file.Pulldown_file_table_save_Click();
    f.file.Pulldown_file_table_save_Click();
    QVERIFY(QFile::exists(path));

    // Opening starts a new piece of work: the rows and the batch go, the log stays.
    f.table.removeColumn(6);
    const auto work = [&f] {
        f.table.files.appendRows({{u""_s, u"1"_s}});
        f.table.batch.appendRow({u"<App1>"_s});
    };
    work();
    f.table.log.setText(u"kept"_s);
    f.dialogs.files = {path};
    f.file.Pulldown_file_table_open_Click();
    QCOMPARE(f.table.columns.count(), 7);
    QCOMPARE(f.table.files.count(), 0);
    QCOMPARE(f.table.batch.count(), 0);
    QCOMPARE(f.table.log.text(), u"kept"_s);
    QVERIFY(f.dialogs.shown.isEmpty());

    // A damaged or missing file changes nothing, not even the good sections before the damage, nor
    // default.lvt.
    work();
    writeBytes(f.defaultPath(), "startup");
    const QString bad = f.path(u"bad.lvt"_s);
    writeBytes(bad, "/check1.Value\r\n0\r\n/listview3.listitems.Text\r\n<c0>|x\r\n/label6.caption\r\n99\r\n");
    f.dialogs.files = {bad, f.path(u"absent.lvt"_s)};
    f.file.Pulldown_file_table_open_Click();
    f.file.Pulldown_file_table_open_Click();
    QCOMPARE(f.dialogs.shown.size(), 2);
    QVERIFY(f.dialogs.shown[0].text.startsWith(u"6 : "_s));
    QVERIFY(f.dialogs.shown[0].text.endsWith(u"\r\nテンプレートファイルを読み込めませんでした"_s));
    QCOMPARE(f.dialogs.shown[0].title, u"Lomvato"_s);
    QVERIFY(f.dialogs.shown[1].text.startsWith(u"1 : "_s));
    QCOMPARE(f.table.settings.check1, 1);
    QCOMPARE(f.table.columns.count(), 7);
    QCOMPARE(f.table.files.count(), 1);
    QCOMPARE(f.table.batch.count(), 1);
    QCOMPARE(f.table.stopFlag, 0);
    QCOMPARE(readBytes(f.defaultPath()), QByteArray("startup"));
}

void TestTemplateFile::failedWriteKeepsOldFile()
{
    Fixture f;
    StoreError error;
    // The replacement fails at the end: a name of 250 characters leaves no room for the temporary name.
    const QString longName = f.path(QString(250, u'a'));
    writeBytes(longName, "old content");
    QVERIFY(!f.file.KankyouOutPut(longName, &error));
    QCOMPARE(readBytes(longName), QByteArray("old content"));
}

void TestTemplateFile::storeAtClose_data()
{
    QTest::addColumn<QString>("blocked"); // a folder stands where this file goes
    QTest::addColumn<int>("stopFlag");
    QTest::addRow("both written") << QString() << 0;
    QTest::addRow("log.ini fails, template still written") << u"log.ini"_s << 0;
    QTest::addRow("default.lvt fails, log still written") << u"default.lvt"_s << 0;
    QTest::addRow("start-up gave up: nothing written") << QString() << -1;
}

void TestTemplateFile::storeAtClose()
{
    QFETCH(QString, blocked);
    QFETCH(int, stopFlag);
    Fixture f;
    ProgramStore store(f.table, f.dialogs, f.fs, f.dir.path());
    f.table.log.setText(u"ログ"_s);
    f.table.addColumn(u"user"_s);
    f.table.stopFlag = stopFlag;
    if (!blocked.isEmpty())
        QVERIFY(QDir(f.dir.path()).mkdir(blocked));
    QCOMPARE(store.storeAtClose(), blocked.isEmpty() && stopFlag == 0);
    const bool logWritten = stopFlag == 0 && blocked != u"log.ini"_s;
    QCOMPARE(readBytes(store.logPath()), logWritten ? TextCodec::encode(u"ログ\r\n"_s) : QByteArray());
    QCOMPARE(TextCodec::decode(readBytes(store.templatePath())).contains(u"\r\n<c6>|user\r\n"_s),
             stopFlag == 0 && blocked != u"default.lvt"_s);
    QCOMPARE(f.dialogs.shown.size(), blocked.isEmpty() ? 0 : 1);
    if (!blocked.isEmpty()) {
        const QString text = f.dialogs.shown[0].text;
        QVERIFY2(text.startsWith(u"7 : "_s), qPrintable(text));
        QVERIFY(text.endsWith(u"\r\n"_s + QDir::toNativeSeparators(f.path(blocked)) +
                              u"を保存できませんでした"_s));
        QCOMPARE(f.dialogs.shown[0].title, u"Lomvato"_s);
    }
}

void TestTemplateFile::startupTemplateCopiedFromShipped()
{
    QTemporaryDir exe, user, empty;
    const QString shipped = exe.filePath(u"default.lvt"_s);
    const QString copy = user.filePath(u"default.lvt"_s);
    QVERIFY(TemplateFile::writeFactoryTemplate(shipped));
    QFile::setPermissions(shipped, QFile::ReadOwner | QFile::ReadGroup);
    QVERIFY(!ProgramStore::ensureStartupTemplate(user.path(), empty.path())); // nothing shipped
    QVERIFY(ProgramStore::ensureStartupTemplate(user.path(), exe.path()));
    QCOMPARE(readBytes(copy), readBytes(shipped));
    QVERIFY(QFileInfo(copy).permissions() & QFile::WriteOwner);

    // Start-up reads the copy; an existing one is the user's own and stays.
    WorkTable table;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    ProgramStore store(table, dialogs, fs, user.path());
    QCOMPARE(store.loadAtStart(), TemplateFile::Outcome::Loaded);
    QVERIFY(dialogs.shown.isEmpty());
    writeBytes(copy, "mine");
    QVERIFY(ProgramStore::ensureStartupTemplate(user.path(), exe.path()));
    QCOMPARE(readBytes(copy), QByteArray("mine"));
}

QTEST_GUILESS_MAIN(TestTemplateFile)
#include "tst_templatefile.moc"
