#include "Fakes.h"
#include "core/WorkTable.h"
#include "store/ProgramStore.h"
#include "store/TemplateData.h"
#include "store/TemplateReader.h"
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

// The factory template as written, and after a load: whole twips, all batch widths, a last empty line.
const QString factoryLists =
    u"/check1.Value\r\n1\r\n/check2.Value\r\n1\r\n/option1.value\r\nTrue|False\r\n/option2.value\r\n"
    u"True|False\r\n/list1.List\r\n\r\n/list1.value\r\n\r\n/listview3.listitems.Text\r\n<c0>|戻り値\r\n"
    u"<c1>|カウント\r\n<c2>|元ファイル名\r\n<c3>|拡張子\r\n<c4>|親パス\r\n<c5>|フルパス\r\n\r\n"_s;
const QString factoryText =
    factoryLists +
    u"/listview3.ColumnHeaders.Width\r\n450.1418|1440\r\n/listview1.ColumnHeaders.Position\r\n1|2|3|4|5|6\r\n"
    u"/listview1.ColumnHeaders.Width\r\n1409.953|1140.095|1530.142|1035.213|1080|1440\r\n"
    u"/listview2.listitems.Text\r\n\r\n/listview2.ColumnHeaders.Width\r\n659.9055|1440|1440|1440\r\n"
    u"/listview4.ColumnHeaders.Width\r\n659.9055|1214.92\r\n/label6.caption\r\n32\r\n"_s;
const QString factoryWritten =
    factoryLists +
    u"/listview3.ColumnHeaders.Width\r\n450|1440\r\n/listview1.ColumnHeaders.Position\r\n1|2|3|4|5|6\r\n"
    u"/listview1.ColumnHeaders.Width\r\n1410|1140|1530|1035|1080|1440\r\n/listview2.listitems.Text\r\n\r\n"
    u"/listview2.ColumnHeaders.Width\r\n660|1440|1440|1440\r\n/listview4.ColumnHeaders.Width\r\n"
    u"660|1215|1440|1440\r\n/label6.caption\r\n32\r\n\r\n"_s;

struct Fixture {
    QTemporaryDir dir;
    WorkTable table;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    ProgramStore store{table, dialogs, fs, dir.path()};
    TemplateFile& file = store.templateFile();
    const QString defaultLvt = dir.filePath(u"default.lvt"_s), logIni = dir.filePath(u"log.ini"_s);
    QString path(const QString& name) const { return dir.filePath(name); }
};

// Reads a template's text over the factory table with its lists emptied, as a file is read.
bool readText(const QString& text, TemplateData& data, StoreError* error)
{
    data = TemplateData::from(WorkTable());
    TemplateReader::clearLists(data);
    return TemplateReader::read(text, data, error);
}
} // namespace

class TestStore : public QObject
{
    Q_OBJECT
private slots:
    void brokenFiles_data();
    void brokenFiles();
    void valueLines();
    void factoryAndRichTables();
    void recovery_data();
    void recovery();
    void menuCommands();
    void startupTemplateCopiedFromShipped();
    void logFile();
    void failedWrites_data();
    void failedWrites();
};

void TestStore::brokenFiles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number"); // why the file fails, 0: it loads
    using enum StoreError::Number;
    QTest::addRow("alwaysAppend not a number") << u"/check1.Value\nx\n"_s << int(NotANumber);
    QTest::addRow("check marks without items") << u"/list1.value\nTrue\n"_s << int(TooManyElements);
    QTest::addRow("key row without bar") << u"/listview3.listitems.Text\n<c0>\n"_s << int(MissingSeparator);
    const QString oneColumn = u"/listview3.listitems.Text\n<c0>|a\n"_s;
    QTest::addRow("widths past the columns")
        << oneColumn + u"/listview1.ColumnHeaders.Width\n1|2\n"_s << int(TooManyElements);
    QTest::addRow("position out of range")
        << oneColumn + u"/listview1.ColumnHeaders.Position\n99999\n"_s << int(OutOfRange);
    QTest::addRow("log limit 33") << u"/label6.caption\n33\n"_s << int(LogLimitOutOfRange);
    QTest::addRow("log limit 32.5 rounds to 32") << u"/label6.caption\n32.5\n"_s << 0;
    QTest::addRow("key with wrong case is a value") << u"/check1.Value\n/check1.value\n"_s << int(NotANumber);
    // A check box holds 0, 1 or 2; 5 would show unticked and yet run the after-work action.
    QTest::addRow("afterWork grey") << u"/check2.Value\n2\n"_s << 0;
    QTest::addRow("afterWork 5") << u"/check2.Value\n5\n"_s << int(OutOfRange);
    // Without one section the file is no template: read as one it would lose every column.
    QTest::addRow("empty file") << QString() << int(NoSection);
    QTest::addRow("lone CR line ends") << u"/check1.Value\r1\r/label6.caption\r32\r"_s << int(NoSection);
}

void TestStore::brokenFiles()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    TemplateData data;
    StoreError error;
    QCOMPARE(readText(text, data, &error), number == StoreError::None);
    QCOMPARE(error.number, number);
    QCOMPARE(error.description.isEmpty(), number == StoreError::None);
}

void TestStore::valueLines()
{
    const auto whole = [](const QString& text) {
        int value = 0;
        return TemplateReader::wholeNumber(text, &value) ? value : -1;
    };
    QCOMPARE((QList<int>{whole(u"1.5e3"_s), whole(u"32767.5"_s), whole(u"12px"_s), whole(u"nan"_s)}),
             (QList<int>{1500, -1, -1, -1}));
    const QString text =
        u"garbage\n|||\n/check1.Value\n0\n\n/check2.Value\n0\n/list1.List\na||c\n/list1.value\n"
        u"False|True|False\n/listview3.listitems.Text\n<c0>|戻り値\nkey|a|b\n/listview3.ColumnHeaders.Width\n"
        u"10.5\n/listview1.ColumnHeaders.Position\n2|1\n/listview1.ColumnHeaders.Width\n99.5\n"
        u"/listview1.ColumnHeaders.Text\nold|captions\n/label6.caption\n 7.6 KB\n/check1.Value\n"
        u"1\n/list1.List\nd\n"_s;
    TemplateData data;
    StoreError error;
    QVERIFY2(readText(text, data, &error), qPrintable(error.text()));
    QCOMPARE(QPair(data.alwaysAppend, data.afterWork), QPair(1, 0)); // a section read twice is applied twice
    // Lists append again; keys stay as read, 99.5 rounds to even, a column without a width keeps its own.
    QStringList got;
    for (const auto& e : data.extensions)
        got << e.text + (e.checked ? u"✓"_s : QString());
    for (const auto& c : data.columns)
        got << u"%1 %2 %3 %4"_s.arg(c.keyText, c.name).arg(c.position).arg(c.width);
    QCOMPARE(got, (QStringList{u"a"_s, u"✓"_s, u"c"_s, u"d"_s, u"<c0> 戻り値 2 100"_s, u"key a|b 1 1440"_s}));
    QCOMPARE(data.keyListWidths, (QList<float>{10.0f, 1440.0f}));
    QCOMPARE(data.appWidths, AppRegistry::factoryWidths()); // not in the file: kept
    QCOMPARE(data.logLimitText, u" 7.6 KB"_s);
    WorkSettings settings;
    settings.logLimitText = data.logLimitText;
    QCOMPARE(settings.roundedLogLimitKb(), 8);
}

void TestStore::factoryAndRichTables()
{
    Fixture f;
    QVERIFY(f.file.writeFactoryStartupTemplate());
    QCOMPARE(readBytes(f.defaultLvt), TextCodec::encode(factoryText));

    QCOMPARE(f.file.loadStartupTemplate(f.defaultLvt), TemplateFile::Outcome::Loaded);
    QVERIFY(f.file.writeTemplate(f.path(u"back.lvt"_s)));
    QCOMPARE(readBytes(f.path(u"back.lvt"_s)), TextCodec::encode(factoryWritten));

    f.table.addColumn(u"メモ|備考"_s);
    f.table.addColumn(u"출력"_s); // Korean: the file goes out as UTF-8
    f.table.apps.appendRow({u"<App1>"_s, u"変換.exe"_s, u"/opt/変換.exe"_s, u"<App1> -i \"<c5>\" x|y|"_s});
    f.table.apps.appendRow({u"<App2>"_s, u"b"_s, u"/opt/b"_s, u"first\r\nsecond"_s});
    f.table.apps.appendRow({u"<App3>"_s, u"c"_s, u"/opt/c"_s});
    f.table.filter.append(u"jpg"_s, true);
    f.table.filter.append(u"ＰＮＧ"_s, false);
    f.table.filter.choose(1);
    f.table.settings.alwaysAppend = 0;
    f.table.settings.logLimitText = u"8"_s;
    f.fs.files = {u"/opt/変換.exe"_s}; // the others are missing
    QVERIFY(f.file.writeTemplate(f.path(u"rich.lvt"_s)));
    const QByteArray written = readBytes(f.path(u"rich.lvt"_s));
    QVERIFY(written.startsWith("\xEF\xBB\xBF"));
    // Everything written is read back: the loaded table writes the same bytes.
    WorkTable back;
    TemplateFile reader(back, f.dialogs, f.fs, f.dir.path());
    QCOMPARE(reader.loadStartupTemplate(f.path(u"rich.lvt"_s)), TemplateFile::Outcome::Loaded);
    QCOMPARE(f.dialogs.texts(), QStringList{u"<App2><App3>\r\n登録されたパスに見あたりません"_s});
    QCOMPARE(back.apps.rowCells(1).last(), u"first second"_s);
    QVERIFY(reader.writeTemplate(f.path(u"again.lvt"_s)));
    QCOMPARE(readBytes(f.path(u"again.lvt"_s)), written);
}

void TestStore::recovery_data()
{
    // A damaged default.lvt gives way to the factory template; one elsewhere gives up, applying nothing.
    QTest::addColumn<QString>("name");
    QTest::addRow("recovered") << u"default.lvt"_s;
    QTest::addRow("gives up") << u"bad.lvt"_s;
}

void TestStore::recovery()
{
    QFETCH(QString, name);
    const bool recovered = name == u"default.lvt"_s;
    Fixture f;
    QVERIFY(TextCodec::writeBytes(f.path(name), "/check2.Value\r\n1|2\r\n", nullptr));
    f.table.addColumn(u"user"_s);
    QCOMPARE(f.file.loadStartupTemplate(f.path(name)),
             recovered ? TemplateFile::Outcome::Recovered : TemplateFile::Outcome::GaveUp);
    QCOMPARE(f.dialogs.shown.size(), recovered ? 1 : 2);
    QCOMPARE(f.dialogs.shown[0].title + f.dialogs.shown[0].text.left(2), u"起動時にエラーが発生しました2 "_s);
    QCOMPARE(readBytes(f.defaultLvt), TextCodec::encode(factoryText));
    QCOMPARE(f.table.startupIncomplete, !recovered);
    QCOMPARE(f.table.columns.count(), recovered ? 6 : 7); // the factory's, or nothing applied
}

void TestStore::menuCommands()
{
    Fixture f;
    const QString folder = f.path(u"lvtファイル"_s), saved = f.path(u"saved.lvt"_s);
    f.file.saveAs(); // cancelled dialogs do nothing
    f.file.open();
    QCOMPARE(f.dialogs.fileFolders, (QStringList{folder, folder}));
    QVERIFY(QDir(f.dir.path()).isEmpty());
    f.table.addColumn(u"user"_s);
    f.dialogs.files = {saved};
    f.file.saveAs();

    // A damaged or missing file changes nothing, default.lvt neither; a good one clears rows and batch.
    f.table.removeColumn(6);
    f.table.files.appendRows({{u""_s, u"1"_s}});
    f.table.batch.appendRow({u"<App1>"_s});
    f.table.log.setText(u"kept"_s);
    QVERIFY(TextCodec::writeBytes(f.defaultLvt, "startup", nullptr));
    const QString bad = f.path(u"bad.lvt"_s);
    QVERIFY(TextCodec::writeBytes(bad, "/listview3.listitems.Text\n<c0>|x\n/label6.caption\n99\n", nullptr));
    const auto open = [&f](const QString& path) {
        f.dialogs.files = {path};
        f.file.open();
        return QList<qsizetype>{f.table.columns.count(), f.table.files.count(), f.table.batch.count()};
    };
    QCOMPARE(open(bad), (QList<qsizetype>{6, 1, 1}));
    QCOMPARE(open(f.path(u"absent.lvt"_s)), (QList<qsizetype>{6, 1, 1}));
    QVERIFY(!f.table.startupIncomplete);
    QCOMPARE(open(saved), (QList<qsizetype>{7, 0, 0}));
    QCOMPARE(f.table.log.text(), u"kept"_s);
    QCOMPARE(f.dialogs.shown.size(), 2);
    QCOMPARE(f.dialogs.shown[0].text.left(4) + f.dialogs.shown[1].text.left(4), u"6 : 1 : "_s);
    QCOMPARE(readBytes(f.defaultLvt), QByteArray("startup"));
}

void TestStore::startupTemplateCopiedFromShipped()
{
    QTemporaryDir exe, empty;
    Fixture user;
    const QString shipped = exe.filePath(u"default.lvt"_s);
    QVERIFY(TemplateFile::writeFactoryTemplate(shipped));
    QFile::setPermissions(shipped, QFile::ReadOwner | QFile::ReadGroup);
    QVERIFY(!user.store.ensureStartupTemplate(empty.path())); // nothing shipped
    QVERIFY(user.store.ensureStartupTemplate(exe.path()));
    QCOMPARE(readBytes(user.defaultLvt), readBytes(shipped));
    QVERIFY(QFileInfo(user.defaultLvt).permissions() & QFile::WriteOwner);
    QVERIFY(TextCodec::writeBytes(user.defaultLvt, "mine", nullptr)); // the user's own: it stays
    QVERIFY(user.store.ensureStartupTemplate(exe.path()));
    QCOMPARE(readBytes(user.defaultLvt), QByteArray("mine"));
    ProgramStore gone(user.table, user.dialogs, user.fs, user.path(u"gone"_s)); // a failed copy is said
    QVERIFY(!gone.ensureStartupTemplate(exe.path()));
    QCOMPARE(user.dialogs.shown.size(), 1);
    QVERIFY(user.dialogs.shown[0].text.endsWith(gone.templatePath() + u"を保存できませんでした"_s));
}

void TestStore::failedWrites_data()
{
    QTest::addColumn<QString>("save");
    QTest::addColumn<QString>("blocked"); // a folder stands where this file goes
    QTest::addRow("close: log.ini fails, template still written") << u"close"_s << u"log.ini"_s;
    QTest::addRow("close: default.lvt fails, log still written") << u"close"_s << u"default.lvt"_s;
    QTest::addRow("close after start-up gave up: nothing written") << u"gave up"_s << QString();
    QTest::addRow("menu save") << u"menu"_s << u"saved.lvt"_s;
    QTest::addRow("recovery's factory write") << u"recovery"_s << u"default.lvt"_s;
}

// A failed save names its file, the others are still written (the old file stays: failedSaveKeepsTheOldFile).
void TestStore::failedWrites()
{
    QFETCH(QString, save);
    QFETCH(QString, blocked);
    Fixture f;
    f.table.log.setText(u"ログ"_s);
    f.table.addColumn(u"user"_s);
    f.table.startupIncomplete = save == u"gave up"_s;
    const QString path = f.path(blocked);
    if (!blocked.isEmpty())
        QVERIFY(QDir(f.dir.path()).mkdir(blocked));
    if (save == u"menu"_s) {
        f.dialogs.files = {path};
        f.file.saveAs();
    } else if (save == u"recovery"_s) {
        QCOMPARE(f.store.loadAtStart(), TemplateFile::Outcome::GaveUp);
    } else {
        QVERIFY(!f.store.storeAtClose());
    }
    const auto named = std::count_if(f.dialogs.shown.begin(), f.dialogs.shown.end(), [&](const auto& box) {
        return box.text.startsWith(u"7 : "_s) && box.text.endsWith(path + u"を保存できませんでした"_s);
    });
    QCOMPARE(named, blocked.isEmpty() ? 0 : 1);
    QCOMPARE(f.dialogs.shown.size(), save == u"recovery"_s ? 3 : named); // there: why, the failure, gave up
    const bool closed = save == u"close"_s;
    QCOMPARE(readBytes(f.store.logPath()),
             closed && blocked != u"log.ini"_s ? TextCodec::encode(u"ログ\r\n"_s) : QByteArray());
    QCOMPARE(readBytes(f.defaultLvt).contains("\r\n<c6>|user\r\n"), closed && blocked != u"default.lvt"_s);
}

// A load keeps whole lines up to the limit and reads no further; a cleared log comes back as a line break.
void TestStore::logFile()
{
    QCOMPARE(LogFile::loadedText(u"A\nB"_s, 1024), u"\r\nA\r\nB"_s);
    QCOMPARE(LogFile::loadedText(u"A\r\n\r\nB\r\n"_s, 1024), u"\r\nA\r\n\r\nB"_s);
    QCOMPARE(LogFile::loadedText(u"AB\r\nC\r\n"_s, 5), u"\r\nAB\r"_s); // cut inside a line break
    QCOMPARE(LogFile::loadedText(u"A😀B\r\n"_s, 4), u"\r\nA"_s);        // a surrogate pair stays whole
    Fixture f;
    f.table.log.setText(u"kept"_s);
    QVERIFY(!f.store.logFile().loadLog(f.logIni));
    QCOMPARE(f.table.log.text(), u"kept"_s);
    f.store.logFile().clear(); // "ログファイルを削除"
    QVERIFY(f.store.logFile().storeLog(f.logIni));
    QVERIFY(f.store.logFile().loadLog(f.logIni));
    QCOMPARE(f.table.log.text(), u"\r\n"_s);
    // 512 MiB, nearly all of it a hole: the newest entries at the start must load (bench_store times it).
    const QByteArray newest = TextCodec::encode(u"12/26/06 09:05:03\tLomvato起動開始\r\n"_s);
    QVERIFY(TextCodec::writeBytes(f.logIni, newest, nullptr));
    QVERIFY(QFile::resize(f.logIni, qint64{512} * 1024 * 1024));
    f.store.logFile().setLimit(1);
    QVERIFY(f.store.logFile().loadLog(f.logIni));
    QCOMPARE(f.table.log.length(), 1024);
    QVERIFY(f.table.log.text().startsWith(u"\r\n"_s + TextCodec::decode(newest)));
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
