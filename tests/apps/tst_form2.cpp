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
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestForm2 : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void addThroughTheModalDialog();
    void okWithoutFileKeepsDialogOpen();
    void changeStartsInStoredFolder_data();
    void changeStartsInStoredFolder();

private:
    QTemporaryDir m_dir;
    QString m_folder;
    WorkTable m_table;
    FakeDialogs m_dialogs;
    FakeFileSystem m_files;
    FakeLauncher m_launcher;
    ParameterEditor m_editor{m_table};
    AppCommands m_apps{m_table, m_editor, m_dialogs, m_files, m_launcher};
};

void TestForm2::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_folder = QDir::toNativeSeparators(m_dir.path());
    QFile script(m_dir.filePath(u"tool.sh"_s));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexit 0\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
    QFile text(m_dir.filePath(u"readme.txt"_s));
    QVERIFY(text.open(QIODevice::WriteOnly));
    QVERIFY(QDir(m_dir.path()).mkdir(u"fallback"_s));
}

void TestForm2::addThroughTheModalDialog()
{
    m_table.apps.clear();
    m_apps.setShowForm2(
        [this](const AppDialogRequest& r) { Form2::showModal(m_apps, m_dialogs, r, nullptr); });
    bool driven = false;
    QTimer::singleShot(0, this, [&] {
        auto* form = qobject_cast<Form2*>(QApplication::activeModalWidget());
        if (!form)
            return;
        QVERIFY(form->picker()->setFolder(m_folder));
        auto* file1 = form->findChild<QListView*>(u"File1"_s);
        QCOMPARE(file1->model()->rowCount(), 1); // executables only
        file1->setCurrentIndex(file1->model()->index(0, 0));
        QTest::keyClicks(form->findChild<QPlainTextEdit*>(u"Text1"_s), u"<App1> <c5>"_s);
        form->findChild<QPushButton*>(u"Command1"_s)->click();
        driven = true;
    });
    m_apps.Pulldown_appli_tuika_Click();
    QVERIFY(driven);
    QCOMPARE(m_table.apps.count(), 1);
    QCOMPARE(m_table.apps.rowCells(0),
             (QStringList{u"<App1>"_s, u"tool.sh"_s, m_folder + QDir::separator() + u"tool.sh"_s,
                          u"<App1> <c5>"_s}));
}

void TestForm2::okWithoutFileKeepsDialogOpen()
{
    m_table.apps.resetRows({{u"<App1>"_s, u"old"_s, u"/old/old"_s, u"sample"_s}});
    m_dialogs.shown.clear();
    AppDialogRequest request;
    m_apps.setShowForm2([&request](const AppDialogRequest& r) { request = r; });
    m_apps.Pulldown_appli_henkou_Click(0);
    Form2 form(m_apps, m_dialogs, request);
    form.show();
    QCOMPARE(form.findChild<QPlainTextEdit*>(u"Text1"_s)->toPlainText(), u"sample"_s);
    QVERIFY(form.picker()->setFolder(m_folder));
    form.findChild<QPushButton*>(u"Command1"_s)->click();
    QVERIFY(form.isVisible());
    QCOMPARE(m_dialogs.shown.value(0).text, u"ファイルを選択してください"_s);
    form.findChild<QPushButton*>(u"Command2"_s)->click();
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(m_table.apps.rowCells(0), (QStringList{u"<App1>"_s, u"old"_s, u"/old/old"_s, u"sample"_s}));
}

void TestForm2::changeStartsInStoredFolder_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    const QString sep = QDir::separator();
    const QString fallback = m_folder + sep + u"fallback"_s;
    QTest::addRow("usable") << m_folder + sep + u"tool.sh"_s << m_folder;
    QTest::addRow("in the root") << sep + u"tool.sh"_s << sep;
    QTest::addRow("missing folder") << m_folder + sep + u"gone"_s + sep + u"tool.sh"_s << fallback;
    QTest::addRow("no folder") << u"tool.sh"_s << fallback;
}

void TestForm2::changeStartsInStoredFolder()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    m_table.apps.resetRows({{u"<App1>"_s, u"tool.sh"_s, stored}});
    AppDialogRequest request;
    m_apps.setShowForm2([&request](const AppDialogRequest& r) { request = r; });
    m_apps.Pulldown_appli_henkou_Click(0);
    request.fallbackFolder =
        m_folder + QDir::separator() + u"fallback"_s; // the program's folder in a real run
    Form2 form(m_apps, m_dialogs, request);
    QCOMPARE(form.picker()->folder(), shown);
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
