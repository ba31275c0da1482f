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

// Application names a1..a`count`, or their samples s1..s`count`.
QStringList numbered(const QString& prefix, int count)
{
    QStringList out;
    for (int i = 1; i <= count; ++i)
        out << prefix + QString::number(i);
    return out;
}

// The main window's application area over fakes. It starts with three applications aN (path /opt/aN,
// sample sN).
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
    QStringList events;  // Form2 openings and the run button, in order
    QList<int> returned; // selections and carets the commands gave back

    Rig()
    {
        apps.setShowDialog([this](const AppDialogRequest& r) {
            events << u"form %1 %2 %3"_s.arg(r.lv2app).arg(r.sample, r.folder).trimmed();
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
    // Takes application `row`'s sample for editing and types `text` over it.
    void edit(int row, const QString& text)
    {
        editor.selectApplication(row);
        editor.editSample();
        editor.setText(text);
    }
    // Form2's OK in /opt with the file `name` and the sample "new".
    void ok(const QString& name) { apps.storeApplication(u"/opt"_s, name, u"new"_s); }
    // Batch entries for a1, a2, ... with these parameters.
    void addEntries(const QStringList& parameters)
    {
        for (const QString& parameter : parameters) {
            const QString number = QString::number(table.batch.count() + 1);
            table.batch.appendRow(
                {u"<App"_s + number + u'>', u"a"_s + number, parameter, u"/opt/a"_s + number});
        }
    }
    // An entry for an application that may be gone.
    void addEntry(const QString& key) { table.batch.appendRow({key, QString(), u"typed"_s, QString()}); }
    void keep(int value) { returned << value; }
};

using Steps = std::function<void(Rig&)>;

// What the editor shows and which of its controls are enabled.
enum EditorFlag { Editing = 1, SampleEditable = 2, TextOpen = 4, SampleKeptCleared = 8 };
struct EditorState {
    QString target; // the key of the application whose text is written
    QString text;
    QString shownSample;
    int flags = 0; // EditorFlag
};

// What the user sees afterwards.
struct Expected {
    QStringList applications = numbered(u"a"_s, 3);
    QStringList samples = numbered(u"s"_s, 3);
    QStringList entries; // the batch list's applications
    QStringList parameters;
    EditorState editor;
    QStringList messages;
    QStringList questions; // OK/Cancel boxes
    QStringList launched;
    QStringList events;
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
    const QString limit = u"アプリケーションは99までしか登録できません"_s;
    const QString confirm = u"アプリケーションの削除は、パラメータテキスト編集中ではできません\r\n"
                            u"パラメータテキスト編集をクリアしますか"_s;

    // The limit, including a template that brings more; every OK renumbers, a change overwrites in place.
    row(
        "add the 99th",
        [](Rig& r) {
            r.fill(98);
            r.apps.addApplication();
            r.ok(u"new"_s);
        },
        Expected{.applications = numbered(u"a"_s, 98) << u"new"_s,
                 .samples = numbered(u"s"_s, 98) << u"new"_s,
                 .events = {u"form 1"_s}});
    row(
        "add beyond 99",
        [](Rig& r) {
            r.fill(99);
            r.apps.addApplication();
        },
        Expected{.applications = numbered(u"a"_s, 99), .samples = numbered(u"s"_s, 99), .messages = {limit}});
    row(
        "add to 120 from a template",
        [](Rig& r) {
            r.fill(120);
            r.apps.addApplication();
        },
        Expected{
            .applications = numbered(u"a"_s, 120), .samples = numbered(u"s"_s, 120), .messages = {limit}});
    row(
        "change",
        [](Rig& r) {
            r.apps.changeApplication(1);
            r.ok(u"a1"_s);
        },
        Expected{.applications = {u"a1"_s, u"a1"_s, u"a3"_s},
                 .samples = {u"s1"_s, u"new"_s, u"s3"_s},
                 .events = {u"form 3 s2 /opt"_s}});
    row(
        "OK without a file",
        [](Rig& r) {
            r.apps.addApplication();
            r.ok(QString());
        },
        Expected{.messages = {u"ファイルを選択してください"_s}, .events = {u"form 1"_s}});

    // Deleting: written texts keep their keys; the confirmation while editing; an empty list.
    row(
        "delete keeps written keys",
        [](Rig& r) {
            r.fill(4);
            r.addEntries({u"<App4>"_s});
            r.editor.selectApplication(0);
            r.apps.removeApplication(0);
        },
        Expected{.applications = {u"a2"_s, u"a3"_s, u"a4"_s},
                 .samples = {u"s2"_s, u"s3"_s, u"s4"_s},
                 .entries = {u"a1"_s},
                 .parameters = {u"<App4>"_s},
                 .editor = {{}, {}, {}, SampleKeptCleared}});
    row(
        "delete the last",
        [](Rig& r) {
            r.fill(4);
            r.editor.selectApplication(3);
            r.apps.removeApplication(3);
        },
        Expected{.editor = {{}, {}, {}, SampleKeptCleared}});
    row(
        "delete while editing, cancelled",
        [](Rig& r) {
            r.edit(1, u"typed"_s);
            r.dialogs.answers.push_back(Dialogs::Answer::Cancel);
            r.apps.removeApplication(1);
        },
        Expected{.editor = {u"<App2>"_s, u"typed"_s, u"s2"_s, Editing | SampleEditable | TextOpen},
                 .questions = {confirm}});
    row(
        "delete while editing, confirmed",
        [](Rig& r) {
            r.edit(1, u"typed"_s);
            r.apps.removeApplication(1);
        },
        Expected{.applications = {u"a1"_s, u"a3"_s},
                 .samples = {u"s1"_s, u"s3"_s},
                 .editor = {{}, {}, {}, SampleKeptCleared},
                 .questions = {confirm}});
    row(
        "delete from an empty list",
        [](Rig& r) {
            r.editor.selectApplication(0);
            r.fill(0);
            r.apps.removeApplication(-1);
        },
        Expected{.applications = {}, .samples = {}, .editor = {{}, {}, {}, SampleEditable}});
    row(
        "the selection after a delete",
        [](Rig& r) {
            r.editor.selectApplication(0);
            r.apps.removeApplication(0);
            r.editor.selectApplication(0);
            r.editor.editSample();
            r.editor.selectApplication(1);
        },
        Expected{.applications = {u"a2"_s, u"a3"_s},
                 .samples = {u"s2"_s, u"s3"_s},
                 .editor = {u"<App1>"_s, {}, u"s3"_s, Editing | SampleEditable | TextOpen}});

    // Without a selection nothing happens.
    row(
        "no selection",
        [](Rig& r) {
            r.addEntries({u"p"_s});
            r.files.files.insert(u"/opt/a1"_s);
            r.apps.changeApplication(-1);
            r.apps.removeApplication(-1);
            r.apps.startApplication(-1);
            r.editor.selectApplication(-1);
            r.batch.removeEntry(-1);
            r.batch.reedit(-1);
            r.keep(r.batch.moveUp(-1));
        },
        Expected{.entries = {u"a1"_s}, .parameters = {u"p"_s}, .returned = {-1}});

    // Launching: the path alone, blanks and all.
    row(
        "start a path with a blank",
        [](Rig& r) {
            r.apps.addApplication();
            r.ok(u"my tool"_s);
            r.files.files.insert(u"/opt/my tool"_s);
            r.apps.startApplication(3);
        },
        Expected{.applications = numbered(u"a"_s, 3) << u"my tool"_s,
                 .samples = numbered(u"s"_s, 3) << u"new"_s,
                 .launched = {u"/opt/my tool"_s},
                 .events = {u"form 1"_s}});
    row(
        "start a missing program", [](Rig& r) { r.apps.startApplication(0); },
        Expected{.messages = {u"/opt/a1\r\n\r\nは起動できません。パスが見つかりません"_s}});

    // Keys go in at the caret, over the selection, clamped to the text; only while editing.
    const auto editingFirst = [](const QString& text, int caret) {
        return Expected{.editor = {u"<App1>"_s, text, u"s1"_s, Editing | SampleEditable | TextOpen},
                        .returned = {caret}};
    };
    row(
        "key over a selection",
        [](Rig& r) {
            r.edit(0, u"a XXX b"_s);
            r.keep(r.editor.insertColumnKey(5, 2, 3));
        },
        editingFirst(u"a <c5> b"_s, 6));
    row(
        "selection past the end",
        [](Rig& r) {
            r.edit(0, u"abc"_s);
            r.keep(r.editor.insertColumnKey(5, 1, 9));
        },
        editingFirst(u"a<c5>"_s, 5));
    row(
        "caret before the start",
        [](Rig& r) {
            r.edit(0, u"ab"_s);
            r.keep(r.editor.insertColumnKey(5, -3, 0));
        },
        editingFirst(u"<c5>ab"_s, 4));
    row(
        "keys only while editing",
        [](Rig& r) {
            r.editor.selectApplication(0);
            r.keep(r.editor.insertApplicationKey(0, 0, 0));
            r.editor.editSample();
            r.editor.setText(QString());
            r.keep(r.editor.insertApplicationKey(2, 0, 0));
            r.keep(r.editor.insertColumnKey(4, 6, 0));
            r.editor.storeAsSample(0);
            r.editor.setText(u"idle"_s);
            r.keep(r.editor.insertColumnKey(1, 0, 0));
        },
        Expected{.samples = {u"<App3><c4>"_s, u"s2"_s, u"s3"_s},
                 .editor = {u"<App1>"_s, u"idle"_s, u"<App3><c4>"_s, SampleEditable | TextOpen},
                 .returned = {-1, 6, 10, -1}});

    // Storing samples; for a key that names no application the text and the mode stay.
    row(
        "store an empty sample",
        [](Rig& r) {
            r.edit(0, QString());
            r.editor.storeAsSample(0);
        },
        Expected{.samples = {QString(), u"s2"_s, u"s3"_s},
                 .editor = {u"<App1>"_s, {}, {}, SampleEditable | TextOpen}});
    row(
        "store with another application selected",
        [](Rig& r) {
            r.fill(5);
            r.edit(2, u"x"_s);
            r.editor.selectApplication(4);
            r.editor.storeAsSample(4);
        },
        Expected{.applications = numbered(u"a"_s, 5),
                 .samples = {u"s1"_s, u"s2"_s, u"x"_s, u"s4"_s, u"s5"_s},
                 .editor = {u"<App3>"_s, {}, u"s5"_s, SampleEditable | TextOpen}});
    row(
        "store for a deleted application",
        [](Rig& r) {
            r.fill(0);
            r.addEntry(u"<App1>"_s);
            r.batch.reedit(0);
            r.editor.storeAsSample(-1);
        },
        Expected{
            .applications = {}, .samples = {}, .editor = {u"<App1>"_s, u"typed"_s, {}, Editing | TextOpen}});
    row(
        "store for a key past any number",
        [](Rig& r) {
            r.addEntry(u"<App99999999999999999999>"_s);
            r.batch.reedit(0);
            r.editor.selectApplication(0);
            r.editor.storeAsSample(0);
        },
        Expected{.editor = {u"<App99999999999999999999>"_s, u"typed"_s, u"s1"_s,
                            Editing | SampleEditable | TextOpen}});

    // Registering: blanks are a text, nothing is not; editing replaces the text without asking.
    row(
        "register blanks",
        [](Rig& r) {
            r.edit(1, u"  "_s);
            r.editor.addToBatch();
        },
        Expected{.entries = {u"a2"_s},
                 .parameters = {u"  "_s},
                 .editor = {{}, {}, u"s2"_s, SampleEditable | TextOpen},
                 .events = {u"run on"_s}});
    row(
        "register nothing",
        [](Rig& r) {
            r.edit(1, QString());
            r.editor.addToBatch();
        },
        Expected{.editor = {u"<App2>"_s, {}, u"s2"_s, Editing | SampleEditable | TextOpen}});
    row(
        "edit another sample",
        [](Rig& r) {
            r.edit(0, u"half"_s);
            r.editor.selectApplication(1);
            r.editor.editSample();
        },
        Expected{.editor = {u"<App2>"_s, u"s2"_s, u"s2"_s, Editing | SampleEditable | TextOpen}});

    // The batch list: moves, re-editing, and only "clear all" turns the run button off.
    const QStringList abc{u"A"_s, u"B"_s, u"C"_s};
    row(
        "move up",
        [abc](Rig& r) {
            r.addEntries(abc);
            r.keep(r.batch.moveUp(1));
            r.keep(r.batch.moveUp(0));
        },
        Expected{.entries = {u"a2"_s, u"a1"_s, u"a3"_s},
                 .parameters = {u"B"_s, u"A"_s, u"C"_s},
                 .returned = {0, 0}});
    row(
        "move down",
        [abc](Rig& r) {
            r.addEntries(abc);
            r.keep(r.batch.moveDown(1));
            r.keep(r.batch.moveDown(2));
        },
        Expected{.entries = {u"a1"_s, u"a3"_s, u"a2"_s},
                 .parameters = {u"A"_s, u"C"_s, u"B"_s},
                 .returned = {2, 2}});
    row(
        "re-edit replaces the text",
        [abc](Rig& r) {
            r.addEntries(abc);
            r.editor.selectApplication(0);
            r.editor.editSample();
            r.batch.reedit(1);
            r.editor.addToBatch();
        },
        Expected{.entries = {u"a1"_s, u"a3"_s, u"a2"_s},
                 .parameters = {u"A"_s, u"C"_s, u"B"_s},
                 .editor = {{}, {}, u"s1"_s, SampleEditable | TextOpen},
                 .events = {u"run on"_s}});
    row(
        "remove, re-edit, clear",
        [](Rig& r) {
            r.addEntries({u"p"_s, u"q"_s});
            r.batch.removeEntry(0);
            r.batch.reedit(0);
            r.addEntries({u"r"_s});
            r.batch.clear();
        },
        Expected{.editor = {u"<App2>"_s, u"q"_s, {}, Editing | TextOpen}, .events = {u"run off"_s}});
}

void TestApps::scenario()
{
    QFETCH(Steps, steps);
    QFETCH(Expected, expected);
    Rig rig;
    steps(rig);

    const AppRegistry& apps = rig.table.apps;
    QStringList applications, samples;
    for (int r = 0; r < apps.count(); ++r) {
        applications << apps.application(r);
        samples << apps.sample(r);
        // Keys are numbered from 1 and a row's fields travel together.
        QCOMPARE(apps.key(r), AppRegistry::keyFor(r + 1));
        QCOMPARE(apps.path(r), u"/opt/"_s + apps.application(r));
    }
    QCOMPARE(applications, expected.applications);
    QCOMPARE(samples, expected.samples);

    const BatchList& batch = rig.table.batch;
    QStringList entries, parameters;
    for (int r = 0; r < batch.count(); ++r) {
        const QString application = batch.application(r);
        entries << application;
        parameters << batch.parameter(r);
        QCOMPARE(batch.key(r), u"<App"_s + application.mid(1) + u'>');
        QCOMPARE(batch.path(r), u"/opt/"_s + application);
    }
    QCOMPARE(entries, expected.entries);
    QCOMPARE(parameters, expected.parameters);

    const ParameterEditor& editor = rig.editor;
    QCOMPARE(editor.label9(ParameterEditor::Key), expected.editor.target);
    QCOMPARE(editor.text1(), expected.editor.text);
    QCOMPARE(editor.label1(), expected.editor.shownSample);
    QCOMPARE(editor.isEditing(), bool(expected.editor.flags & Editing));
    QCOMPARE(editor.canEditSample(), bool(expected.editor.flags & SampleEditable));
    QCOMPARE(editor.isTextOpen(), bool(expected.editor.flags & TextOpen));
    QCOMPARE(editor.keepsSampleCleared(), bool(expected.editor.flags & SampleKeptCleared));

    QStringList messages, questions;
    for (const FakeDialogs::Shown& shown : std::as_const(rig.dialogs.shown)) {
        QCOMPARE(shown.title, u"Lomvato"_s);
        (shown.buttons == Dialogs::Buttons::OkCancel ? questions : messages) << shown.text;
    }
    QCOMPARE(messages, expected.messages);
    QCOMPARE(questions, expected.questions);
    QCOMPARE(rig.launcher.started, expected.launched);
    QCOMPARE(rig.launcher.showModes, QList<int>(expected.launched.size(), 1));
    QCOMPARE(rig.events, expected.events);
    QCOMPARE(rig.returned, expected.returned);
}

QTEST_GUILESS_MAIN(TestApps)
#include "tst_apps.moc"
