#include "Fakes.h"
#include "apps/AppCommands.h"
#include "apps/BatchCommands.h"
#include "apps/ParameterEditor.h"
#include "core/WorkTable.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <climits>
#include <functional>
#include <map>

using namespace Qt::StringLiterals;

namespace
{

// The main window's application area over fakes, driven by ';'-separated steps. It starts with three
// applications aN (path /opt/aN, sample sN). `log` keeps what the user would see: messages ('?' when they ask
// OK/Cancel), launches, Form2 openings, the run button, and returned selections or carets ("=N").
struct Rig {
    static constexpr int none = INT_MIN;
    WorkTable table;
    FakeDialogs dialogs;
    FakeFileSystem files;
    FakeLauncher launcher;
    ParameterEditor editor{table};
    AppCommands apps{table.apps, editor, dialogs, files, launcher, QString()};
    BatchCommands batch{table.batch, editor};
    static constexpr auto qtTest = QAbstractItemModelTester::FailureReportingMode::QtTest;
    QAbstractItemModelTester appsTester{&table.apps, qtTest}, batchTester{&table.batch, qtTest};
    QStringList log;

    Rig()
    {
        apps.setShowDialog([this](const AppDialogRequest& r) {
            log << u"form %1 %2 %3"_s.arg(r.lv2app).arg(r.sample, r.folder).trimmed();
        });
        const auto run = [this](bool on) { log << (on ? u"run on"_s : u"run off"_s); };
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
    void step(const QString& step)
    {
        const QString op = step.section(u' ', 0, 0), arg = step.section(u' ', 1);
        const QStringList args = arg.split(u' ');
        const int n = args.value(0).toInt(), s = args.value(1).toInt(), l = args.value(2).toInt();
        const auto appendBatch = [this](const QString& parameter) {
            const QString a = u"a%1"_s.arg(table.batch.count() + 1);
            table.batch.appendRow({u"<App%1>"_s.arg(a.mid(1)), a, parameter, u"/opt/"_s + a});
        };
        const std::map<QString, std::function<int()>> ops{
            {u"apps"_s, [&] { return fill(n), none; }},
            {u"add"_s, [&] { return apps.addApplication(), none; }},
            {u"change"_s, [&] { return apps.changeApplication(n), none; }},
            // The dialog's OK in /opt with the file `arg` and the sample "new".
            {u"ok"_s, [&] { return apps.storeApplication(u"/opt"_s, arg, u"new"_s), none; }},
            {u"cancel"_s, [&] { return dialogs.answers.push_back(Dialogs::Answer::Cancel), none; }},
            {u"delete"_s, [&] { return apps.removeApplication(n), none; }},
            {u"exists"_s, [&] { return files.files.insert(arg), none; }},
            {u"launch"_s, [&] { return apps.startApplication(n), none; }},
            {u"pick"_s, [&] { return editor.selectApplication(n), none; }},
            {u"edit"_s, [&] { return editor.editSample(), none; }},
            {u"type"_s, [&] { return editor.setText(arg), none; }},
            // Application n's key (or column n's) over the selection [s, s + l).
            {u"key"_s, [&] { return editor.insertApplicationKey(n, s, l); }},
            {u"col"_s, [&] { return editor.insertColumnKey(n, s, l); }},
            {u"store"_s, [&] { return editor.storeAsSample(n), none; }},
            {u"register"_s, [&] { return editor.addToBatch(), none; }},
            // Entries for a1, a2, ... with these parameters; an entry for an application that may be gone.
            {u"batch"_s, [&] { return std::for_each(args.begin(), args.end(), appendBatch), none; }},
            {u"entry"_s,
             [&] {
                 return table.batch.appendRow({arg, QString(), u"typed"_s, QString()}), none;
             }},
            {u"reedit"_s, [&] { return batch.reedit(n), none; }},
            {u"remove"_s, [&] { return batch.removeEntry(n), none; }},
            {u"clear"_s, [&] { return batch.clear(), none; }},
            {u"up"_s, [&] { return batch.moveUp(n); }},
            {u"down"_s, [&] { return batch.moveDown(n); }},
        };
        const auto found = ops.find(op);
        QVERIFY2(found != ops.end(), qPrintable(step));
        if (const int returned = found->second(); returned != none)
            log << u"=%1"_s.arg(returned);
    }
    // apps|batch|edit target's key|Text1|sample display|E(diting) 6(Command6) T(Text1) D(lv2del)|log; "bad"
    // unless the keys are numbered from 1 and the fields of each row travel together.
    QString state() const
    {
        QStringList appRows, batchRows, events, bad;
        for (int r = 0; r < table.apps.count(); ++r) {
            const QString a = table.apps.application(r);
            appRows << a + u':' + table.apps.sample(r);
            if (table.apps.key(r) + table.apps.path(r) != AppRegistry::keyFor(r + 1) + u"/opt/"_s + a)
                bad << u"bad app %1"_s.arg(r);
        }
        if (appRows.size() > 9)
            appRows = QStringList{u"%1 rows, last"_s.arg(appRows.size()), appRows.last()};
        for (int r = 0; r < table.batch.count(); ++r) {
            const QString a = table.batch.application(r);
            batchRows << a + u':' + table.batch.parameter(r);
            if (table.batch.key(r) + table.batch.path(r) != u"<App%1>/opt/"_s.arg(a.mid(1)) + a)
                bad << u"bad entry %1"_s.arg(r);
        }
        QString flags;
        const bool on[] = {editor.isEditing(), editor.canEditSample(), editor.isTextOpen(),
                           editor.keepsSampleCleared()};
        for (int i = 0; i < 4; ++i)
            if (on[i])
                flags += u"E6TD"_s.at(i);
        for (const auto& shown : dialogs.shown)
            events << (shown.title == u"Lomvato"_s ? QString() : shown.title) +
                          (shown.buttons == Dialogs::Buttons::OkCancel ? u"?"_s : QString()) + shown.text;
        for (int i = 0; i < launcher.started.size(); ++i)
            events << u"start %1 %2"_s.arg(launcher.started.at(i)).arg(launcher.showModes.value(i));
        return u"%1|%2|%3|%4|%5|%6|%7"_s.arg(appRows.join(u' '), batchRows.join(u' '), editor.label9(0),
                                             editor.text1(), editor.label1(), flags,
                                             (events + log + bad).join(u'/'));
    }
};

} // namespace

class TestApps : public QObject
{
    Q_OBJECT
private slots:
    void scenario_data();
    void scenario();
};

void TestApps::scenario_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("state");
    const auto row = [](const char* steps, const QString& state) {
        QTest::newRow(steps) << QString::fromUtf8(steps) << state;
    };
    const QString three = u"a1:s1 a2:s2 a3:s3"_s, limit = u"|アプリケーションは99までしか登録できません"_s;
    const QString confirm = u"?アプリケーションの削除は、パラメータテキスト編集中ではできません\r\n"
                            u"パラメータテキスト編集をクリアしますか"_s;
    // The limit, including a template that brings more; every OK renumbers, a change overwrites in place.
    row("apps 98;add;ok new", u"99 rows, last new:new||||||form 1"_s);
    row("apps 99;add", u"99 rows, last a99:s99|||||"_s + limit);
    row("apps 120;add", u"120 rows, last a120:s120|||||"_s + limit);
    row("change 1;ok a1", u"a1:s1 a1:new a3:s3||||||form 3 s2 /opt"_s);
    row("add;ok", three + u"||||||ファイルを選択してください/form 1"_s);
    // Deleting: written texts keep their keys; the confirmation while editing; an empty list.
    row("apps 4;batch <App4>;pick 0;delete 0", u"a2:s2 a3:s3 a4:s4|a1:<App4>||||D|"_s);
    row("apps 4;pick 3;delete 3", three + u"|||||D|"_s);
    row("pick 1;edit;type typed;cancel;delete 1", three + u"||<App2>|typed|s2|E6T|"_s + confirm);
    row("pick 1;edit;type typed;delete 1", u"a1:s1 a3:s3|||||D|"_s + confirm);
    row("pick 0;apps 0;delete -1", u"|||||6|"_s);
    row("pick 0;delete 0;pick 0;edit;pick 1", u"a2:s2 a3:s3||<App1>||s3|E6T|"_s);
    // Without a selection nothing happens.
    row("batch p;exists /opt/a1;change -1;delete -1;launch -1;pick -1;remove -1;reedit -1;up -1",
        three + u"|a1:p|||||=-1"_s);
    // Launching: the path alone, blanks and all.
    row("add;ok my tool;exists /opt/my tool;launch 3",
        three + u" my tool:new||||||start /opt/my tool 1/form 1"_s);
    row("launch 0", three + u"||||||/opt/a1\r\n\r\nは起動できません。パスが見つかりません"_s);
    // Keys go in at the caret, over the selection, clamped to the text; only while editing.
    row("pick 0;edit;type a XXX b;col 5 2 3", three + u"||<App1>|a <c5> b|s1|E6T|=6"_s);
    row("pick 0;edit;type abc;col 5 1 9", three + u"||<App1>|a<c5>|s1|E6T|=5"_s);
    row("pick 0;edit;type ab;col 5 -3 0", three + u"||<App1>|<c5>ab|s1|E6T|=4"_s);
    row("pick 0;key 0 0 0;edit;type;key 2 0 0;col 4 6 0;store 0;type idle;col 1 0 0",
        u"a1:<App3><c4> a2:s2 a3:s3||<App1>|idle|<App3><c4>|6T|=-1/=6/=10/=-1"_s);
    // Storing samples; for a key that names no application the text and the mode stay.
    row("pick 0;edit;type;store 0", u"a1: a2:s2 a3:s3||<App1>|||6T|"_s);
    row("apps 5;pick 2;edit;type x;pick 4;store 4", u"a1:s1 a2:s2 a3:x a4:s4 a5:s5||<App3>||s5|6T|"_s);
    row("apps 0;entry <App1>;reedit 0;store -1", u"||<App1>|typed||ET|"_s);
    row("entry <App99999999999999999999>;reedit 0;pick 0;store 0",
        three + u"||<App99999999999999999999>|typed|s1|E6T|"_s);
    // Registering: blanks are a text, nothing is not; editing replaces the text without asking.
    row("pick 1;edit;type   ;register", three + u"|a2:  |||s2|6T|run on"_s);
    row("pick 1;edit;type;register", three + u"||<App2>||s2|E6T|"_s);
    row("pick 0;edit;type half;pick 1;edit", three + u"||<App2>|s2|s2|E6T|"_s);
    // The batch list: moves, re-editing, and only "clear all" turns the run button off.
    row("batch A B C;up 1;up 0", three + u"|a2:B a1:A a3:C|||||=0/=0"_s);
    row("batch A B C;down 1;down 2", three + u"|a1:A a3:C a2:B|||||=2/=2"_s);
    row("batch A B C;pick 0;edit;reedit 1;register", three + u"|a1:A a3:C a2:B|||s1|6T|run on"_s);
    row("batch p q;remove 0;reedit 0;batch r;clear", three + u"||<App2>|q||ET|run off"_s);
}

void TestApps::scenario()
{
    QFETCH(QString, steps);
    QFETCH(QString, state);
    Rig rig;
    for (const QString& step : steps.split(u';'))
        rig.step(step);
    QCOMPARE(rig.state(), state);
}

QTEST_GUILESS_MAIN(TestApps)
#include "tst_apps.moc"
