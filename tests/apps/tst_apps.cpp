#include "Fakes.h"
#include "apps/AppCommands.h"
#include "apps/BatchCommands.h"
#include "apps/ParameterEditor.h"
#include "core/WorkTable.h"
#include "platform/ProgramFolder.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{

const QString deleteQuestion = u"アプリケーションの削除は、パラメータテキスト編集中ではできません\r\n"
                               u"パラメータテキスト編集をクリアしますか"_s;

// The main window's application area, with the platform replaced by fakes.
struct Rig {
    WorkTable table;
    FakeDialogs dialogs;
    FakeFileSystem files;
    FakeLauncher launcher;
    ParameterEditor editor{table};
    AppCommands apps{table, editor, dialogs, files, launcher};
    BatchCommands batch{table.batch, editor};
    QList<AppDialogRequest> requests;

    Rig()
    {
        apps.setShowForm2([this](const AppDialogRequest& r) { requests.append(r); });
    }
    // Adds through the menu and the dialog's OK, as the user does.
    void add(const QString& name, const QString& sample = {}, const QString& folder = u"/opt/tools"_s)
    {
        apps.Pulldown_appli_tuika_Click();
        QVERIFY(apps.Form2_Command1_Click(folder, name, sample));
    }
    void fill(int count)
    {
        std::vector<QStringList> rows;
        for (int i = 1; i <= count; ++i)
            rows.push_back({AppRegistry::keyFor(i), u"a%1"_s.arg(i), u"/opt/a%1"_s.arg(i), u"s%1"_s.arg(i)});
        table.apps.resetRows(std::move(rows));
    }
    QStringList column(const TextRowList& list, int column) const
    {
        QStringList out;
        for (int r = 0; r < list.count(); ++r)
            out.append(list.cell(r, column));
        return out;
    }
    QStringList keys() const { return column(table.apps, AppRegistry::Key); }
    QStringList names() const { return column(table.apps, AppRegistry::Application); }
    QStringList parameters() const { return column(table.batch, BatchList::Parameter); }
    // Selects application `row` and starts editing its sample.
    void edit(int row)
    {
        editor.ListView2_Click(row);
        editor.Command6_Click();
    }
};

} // namespace

class TestApps : public QObject
{
    Q_OBJECT
private slots:
    // Applications
    void addHonoursTheLimit_data();
    void addHonoursTheLimit();
    void sameProgramTwice();
    void okJoinsFolderAndName_data();
    void okJoinsFolderAndName();
    void everyOkRenumbers_data();
    void everyOkRenumbers();
    void changeWithoutFileKeepsRow();
    void changeStartsInTheProgramsFolder_data();
    void changeStartsInTheProgramsFolder();
    void deleteMovesLaterRowsUp_data();
    void deleteMovesLaterRowsUp();
    void deleteWhileEditing_data();
    void deleteWhileEditing();
    void deleteOnEmptyListClearsSampleOnly();
    void commandsWithoutSelectionDoNothing();
    void launch_data();
    void launch();

    // Parameter editor
    void insertKeyAtCaret_data();
    void insertKeyAtCaret();
    void insertKeyOutsideEditingDoesNothing();
    void doubleClicksInsertTheListsKey();
    void storeSample_data();
    void storeSample();
    void storeIntoEditTargetShowsSelected();
    void storeForMissingApplicationKeepsText_data();
    void storeForMissingApplicationKeepsText();
    void keyNumber_data();
    void keyNumber();
    void firstSelectionAfterDeleteShowsNoSample();
    void registerText_data();
    void registerText();
    void editReplacesTextWithoutQuestion();
    void sampleDisplayIsNotReRead();

    // Batch list
    void moves_data();
    void moves();
    void upThenDownRestoresOrder();
    void reeditSecondOfThree();
    void reeditOnlyEntryKeepsRunButton();
    void clearDisablesRunButton();
};

void TestApps::addHonoursTheLimit_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("opens");
    QTest::addRow("empty") << 0 << true;
    QTest::addRow("98") << 98 << true;
    QTest::addRow("99") << 99 << false;
    QTest::addRow("more from a template") << 120 << false;
}

void TestApps::addHonoursTheLimit()
{
    QFETCH(int, rows);
    QFETCH(bool, opens);
    Rig rig;
    rig.fill(rows);
    rig.apps.Pulldown_appli_tuika_Click();
    QCOMPARE(rig.requests.size(), opens ? 1 : 0);
    if (!opens) {
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.shown.at(0).text, u"アプリケーションは99までしか登録できません"_s);
        QCOMPARE(rig.dialogs.shown.at(0).title, u"Lomvato"_s);
        QCOMPARE(rig.table.apps.count(), rows);
        return;
    }
    QCOMPARE(rig.requests.at(0).lv2app, 1);
    QVERIFY(rig.requests.at(0).folder.isEmpty());
    QVERIFY(rig.requests.at(0).sample.isEmpty());
    QVERIFY(rig.apps.Form2_Command1_Click(u"/bin"_s, u"new"_s, u"<App1> x"_s));
    QCOMPARE(rig.table.apps.count(), rows + 1);
    QCOMPARE(rig.table.apps.key(rows), AppRegistry::keyFor(rows + 1));
    QCOMPARE(rig.table.apps.sample(rows), u"<App1> x"_s);
    QVERIFY(rig.dialogs.shown.isEmpty());
}

void TestApps::sameProgramTwice()
{
    Rig rig;
    QAbstractItemModelTester tester(&rig.table.apps, QAbstractItemModelTester::FailureReportingMode::QtTest);
    rig.add(u"tool"_s);
    rig.add(u"tool"_s);
    QCOMPARE(rig.keys(), (QStringList{u"<App1>"_s, u"<App2>"_s}));
    QCOMPARE(rig.table.apps.rowCells(0).mid(1), rig.table.apps.rowCells(1).mid(1));
}

void TestApps::okJoinsFolderAndName_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    const QString sep = QDir::separator();
    QTest::addRow("folder") << u"/opt/my tools"_s << u"/opt/my tools"_s + sep + u"a b"_s;
    QTest::addRow("root") << sep << sep + u"a b"_s;
}

void TestApps::okJoinsFolderAndName()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    Rig rig;
    rig.add(u"a b"_s, {}, folder);
    QCOMPARE(rig.table.apps.application(0), u"a b"_s);
    QCOMPARE(rig.table.apps.path(0), path);
}

void TestApps::everyOkRenumbers_data()
{
    QTest::addColumn<bool>("change");
    QTest::addRow("add") << false;
    QTest::addRow("change") << true;
}

void TestApps::everyOkRenumbers()
{
    QFETCH(bool, change);
    Rig rig;
    // Keys as a template may bring them: taken as stored until a command renumbers.
    rig.table.apps.resetRows({{u"<App7>"_s, u"a"_s}, {u"x"_s, u"b"_s}, {QString(), u"c"_s}});
    if (change)
        rig.apps.Pulldown_appli_henkou_Click(1);
    else
        rig.apps.Pulldown_appli_tuika_Click();
    QVERIFY(rig.apps.Form2_Command1_Click(u"/opt"_s, u"d"_s, u"s"_s));
    if (change) {
        QCOMPARE(rig.keys(), (QStringList{u"<App1>"_s, u"<App2>"_s, u"<App3>"_s}));
        QCOMPARE(rig.names(), (QStringList{u"a"_s, u"d"_s, u"c"_s}));
        QCOMPARE(rig.table.apps.sample(1), u"s"_s);
    } else {
        QCOMPARE(rig.keys(), (QStringList{u"<App1>"_s, u"<App2>"_s, u"<App3>"_s, u"<App4>"_s}));
    }
}

void TestApps::changeWithoutFileKeepsRow()
{
    Rig rig;
    rig.add(u"a"_s, u"old"_s);
    const QStringList before = rig.table.apps.rowCells(0);
    rig.apps.Pulldown_appli_henkou_Click(0);
    QCOMPARE(rig.apps.lv2app(), 3);
    QCOMPARE(rig.requests.last().sample, u"old"_s);
    QVERIFY(!rig.apps.Form2_Command1_Click(u"/opt"_s, QString(), u"new"_s));
    QCOMPARE(rig.dialogs.shown.size(), 1);
    QCOMPARE(rig.dialogs.shown.at(0).text, u"ファイルを選択してください"_s);
    QCOMPARE(rig.table.apps.rowCells(0), before);
}

void TestApps::changeStartsInTheProgramsFolder_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    const QString sep = QDir::separator();
    QTest::addRow("nested") << sep + u"opt"_s + sep + u"b"_s + sep + u"tool"_s
                            << sep + u"opt"_s + sep + u"b"_s;
    QTest::addRow("in the root") << sep + u"tool"_s << sep;
    QTest::addRow("bare name") << u"tool"_s << QString();
    QTest::addRow("empty") << QString() << QString();
}

void TestApps::changeStartsInTheProgramsFolder()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    Rig rig;
    rig.table.apps.appendRow({u"<App1>"_s, u"tool"_s, path, u"s"_s});
    rig.apps.Pulldown_appli_henkou_Click(0);
    QCOMPARE(rig.requests.size(), 1);
    QCOMPARE(rig.requests.at(0).lv2app, 3);
    QCOMPARE(rig.requests.at(0).folder, folder);
    QCOMPARE(rig.requests.at(0).fallbackFolder, executableFolder());
}

void TestApps::deleteMovesLaterRowsUp_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("names");
    QTest::addRow("first") << 0 << QStringList{u"a2"_s, u"a3"_s, u"a4"_s};
    QTest::addRow("middle") << 2 << QStringList{u"a1"_s, u"a2"_s, u"a4"_s};
    QTest::addRow("last") << 3 << QStringList{u"a1"_s, u"a2"_s, u"a3"_s};
}

void TestApps::deleteMovesLaterRowsUp()
{
    QFETCH(int, row);
    QFETCH(QStringList, names);
    Rig rig;
    rig.fill(4);
    rig.table.batch.appendRow({u"<App4>"_s, u"a4"_s, u"<App4> <c5>"_s, u"/opt/a4"_s});
    rig.editor.ListView2_Click(row);
    rig.apps.Pulldown_appli_sakuzyo_Click(row);
    QVERIFY(rig.dialogs.shown.isEmpty());
    QCOMPARE(rig.names(), names);
    QCOMPARE(rig.keys(), (QStringList{u"<App1>"_s, u"<App2>"_s, u"<App3>"_s}));
    // Texts already written keep their keys.
    QCOMPARE(rig.table.batch.key(0), u"<App4>"_s);
    QCOMPARE(rig.table.batch.parameter(0), u"<App4> <c5>"_s);
    QCOMPARE(rig.editor.lv2del(), 1);
    QVERIFY(!rig.editor.command6Enabled());
    QVERIFY(!rig.editor.text1Enabled());
    QCOMPARE(rig.editor.label1(), QString());
}

void TestApps::deleteWhileEditing_data()
{
    QTest::addColumn<Dialogs::Answer>("answer");
    QTest::addRow("cancel") << Dialogs::Answer::Cancel;
    QTest::addRow("ok") << Dialogs::Answer::Ok;
}

void TestApps::deleteWhileEditing()
{
    QFETCH(Dialogs::Answer, answer);
    Rig rig;
    rig.fill(3);
    rig.edit(1);
    rig.editor.setText(u"typed"_s);
    rig.dialogs.answers.push_back(answer);
    rig.apps.Pulldown_appli_sakuzyo_Click(1);
    QCOMPARE(rig.dialogs.shown.size(), 1);
    QCOMPARE(rig.dialogs.shown.at(0).text, deleteQuestion);
    QCOMPARE(rig.dialogs.shown.at(0).buttons, Dialogs::Buttons::OkCancel);
    if (answer == Dialogs::Answer::Cancel) {
        QCOMPARE(rig.table.apps.count(), 3);
        QVERIFY(rig.editor.isEditing());
        QCOMPARE(rig.editor.text1(), u"typed"_s);
        QCOMPARE(rig.editor.label9(ParameterEditor::Key), u"<App2>"_s);
        QCOMPARE(rig.editor.lv2del(), 0);
    } else {
        QCOMPARE(rig.names(), (QStringList{u"a1"_s, u"a3"_s}));
        QVERIFY(!rig.editor.isEditing());
        QCOMPARE(rig.editor.text1(), QString());
        QCOMPARE(rig.editor.label9(ParameterEditor::Key), QString());
        QVERIFY(!rig.editor.text1Enabled());
        QCOMPARE(rig.editor.lv2del(), 1);
    }
}

void TestApps::deleteOnEmptyListClearsSampleOnly()
{
    Rig rig;
    rig.fill(1);
    rig.editor.ListView2_Click(0);
    QCOMPARE(rig.editor.label1(), u"s1"_s);
    rig.table.apps.clear(); // a template without applications was opened
    rig.apps.Pulldown_appli_sakuzyo_Click(-1);
    QCOMPARE(rig.editor.label1(), QString());
    QVERIFY(rig.editor.command6Enabled());
    QCOMPARE(rig.editor.lv2del(), 0);
    QVERIFY(rig.dialogs.shown.isEmpty());
}

void TestApps::commandsWithoutSelectionDoNothing()
{
    Rig rig;
    rig.fill(2);
    rig.table.batch.appendRow({u"<App1>"_s, u"a1"_s, u"p"_s, u"/opt/a1"_s});
    rig.files.files.insert(u"/opt/a1"_s);
    rig.editor.ListView2_Click(0);
    rig.apps.Pulldown_appli_henkou_Click(-1);
    rig.apps.Pulldown_appli_sakuzyo_Click(-1);
    rig.apps.Command2_Click(-1);
    rig.editor.ListView2_Click(-1);
    rig.batch.Pulldown_BatchList_sakuzyo_Click(-1);
    rig.batch.Pulldown_BatchList_saihensyu_Click(-1);
    QCOMPARE(rig.batch.UpDown1_UpClick(-1), -1);
    QCOMPARE(rig.batch.UpDown1_DownClick(-1), -1);
    QCOMPARE(rig.table.apps.count(), 2);
    QCOMPARE(rig.table.batch.count(), 1);
    QVERIFY(rig.requests.isEmpty());
    QVERIFY(rig.launcher.started.isEmpty());
    QVERIFY(rig.dialogs.shown.isEmpty());
    QVERIFY(!rig.editor.isEditing());
    QCOMPARE(rig.editor.label8(ParameterEditor::Key), u"<App1>"_s);
}

void TestApps::launch_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("exists");
    QTest::addRow("exists") << u"/opt/tools/run"_s << true;
    QTest::addRow("blanks in the path") << u"/opt/my tools/run it"_s << true;
    QTest::addRow("missing") << u"/opt/gone"_s << false;
    QTest::addRow("empty path") << QString() << false;
}

void TestApps::launch()
{
    QFETCH(QString, path);
    QFETCH(bool, exists);
    Rig rig;
    rig.table.apps.appendRow({u"<App1>"_s, u"run"_s, path});
    if (exists)
        rig.files.files.insert(path);
    rig.apps.Command2_Click(0);
    if (exists) {
        QCOMPARE(rig.launcher.started, QStringList{path});
        QCOMPARE(rig.launcher.showModes, QList<int>{1});
        QVERIFY(rig.dialogs.shown.isEmpty());
    } else {
        QVERIFY(rig.launcher.started.isEmpty());
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.shown.at(0).text, path + u"\r\n\r\nは起動できません。パスが見つかりません"_s);
    }
    QVERIFY(rig.table.log.text().isEmpty());
}

void TestApps::insertKeyAtCaret_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("caret");
    QTest::addRow("middle") << u"ab cd"_s << 2 << 0 << u"ab<c5> cd"_s << 6;
    QTest::addRow("start") << u"ab"_s << 0 << 0 << u"<c5>ab"_s << 4;
    QTest::addRow("end") << u"ab"_s << 2 << 0 << u"ab<c5>"_s << 6;
    QTest::addRow("over a selection") << u"a XXX b"_s << 2 << 3 << u"a <c5> b"_s << 6;
    QTest::addRow("empty text") << QString() << 0 << 0 << u"<c5>"_s << 4;
    QTest::addRow("caret past the end") << u"ab"_s << 9 << 0 << u"ab<c5>"_s << 6;
    QTest::addRow("selection past the end") << u"abc"_s << 1 << 9 << u"a<c5>"_s << 5;
    QTest::addRow("negative caret") << u"ab"_s << -3 << 0 << u"<c5>ab"_s << 4;
}

void TestApps::insertKeyAtCaret()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, result);
    QFETCH(int, caret);
    Rig rig;
    rig.fill(1);
    rig.edit(0);
    rig.editor.setText(text);
    QCOMPARE(rig.editor.insertKey(u"<c5>"_s, start, length), caret);
    QCOMPARE(rig.editor.text1(), result);
}

void TestApps::insertKeyOutsideEditingDoesNothing()
{
    Rig rig;
    rig.fill(1);
    rig.editor.ListView2_Click(0);
    QCOMPARE(rig.editor.insertKey(u"<c1>"_s, 0, 0), -1); // Idle from the start
    rig.editor.Command6_Click();
    rig.editor.Command5_Click(0);
    // The edit target's key is still shown, yet Idle refuses the key.
    QCOMPARE(rig.editor.label9(ParameterEditor::Key), u"<App1>"_s);
    rig.editor.setText(u"typed in Idle"_s);
    QCOMPARE(rig.editor.insertKey(u"<c1>"_s, 0, 0), -1);
    QCOMPARE(rig.editor.text1(), u"typed in Idle"_s);
}

void TestApps::doubleClicksInsertTheListsKey()
{
    Rig rig;
    rig.fill(3);
    rig.edit(0);
    rig.editor.setText(QString());
    QCOMPARE(rig.editor.ListView2_DblClick(2, 0, 0), 6);
    QCOMPARE(rig.editor.ListView3_DblClick(4, 6, 0), 10);
    QCOMPARE(rig.editor.text1(), u"<App3><c4>"_s);
    QCOMPARE(rig.editor.ListView3_DblClick(99, 0, 0), -1);
    QCOMPARE(rig.editor.text1(), u"<App3><c4>"_s);
}

void TestApps::storeSample_data()
{
    QTest::addColumn<QString>("text");
    QTest::addRow("text") << u"<App1> \"<c5>\""_s;
    QTest::addRow("empty empties the sample") << QString();
}

void TestApps::storeSample()
{
    QFETCH(QString, text);
    Rig rig;
    rig.fill(2);
    rig.edit(0);
    rig.editor.setText(text);
    rig.editor.Command5_Click(0);
    QCOMPARE(rig.table.apps.sample(0), text);
    QCOMPARE(rig.editor.label1(), text);
    QVERIFY(!rig.editor.isEditing());
    QVERIFY(!rig.editor.command1Enabled());
    QCOMPARE(rig.editor.text1(), QString());
    QVERIFY(rig.editor.text1Enabled());
    QCOMPARE(rig.editor.label9(ParameterEditor::Key), u"<App1>"_s);
}

void TestApps::storeIntoEditTargetShowsSelected()
{
    Rig rig;
    rig.fill(5);
    rig.edit(2);
    rig.editor.setText(u"for three"_s);
    rig.editor.ListView2_Click(4);
    QCOMPARE(rig.editor.label9(ParameterEditor::Key), u"<App3>"_s);
    rig.editor.Command5_Click(4);
    QCOMPARE(rig.table.apps.sample(2), u"for three"_s);
    QCOMPARE(rig.table.apps.sample(4), u"s5"_s);
    QCOMPARE(rig.editor.label1(), u"s5"_s);
}

void TestApps::storeForMissingApplicationKeepsText_data()
{
    QTest::addColumn<int>("apps");
    QTest::addColumn<QString>("key");
    QTest::addRow("deleted since") << 3 << u"<App5>"_s;
    QTest::addRow("empty registry") << 0 << u"<App1>"_s;
    QTest::addRow("no number") << 3 << u"<Appx>"_s;
}

void TestApps::storeForMissingApplicationKeepsText()
{
    QFETCH(int, apps);
    QFETCH(QString, key);
    Rig rig;
    rig.fill(3);
    rig.editor.ListView2_Click(1);
    rig.table.apps.resetRows({});
    rig.fill(apps);
    rig.table.batch.appendRow({key, u"gone"_s, u"typed text"_s, u"/opt/gone"_s});
    rig.batch.Pulldown_BatchList_saihensyu_Click(0);
    rig.editor.Command5_Click(apps > 0 ? 0 : -1);
    QVERIFY(rig.editor.isEditing());
    QCOMPARE(rig.editor.text1(), u"typed text"_s);
    QCOMPARE(rig.editor.label1(), u"s2"_s);
    for (int r = 0; r < apps; ++r)
        QCOMPARE(rig.table.apps.sample(r), u"s%1"_s.arg(r + 1));
}

void TestApps::keyNumber_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("number");
    QTest::addRow("one digit") << u"<App3>"_s << 3;
    QTest::addRow("two digits") << u"<App42>"_s << 42;
    QTest::addRow("blanks") << u" <App7> "_s << 7;
    QTest::addRow("trailing text") << u"<App2>x"_s << 2;
    QTest::addRow("empty") << QString() << 0;
    QTest::addRow("letters") << u"<Appx>"_s << 0;
    QTest::addRow("lower case is not the key") << u"<app3>"_s << 0;
    QTest::addRow("huge") << u"<App99999999999999>"_s << 0;
}

void TestApps::keyNumber()
{
    QFETCH(QString, key);
    QFETCH(int, number);
    QCOMPARE(ParameterEditor::keyNumber(key), number);
}

void TestApps::firstSelectionAfterDeleteShowsNoSample()
{
    Rig rig;
    rig.fill(3);
    rig.editor.ListView2_Click(0);
    rig.apps.Pulldown_appli_sakuzyo_Click(0);
    rig.editor.ListView2_Click(0);
    QCOMPARE(rig.editor.label8(ParameterEditor::Key), u"<App1>"_s);
    QCOMPARE(rig.editor.label8(ParameterEditor::Application), u"a2"_s);
    QCOMPARE(rig.editor.label1(), QString());
    QCOMPARE(rig.editor.lv2del(), 0);
    rig.editor.Command6_Click();
    QCOMPARE(rig.editor.text1(), QString());
    QVERIFY(rig.editor.isEditing());
    rig.editor.ListView2_Click(1);
    QCOMPARE(rig.editor.label1(), u"s3"_s);
}

void TestApps::registerText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("registers");
    QTest::addRow("text") << u"<App1> <c5>"_s << true;
    QTest::addRow("spaces") << u"   "_s << true;
    QTest::addRow("empty") << QString() << false;
}

void TestApps::registerText()
{
    QFETCH(QString, text);
    QFETCH(bool, registers);
    Rig rig;
    rig.fill(2);
    QSignalSpy run(&rig.editor, &ParameterEditor::runButtonEnabled);
    rig.edit(1);
    rig.editor.setText(text);
    rig.editor.Command1_Click();
    if (!registers) {
        QCOMPARE(rig.table.batch.count(), 0);
        QVERIFY(rig.editor.isEditing());
        QCOMPARE(run.count(), 0);
        return;
    }
    QCOMPARE(rig.table.batch.rowCells(0), (QStringList{u"<App2>"_s, u"a2"_s, text, u"/opt/a2"_s}));
    QVERIFY(!rig.editor.isEditing());
    QCOMPARE(rig.editor.text1(), QString());
    QVERIFY(rig.editor.text1Enabled());
    for (int f : {ParameterEditor::Key, ParameterEditor::Application, ParameterEditor::Path})
        QCOMPARE(rig.editor.label9(f), QString());
    QCOMPARE(run.count(), 1);
    QCOMPARE(run.at(0).at(0).toBool(), true);
}

void TestApps::editReplacesTextWithoutQuestion()
{
    Rig rig;
    rig.fill(2);
    rig.edit(0);
    rig.editor.setText(u"half written"_s);
    rig.editor.ListView2_Click(1);
    rig.editor.Command6_Click();
    QCOMPARE(rig.editor.text1(), u"s2"_s);
    QCOMPARE(rig.editor.label9(ParameterEditor::Key), u"<App2>"_s);
    QCOMPARE(rig.editor.label9(ParameterEditor::Path), u"/opt/a2"_s);
    QVERIFY(rig.dialogs.shown.isEmpty());
}

void TestApps::sampleDisplayIsNotReRead()
{
    Rig rig;
    rig.fill(1);
    rig.editor.ListView2_Click(0);
    rig.apps.Pulldown_appli_henkou_Click(0);
    QVERIFY(rig.apps.Form2_Command1_Click(u"/opt"_s, u"b"_s, u"new sample"_s));
    rig.editor.Command6_Click();
    QCOMPARE(rig.editor.text1(), u"s1"_s);
    rig.editor.ListView2_Click(0);
    QCOMPARE(rig.editor.label1(), u"new sample"_s);
}

void TestApps::moves_data()
{
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<int>("after");
    QTest::addRow("up from the middle") << true << 1 << QStringList{u"B"_s, u"A"_s, u"C"_s} << 0;
    QTest::addRow("down from the middle") << false << 1 << QStringList{u"A"_s, u"C"_s, u"B"_s} << 2;
    QTest::addRow("up from the last") << true << 2 << QStringList{u"A"_s, u"C"_s, u"B"_s} << 1;
    QTest::addRow("up on the first") << true << 0 << QStringList{u"A"_s, u"B"_s, u"C"_s} << 0;
    QTest::addRow("down on the last") << false << 2 << QStringList{u"A"_s, u"B"_s, u"C"_s} << 2;
}

void TestApps::moves()
{
    QFETCH(bool, up);
    QFETCH(int, selected);
    QFETCH(QStringList, order);
    QFETCH(int, after);
    Rig rig;
    QAbstractItemModelTester tester(&rig.table.batch, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (const QString& p : {u"A"_s, u"B"_s, u"C"_s})
        rig.table.batch.appendRow({u"<App1>"_s, u"a"_s, p, u"/opt/" + p});
    const int result = up ? rig.batch.UpDown1_UpClick(selected) : rig.batch.UpDown1_DownClick(selected);
    QCOMPARE(result, after);
    QCOMPARE(rig.parameters(), order);
    // Every field travels with its entry.
    for (int r = 0; r < 3; ++r)
        QCOMPARE(rig.table.batch.path(r), u"/opt/" + order.at(r));
}

void TestApps::upThenDownRestoresOrder()
{
    Rig rig;
    for (const QString& p : {u"A"_s, u"B"_s, u"C"_s})
        rig.table.batch.appendRow({u"<App1>"_s, u"a"_s, p});
    int selected = rig.batch.UpDown1_UpClick(1);
    QCOMPARE(rig.table.batch.parameter(selected), u"B"_s);
    selected = rig.batch.UpDown1_DownClick(selected);
    QCOMPARE(rig.parameters(), (QStringList{u"A"_s, u"B"_s, u"C"_s}));
    QCOMPARE(selected, 1);
}

void TestApps::reeditSecondOfThree()
{
    Rig rig;
    rig.fill(3);
    for (int i = 0; i < 3; ++i) {
        rig.edit(i);
        rig.editor.Command1_Click();
    }
    QCOMPARE(rig.parameters(), (QStringList{u"s1"_s, u"s2"_s, u"s3"_s}));
    rig.edit(0);
    rig.editor.setText(u"replaced without a question"_s);
    rig.batch.Pulldown_BatchList_saihensyu_Click(1);
    QCOMPARE(rig.parameters(), (QStringList{u"s1"_s, u"s3"_s}));
    QVERIFY(rig.editor.isEditing());
    QVERIFY(rig.editor.text1Enabled());
    QCOMPARE(rig.editor.text1(), u"s2"_s);
    QCOMPARE(rig.editor.label9(ParameterEditor::Key), u"<App2>"_s);
    QCOMPARE(rig.editor.label9(ParameterEditor::Application), u"a2"_s);
    QCOMPARE(rig.editor.label9(ParameterEditor::Path), u"/opt/a2"_s);
    rig.editor.Command1_Click();
    QCOMPARE(rig.parameters(), (QStringList{u"s1"_s, u"s3"_s, u"s2"_s}));
    QCOMPARE(rig.table.batch.rowCells(2), (QStringList{u"<App2>"_s, u"a2"_s, u"s2"_s, u"/opt/a2"_s}));
}

void TestApps::reeditOnlyEntryKeepsRunButton()
{
    Rig rig;
    rig.table.batch.appendRow({u"<App1>"_s, u"a"_s, u"p"_s, u"/a"_s});
    rig.table.batch.appendRow({u"<App1>"_s, u"a"_s, u"q"_s, u"/a"_s});
    QSignalSpy run(&rig.batch, &BatchCommands::runButtonEnabled);
    rig.batch.Pulldown_BatchList_sakuzyo_Click(0);
    QCOMPARE(rig.parameters(), QStringList{u"q"_s});
    rig.batch.Pulldown_BatchList_saihensyu_Click(0);
    QCOMPARE(rig.table.batch.count(), 0);
    QCOMPARE(rig.editor.text1(), u"q"_s);
    QCOMPARE(run.count(), 0);
}

void TestApps::clearDisablesRunButton()
{
    Rig rig;
    rig.fill(1);
    rig.edit(0);
    rig.editor.Command1_Click();
    rig.edit(0);
    rig.editor.setText(u"being written"_s);
    QSignalSpy run(&rig.batch, &BatchCommands::runButtonEnabled);
    rig.batch.Pulldown_BatchList_Clear_Click();
    QCOMPARE(rig.table.batch.count(), 0);
    QCOMPARE(run.count(), 1);
    QCOMPARE(run.at(0).at(0).toBool(), false);
    QVERIFY(rig.editor.isEditing());
    QCOMPARE(rig.editor.text1(), u"being written"_s);
}

QTEST_GUILESS_MAIN(TestApps)
#include "tst_apps.moc"
