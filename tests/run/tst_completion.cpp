#include "Fakes.h"
#include "core/WorkTable.h"
#include "run/CompletionAction.h"
#include "run/CompletionCountdown.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
const QString AllSent = u"全ての送信を終了しました／"_s;
const QString EndOnly = u"「Lomvato」は終了処理を開始しました／"_s;
const QString Shutdown = u"「Lomvato」はマシーンの終了を実行しました／"_s;
const QString PrivilegeMessage = u"SE_SHUTDOWN_NAME特権が設定できません"_s;

// What the window would do around a completion: it records every call in order, and the log as it stood when
// the files were stored.
struct Window {
    WorkTable table;
    FakeDialogs dialogs;
    FakePower power;
    FakeClock clock;
    QStringList calls;
    QString storedLog;
    bool countdownShown = false;
    bool cancelCountdown = false;

    Window()
    {
        power.onPowerOff = [this] { calls << u"powerOff"_s; };
    }

    std::function<void()> storeFiles()
    {
        return [this] {
            calls << u"store"_s;
            storedLog = table.log.text();
        };
    }

    CompletionCallbacks callbacks()
    {
        CompletionCallbacks c;
        c.storeFiles = storeFiles();
        c.closeWindow = [this] { calls << u"close"_s; };
        // Stands in for Form6: ticks the countdown until it ends, or presses "中　止" half-way.
        c.runCountdown = [this](CompletionCountdown& countdown) {
            countdownShown = true;
            countdown.start();
            for (int i = 0; i < 100000 && countdown.result() == CompletionCountdown::Result::Pending; ++i) {
                if (cancelCountdown && i == 250)
                    countdown.cancel();
                else
                    countdown.tick();
            }
            return countdown.result() == CompletionCountdown::Result::RanOut;
        };
        return c;
    }

    // The entries the run engine writes after the last job.
    void logAllSent()
    {
        table.log.prepend(ActivityLog::timed(clock.now(), AllSent));
        table.log.prependSeparator();
    }

    CompletionAction::Outcome complete()
    {
        return CompletionAction(table, dialogs, power, clock, callbacks()).run();
    }
};

QString entry(const FakeClock& clock, const QString& message)
{
    return ActivityLog::timed(clock.now(), message);
}
} // namespace

class TestCompletion : public QObject
{
    Q_OBJECT
private slots:
    void outcomes_data();
    void outcomes();
    void endOnlyPutsItsEntryAboveTheRunsEntries();
    void runOutStoresBeforePowerOffAndLogsAboveAllSent();
    void windowClaimingRunOutWithoutCountdownDoesNotPowerOff();

    void barStopsAt499BeforePreparations();
    void privilege_data();
    void privilege();
    void noSecondAttemptWhileTheMessageIsOpen();
    void cancelWhileTheMessageIsOpenStoresNothing();
    void cancelStopsTheCountdown();
};

void TestCompletion::outcomes_data()
{
    QTest::addColumn<int>("check2");
    QTest::addColumn<int>("option2"); // -1: neither button selected
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<CompletionAction::Outcome>("outcome");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("countdownShown");
    QTest::addColumn<QString>("logTop"); // the newest entry below the separator; empty: log unchanged

    const QStringList none;
    const QStringList done{u"処理が全て終了しました"_s};
    using O = CompletionAction::Outcome;
    QTest::addRow("action off") << 0 << 0 << false << O::Reported << none << done << false << QString();
    QTest::addRow("action off, end-only selected")
        << 0 << 1 << false << O::Reported << none << done << false << QString();
    QTest::addRow("end only") << 1 << 1 << false << O::Ended << QStringList{u"close"_s} << none << false
                              << EndOnly;
    QTest::addRow("shutdown cancelled")
        << 1 << 0 << true << O::Cancelled << none << none << true << QString();
    QTest::addRow("shutdown ran out")
        << 1 << 0 << false << O::PoweredOff << QStringList{u"store"_s, u"powerOff"_s, u"close"_s} << none
        << true << Shutdown;
    QTest::addRow("neither button selected")
        << 1 << -1 << false << O::Nothing << none << none << false << QString();
}

void TestCompletion::outcomes()
{
    QFETCH(int, check2);
    QFETCH(int, option2);
    QFETCH(bool, cancel);
    Window w;
    w.table.settings.check2 = check2;
    if (option2 < 0) {
        w.table.settings.option2.clear(0);
        w.table.settings.option2.clear(1);
    } else {
        w.table.settings.option2.select(option2);
    }
    w.cancelCountdown = cancel;
    w.logAllSent();
    const QString before = w.table.log.text();

    QTEST(w.complete(), "outcome");

    QTEST(w.calls, "calls");
    QStringList texts;
    for (const auto& shown : std::as_const(w.dialogs.shown)) {
        texts << shown.text;
        QCOMPARE(shown.title, u"Lomvato"_s);
        QCOMPARE(shown.buttons, Dialogs::Buttons::Ok);
    }
    QTEST(texts, "messages");
    QTEST(w.countdownShown, "countdownShown");
    QCOMPARE(w.power.powerOffs, int(w.calls.count(u"powerOff"_s)));
    QFETCH(QString, logTop);
    if (logTop.isEmpty())
        QCOMPARE(w.table.log.text(), before);
    else
        QCOMPARE(w.table.log.text(), ActivityLog::separator() + entry(w.clock, logTop) + before);
}

void TestCompletion::endOnlyPutsItsEntryAboveTheRunsEntries()
{
    Window w;
    w.table.settings.option2.select(1);
    w.table.log.setText(u"older\r\n"_s);
    w.logAllSent();
    w.clock.time = w.clock.time.addSecs(61);
    w.complete();

    const QStringList lines = w.table.log.text().split(u"\r\n"_s);
    const QString stars(60, u'*');
    QCOMPARE(lines.mid(0, 8), (QStringList{stars, QString(), u"03/04/15 09:06:08\t"_s + EndOnly, QString(),
                                           stars, QString(), u"03/04/15 09:05:07\t"_s + AllSent, QString()}));
    QCOMPARE(lines.at(8), u"older"_s);
}

void TestCompletion::runOutStoresBeforePowerOffAndLogsAboveAllSent()
{
    Window w;
    w.logAllSent();
    const QString before = w.table.log.text();

    QCOMPARE(w.complete(), CompletionAction::Outcome::PoweredOff);

    // The files were stored before the shutdown entry, which reaches log.ini through the close.
    QCOMPARE(w.calls, (QStringList{u"store"_s, u"powerOff"_s, u"close"_s}));
    QCOMPARE(w.storedLog, before);
    const QString log = w.table.log.text();
    QVERIFY(log.startsWith(ActivityLog::separator() + entry(w.clock, Shutdown)));
    QVERIFY(log.indexOf(Shutdown) < log.indexOf(AllSent));
    QVERIFY(w.power.privilegeRequests.isEmpty());
}

void TestCompletion::windowClaimingRunOutWithoutCountdownDoesNotPowerOff()
{
    // Powering off without the countdown's preparations would lose the files that were never stored.
    Window w;
    CompletionCallbacks c = w.callbacks();
    c.runCountdown = [](CompletionCountdown&) { return true; };
    QCOMPARE(CompletionAction(w.table, w.dialogs, w.power, w.clock, c).run(),
             CompletionAction::Outcome::Cancelled);
    QCOMPARE(w.power.powerOffs, 0);
    QVERIFY(w.calls.isEmpty());
}

void TestCompletion::barStopsAt499BeforePreparations()
{
    Window w;
    CompletionCountdown countdown(w.table, w.dialogs, w.power, w.clock, w.storeFiles());
    QSignalSpy values(&countdown, &CompletionCountdown::valueChanged);
    QSignalSpy finished(&countdown, &CompletionCountdown::finished);
    countdown.start();
    for (int i = 0; i < CompletionCountdown::Maximum - 1; ++i)
        countdown.tick();

    QCOMPARE(countdown.value(), 499);
    QCOMPARE(values.count(), 500); // 0 at the start, then 1..499
    QCOMPARE(values.last().at(0).toInt(), 499);
    QVERIFY(w.calls.isEmpty());
    QCOMPARE(countdown.result(), CompletionCountdown::Result::Pending);

    countdown.tick();
    QCOMPARE(countdown.value(), 499);
    QCOMPARE(w.calls, QStringList{u"store"_s});
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).value<CompletionCountdown::Result>(), CompletionCountdown::Result::RanOut);

    // Ticks that arrive before the dialog has closed change nothing.
    countdown.tick();
    countdown.cancel();
    QCOMPARE(w.calls, QStringList{u"store"_s});
    QCOMPARE(finished.count(), 1);
    QCOMPARE(countdown.result(), CompletionCountdown::Result::RanOut);
}

void TestCompletion::privilege_data()
{
    QTest::addColumn<int>("platformId");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<int>("ticksAtTheEnd"); // ticks at 499 until the countdown runs out
    QTest::addColumn<int>("requests");

    QTest::addRow("platform 0 asks none") << 0 << QList<bool>{} << 1 << 0;
    QTest::addRow("platform 1 asks none") << 1 << QList<bool>{} << 1 << 0;
    QTest::addRow("platform 2 granted") << 2 << QList<bool>{true} << 1 << 1;
    QTest::addRow("platform 2 refused, then granted") << 2 << QList<bool>{false, true} << 2 << 2;
    QTest::addRow("platform 2 refused twice") << 2 << QList<bool>{false, false, true} << 3 << 3;
}

void TestCompletion::privilege()
{
    QFETCH(int, platformId);
    QFETCH(QList<bool>, answers);
    QFETCH(int, ticksAtTheEnd);
    QFETCH(int, requests);
    Window w;
    w.power.version.platformId = platformId;
    w.power.privilegeAnswers.assign(answers.begin(), answers.end());
    CompletionCountdown countdown(w.table, w.dialogs, w.power, w.clock, w.storeFiles());
    countdown.start();
    for (int i = 0; i < CompletionCountdown::Maximum - 1; ++i)
        countdown.tick();
    const QString before = w.table.log.text();

    for (int i = 1; i < ticksAtTheEnd; ++i) {
        countdown.tick();
        // A refusal shows its message once per attempt and leaves the bar at its end, nothing stored.
        QCOMPARE(w.dialogs.shown.size(), i);
        QCOMPARE(w.dialogs.shown.last().text, PrivilegeMessage);
        QCOMPARE(w.dialogs.shown.last().title, u"Lomvato"_s);
        QCOMPARE(countdown.result(), CompletionCountdown::Result::Pending);
        QCOMPARE(countdown.value(), 499);
        QVERIFY(w.calls.isEmpty());
        QCOMPARE(w.table.log.text(), before);
    }
    countdown.tick();

    QCOMPARE(countdown.result(), CompletionCountdown::Result::RanOut);
    QCOMPARE(w.calls, QStringList{u"store"_s});
    QCOMPARE(w.dialogs.shown.size(), ticksAtTheEnd - 1);
    QCOMPARE(w.power.privilegeRequests, QStringList(requests, u"SeShutdownPrivilege"_s));
}

namespace
{
// A message box that stays open while the countdown's timer goes on ticking underneath it.
class TickingDialogs final : public Dialogs
{
public:
    std::function<void()> whileOpen;
    int messages = 0;
    Answer message(const QString&, const QString&, Buttons) override
    {
        ++messages;
        if (whileOpen)
            whileOpen();
        return Answer::Ok;
    }
    QString input(const QString&, const QString&) override { return {}; }
    QString openFile(const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&) override { return {}; }
};
} // namespace

void TestCompletion::noSecondAttemptWhileTheMessageIsOpen()
{
    Window w;
    w.power.version.platformId = 2;
    w.power.privilegeAnswers = {false, true};
    TickingDialogs dialogs;
    CompletionCountdown countdown(w.table, dialogs, w.power, w.clock, w.storeFiles());
    dialogs.whileOpen = [&] {
        for (int i = 0; i < 20; ++i)
            countdown.tick();
    };
    countdown.start();
    for (int i = 0; i < CompletionCountdown::Maximum; ++i)
        countdown.tick();

    QCOMPARE(dialogs.messages, 1);
    QCOMPARE(w.power.privilegeRequests.size(), 1);
    QVERIFY(w.calls.isEmpty());

    countdown.tick();
    QCOMPARE(w.power.privilegeRequests.size(), 2);
    QCOMPARE(countdown.result(), CompletionCountdown::Result::RanOut);
    QCOMPARE(w.calls, QStringList{u"store"_s});
}

void TestCompletion::cancelWhileTheMessageIsOpenStoresNothing()
{
    Window w;
    w.power.version.platformId = 2;
    w.power.privilegeAnswers = {false};
    TickingDialogs dialogs;
    CompletionCountdown countdown(w.table, dialogs, w.power, w.clock, w.storeFiles());
    dialogs.whileOpen = [&] { countdown.cancel(); };
    countdown.start();
    for (int i = 0; i < CompletionCountdown::Maximum + 5; ++i)
        countdown.tick();

    QCOMPARE(countdown.result(), CompletionCountdown::Result::Cancelled);
    QCOMPARE(dialogs.messages, 1);
    QVERIFY(w.calls.isEmpty());
    QVERIFY(w.table.log.isEmpty());
}

void TestCompletion::cancelStopsTheCountdown()
{
    Window w;
    CompletionCountdown countdown(w.table, w.dialogs, w.power, w.clock, w.storeFiles());
    QSignalSpy finished(&countdown, &CompletionCountdown::finished);
    countdown.start();
    for (int i = 0; i < 120; ++i)
        countdown.tick();
    countdown.cancel();
    for (int i = 0; i < CompletionCountdown::Maximum; ++i)
        countdown.tick();
    countdown.cancel();

    QCOMPARE(countdown.value(), 120);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).value<CompletionCountdown::Result>(),
             CompletionCountdown::Result::Cancelled);
    QVERIFY(w.calls.isEmpty());
    QVERIFY(w.table.log.isEmpty());
    QVERIFY(w.power.privilegeRequests.isEmpty());
}

QTEST_GUILESS_MAIN(TestCompletion)
#include "tst_completion.moc"
