#include "Fakes.h"
#include "apps/AppCommands.h"
#include "apps/BatchCommands.h"
#include "apps/ParameterEditor.h"
#include "core/WorkTable.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace
{

// Applications a1..a`count` with their samples s1..s`count`: "a1 s1" and so on.
QStringList numbered(int count)
{
    QStringList out;
    for (int i = 1; i <= count; ++i)
        out << u"a%1 s%1"_s.arg(i);
    return out;
}

// The main window's application area over fakes, with three applications aN (path /opt/aN, sample sN).
struct Rig {
    WorkTable table;
    FakeDialogs dialogs;
    FakeFileSystem files;
    FakeLauncher launcher;
    ParameterEditor editor{table};
    AppCommands apps{table.apps, editor, dialogs, files, launcher, QString()};
    BatchCommands batch{table.batch, editor};
    static constexpr auto qtTest = QAbstractItemModelTester::FailureReportingMode::QtTest;
    QAbstractItemModelTester appsTester{&table.apps, qtTest}, batchTester{&table.batch, qtTest};
    QStringList events;  // ApplicationDialog openings and the run button
    QList<int> returned; // selections and carets the commands gave back

    Rig()
    {
        apps.setShowDialog([this](const AppDialogRequest& r) {
            const QString purpose = r.purpose == AppDialogRequest::Purpose::Add ? u"add"_s : u"change"_s;
            events << u"form %1 %2 %3"_s.arg(purpose, r.sample, r.folder).trimmed();
        });
        const auto run = [this](bool on) { events << (on ? u"run on"_s : u"run off"_s); };
        QObject::connect(&editor, &ParameterEditor::runButtonEnabled, run);
        QObject::connect(&batch, &BatchCommands::runButtonEnabled, run);
        fill(3);
    }
    void fill(int count)
    {
        std::vector<QStringList> rows;
        for (int i = 1; i <= count; ++i)
            rows.push_back({AppRegistry::keyFor(i), u"a%1"_s.arg(i), u"/opt/a%1"_s.arg(i), u"s%1"_s.arg(i)});
        table.apps.resetRows(std::move(rows));
    }
    // Batch entries for a1, a2, ... with these parameters.
    void addEntries(const QStringList& parameters)
    {
        for (const QString& parameter : parameters) {
            const int n = table.batch.count() + 1;
            table.batch.appendRow({AppRegistry::keyFor(n), u"a%1"_s.arg(n), parameter, u"/opt/a%1"_s.arg(n)});
        }
    }
};

using Step = std::function<void(Rig&)>;
using Steps = std::vector<Step>;

struct Expected {
    QStringList apps = numbered(3); // each with its sample after a blank
    QStringList entries;            // the batch list's applications, each with its parameter
    // Key written to|text|sample shown|E editing, S sample editable, T text open, K sample kept cleared
    QString editor = u"|||"_s;
    QStringList events; // the rig's, the command lines started, the boxes shown (OK/Cancel ones with "? ")
    QList<int> returned;
};

} // namespace

Q_DECLARE_METATYPE(Steps)
Q_DECLARE_METATYPE(Expected)

class TestApps : public QObject
{
    Q_OBJECT
private slots:
    void scenario_data();
    void scenario();
};

void TestApps::scenario_data()
{
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<Expected>("expected");
    // What is not named is as the rig starts: three untouched applications, an idle editor, nothing shown.
    const auto row = [](const char* name, const Steps& steps, const Expected& expected) {
        QTest::newRow(name) << steps << expected;
    };
    // The user's actions on rows, texts and the selection [start, start + length).
    const auto fill = [](int count) { return Step([=](Rig& r) { r.fill(count); }); };
    const auto entries = [](const QStringList& p) { return Step([=](Rig& r) { r.addEntries(p); }); };
    // An entry for an application that may be gone.
    const auto entry = [](const QString& key) {
        return Step([=](Rig& r) { r.table.batch.appendRow({key, {}, u"typed"_s}); });
    };
    const auto exists = [](const QString& path) { return Step([=](Rig& r) { r.files.files.insert(path); }); };
    const Step add = [](Rig& r) { r.apps.addApplication(); };
    // ApplicationDialog's OK in /opt with the file `name` and the sample "new".
    const auto ok = [](const QString& name) {
        return Step([=](Rig& r) { r.apps.storeApplication(u"/opt"_s, name, u"new"_s); });
    };
    const auto change = [](int row) { return Step([=](Rig& r) { r.apps.changeApplication(row); }); };
    const auto remove = [](int row) { return Step([=](Rig& r) { r.apps.removeApplication(row); }); };
    const Step cancelNext = [](Rig& r) { r.dialogs.answers.push_back(Dialogs::Answer::Cancel); };
    const auto start = [](int row) { return Step([=](Rig& r) { r.apps.startApplication(row); }); };
    const auto select = [](int row) { return Step([=](Rig& r) { r.editor.selectApplication(row); }); };
    const Step editSample = [](Rig& r) { r.editor.editSample(); };
    const auto type = [](const QString& text) { return Step([=](Rig& r) { r.editor.setText(text); }); };
    // Takes application `row`'s sample for editing and types `text` over it.
    const auto edit = [](int row, const QString& text) {
        return Step([=](Rig& r) {
            r.editor.selectApplication(row);
            r.editor.editSample();
            r.editor.setText(text);
        });
    };
    const auto appKey = [](int app, int start, int length) {
        return Step([=](Rig& r) { r.returned << r.editor.insertApplicationKey(app, start, length); });
    };
    const auto columnKey = [](int column, int start, int length) {
        return Step([=](Rig& r) { r.returned << r.editor.insertColumnKey(column, start, length); });
    };
    const auto store = [](int selected) { return Step([=](Rig& r) { r.editor.storeAsSample(selected); }); };
    const Step toBatch = [](Rig& r) { r.editor.addToBatch(); };
    const auto removeEntry = [](int row) { return Step([=](Rig& r) { r.batch.removeEntry(row); }); };
    const auto reedit = [](int row) { return Step([=](Rig& r) { r.batch.reedit(row); }); };
    const auto up = [](int row) { return Step([=](Rig& r) { r.returned << r.batch.moveUp(row); }); };
    const auto down = [](int row) { return Step([=](Rig& r) { r.returned << r.batch.moveDown(row); }); };
    const Step clear = [](Rig& r) { r.batch.clear(); };

    const QString limit = u"アプリケーションは99までしか登録できません"_s;
    const QString confirm = u"? アプリケーションの削除は、パラメータテキスト編集中ではできません\r\n"
                            u"パラメータテキスト編集をクリアしますか"_s;
    const Step abc = entries({u"A"_s, u"B"_s, u"C"_s});

    // The limit; every OK renumbers, a change overwrites in place.
    row("add the 99th, and no more", {fill(98), add, ok(u"new"_s), add},
        {.apps = numbered(98) << u"new new"_s, .events = {u"form add"_s, limit}});
    row("change", {change(1), ok(u"a1"_s)},
        {.apps = {u"a1 s1"_s, u"a1 new"_s, u"a3 s3"_s}, .events = {u"form change s2 /opt"_s}});

    row("delete while editing, cancel, confirm", {edit(1, u"typed"_s), cancelNext, remove(1), remove(1)},
        {.apps = {u"a1 s1"_s, u"a3 s3"_s}, .editor = u"|||K"_s, .events = {confirm, confirm}});
    row("delete from an empty list", {select(0), fill(0), remove(-1)}, {.apps = {}, .editor = u"|||S"_s});
    row("delete keeps written keys, and the sample cleared",
        {entries({u"<App3>"_s}), select(0), remove(0), select(0), editSample, select(1)},
        {.apps = {u"a2 s2"_s, u"a3 s3"_s}, .entries = {u"a1 <App3>"_s}, .editor = u"<App1>||s3|EST"_s});

    row("no selection",
        {abc, change(-1), remove(-1), start(-1), select(-1), removeEntry(-1), reedit(-1), up(-1)},
        {.entries = {u"a1 A"_s, u"a2 B"_s, u"a3 C"_s}, .returned = {-1}});

    // Launching: the path alone, blanks and all.
    row("start a missing program, then a path with a blank",
        {start(0), add, ok(u"my tool"_s), exists(u"/opt/my tool"_s), start(3)},
        {.apps = numbered(3) << u"my tool new"_s,
         .events = {u"form add"_s, u"/opt/my tool"_s,
                    u"/opt/a1\r\n\r\nは起動できません。パスが見つかりません"_s}});

    // Keys go in at the caret, over the selection, clamped to the text; only while editing.
    row("over a selection, past the end, before the start",
        {edit(0, u"a XXX b"_s), columnKey(5, 2, 3), columnKey(4, 7, 9), columnKey(3, -3, 0)},
        {.editor = u"<App1>|<c3>a <c5> <c4>|s1|EST"_s, .returned = {6, 11, 4}});
    row("keys only while editing",
        {select(0), appKey(0, 0, 0), editSample, type(QString()), appKey(2, 0, 0), columnKey(4, 6, 0),
         store(0), type(u"idle"_s), columnKey(1, 0, 0)},
        {.apps = {u"a1 <App3><c4>"_s, u"a2 s2"_s, u"a3 s3"_s},
         .editor = u"<App1>|idle|<App3><c4>|ST"_s,
         .returned = {-1, 6, 10, -1}});

    // Storing samples, an empty one too; for a key that names no application the text and the mode stay.
    row("store an empty sample, then with another application selected",
        {edit(0, QString()), store(0), edit(2, u"x"_s), select(1), store(1)},
        {.apps = {u"a1 "_s, u"a2 s2"_s, u"a3 x"_s}, .editor = u"<App3>||s2|ST"_s});
    row("store for a key past any number, then for a deleted application",
        {entry(u"<App99999999999999999999>"_s), entry(u"<App4>"_s), reedit(0), select(0), store(0), reedit(0),
         store(0)},
        {.editor = u"<App4>|typed|s1|EST"_s});

    // Registering: nothing is no text, blanks are; editing replaces the text without asking.
    row("register nothing, edit another sample, then blanks",
        {edit(0, {}), toBatch, type(u"x"_s), select(1), editSample, toBatch, edit(1, u"  "_s), toBatch},
        {.entries = {u"a2 s2"_s, u"a2   "_s}, .editor = u"||s2|ST"_s, .events = {u"run on"_s, u"run on"_s}});

    // The batch list: moves, re-editing, and only "clear all" turns the run button off.
    row("move up and down", {abc, up(1), up(0), down(1), down(2)},
        {.entries = {u"a2 B"_s, u"a3 C"_s, u"a1 A"_s}, .returned = {0, 0, 2, 2}});
    row("re-edit replaces the text", {abc, select(0), editSample, reedit(1), toBatch},
        {.entries = {u"a1 A"_s, u"a3 C"_s, u"a2 B"_s}, .editor = u"||s1|ST"_s, .events = {u"run on"_s}});
    row("re-edit, clear", {entries({u"p"_s, u"q"_s}), removeEntry(0), reedit(0), entries({u"r"_s}), clear},
        {.editor = u"<App2>|q||ET"_s, .events = {u"run off"_s}});
}

void TestApps::scenario()
{
    QFETCH(Steps, steps);
    QFETCH(Expected, expected);
    Rig rig;
    for (const Step& step : steps)
        step(rig);

    const AppRegistry& apps = rig.table.apps;
    QStringList applications;
    for (int r = 0; r < apps.count(); ++r) {
        applications << apps.application(r) + u' ' + apps.sample(r);
        // Keys are numbered from 1 and a row's fields travel together.
        QCOMPARE(apps.key(r) + apps.path(r), AppRegistry::keyFor(r + 1) + u"/opt/"_s + apps.application(r));
    }
    QCOMPARE(applications, expected.apps);

    const BatchList& batch = rig.table.batch;
    QStringList entries;
    for (int r = 0; r < batch.count(); ++r) {
        const QString application = batch.application(r);
        entries << application + u' ' + batch.parameter(r);
        QCOMPARE(batch.key(r) + batch.path(r), u"<App"_s + application.mid(1) + u">/opt/"_s + application);
    }
    QCOMPARE(entries, expected.entries);

    const ParameterEditor& e = rig.editor;
    QString editor = e.editTarget(ParameterEditor::Key) + u'|' + e.text() + u'|' + e.sample() + u'|';
    const bool flags[] = {e.isEditing(), e.canEditSample(), e.isTextOpen(), e.keepsSampleCleared()};
    for (int i = 0; i < 4; ++i)
        editor += flags[i] ? QString(u"ESTK"_s[i]) : QString();
    QCOMPARE(editor, expected.editor);

    QStringList events = rig.events + rig.launcher.started;
    for (const FakeDialogs::Shown& shown : std::as_const(rig.dialogs.shown))
        events << (shown.buttons == Dialogs::Buttons::OkCancel ? u"? "_s : QString()) + shown.text;
    QCOMPARE(events, expected.events);
    QCOMPARE(rig.returned, expected.returned);
}

QTEST_GUILESS_MAIN(TestApps)
#include "tst_apps.moc"
