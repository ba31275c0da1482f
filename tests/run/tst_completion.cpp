#include "Fakes.h"
#include "core/WorkTable.h"
#include "run/CompletionAction.h"
#include "run/CompletionCountdown.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Outcome = CompletionAction::Outcome;

namespace
{
// A message box that stays open while the countdown's timer goes on ticking underneath it.
struct TickingDialogs final : Dialogs {
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
} // namespace

class TestCompletion : public QObject
{
    Q_OBJECT
private slots:
    void complete_data();
    void complete();
};

void TestCompletion::complete_data()
{
    QTest::addColumn<int>("check2");
    QTest::addColumn<int>("option2"); // -1: neither button selected
    QTest::addColumn<int>("platformId");
    QTest::addColumn<QList<bool>>("privilege"); // the answers to the privilege requests
    QTest::addColumn<int>("cancelAt"); // the tick of "中　止"; 0: under the privilege message; -1: none
    QTest::addColumn<Outcome>("outcome");

    const QList<bool> none;
    QTest::addRow("action off") << 0 << 0 << 0 << none << -1 << Outcome::Reported;
    QTest::addRow("action off, end only") << 0 << 1 << 0 << none << -1 << Outcome::Reported;
    QTest::addRow("end only") << 1 << 1 << 0 << none << -1 << Outcome::Ended;
    QTest::addRow("neither button") << 1 << -1 << 0 << none << -1 << Outcome::Nothing;
    QTest::addRow("cancelled") << 1 << 0 << 0 << none << 250 << Outcome::Cancelled;
    QTest::addRow("cancelled at its end") << 1 << 0 << 0 << none << 500 << Outcome::Cancelled;
    QTest::addRow("ran out") << 1 << 0 << 0 << none << -1 << Outcome::PoweredOff;
    QTest::addRow("platform 1 asks no privilege") << 1 << 0 << 1 << none << -1 << Outcome::PoweredOff;
    QTest::addRow("privilege granted") << 1 << 0 << 2 << QList<bool>{true} << -1 << Outcome::PoweredOff;
    QTest::addRow("privilege refused twice")
        << 1 << 0 << 2 << QList<bool>{false, false, true} << -1 << Outcome::PoweredOff;
    QTest::addRow("cancelled under the message")
        << 1 << 0 << 2 << QList<bool>{false} << 0 << Outcome::Cancelled;
}

void TestCompletion::complete()
{
    QFETCH(int, check2);
    QFETCH(int, option2);
    QFETCH(int, platformId);
    QFETCH(QList<bool>, privilege);
    QFETCH(int, cancelAt);
    QFETCH(Outcome, outcome);
    WorkTable table;
    TickingDialogs dialogs;
    FakePower power;
    FakeClock clock;
    QStringList calls;
    QList<int> values;
    int finishes = 0;
    table.settings.check2 = check2;
    table.settings.option2.clear(0);
    table.settings.option2.select(option2);
    power.version.platformId = platformId;
    power.privilegeAnswers.assign(privilege.begin(), privilege.end());
    power.onPowerOff = [&] { calls << u"powerOff"_s; };
    // The run engine's entries after the last job.
    table.log.prepend(ActivityLog::timed(clock.now(), u"全ての送信を終了しました／"_s));
    table.log.prependSeparator();
    const QString before = table.log.text();
    // Stands in for Form6: its timer ticks every 10 ms, also under the privilege message.
    auto runCountdown = [&](CompletionCountdown& countdown) {
        calls << u"countdown"_s;
        QObject::connect(&countdown, &CompletionCountdown::valueChanged, [&](int value) { values << value; });
        QObject::connect(&countdown, &CompletionCountdown::finished, [&] { ++finishes; });
        dialogs.whileOpen = [&] {
            const qsizetype asked = power.privilegeRequests.size();
            for (int i = 0; i < 20; ++i)
                countdown.tick();
            QCOMPARE(power.privilegeRequests.size(), asked); // no second attempt while the message is open
            QCOMPARE(calls, QStringList{u"countdown"_s});
            if (cancelAt == 0)
                countdown.cancel();
        };
        countdown.start();
        for (int i = 1; i < 510; ++i)
            i == cancelAt ? countdown.cancel() : countdown.tick();
        countdown.cancel(); // too late once it ran out
        return countdown.result() == CompletionCountdown::Result::RanOut;
    };
    CompletionCallbacks callbacks{[&] { calls << u"store"_s; }, [&] { calls << u"close"_s; }, runCountdown};

    QCOMPARE(CompletionAction(table, dialogs, power, clock, callbacks).run(), outcome);

    // What each outcome leaves: the calls in their order, and the entry put above the run's entries.
    const QStringList countdown = option2 == 0 && check2 ? QStringList{u"countdown"_s} : QStringList();
    QString logTop;
    if (outcome == Outcome::PoweredOff) {
        QCOMPARE(calls, (countdown + QStringList{u"store"_s, u"powerOff"_s, u"close"_s}));
        logTop = u"「Lomvato」はマシーンの終了を実行しました／"_s;
    } else if (outcome == Outcome::Ended) {
        QCOMPARE(calls, QStringList{u"close"_s});
        logTop = u"「Lomvato」は終了処理を開始しました／"_s;
    } else {
        QCOMPARE(calls, countdown);
    }
    QCOMPARE(table.log.text(),
             logTop.isEmpty() ? before
                              : ActivityLog::separator() + ActivityLog::timed(clock.now(), logTop) + before);
    QCOMPARE(dialogs.texts,
             QStringList(check2 ? 0 : 1, u"処理が全て終了しました / Lomvato"_s) +
                 QStringList(privilege.count(false), u"SE_SHUTDOWN_NAME特権が設定できません / Lomvato"_s));
    QCOMPARE(power.privilegeRequests, QStringList(privilege.size(), u"SeShutdownPrivilege"_s));
    if (!countdown.isEmpty()) {
        // The bar climbs one step a tick from 0 and stops one short of its maximum of 500.
        QCOMPARE(values.last(), cancelAt > 0 ? cancelAt - 1 : 499);
        QCOMPARE(values.size(), values.last() + 1);
        QCOMPARE(finishes, 1);
    }
}

QTEST_GUILESS_MAIN(TestCompletion)
#include "tst_completion.moc"
