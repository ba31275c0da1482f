#include "Fakes.h"
#include "core/WorkTable.h"
#include "run/CompletionAction.h"
#include "run/CompletionCountdown.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using Result = CompletionCountdown::Result;

namespace
{
// A message box that stays open while the countdown's timer goes on ticking underneath it.
class TickingDialogs final : public Dialogs
{
public:
    std::function<void()> whileOpen;
    QStringList texts;
    Answer message(const QString& text, const QString& title, Buttons) override
    {
        texts << text + u" / "_s + title;
        if (whileOpen)
            whileOpen();
        return Answer::Ok;
    }
    QString input(const QString&, const QString&) override { return {}; }
    QString openFile(const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&) override { return {}; }
};

// The window around a completion: records every call in order, and the log as it stood when it was stored.
struct Window {
    WorkTable table;
    TickingDialogs dialogs;
    FakePower power;
    FakeClock clock;
    QStringList calls;
    QString storedLog;
    int cancelAtTick = -1; // Form6's "中　止"

    Window()
    {
        power.onPowerOff = [this] { calls << u"powerOff"_s; };
        // The run engine's entries after the last job.
        table.log.prepend(ActivityLog::timed(clock.now(), u"全ての送信を終了しました／"_s));
        table.log.prependSeparator();
    }
    std::function<void()> storeFiles()
    {
        return [this] {
            calls << u"store"_s;
            storedLog = table.log.text();
        };
    }
    CompletionAction::Outcome complete()
    {
        CompletionCallbacks c{storeFiles(), [this] { calls << u"close"_s; },
                              [this](CompletionCountdown& countdown) {
                                  calls << u"countdown"_s;
                                  countdown.start();
                                  for (int i = 0; countdown.result() == Result::Pending && i < 1000; ++i)
                                      i == cancelAtTick ? countdown.cancel() : countdown.tick();
                                  return countdown.result() == Result::RanOut;
                              }};
        return CompletionAction(table, dialogs, power, clock, c).run();
    }
};
} // namespace

class TestCompletion : public QObject
{
    Q_OBJECT
private slots:
    void outcomes_data();
    void outcomes();
    void barStopsAt499BeforePreparations();
    void privilege_data();
    void privilege();
};

void TestCompletion::outcomes_data()
{
    QTest::addColumn<int>("check2");
    QTest::addColumn<int>("option2"); // -1: neither button selected
    QTest::addColumn<int>("cancelAtTick");
    QTest::addColumn<CompletionAction::Outcome>("outcome");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("logTop"); // the entry put above the run's entries; empty: log unchanged

    using O = CompletionAction::Outcome;
    const QStringList none;
    const QStringList done{u"処理が全て終了しました / Lomvato"_s};
    const QStringList countdown{u"countdown"_s};
    QTest::addRow("action off") << 0 << 0 << -1 << O::Reported << none << done << QString();
    QTest::addRow("action off, end only") << 0 << 1 << -1 << O::Reported << none << done << QString();
    QTest::addRow("end only") << 1 << 1 << -1 << O::Ended << QStringList{u"close"_s} << none
                              << u"「Lomvato」は終了処理を開始しました／"_s;
    QTest::addRow("countdown cancelled") << 1 << 0 << 250 << O::Cancelled << countdown << none << QString();
    QTest::addRow("countdown cancelled at its end")
        << 1 << 0 << 499 << O::Cancelled << countdown << none << QString();
    QTest::addRow("countdown ran out")
        << 1 << 0 << -1 << O::PoweredOff << (countdown + QStringList{u"store"_s, u"powerOff"_s, u"close"_s})
        << none << u"「Lomvato」はマシーンの終了を実行しました／"_s;
    QTest::addRow("neither button selected") << 1 << -1 << -1 << O::Nothing << none << none << QString();
}

void TestCompletion::outcomes()
{
    QFETCH(int, option2);
    QFETCH(QString, logTop);
    Window w;
    QFETCH(int, check2);
    w.table.settings.check2 = check2;
    w.table.settings.option2.clear(0);
    w.table.settings.option2.select(option2);
    QFETCH(int, cancelAtTick);
    w.cancelAtTick = cancelAtTick;
    const QString before = w.table.log.text();

    QTEST(w.complete(), "outcome");

    QTEST(w.calls, "calls");
    QTEST(w.dialogs.texts, "messages");
    // The files are stored before the shutdown entry, which reaches log.ini through the close.
    QCOMPARE(w.storedLog, w.calls.contains(u"store"_s) ? before : QString());
    QCOMPARE(w.table.log.text(), logTop.isEmpty() ? before
                                                  : ActivityLog::separator() +
                                                        ActivityLog::timed(w.clock.now(), logTop) + before);
}

void TestCompletion::barStopsAt499BeforePreparations()
{
    Window w;
    CompletionCountdown countdown(w.table, w.dialogs, w.power, w.clock, w.storeFiles());
    QSignalSpy values(&countdown, &CompletionCountdown::valueChanged);
    QSignalSpy finished(&countdown, &CompletionCountdown::finished);
    countdown.start();
    for (int i = 0; i < 499; ++i)
        countdown.tick();
    QCOMPARE(values.count(), 500); // 0 at the start, then 1..499
    QCOMPARE(countdown.value(), 499);
    QVERIFY(w.calls.isEmpty());

    // The tick at 499 prepares; later ticks and a late cancel change nothing.
    for (int i = 0; i < 3; ++i)
        countdown.tick();
    countdown.cancel();
    QCOMPARE(countdown.value(), 499);
    QCOMPARE(w.calls, QStringList{u"store"_s});
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).value<Result>(), Result::RanOut);
}

void TestCompletion::privilege_data()
{
    QTest::addColumn<int>("platformId");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<bool>("cancelInMessage");
    QTest::addColumn<int>("requests");
    QTest::addColumn<Result>("result");

    QTest::addRow("platform 0 asks none") << 0 << QList<bool>{} << false << 0 << Result::RanOut;
    QTest::addRow("platform 1 asks none") << 1 << QList<bool>{} << false << 0 << Result::RanOut;
    QTest::addRow("platform 2 granted") << 2 << QList<bool>{true} << false << 1 << Result::RanOut;
    QTest::addRow("platform 2 refused, then granted")
        << 2 << QList<bool>{false, true} << false << 2 << Result::RanOut;
    QTest::addRow("platform 2 refused twice")
        << 2 << QList<bool>{false, false, true} << false << 3 << Result::RanOut;
    QTest::addRow("cancelled under the message") << 2 << QList<bool>{false} << true << 1 << Result::Cancelled;
}

void TestCompletion::privilege()
{
    QFETCH(int, platformId);
    QFETCH(QList<bool>, answers);
    QFETCH(bool, cancelInMessage);
    QFETCH(int, requests);
    Window w;
    w.power.version.platformId = platformId;
    w.power.privilegeAnswers.assign(answers.begin(), answers.end());
    const QString before = w.table.log.text();
    CompletionCountdown countdown(w.table, w.dialogs, w.power, w.clock, w.storeFiles());
    // The timer goes on under the message: those ticks must not try again, nor store anything.
    w.dialogs.whileOpen = [&] {
        const qsizetype asked = w.power.privilegeRequests.size();
        for (int i = 0; i < 20; ++i)
            countdown.tick();
        QCOMPARE(w.power.privilegeRequests.size(), asked);
        QVERIFY(w.calls.isEmpty());
        if (cancelInMessage)
            countdown.cancel();
    };
    countdown.start();
    for (int i = 0; i < 499 + 10 && countdown.result() == Result::Pending; ++i)
        countdown.tick();

    QTEST(countdown.result(), "result");
    QCOMPARE(w.power.privilegeRequests, QStringList(requests, u"SeShutdownPrivilege"_s));
    const int refusals = int(answers.count(false));
    QCOMPARE(w.dialogs.texts, QStringList(refusals, u"SE_SHUTDOWN_NAME特権が設定できません / Lomvato"_s));
    if (countdown.result() == Result::RanOut) {
        QCOMPARE(w.calls, QStringList{u"store"_s});
    } else {
        QVERIFY(w.calls.isEmpty());
        QCOMPARE(w.table.log.text(), before);
    }
}

QTEST_GUILESS_MAIN(TestCompletion)
#include "tst_completion.moc"
