#include "Fakes.h"
#include "gui/ShutdownCountdownDialog.h"
#include "run/CompletionCountdown.h"

#include <QProgressBar>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using Result = CompletionCountdown::Result;

class TestShutdownCountdownDialog : public QObject
{
    Q_OBJECT
private slots:
    void form6ClosesWhenTheCountdownRunsOut();
};

void TestShutdownCountdownDialog::form6ClosesWhenTheCountdownRunsOut()
{
    FakeDialogs dialogs;
    FakePower power;
    FakeClock clock;
    CompletionCountdown countdown(dialogs, power);
    ShutdownCountdownDialog form(countdown, clock);
    auto* timer = form.findChild<QTimer*>(u"countdownTimer"_s);
    QVERIFY(!timer->isActive()); // the countdown starts when the dialog opens
    form.show();
    QVERIFY(timer->isActive());
    for (int i = 0; i < 499; ++i) // the dialog's own timer makes the last tick
        countdown.tick();
    QTRY_VERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(countdown.result(), Result::RanOut);
    QVERIFY(!timer->isActive());
    auto* bar = form.findChild<QProgressBar*>(u"countdownBar"_s);
    QCOMPARE(QPair(bar->value(), bar->maximum()), QPair(499, 500)); // one step short of full
}

QTEST_MAIN(TestShutdownCountdownDialog)
#include "tst_shutdowncountdowndialog.moc"
