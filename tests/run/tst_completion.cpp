#include "Fakes.h"
#include "core/WorkTable.h"
#include "run/CompletionAction.h"
#include "run/CompletionCountdown.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Outcome = CompletionAction::Outcome;

class TestCompletion : public QObject
{
    Q_OBJECT
private slots:
    void complete_data();
    void complete();
};

void TestCompletion::complete_data()
{
    QTest::addColumn<int>("afterWorkAction");   // -1: neither button selected
    QTest::addColumn<QList<bool>>("privilege"); // the answers to the privilege requests, if it asks
    QTest::addColumn<int>("cancelAt"); // the tick of "中　止"; 0: under the privilege message; -1: none
    QTest::addColumn<Outcome>("outcome");
    QTest::addRow("end only") << 1 << QList<bool>() << -1 << Outcome::Ended;
    QTest::addRow("neither button") << -1 << QList<bool>() << -1 << Outcome::Nothing;
    QTest::addRow("cancelled at its end") << 0 << QList<bool>() << 500 << Outcome::Cancelled;
    QTest::addRow("privilege refused twice")
        << 0 << QList<bool>{false, false, true} << -1 << Outcome::PoweredOff;
    QTest::addRow("cancelled under the message") << 0 << QList<bool>{false} << 0 << Outcome::Cancelled;
}

void TestCompletion::complete()
{
    QFETCH(int, afterWorkAction);
    QFETCH(QList<bool>, privilege);
    QFETCH(int, cancelAt);
    QFETCH(Outcome, outcome);
    WorkTable table;
    FakeDialogs dialogs;
    FakePower power;
    FakeClock clock;
    table.settings.afterWork = 1;
    table.settings.afterWorkAction.clear(0);
    table.settings.afterWorkAction.select(afterWorkAction);
    power.needsPrivilege = !privilege.isEmpty();
    power.privilegeAnswers.assign(privilege.begin(), privilege.end());
    const QString before = u"run\r\n"_s;
    table.log.setText(before);
    // Stands in for the countdown window: its timer ticks every 10 ms, also under the privilege message.
    int countdowns = 0;
    auto showCountdown = [&](CompletionCountdown& countdown) {
        ++countdowns;
        dialogs.whileShown = [&] {
            const int asked = power.privilegeRequests;
            for (int i = 0; i < 20; ++i)
                countdown.tick();
            QCOMPARE(power.privilegeRequests, asked); // no second attempt while the message is open
            if (cancelAt == 0)
                countdown.cancel();
        };
        countdown.start();
        for (int i = 1; i < 510; ++i)
            i == cancelAt ? countdown.cancel() : countdown.tick();
        countdown.cancel(); // too late once it ran out
    };
    int stored = 0;
    CompletionAction action(table.settings, table.log, dialogs, power, clock);
    QCOMPARE(action.run(showCountdown, [&] { ++stored; }), outcome);

    const bool off = outcome == Outcome::PoweredOff;
    QCOMPARE(std::tuple(countdowns, stored, power.powerOffs),
             std::tuple(int(afterWorkAction == 0), int(off), int(off)));
    const QString top =
        off ? u"「Lomvato」はマシーンの終了を実行しました／"_s : u"「Lomvato」は終了処理を開始しました／"_s;
    QCOMPARE(table.log.text(), off || outcome == Outcome::Ended
                                   ? ActivityLog::separator() + ActivityLog::timed(clock.now(), top) + before
                                   : before);
    QCOMPARE(dialogs.texts(), QStringList(privilege.count(false), u"SE_SHUTDOWN_NAME特権が設定できません"_s));
    QCOMPARE(power.privilegeRequests, int(privilege.size()));
}

QTEST_GUILESS_MAIN(TestCompletion)
#include "tst_completion.moc"
