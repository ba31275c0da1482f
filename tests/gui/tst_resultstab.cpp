#include "Fakes.h"
#include "gui/MainWindow.h"
#include "gui/ResultsTab.h"
#include "platform/FileSystem.h"
#include "platform/LinuxProcessLauncher.h"
#include "run/JobFile.h"
#include "store/TemplateFile.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The tab "結果" across starts: the last run comes back however Lomvato ended, the rest of it runs on, and a
// job log of GNU parallel comes back from a cluster to be run here or sent back.
class TestResultsTab : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_form.reset(); }
    void lastRunComesBackAndRunsOn();
    void jobLogFromACluster();

private:
    std::unique_ptr<MainWindow> window();
    QStringList column(int column) const;

    QTemporaryDir m_dir;
    FakeDialogs m_dialogs;
    RealFileSystem m_files;
    std::unique_ptr<LinuxProcessLauncher> m_launcher;
    FakeClock m_clock;
    FakePower m_power;
    FakeRegistry m_registry;
    std::unique_ptr<MainWindow> m_form;
};

void TestResultsTab::init()
{
    QVERIFY(TemplateFile::writeFactoryTemplate(m_dir.filePath(u"default.lvt"_s)));
    m_launcher = std::make_unique<LinuxProcessLauncher>(m_files);
    m_form = window();
    QVERIFY(m_form->start());
}

std::unique_ptr<MainWindow> TestResultsTab::window()
{
    return std::make_unique<MainWindow>(
        Services{m_dialogs, m_files, *m_launcher, m_clock, m_power, m_registry, m_dir.path(), m_dir.path()});
}

QStringList TestResultsTab::column(int column) const
{
    const QAbstractItemModel* model = m_form->findChild<QTableView*>(u"ResultsView"_s)->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

// Four jobs, one at a time: a fails, b succeeds, c runs until the window has closed, d never starts. The
// next start shows the three that started, and 続きから実行 runs a, c and d, as one run of their own.
void TestResultsTab::lastRunComesBackAndRunsOn()
{
    const QString marker = m_dir.filePath(u"closed"_s);
    const QString waits = u"while [ ! -e '%1' ]; do sleep 0.02; done"_s.arg(marker);
    WorkTable& table = m_form->table();
    table.apps.appendRow({u"<App1>"_s, u"sh"_s, u"/bin/sh"_s});
    for (const QString& script : {u"exit 3"_s, u"exit 0"_s, waits, u"echo d"_s})
        table.files.appendRows({{QString(), QString(), script}});
    table.batch.appendRow({u"<App1>"_s, u"sh"_s, u"<App1> -c \"<c2>\""_s, u"/bin/sh"_s});
    m_form->engine().setPace(true, 1);
    m_form->engine().start();
    QTRY_COMPARE(column(RunResults::Outcome),
                 (QStringList{u"エラー終了 (コード 3)"_s, u"正常終了"_s, u"実行中"_s}));
    m_form->close();
    m_form.reset();
    QVERIFY(QFile(marker).open(QIODevice::WriteOnly));

    m_form = window();
    QVERIFY(m_form->start());
    QTRY_COMPARE(column(RunResults::Outcome),
                 (QStringList{u"エラー終了 (コード 3)"_s, u"正常終了"_s, u"中断"_s}));
    QVERIFY(
        m_form->findChild<QLabel*>(u"ShownRun"_s)->text().endsWith(u"完了 1 件 / 失敗 1 件 / 中断 1 件"_s));
    m_form->findChild<QPushButton*>(u"Resume"_s)->click();
    QTRY_VERIFY(!m_form->engine().isRunning());
    QCOMPARE(column(RunResults::Number), (QStringList{u"1"_s, u"3"_s, u"4"_s}));
    QCOMPARE(column(RunResults::Outcome),
             (QStringList{u"エラー終了 (コード 3)"_s, u"正常終了"_s, u"正常終了"_s}));
}

// A job log as `parallel --joblog` writes it for a job file of Lomvato's, one job run on node1, one line that
// Lomvato did not write, and the job file's comment lines that parallel ran as jobs.
void TestResultsTab::jobLogFromACluster()
{
    const QString log = m_dir.filePath(u"run.log"_s);
    QFile file(log);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Seq\tHost\tStarttime\tJobRuntime\tSend\tReceive\tExitval\tSignal\tCommand\n"
               "2\tnode1\t1796659574.492\t     1.250\t0\t0\t0\t0\t'/bin/sh' -c 'exit 0'\n"
               "1\tnode1\t1796659574.490\t     0.002\t0\t0\t5\t0\t'/bin/sh' -c 'exit 5'\n"
               "3\t:\t1796659574.495\t     0.002\t0\t3\t1\t0\techo hi | grep -q x\n"
               "4\t:\t1796659574.497\t     0.002\t0\t0\t0\t0\t# Lomvato のジョブファイル\n");
    file.close();
    m_dialogs.files = {log};
    m_form->findChild<QPushButton*>(u"LoadJobLog"_s)->click();
    QCOMPARE(column(RunResults::Number), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
    QCOMPARE(column(RunResults::Host), (QStringList{u"node1"_s, u"node1"_s, QString()}));
    QVERIFY(!m_form->findChild<QTableView*>(u"ResultsView"_s)->isColumnHidden(RunResults::Host));

    const QString failed = m_dir.filePath(u"failed.sh"_s);
    m_dialogs.files = {failed};
    m_form->findChild<QPushButton*>(u"ExportFailed"_s)->click();
    QFile written(failed);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(),
             "'/bin/sh' -c 'exit 5'\n'sh' -c 'echo hi | grep -q x'\n" + JobFile::trailer(2));

    // Run here, the failures keep their numbers and lose their host.
    m_form->findChild<QPushButton*>(u"RerunFailed"_s)->click();
    QTRY_VERIFY(!m_form->engine().isRunning());
    QCOMPARE(column(RunResults::Number), (QStringList{u"1"_s, u"3"_s}));
    QCOMPARE(column(RunResults::Host), (QStringList{QString(), QString()}));
    QCOMPARE(column(RunResults::Outcome),
             (QStringList{u"エラー終了 (コード 5)"_s, u"エラー終了 (コード 1)"_s}));
}

QTEST_MAIN(TestResultsTab)
#include "tst_resultstab.moc"
