#include "DiskFaults.h"
#include "FakeServices.h"
#include "core/Twips.h"
#include "gui/FileListView.h"
#include "gui/ListItemDelegate.h"
#include "gui/LogTab.h"
#include "gui/PreviewWindow.h"
#include "gui/ResultsTab.h"
#include "platform/FileSystem.h"
#include "platform/LinuxProcessLauncher.h"
#include "run/JobFile.h"
#include "run/JobPreview.h"
#include "run/RunSettings.h"
#include "store/TemplateFile.h"
#include "store/TextCodec.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDropEvent>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace
{
// The top of a log entry written at the fake clock's time.
QString entry(const QString& text)
{
    return QString(60, u'*') + u"\r\n\r\n03/04/15 09:05:07\t"_s + text + u"\r\n"_s;
}
} // namespace

// The main window over fakes, or over real processes for the tab "結果" across starts.
class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_form.reset(); }
    void longLogShowsItsNewestLines();
    void startUp();
    void resultsAcrossStartsAndFromACluster();
    void afterTheLastJob_data();
    void afterTheLastJob();
    void drop_data();
    void drop();
    void listHints_data();
    void listHints();
    void keysReadable();
    void preview();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();

private:
    // Shows each tab once, since a tab is built when first shown.
    template <typename T> T* child(const QString& name = {})
    {
        auto* tabs = m_form->findChild<QTabWidget*>(u"tabs"_s);
        const int shown = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i)
            tabs->setCurrentIndex(i);
        tabs->setCurrentIndex(shown);
        return m_form->findChild<T*>(name);
    }
    QByteArray read(const QString& name) const
    {
        QByteArray bytes;
        TextCodec::readBytes(m_dir->filePath(name), &bytes, nullptr);
        return bytes;
    }
    // Two files through one application in two batch entries; the preview of their jobs.
    PreviewWindow* openPreview()
    {
        WorkTable& table = m_form->table();
        table.apps.appendRow({u"<App1>"_s, u"conv"_s, u"/opt/conv"_s});
        m_fake.files.files.insert(u"/opt/conv"_s);
        table.files.appendRows({{u""_s, u""_s, u"a.jpg"_s, u""_s, u""_s, u"/p/a.jpg"_s},
                                {u""_s, u""_s, u"写真 1.jpg"_s, u""_s, u""_s, u"/p/写真 1.jpg"_s}});
        // <c5> without quotes around it: a path with a blank becomes two arguments.
        table.batch.appendRow({u"1"_s, u"conv"_s, u"<App1> -i <c5>"_s, u"/opt/conv"_s});
        table.batch.appendRow({u"2"_s, u"conv"_s, u"<App1> \"<c5>\""_s, u"/opt/conv"_s});
        child<QPushButton>(u"previewButton"_s)->click();
        return m_form->findChild<PreviewWindow*>();
    }
    bool startReal()
    {
        m_form = std::make_unique<MainWindow>(Services{m_fake.dialogs, m_realFiles, m_realLauncher,
                                                       m_fake.clock, m_fake.power, m_fake.registry,
                                                       m_dir->path(), m_dir->path()});
        return m_form->start();
    }
    QStringList resultsColumn(int column)
    {
        const QAbstractItemModel* model = child<QTableView>(u"ResultsView"_s)->model();
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, column).data().toString();
        return texts;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeServices m_fake;
    RealFileSystem m_realFiles;
    LinuxProcessLauncher m_realLauncher{m_realFiles};
    std::unique_ptr<MainWindow> m_form;
};

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_fake = FakeServices();
    QVERIFY(TemplateFile::writeFactoryTemplate(m_dir->filePath(u"default.lvt"_s)));
    m_form = std::make_unique<MainWindow>(m_fake.in(m_dir->path()));
}

void TestMainWindow::longLogShowsItsNewestLines()
{
    // Numbered lines of 15 characters, the newest on top: a lost or doubled line shows.
    auto lines = [](int from, int count) {
        QString text;
        for (int i = from + count - 1; i >= from; --i)
            text += u"entry %1\r\n"_s.arg(i, 7, 10, QChar(u'0'));
        return text;
    };
    ActivityLog& log = m_form->table().log;
    const auto* shown = child<QPlainTextEdit>(u"logView"_s);
    const int limit = LogTab::shownLogLimit;
    // Loaded at once or grown entry by entry, the box holds whole newest lines up to the limit.
    auto checkShown = [&] {
        const QString text = shown->toPlainText();
        QVERIFY(text.size() <= limit + limit / 16 && text.size() > limit - 16);
        QVERIFY(text.endsWith(u'\n'));
        QVERIFY(log.text().replace(u"\r\n"_s, u"\n"_s).startsWith(text));
    };
    log.setText(lines(0, limit / 8)); // nearly twice the limit
    checkShown();
    for (int i = 0; i < limit / 128; ++i)
        log.prepend(lines(limit / 8 + i, 1));
    QTRY_VERIFY(shown->toPlainText().startsWith(lines(limit / 8 + limit / 128 - 1, 1).remove(u'\r')));
    checkShown();
    QCOMPARE(log.text(), lines(0, limit / 8 + limit / 128)); // the log itself keeps everything
}

// Start-up leaves the editor, filter list and run buttons off, user texts unmarked; a cancelled exit stays.
// A folder where no lock can be made is no second instance: it is said as such, and nothing is written.
void TestMainWindow::startUp()
{
    QVERIFY(m_form->start());
    const QList<bool> enabled{child<QPlainTextEdit>(u"parameterEdit"_s)->isEnabled(),
                              child<QListView>(u"extensionList"_s)->isEnabled(),
                              child<QPushButton>(u"runButton"_s)->isEnabled(),
                              child<QPushButton>(u"abortButton"_s)->isEnabled()};
    QCOMPARE(enabled, QList<bool>(4, false));
    QCOMPARE(child<QLabel>(u"logLimitValue"_s)->text(), u"32"_s);
    QVERIFY(m_form->table().log.text().startsWith(entry(u"Lomvato起動開始"_s)));
    m_form->table().apps.appendRow({u"<App1>"_s, u"<b>tool"_s, u"/bin/<b>tool"_s, u"<b>x.jpg"_s});
    m_form->selectApplication();
    QCOMPARE(child<QLabel>(u"sampleLabel"_s)->text(), u"<b>x.jpg"_s);
    QList<Qt::TextFormat> formats;
    for (const QString& name : {u"sampleLabel"_s, u"editTargetLabel"_s, u"logLimitValue"_s, u"statusText"_s})
        formats << child<QLabel>(name)->textFormat();
    QCOMPARE(formats, QList<Qt::TextFormat>(4, Qt::PlainText));
    m_fake.dialogs.answers.push_back(Dialogs::Answer::Cancel);
    m_form->quit();
    QVERIFY(m_form->isVisible());
    QVERIFY(!QFile::exists(m_dir->filePath(u"log.ini"_s)));

    const QString folder = m_dir->filePath(u"gone"_s);
    m_form = std::make_unique<MainWindow>(m_fake.in(folder));
    QVERIFY(!m_form->start());
    QCOMPARE(m_fake.dialogs.texts(),
             (QStringList{u"アプリケーションを終了します。よろしいですか？"_s,
                          folder + u" にロックファイルを作成できません: No such file or directory"_s}));
    m_form->close();
    QVERIFY(!QFile::exists(folder));

    // Settings in a FIFO are not read (that would hang) nor replaced: a change holds, its save fails.
    const QString path = RunSettings::fileName(m_dir->path());
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    m_form = std::make_unique<MainWindow>(m_fake.in(m_dir->path()));
    const QString status = child<QLabel>(u"statusText"_s)->text();
    QVERIFY2(status.startsWith(path) && status.contains(u"通常のファイルではありません"_s),
             qPrintable(status));
    child<QCheckBox>(u"FastPace"_s)->click();
    QVERIFY(child<QSpinBox>(u"JobsAtOnce"_s)->isEnabled());
    QCOMPARE(m_fake.dialogs.shown.size(), 3);
}

// Four jobs, one at a time: a fails, b succeeds, c runs until the window has closed, d never starts. The
// next start shows the three that started, and 続きから実行 runs a, c and d, as one run of their own. A job
// log from a cluster is shown then, and its failed jobs are exported and run here.
void TestMainWindow::resultsAcrossStartsAndFromACluster()
{
    QVERIFY(startReal());
    const QString marker = m_dir->filePath(u"closed"_s);
    const QString waits = u"while [ ! -e '%1' ]; do sleep 0.02; done"_s.arg(marker);
    WorkTable& table = m_form->table();
    table.apps.appendRow({u"<App1>"_s, u"sh"_s, u"/bin/sh"_s});
    for (const QString& script : {u"exit 3"_s, u"exit 0"_s, waits, u"echo d"_s})
        table.files.appendRows({{QString(), QString(), script}});
    table.batch.appendRow({u"<App1>"_s, u"sh"_s, u"<App1> -c \"<c2>\""_s, u"/bin/sh"_s});
    m_form->engine().setPace(true, 1);
    m_form->engine().start();
    const QString failed = u"エラー終了 (コード 3)"_s, done = u"正常終了"_s;
    QTRY_COMPARE(resultsColumn(RunResults::Outcome), (QStringList{failed, done, u"実行中"_s}));
    // The tab was first shown after the run began.
    QCOMPARE(child<QLabel>(u"ShownRun"_s)->text(), u"今回の実行"_s);
    m_form->close();
    m_form.reset();
    QVERIFY(QFile(marker).open(QIODevice::WriteOnly));

    QVERIFY(startReal());
    QTRY_COMPARE(resultsColumn(RunResults::Outcome), (QStringList{failed, done, u"中断"_s}));
    QVERIFY(child<QLabel>(u"ShownRun"_s)->text().endsWith(u"完了 1 件 / 失敗 1 件 / 中断 1 件"_s));
    child<QPushButton>(u"Resume"_s)->click();
    QTRY_VERIFY(!m_form->engine().isRunning());
    QCOMPARE(resultsColumn(RunResults::Number), (QStringList{u"1"_s, u"3"_s, u"4"_s}));
    QCOMPARE(resultsColumn(RunResults::Outcome), (QStringList{failed, done, done}));

    // A job log as `parallel --joblog` writes it for a Lomvato job file: two jobs run on node1 (one of a
    // program missing here), a line Lomvato did not write, and the comment lines that parallel ran as jobs.
    const QString log = m_dir->filePath(u"run.log"_s);
    QVERIFY(
        TextCodec::writeBytes(log,
                              "Seq\tHost\tStarttime\tJobRuntime\tSend\tReceive\tExitval\tSignal\tCommand\n"
                              "2\tnode1\t1796659574.492\t     1.250\t0\t0\t0\t0\t'/bin/sh' -c 'exit 0'\n"
                              "1\tnode1\t1796659574.490\t     0.002\t0\t0\t5\t0\t'/nonexistent' -c 'exit 5'\n"
                              "3\t:\t1796659574.495\t     0.002\t0\t3\t1\t0\techo hi | grep -q x\n"
                              "4\t:\t1796659574.497\t     0.002\t0\t0\t0\t0\t# Lomvato のジョブファイル\n",
                              nullptr));
    m_fake.dialogs.files = {log};
    child<QPushButton>(u"LoadJobLog"_s)->click();
    QCOMPARE(resultsColumn(RunResults::Number), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
    QCOMPARE(resultsColumn(RunResults::Host), (QStringList{u"node1"_s, u"node1"_s, QString()}));
    QVERIFY(!child<QTableView>(u"ResultsView"_s)->isColumnHidden(RunResults::Host));

    m_fake.dialogs.files = {m_dir->filePath(u"failed.sh"_s)};
    child<QPushButton>(u"ExportFailed"_s)->click();
    QCOMPARE(read(u"failed.sh"_s),
             "'/nonexistent' -c 'exit 5'\n'sh' -c 'echo hi | grep -q x'\n" + JobFile::trailer(2));

    // Run here, the failures keep their numbers and lose their host.
    child<QPushButton>(u"RerunFailed"_s)->click();
    QTRY_VERIFY(!m_form->engine().isRunning());
    QCOMPARE(resultsColumn(RunResults::Number), (QStringList{u"1"_s, u"3"_s}));
    QCOMPARE(resultsColumn(RunResults::Host), (QStringList{QString(), QString()}));
    QCOMPARE(resultsColumn(RunResults::Outcome), (QStringList{u"起動失敗"_s, u"エラー終了 (コード 1)"_s}));
    // The job selected shows in the pane under the table, here why it did not start.
    auto* view = child<QTableView>(u"ResultsView"_s);
    view->setCurrentIndex(view->model()->index(0, 0));
    const auto* output = child<QPlainTextEdit>(u"JobOutput"_s);
    QTRY_VERIFY(output->toPlainText().contains(u"起動できませんでした: No such file or directory"_s));
}

// The files are stored before the power-off, which may end the session. A template may leave the box grey
// (2). A window closed while a job runs (a signal, the session's end) has not ended the work.
void TestMainWindow::afterTheLastJob_data()
{
    QTest::addColumn<int>("afterWork");
    QTest::addColumn<QString>("user"); // "cancel": the countdown; "close": the window during the run
    QTest::addRow("countdown runs out") << 1 << QString();
    QTest::addRow("countdown cancelled") << 1 << u"cancel"_s;
    QTest::addRow("grey box") << 2 << QString();
    QTest::addRow("closed during the run") << 1 << u"close"_s;
}

void TestMainWindow::afterTheLastJob()
{
    QFETCH(int, afterWork);
    QFETCH(QString, user);
    const bool closed = user == u"close"_s, countdown = afterWork == 1 && !closed;
    const bool powerOff = countdown && user.isEmpty();
    QString logAtPowerOff;
    m_fake.power.onPowerOff = [&] { logAtPowerOff = TextCodec::decode(read(u"log.ini"_s)); };
    QVERIFY(m_form->start());
    WorkTable& t = m_form->table();
    t.settings.afterWork = afterWork;
    t.settings.notifyChanged();
    t.files.appendRows({{QString(), u"1"_s, u"a"_s, u"txt"_s, u"/w"_s, u"/w/a.txt"_s}});
    t.batch.appendRow({u"<App1>"_s, u"tool"_s, u"tool <c5>"_s, u"/bin/tool"_s});
    m_form->engine().start();
    m_form->engine().openProcess();
    if (closed)
        m_form->close();
    m_fake.launcher.ended.insert(m_fake.launcher.lastPid());
    m_form->engine().poll();
    // The countdown opens from the event loop, and this runs inside it.
    QPair<int, int> bar;
    QTimer::singleShot(0, m_form.get(), [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        const auto* shown = dialog->findChild<QProgressBar*>();
        connect(dialog, &QDialog::finished, [&bar, shown] { bar = {shown->value(), shown->maximum()}; });
        if (user == u"cancel"_s)
            dialog->findChild<QPushButton*>(u"cancelButton"_s)->click();
    });
    QCoreApplication::processEvents();
    QCOMPARE(m_fake.clock.timersStarted.contains(u"countdownTimer"_s), countdown);
    QCOMPARE(m_fake.power.powerOffs, int(powerOff));
    QCOMPARE(bar == qMakePair(499, 500), powerOff);
    QCOMPARE(m_fake.dialogs.texts(), QStringList(afterWork == 2 ? 1 : 0, u"処理が全て終了しました"_s));
    QCOMPARE(m_form->isVisible(), !powerOff && !closed);
    QCOMPARE(child<QCheckBox>(u"afterWorkCheck"_s)->isChecked(), afterWork == 1);
    QCOMPARE(child<QRadioButton>(u"powerOffOption"_s)->isEnabled(), afterWork == 1);
    QCOMPARE(RunResults::outcomeText(m_form->engine().results().job(0)) == u"放置"_s, closed);
    const QString allSent = entry(u"全ての送信を終了しました／"_s);
    const QString log = m_form->isVisible() ? t.log.text() : TextCodec::decode(read(u"log.ini"_s));
    const QString top =
        powerOff ? entry(u"「Lomvato」はマシーンの終了を実行しました／"_s) + u"\r\n"_s : QString();
    QVERIFY(closed ? !log.contains(allSent) : log.startsWith(top + allSent));
    QCOMPARE(logAtPowerOff.startsWith(allSent), powerOff);
}

// A proposed move is answered with the copy also offered; the drop's own keys decide, Ctrl+Meta appends.
// Text, web links, other hosts: no files.
void TestMainWindow::drop_data()
{
    QTest::addColumn<bool>("web");
    QTest::addRow("files") << false;
    QTest::addRow("web link only") << true;
}

void TestMainWindow::drop()
{
    QFETCH(bool, web);
    WorkTable& t = m_form->table();
    t.settings.alwaysAppend = 0;
    t.files.appendRows({{{}, {}, {}, {}, {}, u"/old/1"_s}, {{}, {}, {}, {}, {}, u"/old/2"_s}});
    QWidget* viewport = child<FileListView>(u"fileList"_s)->viewport();
    const QUrl link(u"https://example.org/x.txt"_s);
    QMimeData data;
    data.setUrls(web ? QList<QUrl>{link}
                     : QList<QUrl>{QUrl::fromLocalFile(u"/tmp/a b.txt"_s), link,
                                   QUrl::fromEncoded("file://server/share/x.txt"),
                                   QUrl::fromEncoded("file://localhost/tmp/%3Cb%3E")});
    data.setText(u"/tmp/a.txt"_s);
    const Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction;
    const Qt::KeyboardModifiers keys = Qt::ControlModifier | Qt::MetaModifier;
    QDragEnterEvent enter(QPoint(50, 50), possible, &data, Qt::LeftButton, keys);
    QDropEvent drop(QPoint(50, 50), possible, &data, Qt::LeftButton, keys);
    drop.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(viewport, &enter);
    QCoreApplication::sendEvent(viewport, &drop);
    QCOMPARE(std::pair(enter.isAccepted(), drop.isAccepted()), std::pair(!web, !web));
    QCOMPARE(drop.dropAction(), web ? Qt::MoveAction : Qt::CopyAction);
    QStringList paths;
    for (int r = 0; r < t.files.count(); ++r)
        paths << t.files.cell(r, 5);
    const QStringList old{u"/old/1"_s, u"/old/2"_s};
    QCOMPARE(paths, (web ? old : old + QStringList{u"/tmp/a b.txt"_s, u"/tmp/<b>"_s}));
}

// A list's hint shows wherever the pointer rests on it, over a row too: a cell has no tooltip of its own.
void TestMainWindow::listHints_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("hint");
    const QString keyHint = u"パラメータ編集時にはダブルクリックでキー挿入"_s;
    QTest::addRow("files")
        << u"fileList"_s << u"既存のリストに更に追加する場合はcontrolキーを押しながらドロップしてください"_s;
    QTest::addRow("applications") << u"appList"_s << keyHint;
    QTest::addRow("keys") << u"keyList"_s << keyHint;
}

void TestMainWindow::listHints()
{
    QFETCH(QString, list);
    QFETCH(QString, hint);
    m_form->table().files.appendRows({{QString(), u"1"_s, u"<b>x"_s, u"jpg"_s, u"/w"_s, u"/w/<b>x.jpg"_s}});
    m_form->table().apps.appendRow({u"<App1>"_s, u"<b>tool"_s, u"/bin/<b>tool"_s, u"<b>x"_s});
    auto* view = child<QTreeView>(list);
    const QPoint overRow = view->visualRect(view->model()->index(0, 1)).center();
    QHelpEvent help(QEvent::ToolTip, overRow, view->viewport()->mapToGlobal(overRow));
    QCoreApplication::sendEvent(view->viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), hint);
    QToolTip::hideText();
}

// At the factory widths the keys fit whole, in the lists' own font and in each Japanese font installed.
void TestMainWindow::keysReadable()
{
    WorkTable& t = m_form->table();
    QStringList keys;
    for (int i = 0; i < t.columns.count(); ++i)
        keys << t.columns.column(i).keyText;
    for (const auto& [list, listKeys, twips] :
         {std::tuple{u"keyList"_s, keys, t.columns.listWidths().value(0)},
          {u"appList"_s, QStringList{u"<App1>"_s}, t.apps.widths().value(0)}}) {
        auto* view = child<QTreeView>(list);
        for (const QString& family :
             {QFontInfo(view->font()).family(), u"Noto Sans CJK JP"_s, u"IPAGothic"_s}) {
            if (!QFontDatabase::hasFamily(family))
                continue;
            QFont font = view->font();
            font.setFamilies({family});
            // The column keeps the template's width, whatever minimum the header would derive from the font.
            view->setFont(font);
            t.columns.renumber();
            const int shown = view->header()->sectionSize(0);
            QCOMPARE(shown, Twips::toPixels(twips, view->header()->logicalDpiX()));
            const int room = ListItemDelegate::textRect(QRect(0, 0, shown, 1)).width();
            for (const QString& key : listKeys)
                QVERIFY2(QFontMetricsF(font).horizontalAdvance(key) <= room,
                         qPrintable(list + u' ' + key + u' ' + family));
        }
    }
}

// The preview lists every job, entry outer, file row inner, as the run goes; writes them to a job file; runs
// the selected one alone; and follows the template's edits at once, a key problem standing above the jobs.
void TestMainWindow::preview()
{
    m_fake.dialogs.files.push_back(m_dir->filePath(u"jobs.sh"_s));
    PreviewWindow* preview = openPreview();
    const auto cell = [preview](int row, int column) { return preview->jobs().index(row, column).data(); };
    QCOMPARE(preview->jobs().rowCount(), 4);
    QCOMPARE(
        (QVariantList{cell(1, JobPreview::Entry), cell(2, JobPreview::Entry), cell(1, JobPreview::File),
                      cell(1, JobPreview::Arguments)}),
        (QVariantList{u"1 conv"_s, u"2 conv"_s, u"写真 1.jpg"_s, u"‹/opt/conv› ‹-i› ‹/p/写真› ‹1.jpg›"_s}));

    auto* exportButton = preview->findChild<QPushButton*>(u"Export"_s);
    exportButton->click();
    QVERIFY(!exportButton->isEnabled()); // written from the event loop
    QTRY_VERIFY(exportButton->isEnabled());
    QCOMPARE(read(u"jobs.sh"_s).split('\n').at(1), "'/opt/conv' -i '/p/写真' 1.jpg"_ba); // job 2 on line 2
    QVERIFY(m_fake.dialogs.shown.isEmpty());

    QSignalSpy allDone(&m_form->engine(), &RunEngine::allDone);
    auto* runOne = preview->findChild<QPushButton*>(u"RunOne"_s);
    QVERIFY(!runOne->isEnabled()); // nothing selected
    preview->view()->selectRow(2);
    runOne->click();
    QVERIFY(!runOne->isEnabled());
    m_form->engine().openProcess();
    m_fake.launcher.ended.insert(m_fake.launcher.lastPid());
    m_form->engine().poll();
    QCOMPARE(m_fake.launcher.started, QStringList{u"/opt/conv \"/p/a.jpg\""_s});
    QCOMPARE(allDone.size(), 0);
    QVERIFY(runOne->isEnabled());

    m_form->table().batch.setCell(0, BatchList::Parameter, u"<App1> -i \"<c5>\""_s);
    QCOMPARE(cell(1, JobPreview::Arguments), u"‹/opt/conv› ‹-i› ‹/p/写真 1.jpg›"_s);
    auto* problems = preview->findChild<QLabel*>(u"Problems"_s);
    QVERIFY(problems->isHidden());
    m_form->table().batch.setCell(1, BatchList::Parameter, u"<App2> x"_s);
    QVERIFY(!problems->isHidden() && problems->text().contains(u"<App2>"_s));
}

void TestMainWindow::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("saved"); // the file the window saves
    QTest::addColumn<DiskFault>("fault");
    QTest::addColumn<QString>("reason");
    for (const char* saved : {"results.csv", "jobs.sh", "lomvato.ini"})
        for (const auto& [faultName, fault, reason] :
             {std::tuple{"file size limit", DiskFault::FileSizeLimit, u"File too large"_s},
              {"full disk", DiskFault::FullDisk, u"No space left on device"_s},
              {"read-only folder", DiskFault::ReadOnly, u"Read-only file system"_s}})
            QTest::addRow("%s, %s", saved, faultName) << QString::fromLatin1(saved) << fault << reason;
}

void TestMainWindow::failedSaveKeepsTheOldFile()
{
    QFETCH(QString, saved);
    QFETCH(DiskFault, fault);
    QFETCH(QString, reason);
    const QString path = m_dir->filePath(saved);
    const QByteArray old = RunSettings{false, 1}.text(); // the settings the window has read
    QVERIFY(TextCodec::writeBytes(path, old, nullptr));
    m_fake.dialogs.files.push_back(path);
    const QStringList before = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);

    // Each check a bit of the child's exit code.
    const int code = withDiskFault(fault, m_dir->path(), [&] {
        if (saved == u"results.csv"_s) {
            child<ResultsTab>()->saveCsv();
        } else if (saved == u"jobs.sh"_s) {
            auto* exportButton = openPreview()->findChild<QPushButton*>(u"Export"_s);
            exportButton->click();
            if (!QTest::qWaitFor([&] { return exportButton->isEnabled(); }, 10000))
                return 64;
        } else {
            child<QCheckBox>(u"FastPace"_s)->click();
        }
        const bool kept = read(saved) == old;
        QStringList left = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(u".filler"_s);
        const auto& shown = m_fake.dialogs.shown;
        const bool named = shown.size() == 1 && shown[0].text.startsWith(u"7 : "_s + reason) &&
                           shown[0].text.endsWith(path + u"を保存できませんでした"_s);
        return (named ? 0 : 1) | (kept ? 0 : 2) | (left == before ? 0 : 4);
    });
    if (code == faultUnavailable)
        QSKIP("this machine does not allow the fault");
    QCOMPARE(code, 0);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
