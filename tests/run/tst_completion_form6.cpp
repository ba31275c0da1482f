#include "Fakes.h"
#include "core/WorkTable.h"
#include "run/CompletionCountdown.h"
#include "run/Form6.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestForm6 : public QObject
{
    Q_OBJECT
private slots:
    void showsItsControls();
    void closing_data();
    void closing();
    void runsOutAndAccepts();

private:
    WorkTable m_table;
    FakeDialogs m_dialogs;
    FakePower m_power;
    FakeClock m_clock;
    int m_stores = 0;
};

void TestForm6::showsItsControls()
{
    CompletionCountdown countdown(m_table, m_dialogs, m_power, m_clock, {});
    Form6 form(countdown);
    QCOMPARE(form.findChild<QLabel*>(u"Label1"_s)->text(),
             u"作業が終了しました。マシンをシャットダウンします"_s);
    QCOMPARE(form.findChild<QPushButton*>(u"Command1"_s)->text(), u"中　止"_s);
    const auto* bar = form.findChild<QProgressBar*>(u"ProgressBar1"_s);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 500);
    const auto* timer = form.findChild<QTimer*>(u"Timer1"_s);
    QCOMPARE(timer->timerType(), Qt::PreciseTimer);
    // The countdown starts when the dialog opens, not when it is made.
    QVERIFY(!timer->isActive());
}

// Both ways out of the countdown: the button "中　止" and the Escape key.
void TestForm6::closing_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::addRow("中　止") << true;
    QTest::addRow("Escape") << false;
}

void TestForm6::closing()
{
    QFETCH(bool, byButton);
    m_stores = 0;
    CompletionCountdown countdown(m_table, m_dialogs, m_power, m_clock, [this] { ++m_stores; });
    Form6 form(countdown);
    bool closed = false;
    QTimer::singleShot(0, &form, [&] {
        QVERIFY(QApplication::activeModalWidget() == &form);
        QVERIFY(form.findChild<QTimer*>(u"Timer1"_s)->isActive());
        if (byButton)
            QTest::mouseClick(form.findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        else
            QTest::keyClick(&form, Qt::Key_Escape);
        closed = true;
    });
    QTimer::singleShot(5000, &form, [&] { form.done(2); }); // a safety net, should the click not arrive
    QCOMPARE(form.exec(), int(QDialog::Rejected));
    QVERIFY(closed);
    QCOMPARE(countdown.result(), CompletionCountdown::Result::Cancelled);
    QVERIFY(!form.findChild<QTimer*>(u"Timer1"_s)->isActive());
    QCOMPARE(m_stores, 0);
}

void TestForm6::runsOutAndAccepts()
{
    m_stores = 0;
    CompletionCountdown countdown(m_table, m_dialogs, m_power, m_clock, [this] { ++m_stores; });
    Form6 form(countdown);
    // Brings the bar to its end at once; the dialog's own timer makes the last tick.
    QTimer::singleShot(0, &form, [&] {
        for (int i = 0; i < CompletionCountdown::Maximum - 1; ++i)
            countdown.tick();
    });
    QTimer::singleShot(5000, &form, [&] { form.done(2); });
    QCOMPARE(form.exec(), int(QDialog::Accepted));
    QCOMPARE(form.findChild<QProgressBar*>(u"ProgressBar1"_s)->value(), 499);
    QCOMPARE(countdown.result(), CompletionCountdown::Result::RanOut);
    QCOMPARE(m_stores, 1);
}

QTEST_MAIN(TestForm6)
#include "tst_completion_form6.moc"
