#include "FakeServices.h"
#include "core/Twips.h"
#include "gui/ListItemDelegate.h"
#include "gui/LogTab.h"
#include "gui/MainWindow.h"
#include "store/TemplateFile.h"
#include "store/TextCodec.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace
{
// The top of a log entry written at the fake clock's time.
QString entry(const QString& text)
{
    return QString(60, u'*') + u"\r\n\r\n03/04/15 09:05:07\t"_s + text + u"\r\n"_s;
}
} // namespace

// The main window: its frame, start-up, the close path with its files, and the actions after the last job.
class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_form.reset(); }
    void longLogShowsItsNewestLines();
    void startUpThenExitCancelled();
    void afterTheLastJob_data();
    void afterTheLastJob();
    void failedJobShowsWhatItSaid();
    void lockRefused_data();
    void lockRefused();
    void listHints_data();
    void listHints();
    void userTextsArePlain();
    void keysReadable();

private:
    template <typename T> T* child(const QString& name) { return m_form->findChild<T*>(name); }
    QString readText(const QString& name) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeServices m_fake;
    std::unique_ptr<MainWindow> m_form;
};

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_fake = FakeServices();
    QVERIFY(TemplateFile::writeFactoryTemplate(m_dir->filePath(u"default.lvt"_s)));
    m_form = std::make_unique<MainWindow>(m_fake.in(m_dir->path()));
}

QString TestMainWindow::readText(const QString& name) const
{
    QString text;
    StoreError error;
    TextCodec::readFile(m_dir->filePath(name), &text, &error);
    return text;
}

void TestMainWindow::longLogShowsItsNewestLines()
{
    // Lines of 15 characters, numbered so that a lost or doubled line shows; the newest on top.
    auto lines = [](int from, int count) {
        QString text;
        for (int i = from + count - 1; i >= from; --i)
            text += u"entry %1\r\n"_s.arg(i, 7, 10, QChar(u'0'));
        return text;
    };
    ActivityLog& log = m_form->table().log;
    const auto* shown = child<QPlainTextEdit>(u"logView"_s);
    const int limit = LogTab::shownLogLimit;
    // Whether loaded at once or grown entry by entry, the box holds whole newest lines up to the limit.
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

// Start-up leaves the editor, the filter list and both run buttons off; an exit the user cancels keeps the
// window and writes nothing.
void TestMainWindow::startUpThenExitCancelled()
{
    QVERIFY(m_form->start());
    const QList<bool> enabled{child<QPlainTextEdit>(u"parameterEdit"_s)->isEnabled(),
                              child<QListView>(u"extensionList"_s)->isEnabled(),
                              child<QPushButton>(u"runButton"_s)->isEnabled(),
                              child<QPushButton>(u"abortButton"_s)->isEnabled()};
    QCOMPARE(enabled, QList<bool>(4, false));
    QCOMPARE(child<QLabel>(u"logLimitValue"_s)->text(), u"32"_s);
    QVERIFY(m_form->table().log.text().startsWith(entry(u"Lomvato起動開始"_s)));
    m_fake.dialogs.answers.push_back(Dialogs::Answer::Cancel);
    m_form->quit();
    QCOMPARE(m_fake.dialogs.shown.size(), 1);
    QCOMPARE(m_fake.dialogs.shown[0].title + u'|' + m_fake.dialogs.shown[0].text,
             u"終了確認|アプリケーションを終了します。よろしいですか？"_s);
    QVERIFY(m_form->isVisible());
    QVERIFY(!QFile::exists(m_dir->filePath(u"log.ini"_s)));
}

// The window's part of the actions after the last job. A countdown that runs out stores both files before the
// power-off request, puts the shutdown entry on top after that, and closes the window, its bar one step short
// of full; a cancelled one leaves the window. A grey box (a template may leave afterWorkCheck at 2) shows
// unticked, greys the actions out and only reports. Closing the window (a signal, the session's end) while a
// job runs leaves the job running and is not the end of the work, though the run's jobs end while the window
// closes.
void TestMainWindow::afterTheLastJob_data()
{
    QTest::addColumn<int>("afterWork");
    QTest::addColumn<QString>("user"); // cancels the countdown, or closes the window during the run
    QTest::addColumn<bool>("countdown");
    QTest::addColumn<QStringList>("messages");
    QTest::addRow("countdown runs out") << 1 << QString() << true << QStringList();
    QTest::addRow("countdown cancelled") << 1 << u"cancel"_s << true << QStringList();
    QTest::addRow("grey box") << 2 << QString() << false << QStringList{u"処理が全て終了しました"_s};
    QTest::addRow("closed during the run") << 1 << u"close"_s << false << QStringList();
}

void TestMainWindow::afterTheLastJob()
{
    QFETCH(int, afterWork);
    QFETCH(QString, user);
    QFETCH(bool, countdown);
    QFETCH(QStringList, messages);
    const bool powerOff = countdown && user.isEmpty(), closed = user == u"close"_s;
    QString logAtPowerOff;
    m_fake.power.onPowerOff = [&] { logAtPowerOff = readText(u"log.ini"_s); };
    QVERIFY(m_form->start());
    m_fake.clock.timersStarted.clear();
    WorkTable& t = m_form->table();
    t.settings.afterWork = afterWork;
    t.settings.afterWorkAction.select(0);
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
    QStringList shown;
    for (const auto& box : std::as_const(m_fake.dialogs.shown))
        shown << box.text;
    QCOMPARE(shown, messages);
    QCOMPARE(m_form->isVisible(), !powerOff && !closed);
    QCOMPARE(child<QCheckBox>(u"afterWorkCheck"_s)->isChecked(), afterWork == 1);
    QCOMPARE(child<QRadioButton>(u"powerOffOption"_s)->isEnabled(), afterWork == 1);
    QCOMPARE(RunResults::outcomeText(m_form->engine().results().job(0)) == u"放置"_s, closed);
    const QString allSent = entry(u"全ての送信を終了しました／"_s);
    const QString log = m_form->isVisible() ? t.log.text() : readText(u"log.ini"_s);
    const QString top =
        powerOff ? entry(u"「Lomvato」はマシーンの終了を実行しました／"_s) + u"\r\n"_s : QString();
    QVERIFY(closed ? !log.contains(allSent) : log.startsWith(top + allSent));
    QCOMPARE(logAtPowerOff.startsWith(allSent), powerOff);
}

// Selecting a failed job in "結果" shows what it ran and what it wrote, in the pane under the table.
void TestMainWindow::failedJobShowsWhatItSaid()
{
    QVERIFY(m_form->start());
    WorkTable& t = m_form->table();
    t.files.appendRows({{QString(), u"1"_s, u"a"_s, u"jpg"_s, u"/w"_s, u"/w/a.jpg"_s},
                        {QString(), u"2"_s, u"b"_s, u"jpg"_s, u"/w"_s, u"/w/b.jpg"_s}});
    t.batch.appendRow({u"<App1>"_s, u"tool"_s, u"tool <c5>"_s, u"/bin/tool"_s});
    m_fake.launcher.outputs.insert(u"tool /w/b.jpg"_s,
                                   {"converting\n", u"b.jpg: 壊れた画像です\n"_s.toUtf8()});
    m_fake.launcher.failing.insert(u"tool /w/a.jpg"_s);
    m_form->engine().setPace(true, 2);
    m_form->engine().start();
    m_fake.launcher.ended.insert(m_fake.launcher.lastPid());
    QTRY_VERIFY(!m_form->engine().isRunning());
    auto* view = child<QTableView>(u"ResultsView"_s);
    const auto* pane = child<QPlainTextEdit>(u"JobOutput"_s);
    view->setCurrentIndex(view->model()->index(1, 0));
    QTRY_VERIFY(pane->toPlainText().contains(u"b.jpg: 壊れた画像です"_s));
    QVERIFY(pane->toPlainText().contains(u"converting"_s));
    view->setCurrentIndex(view->model()->index(0, 0));
    QTRY_VERIFY(pane->toPlainText().contains(u"起動できませんでした: No such file or directory"_s));
}

void TestMainWindow::lockRefused_data()
{
    // Only a lock held by a running Lomvato is a second instance; a folder where no lock can be made is not.
    QTest::addColumn<bool>("held");
    QTest::addColumn<QString>("message");
    QTest::addRow("held by a running one") << true << u"２重起動できません"_s;
    QTest::addRow("folder missing") << false
                                    << u" にロックファイルを作成できません: No such file or directory"_s;
}

void TestMainWindow::lockRefused()
{
    QFETCH(bool, held);
    QFETCH(QString, message);
    QString folder = m_dir->path();
    if (held)
        QVERIFY(m_form->start());
    else
        folder = m_dir->filePath(u"gone"_s);
    const QString before = readText(u"default.lvt"_s);
    FakeServices fake;
    MainWindow second(fake.in(folder));
    QVERIFY(!second.start());
    QCOMPARE(fake.dialogs.shown.size(), 1);
    QCOMPARE(fake.dialogs.shown[0].title + u'|' + fake.dialogs.shown[0].text,
             u"Lomvato|"_s + (held ? message : folder + message));
    // Whatever closes it now, the refused one writes nothing.
    second.close();
    QCOMPARE(readText(u"default.lvt"_s), before);
    QVERIFY(!QFile::exists(m_dir->filePath(u"log.ini"_s)));
    QCOMPARE(QFile::exists(folder), held);
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
    WorkTable& t = m_form->table();
    t.files.appendRows({{QString(), u"1"_s, u"<b>x"_s, u"jpg"_s, u"/w"_s, u"/w/<b>x.jpg"_s}});
    t.apps.appendRow({u"<App1>"_s, u"<b>tool"_s, u"/bin/<b>tool"_s, u"<b>x"_s});
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    auto* view = child<QTreeView>(list);
    const QPoint overRow = view->visualRect(view->model()->index(0, 1)).center();
    QHelpEvent help(QEvent::ToolTip, overRow, view->viewport()->mapToGlobal(overRow));
    QCoreApplication::sendEvent(view->viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), hint);
    QToolTip::hideText();
}

// Labels that show a sample, a key, a template's value or a file's name never take it for markup.
void TestMainWindow::userTextsArePlain()
{
    m_form->table().apps.appendRow({u"<App1>"_s, u"<b>tool"_s, u"/bin/<b>tool"_s, u"<b>x.jpg"_s});
    m_form->selectApplication();
    auto* label1 = child<QLabel>(u"sampleLabel"_s);
    QCOMPARE(label1->text(), u"<b>x.jpg"_s);
    QList<Qt::TextFormat> formats;
    for (const QString& name : {u"sampleLabel"_s, u"editTargetLabel"_s, u"logLimitValue"_s, u"statusText"_s})
        formats << child<QLabel>(name)->textFormat();
    QCOMPARE(formats, QList<Qt::TextFormat>(4, Qt::PlainText));
}

// At the factory widths, 450 twips for the key list's key column and 660 for the application list's, shown as
// such, the keys fit the text's room whole, in the lists' own font and in each of the two Japanese fonts
// installed.
void TestMainWindow::keysReadable()
{
    QStringList keys;
    for (int i = 0; i < m_form->table().columns.count(); ++i)
        keys << m_form->table().columns.column(i).keyText;
    QCOMPARE(keys.size(), 6);
    WorkTable& t = m_form->table();
    for (const auto& [list, listKeys, twips] :
         {std::tuple{u"keyList"_s, keys, t.columns.listWidths().value(0)},
          {u"appList"_s, QStringList{u"<App1>"_s}, t.apps.widths().value(0)}}) {
        auto* view = child<QTreeView>(list);
        QStringList families{QFontInfo(view->font()).family()};
        for (const QString& japanese : {u"Noto Sans CJK JP"_s, u"IPAGothic"_s}) {
            if (QFontDatabase::hasFamily(japanese))
                families << japanese;
        }
        for (const QString& family : families) {
            QFont font = view->font();
            font.setFamilies({family});
            // The widths shown again in this font: the column is as wide as the template holds it, however
            // narrow, whatever minimum the header would derive from the font.
            view->setFont(font);
            t.columns.renumber();
            const int shown = view->header()->sectionSize(0);
            QCOMPARE(shown, Twips::toPixels(twips, view->header()->logicalDpiX()));
            const int room = ListItemDelegate::textRect(QRect(0, 0, shown, 1)).width();
            for (const QString& key : listKeys) {
                const qreal width = QFontMetricsF(font).horizontalAdvance(key);
                QVERIFY2(width <= room,
                         qPrintable(u"%1 %2 in %3: %4 > %5"_s.arg(list, key, family).arg(width).arg(room)));
            }
        }
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
