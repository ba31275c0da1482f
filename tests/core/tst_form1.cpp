#include "Fakes.h"
#include "core/Form1.h"
#include "store/TemplateFile.h"

#include <QCheckBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void menuBarInOrder();
    void menuEntries_data();
    void menuEntries();
    void startUpState();
    void check2GreysOutBothActionsWithoutChangingTheChoice();
    void filterModeEnablesTheExtensionList();
    void exitCancelledKeepsTheWindow();

private:
    template <typename T> T* child(const QString& name) { return m_form->findChild<T*>(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeDialogs m_dialogs;
    FakeFileSystem m_files;
    FakeLauncher m_launcher;
    FakeClock m_clock;
    FakePower m_power;
    FakeRegistry m_registry;
    std::unique_ptr<Form1> m_form;
};

void TestForm1::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_dialogs = FakeDialogs();
    QVERIFY(TemplateFile::writeFactoryTemplate(m_dir->filePath(u"default.lvt"_s)));
    m_form = std::make_unique<Form1>(
        Services{m_dialogs, m_files, m_launcher, m_clock, m_power, m_registry, m_dir->path(), m_dir->path()});
}

void TestForm1::cleanup()
{
    m_form.reset();
}

void TestForm1::menuBarInOrder()
{
    QStringList names;
    QStringList visible;
    for (QAction* a : m_form->menuBar()->actions()) {
        names << a->menu()->objectName();
        if (a->isVisible())
            visible << a->text();
    }
    QCOMPARE(names, (QStringList{u"Pulldown_file"_s, u"Pulldown_appli"_s, u"Pulldown_BatchList"_s,
                                 u"Pulldown_ColumnTool"_s, u"Pulldown_list"_s, u"Pulldown_kakuchosi"_s,
                                 u"Pulldown_help"_s}));
    QCOMPARE(visible, (QStringList{u"ファイル(&F)"_s, u"外部アプリケーション(&S)"_s,
                                   u"ファイルリスト（&L）"_s, u"フィルタ(&E)"_s, u"ヘルプ(&H)"_s}));
}

void TestForm1::menuEntries_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("entries");
    QTest::addRow("table") << u"Pulldown_file_table"_s
                           << QStringList{u"保存（&S）|Ctrl+S"_s, u"開く(&O)|Ctrl+O"_s};
    QTest::addRow("file") << u"Pulldown_file"_s
                          << QStringList{u"テーブル(&T)|"_s, u"-"_s, u"終了（&Q）|Ctrl+Q"_s};
    QTest::addRow("appli") << u"Pulldown_appli"_s
                           << QStringList{u"追加(&N)|"_s, u"削除(&X)|"_s, u"-"_s, u"変更(&R)|"_s};
    QTest::addRow("batch") << u"Pulldown_BatchList"_s
                           << QStringList{u"選択項目を削除|"_s, u"全削除|"_s, u"-"_s, u"選択項目の再編集|"_s};
    QTest::addRow("columns") << u"Pulldown_ColumnTool"_s << QStringList{u"カラム追加|"_s, u"カラム削除|"_s};
    QTest::addRow("list") << u"Pulldown_list"_s
                          << QStringList{u"選択部分削除(&D)|"_s, u"すべて削除(&X)|"_s, u"-"_s,
                                         u"カラム内に挿入する文字列操作|"_s};
    QTest::addRow("filter") << u"Pulldown_kakuchosi"_s << QStringList{u"追加(&N)|"_s, u"削除(&X)|"_s};
    QTest::addRow("help") << u"Pulldown_help"_s << QStringList{u"バージョン情報(&V)|"_s, u"ヘルプ(&H)|"_s};
}

void TestForm1::menuEntries()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, entries);
    auto* m = child<QMenu>(menu);
    QVERIFY(m);
    QStringList shown;
    for (QAction* a : m->actions()) {
        if (!a->isVisible())
            continue;
        shown << (a->isSeparator() ? u"-"_s : a->text() + u'|' + a->shortcut().toString());
    }
    QCOMPARE(shown, entries);
}

void TestForm1::startUpState()
{
    QVERIFY(m_form->Form_Load());
    QCOMPARE(child<QTabWidget>(u"SSTab1"_s)->currentIndex(), 0);
    QCOMPARE(child<QTabWidget>(u"SSTab2"_s)->tabText(0), QString());
    QVERIFY(!child<QPlainTextEdit>(u"Text1"_s)->isEnabled());
    QVERIFY(!child<QListView>(u"List1"_s)->isEnabled());
    QVERIFY(!child<QPushButton>(u"Command10"_s)->isEnabled());
    QVERIFY(!child<QPushButton>(u"Command11"_s)->isEnabled());
    QCOMPARE(child<QPushButton>(u"Command10"_s)->text(), u"実　　行"_s);
    QCOMPARE(child<QPushButton>(u"Command11"_s)->text(), u"中　　断"_s);
    const QString log = m_form->table().log.text();
    QVERIFY(log.startsWith(QString(60, u'*') + u"\r\n\r\n03/04/15 09:05:07\tLomvato起動開始\r\n"_s));
    QVERIFY(child<QPlainTextEdit>(u"Text2"_s)->toPlainText().contains(u"Lomvato起動開始"_s));
    QCOMPARE(child<QLabel>(u"Label6"_s)->text(), u"32"_s);
    QVERIFY(m_dialogs.shown.isEmpty());
}

void TestForm1::check2GreysOutBothActionsWithoutChangingTheChoice()
{
    auto* check2 = child<QCheckBox>(u"Check2"_s);
    auto* option0 = child<QRadioButton>(u"Option2_0"_s);
    auto* option1 = child<QRadioButton>(u"Option2_1"_s);
    option1->click();
    check2->click();
    QVERIFY(!option0->isEnabled());
    QVERIFY(!option1->isEnabled());
    QVERIFY(option1->isChecked());
    QCOMPARE(m_form->table().settings.option2.selected(), 1);
    check2->click();
    QVERIFY(option0->isEnabled());
    QVERIFY(option1->isEnabled());
    QVERIFY(option1->isChecked());
}

void TestForm1::filterModeEnablesTheExtensionList()
{
    auto* list = child<QListView>(u"List1"_s);
    child<QRadioButton>(u"Option1_1"_s)->click();
    QVERIFY(list->isEnabled());
    QVERIFY(m_form->table().filter.isOn());
    child<QRadioButton>(u"Option1_0"_s)->click();
    QVERIFY(!list->isEnabled());
    QVERIFY(!m_form->table().filter.isOn());
}

void TestForm1::exitCancelledKeepsTheWindow()
{
    QVERIFY(m_form->Form_Load());
    m_dialogs.answers.push_back(Dialogs::Answer::Cancel);
    m_form->Pulldown_exit_Click();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].text, u"アプリケーションを終了します。よろしいですか？"_s);
    QCOMPARE(m_dialogs.shown[0].title, u"終了確認"_s);
    QVERIFY(m_form->isVisible());
    QVERIFY(!QFile::exists(m_dir->filePath(u"log.ini"_s)));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
