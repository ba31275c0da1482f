#include "Fakes.h"
#include "apps/AppCommands.h"
#include "apps/BatchCommands.h"
#include "apps/ParameterEditor.h"
#include "core/WorkTable.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{

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

    explicit Rig(int count = 0)
    {
        apps.setShowForm2([this](const AppDialogRequest& r) { requests.append(r); });
        std::vector<QStringList> rows;
        for (int i = 1; i <= count; ++i)
            rows.push_back({AppRegistry::keyFor(i), u"a%1"_s.arg(i), u"/opt/a%1"_s.arg(i), u"s%1"_s.arg(i)});
        table.apps.resetRows(std::move(rows));
    }
    static QStringList column(const TextRowList& list, int column)
    {
        QStringList out;
        for (int r = 0; r < list.count(); ++r)
            out.append(list.cell(r, column));
        return out;
    }
    void edit(int row)
    {
        editor.ListView2_Click(row);
        editor.Command6_Click();
    }
    void batchOf(const QStringList& parameters)
    {
        for (const QString& p : parameters)
            table.batch.appendRow({u"<App1>"_s, u"a1"_s, p, u"/opt/" + p});
    }
};

QStringList keys(int n)
{
    QStringList out;
    for (int i = 1; i <= n; ++i)
        out.append(AppRegistry::keyFor(i));
    return out;
}

} // namespace

class TestApps : public QObject
{
    Q_OBJECT
private slots:
    void addHonoursTheLimit_data();
    void addHonoursTheLimit();
    void everyOkRenumbers_data();
    void everyOkRenumbers();
    void deleteMovesLaterRowsUp_data();
    void deleteMovesLaterRowsUp();
    void deleteWhileEditing_data();
    void deleteWhileEditing();
    void deleteOnEmptyListClearsSampleOnly();
    void commandsWithoutSelectionDoNothing();
    void launch_data();
    void launch();

    void insertKeyAtCaret_data();
    void insertKeyAtCaret();
    void insertKeyOnlyWhileEditing();
    void storeSample_data();
    void storeSample();
    void storeForMissingApplicationKeepsText_data();
    void storeForMissingApplicationKeepsText();
    void firstSelectionAfterDeleteShowsNoSample();
    void registerText_data();
    void registerText();
    void editReplacesTextWithoutQuestion();

    void moves_data();
    void moves();
    void reeditSecondOfThree();
    void runButtonFollowsClearOnly();
};

void TestApps::addHonoursTheLimit_data()
{
    QTest::addColumn<int>("rows");
    QTest::addRow("98") << 98;
    QTest::addRow("99") << 99;
    QTest::addRow("more from a template") << 120;
}

void TestApps::addHonoursTheLimit()
{
    QFETCH(int, rows);
    Rig rig(rows);
    rig.apps.Pulldown_appli_tuika_Click();
    if (rows >= AppRegistry::Limit) {
        QVERIFY(rig.requests.isEmpty());
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.shown.at(0).text, u"アプリケーションは99までしか登録できません"_s);
        QCOMPARE(rig.dialogs.shown.at(0).title, u"Lomvato"_s);
        return;
    }
    QCOMPARE(rig.requests.size(), 1);
    QVERIFY(rig.apps.Form2_Command1_Click(u"/bin"_s, u"new"_s, u"x"_s));
    QCOMPARE(rig.table.apps.rowCells(98), (QStringList{u"<App99>"_s, u"new"_s, u"/bin/new"_s, u"x"_s}));
}

void TestApps::everyOkRenumbers_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<QStringList>("names");
    QTest::addRow("add the same program again") << false << QStringList{u"a"_s, u"b"_s, u"c"_s, u"a"_s};
    QTest::addRow("change") << true << QStringList{u"a"_s, u"a"_s, u"c"_s};
}

void TestApps::everyOkRenumbers()
{
    QFETCH(bool, change);
    QFETCH(QStringList, names);
    Rig rig;
    // Keys as a template may bring them: taken as stored until a command renumbers.
    rig.table.apps.resetRows({{u"<App7>"_s, u"a"_s, u"/opt/a"_s}, {u"x"_s, u"b"_s}, {QString(), u"c"_s}});
    if (change)
        rig.apps.Pulldown_appli_henkou_Click(1);
    else
        rig.apps.Pulldown_appli_tuika_Click();
    QCOMPARE(rig.apps.lv2app(), change ? 3 : 1);
    QVERIFY(rig.apps.Form2_Command1_Click(u"/opt"_s, u"a"_s, u"s"_s));
    QCOMPARE(Rig::column(rig.table.apps, AppRegistry::Application), names);
    QCOMPARE(Rig::column(rig.table.apps, AppRegistry::Key), keys(int(names.size())));
    QCOMPARE(rig.table.apps.rowCells(names.size() - (change ? 2 : 1)).mid(1),
             (QStringList{u"a"_s, u"/opt/a"_s, u"s"_s}));
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
    Rig rig(4);
    rig.batchOf({u"<App4> <c5>"_s});
    rig.editor.ListView2_Click(row);
    rig.apps.Pulldown_appli_sakuzyo_Click(row);
    QVERIFY(rig.dialogs.shown.isEmpty());
    QCOMPARE(Rig::column(rig.table.apps, AppRegistry::Application), names);
    QCOMPARE(Rig::column(rig.table.apps, AppRegistry::Key), keys(3));
    QCOMPARE(rig.table.batch.parameter(0), u"<App4> <c5>"_s); // written texts keep their keys
    QCOMPARE(rig.editor.lv2del(), 1);
    QVERIFY(!rig.editor.command6Enabled() && !rig.editor.text1Enabled());
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
    const bool ok = answer == Dialogs::Answer::Ok;
    Rig rig(3);
    rig.edit(1);
    rig.editor.setText(u"typed"_s);
    rig.dialogs.answers.push_back(answer);
    rig.apps.Pulldown_appli_sakuzyo_Click(1);
    QCOMPARE(rig.dialogs.shown.size(), 1);
    QCOMPARE(rig.dialogs.shown.at(0).text,
             u"アプリケーションの削除は、パラメータテキスト編集中ではできません\r\n"
             u"パラメータテキスト編集をクリアしますか"_s);
    QCOMPARE(rig.dialogs.shown.at(0).buttons, Dialogs::Buttons::OkCancel);
    QCOMPARE(rig.table.apps.count(), ok ? 2 : 3);
    QCOMPARE(rig.editor.isEditing(), !ok);
    QCOMPARE(rig.editor.text1(), ok ? QString() : u"typed"_s);
    QCOMPARE(rig.editor.label9(ParameterEditor::Key), ok ? QString() : u"<App2>"_s);
}

void TestApps::deleteOnEmptyListClearsSampleOnly()
{
    Rig rig(1);
    rig.editor.ListView2_Click(0);
    rig.table.apps.clear(); // a template without applications was opened
    rig.apps.Pulldown_appli_sakuzyo_Click(-1);
    QCOMPARE(rig.editor.label1(), QString());
    QVERIFY(rig.editor.command6Enabled());
    QCOMPARE(rig.editor.lv2del(), 0);
}

void TestApps::commandsWithoutSelectionDoNothing()
{
    Rig rig(2);
    rig.batchOf({u"p"_s});
    rig.files.files.insert(u"/opt/a1"_s);
    rig.apps.Pulldown_appli_henkou_Click(-1);
    rig.apps.Pulldown_appli_sakuzyo_Click(-1);
    rig.apps.Command2_Click(-1);
    rig.editor.ListView2_Click(-1);
    rig.batch.Pulldown_BatchList_sakuzyo_Click(-1);
    rig.batch.Pulldown_BatchList_saihensyu_Click(-1);
    QCOMPARE(rig.batch.UpDown1_UpClick(-1), -1);
    QCOMPARE(rig.table.apps.count(), 2);
    QCOMPARE(rig.table.batch.count(), 1);
    QVERIFY(rig.requests.isEmpty() && rig.launcher.started.isEmpty() && rig.dialogs.shown.isEmpty());
    QVERIFY(!rig.editor.command6Enabled() && !rig.editor.isEditing());
}

void TestApps::launch_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("exists");
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
    QCOMPARE(rig.launcher.started, exists ? QStringList{path} : QStringList{});
    QCOMPARE(rig.launcher.showModes, exists ? QList<int>{1} : QList<int>{});
    QStringList messages;
    for (const auto& shown : std::as_const(rig.dialogs.shown))
        messages.append(shown.text);
    QCOMPARE(messages, exists ? QStringList{}
                              : QStringList{path + u"\r\n\r\nは起動できません。パスが見つかりません"_s});
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
    QTest::addRow("over a selection") << u"a XXX b"_s << 2 << 3 << u"a <c5> b"_s << 6;
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
    Rig rig(1);
    rig.edit(0);
    rig.editor.setText(text);
    QCOMPARE(rig.editor.insertKey(u"<c5>"_s, start, length), caret);
    QCOMPARE(rig.editor.text1(), result);
}

void TestApps::insertKeyOnlyWhileEditing()
{
    Rig rig(3);
    rig.editor.ListView2_Click(0);
    QCOMPARE(rig.editor.ListView2_DblClick(0, 0, 0), -1); // Idle from the start
    rig.editor.Command6_Click();
    rig.editor.setText(QString());
    QCOMPARE(rig.editor.ListView2_DblClick(2, 0, 0), 6);
    QCOMPARE(rig.editor.ListView3_DblClick(4, 6, 0), 10);
    QCOMPARE(rig.editor.text1(), u"<App3><c4>"_s);
    rig.editor.Command5_Click(0);
    // After storing the sample the key is still shown, yet Idle refuses keys.
    QCOMPARE(rig.editor.label9(ParameterEditor::Key), u"<App1>"_s);
    rig.editor.setText(u"typed in Idle"_s);
    QCOMPARE(rig.editor.ListView3_DblClick(1, 0, 0), -1);
    QCOMPARE(rig.editor.text1(), u"typed in Idle"_s);
}

void TestApps::storeSample_data()
{
    QTest::addColumn<int>("edited");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addRow("text") << 0 << 0 << u"<App1> \"<c5>\""_s << u"<App1> \"<c5>\""_s;
    QTest::addRow("empty empties the sample") << 0 << 0 << QString() << QString();
    QTest::addRow("into 3 while 5 is selected") << 2 << 4 << u"for three"_s << u"s5"_s;
}

void TestApps::storeSample()
{
    QFETCH(int, edited);
    QFETCH(int, selected);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    Rig rig(5);
    rig.edit(edited);
    rig.editor.setText(text);
    rig.editor.ListView2_Click(selected);
    rig.editor.Command5_Click(selected);
    QCOMPARE(rig.table.apps.sample(edited), text);
    QCOMPARE(rig.editor.label1(), shown);
    QVERIFY(!rig.editor.isEditing() && rig.editor.text1Enabled());
    QCOMPARE(rig.editor.text1(), QString());
}

void TestApps::storeForMissingApplicationKeepsText_data()
{
    QTest::addColumn<int>("apps");
    QTest::addColumn<QString>("key");
    QTest::addRow("deleted since") << 3 << u"<App5>"_s;
    QTest::addRow("empty registry") << 0 << u"<App1>"_s;
    QTest::addRow("no number") << 3 << u"<Appx>"_s;
    QTest::addRow("number too large") << 3 << u"<App99999999999999999999>"_s;
}

void TestApps::storeForMissingApplicationKeepsText()
{
    QFETCH(int, apps);
    QFETCH(QString, key);
    Rig rig(apps);
    rig.table.batch.appendRow({key, u"gone"_s, u"typed text"_s, u"/opt/gone"_s});
    rig.batch.Pulldown_BatchList_saihensyu_Click(0);
    rig.editor.ListView2_Click(0);
    rig.editor.Command5_Click(apps > 0 ? 0 : -1);
    QVERIFY(rig.editor.isEditing());
    QCOMPARE(rig.editor.text1(), u"typed text"_s);
    QCOMPARE(rig.editor.label1(), apps > 0 ? u"s1"_s : QString());
    QCOMPARE(Rig::column(rig.table.apps, AppRegistry::Sample),
             Rig::column(Rig(apps).table.apps, AppRegistry::Sample));
}

void TestApps::firstSelectionAfterDeleteShowsNoSample()
{
    Rig rig(3);
    rig.editor.ListView2_Click(0);
    rig.apps.Pulldown_appli_sakuzyo_Click(0);
    rig.editor.ListView2_Click(0);
    QCOMPARE(rig.editor.label8(ParameterEditor::Application), u"a2"_s);
    QCOMPARE(rig.editor.label1(), QString());
    rig.editor.Command6_Click();
    QCOMPARE(rig.editor.text1(), QString());
    rig.editor.ListView2_Click(1);
    QCOMPARE(rig.editor.label1(), u"s3"_s);
}

void TestApps::registerText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("registers");
    QTest::addRow("spaces") << u"   "_s << true;
    QTest::addRow("empty") << QString() << false;
}

void TestApps::registerText()
{
    QFETCH(QString, text);
    QFETCH(bool, registers);
    Rig rig(2);
    QSignalSpy run(&rig.editor, &ParameterEditor::runButtonEnabled);
    rig.edit(1);
    rig.editor.setText(text);
    rig.editor.Command1_Click();
    QCOMPARE(rig.editor.isEditing(), !registers);
    QCOMPARE(run.count(), registers ? 1 : 0);
    if (!registers) {
        QCOMPARE(rig.table.batch.count(), 0);
        return;
    }
    QCOMPARE(rig.table.batch.rowCells(0), (QStringList{u"<App2>"_s, u"a2"_s, text, u"/opt/a2"_s}));
    QVERIFY(run.at(0).at(0).toBool());
    QCOMPARE(rig.editor.text1(), QString());
    QCOMPARE(rig.editor.label9(ParameterEditor::Path), QString());
}

void TestApps::editReplacesTextWithoutQuestion()
{
    Rig rig(2);
    rig.edit(0);
    rig.editor.setText(u"half written"_s);
    rig.edit(1);
    QCOMPARE(rig.editor.text1(), u"s2"_s);
    QCOMPARE(rig.editor.label9(ParameterEditor::Key), u"<App2>"_s);
    QVERIFY(rig.dialogs.shown.isEmpty());
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
    rig.batchOf({u"A"_s, u"B"_s, u"C"_s});
    QCOMPARE(up ? rig.batch.UpDown1_UpClick(selected) : rig.batch.UpDown1_DownClick(selected), after);
    QCOMPARE(Rig::column(rig.table.batch, BatchList::Parameter), order);
    QCOMPARE(rig.table.batch.path(after), u"/opt/" + order.at(after)); // the fields travel together
}

void TestApps::reeditSecondOfThree()
{
    Rig rig(3);
    for (int i = 0; i < 3; ++i) {
        rig.edit(i);
        rig.editor.Command1_Click();
    }
    rig.edit(0);
    rig.batch.Pulldown_BatchList_saihensyu_Click(1);
    QCOMPARE(Rig::column(rig.table.batch, BatchList::Parameter), (QStringList{u"s1"_s, u"s3"_s}));
    QVERIFY(rig.editor.isEditing() && rig.editor.text1Enabled());
    QCOMPARE(rig.editor.text1(), u"s2"_s);
    rig.editor.Command1_Click();
    QCOMPARE(Rig::column(rig.table.batch, BatchList::Parameter), (QStringList{u"s1"_s, u"s3"_s, u"s2"_s}));
    QCOMPARE(rig.table.batch.rowCells(2), (QStringList{u"<App2>"_s, u"a2"_s, u"s2"_s, u"/opt/a2"_s}));
}

void TestApps::runButtonFollowsClearOnly()
{
    Rig rig;
    rig.batchOf({u"p"_s, u"q"_s});
    QSignalSpy run(&rig.batch, &BatchCommands::runButtonEnabled);
    rig.batch.Pulldown_BatchList_sakuzyo_Click(0);
    rig.batch.Pulldown_BatchList_saihensyu_Click(0); // the only entry
    QCOMPARE(rig.table.batch.count(), 0);
    QCOMPARE(run.count(), 0);
    rig.batchOf({u"r"_s});
    rig.batch.Pulldown_BatchList_Clear_Click();
    QCOMPARE(rig.table.batch.count(), 0);
    QCOMPARE(run.count(), 1);
    QVERIFY(!run.at(0).at(0).toBool());
    QCOMPARE(rig.editor.text1(), u"q"_s); // the editor is not touched
}

QTEST_GUILESS_MAIN(TestApps)
#include "tst_apps.moc"
