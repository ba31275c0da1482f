#include "Fakes.h"
#include "gui/MainWindow.h"
#include "gui/PreviewWindow.h"
#include "run/JobPreview.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPreview : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void showsTheArgumentsOfEveryJob();
    void runsTheSelectedJobAlone();
    void exportAsksForThePath();

private:
    QString cell(int row, int column) const { return m_window->jobs().index(row, column).data().toString(); }

    FakeDialogs m_dialogs;
    FakeFileSystem m_files;
    FakeLauncher m_launcher;
    FakeClock m_clock;
    FakePower m_power;
    FakeRegistry m_registry;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_form;
    PreviewWindow* m_window = nullptr;
};

void TestPreview::init()
{
    m_dialogs = FakeDialogs();
    m_launcher = FakeLauncher();
    m_dir = std::make_unique<QTemporaryDir>();
    m_form = std::make_unique<MainWindow>(
        Services{m_dialogs, m_files, m_launcher, m_clock, m_power, m_registry, m_dir->path(), m_dir->path()});
    WorkTable& table = m_form->table();
    table.apps.appendRow({u"<App1>"_s, u"conv"_s, u"/opt/conv"_s});
    m_files.files.insert(u"/opt/conv"_s);
    table.files.appendRows({{u""_s, u""_s, u"a.jpg"_s, u""_s, u""_s, u"/p/a.jpg"_s},
                            {u""_s, u""_s, u"写真 1.jpg"_s, u""_s, u""_s, u"/p/写真 1.jpg"_s}});
    // <c5> without quotes around it: a path with a blank becomes two arguments.
    table.batch.appendRow({u"1"_s, u"conv"_s, u"<App1> -i <c5>"_s, u"/opt/conv"_s});
    table.batch.appendRow({u"2"_s, u"conv"_s, u"<App1> \"<c5>\""_s, u"/opt/conv"_s});
    m_form->findChild<QPushButton*>(u"previewButton"_s)->click();
    m_window = m_form->findChild<PreviewWindow*>();
    QVERIFY(m_window);
}

void TestPreview::cleanup()
{
    m_form.reset();
}

void TestPreview::showsTheArgumentsOfEveryJob()
{
    QCOMPARE(m_window->jobs().rowCount(), 4);
    // Entry outer, file row inner, as the run goes.
    QCOMPARE((QStringList{cell(1, JobPreview::Entry), cell(2, JobPreview::Entry)}),
             (QStringList{u"1 conv"_s, u"2 conv"_s}));
    QCOMPARE(cell(1, JobPreview::File), u"写真 1.jpg"_s);
    QCOMPARE(cell(1, JobPreview::Arguments), u"‹/opt/conv› ‹-i› ‹/p/写真› ‹1.jpg›"_s);
    QCOMPARE(cell(3, JobPreview::Arguments), u"‹/opt/conv› ‹/p/写真 1.jpg›"_s);

    // Fixing the template shows at once.
    m_form->table().batch.setCell(0, BatchList::Parameter, u"<App1> -i \"<c5>\""_s);
    QCOMPARE(cell(1, JobPreview::Arguments), u"‹/opt/conv› ‹-i› ‹/p/写真 1.jpg›"_s);

    // A key problem stands above the jobs, as the run would report it.
    auto* problems = m_window->findChild<QLabel*>(u"Problems"_s);
    QVERIFY(problems->isHidden());
    m_form->table().batch.setCell(1, BatchList::Parameter, u"<App2> x"_s);
    QVERIFY(!problems->isHidden() && problems->text().contains(u"<App2>"_s));
}

void TestPreview::runsTheSelectedJobAlone()
{
    QSignalSpy allDone(&m_form->engine(), &RunEngine::allDone);
    auto* runOne = m_window->findChild<QPushButton*>(u"RunOne"_s);
    QVERIFY(!runOne->isEnabled()); // nothing selected
    m_window->view()->selectRow(2);
    runOne->click();
    QCOMPARE(m_launcher.started, QStringList{u"/opt/conv \"/p/a.jpg\""_s});
    QVERIFY(!runOne->isEnabled());
    m_form->engine().openProcess();
    m_launcher.ended.insert(m_launcher.lastPid());
    m_form->engine().poll();
    QVERIFY(!m_form->engine().isRunning());
    QCOMPARE(m_launcher.started.size(), 1);
    QCOMPARE(allDone.size(), 0);
    QVERIFY(runOne->isEnabled());
}

void TestPreview::exportAsksForThePath()
{
    const QString path = m_dir->filePath(u"jobs.sh"_s);
    m_dialogs.files.push_back(path);
    auto* exportButton = m_window->findChild<QPushButton*>(u"Export"_s);
    exportButton->click();
    QVERIFY(!exportButton->isEnabled()); // written from the event loop
    QTRY_VERIFY(exportButton->isEnabled());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().split('\n').at(1), "'/opt/conv' -i '/p/写真' 1.jpg"_ba); // job 2 on line 2
    QVERIFY(m_dialogs.shown.isEmpty());
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
