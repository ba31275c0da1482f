#include "Fakes.h"
#include "apps/AppCommands.h"
#include "apps/Form2.h"
#include "apps/ParameterEditor.h"
#include "core/WorkTable.h"
#include "platform/FolderPicker.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// Form2 offscreen, opened modally the window's way, over a folder with the executable tool.sh, the plain
// readme.txt and the folder "fallback", which stands in for the program's folder.
class TestForm2 : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void addOrChange_data();
    void addOrChange();

private:
    QTemporaryDir m_dir;
    QString m_folder = QDir::toNativeSeparators(m_dir.path());
    QString m_fallback = m_folder + QDir::separator() + u"fallback"_s;
    WorkTable m_table;
    FakeDialogs m_dialogs;
    FakeFileSystem m_files;
    FakeLauncher m_launcher;
    ParameterEditor m_editor{m_table};
    AppCommands m_apps{m_table, m_editor, m_dialogs, m_files, m_launcher};
};

void TestForm2::initTestCase()
{
    QFile script(m_dir.filePath(u"tool.sh"_s)), text(m_dir.filePath(u"readme.txt"_s));
    QVERIFY(script.open(QIODevice::WriteOnly) && text.open(QIODevice::WriteOnly));
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
    QVERIFY(QDir(m_dir.path()).mkdir(u"fallback"_s));
    m_apps.setShowForm2([this](const AppDialogRequest& r) {
        const QString fallback = r.fallbackFolder.isEmpty() ? QString() : m_fallback;
        Form2::showModal(m_apps, m_dialogs, {r.lv2app, r.sample, r.folder, fallback}, nullptr);
    });
}

// `stored`: the changed application's path, none for an add. A change starts in the stored program's folder,
// else in the program's own. OK without a chosen file keeps the dialog open; CANCEL changes nothing.
void TestForm2::addOrChange_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("cancel");
    const QString sep = QDir::separator();
    QTest::addRow("add") << QString() << QDir::toNativeSeparators(QDir::currentPath()) << false;
    QTest::addRow("usable") << m_folder + sep + u"tool.sh"_s << m_folder << false;
    QTest::addRow("in the root") << sep + u"tool.sh"_s << sep << true;
    QTest::addRow("missing folder") << m_folder + sep + u"gone"_s + sep + u"tool.sh"_s << m_fallback << false;
    QTest::addRow("no folder") << u"tool.sh"_s << m_fallback << true;
}

void TestForm2::addOrChange()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(bool, cancel);
    const QStringList before{u"<App1>"_s, u"old"_s, stored, u"sample"_s};
    m_table.apps.resetRows(stored.isEmpty() ? std::vector<QStringList>{} : std::vector{before});
    m_dialogs.shown.clear();
    QTimer::singleShot(0, this, [&] {
        auto* form = qobject_cast<Form2*>(QApplication::activeModalWidget());
        QVERIFY(form);
        const auto close =
            qScopeGuard([form] { form->isVisible() ? form->reject() : void(); }); // never left open
        QCOMPARE(form->picker()->folder(), shown);
        form->findChild<QPushButton*>(u"Command1"_s)->click();
        QVERIFY(form->isVisible());
        QVERIFY(form->picker()->setFolder(m_folder));
        auto* file1 = form->findChild<QListView*>(u"File1"_s);
        QCOMPARE(file1->model()->rowCount(), 1); // executables only
        file1->setCurrentIndex(file1->model()->index(0, 0));
        QTest::keyClicks(form->findChild<QPlainTextEdit*>(u"Text1"_s),
                         u"<c5> "_s); // at the caret, before the sample
        form->findChild<QPushButton*>(cancel ? u"Command2"_s : u"Command1"_s)->click();
        QVERIFY(!form->isVisible());
    });
    if (stored.isEmpty())
        m_apps.Pulldown_appli_tuika_Click();
    else
        m_apps.Pulldown_appli_henkou_Click(0);
    QCOMPARE(m_dialogs.shown.value(0).text, u"ファイルを選択してください"_s);
    const QStringList after{u"<App1>"_s, u"tool.sh"_s, m_folder + QDir::separator() + u"tool.sh"_s,
                            u"<c5> "_s + (stored.isEmpty() ? QString() : u"sample"_s)};
    QCOMPARE(m_table.apps.rowCells(0), cancel ? before : after);
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
