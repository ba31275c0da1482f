#include "Fakes.h"
#include "core/WorkTable.h"
#include "run/CompletionCountdown.h"
#include "run/Form6.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using Result = CompletionCountdown::Result;

class TestForm6 : public QObject
{
    Q_OBJECT
private slots:
    void closes_data();
    void closes();
};

void TestForm6::closes_data()
{
    QTest::addColumn<int>("key"); // 0: a click on "中　止"; -1: the countdown runs out
    QTest::addColumn<int>("dialogResult");
    QTest::addColumn<Result>("result");
    QTest::addRow("中　止") << 0 << int(QDialog::Rejected) << Result::Cancelled;
    QTest::addRow("Escape") << int(Qt::Key_Escape) << int(QDialog::Rejected) << Result::Cancelled;
    QTest::addRow("ran out") << -1 << int(QDialog::Accepted) << Result::RanOut;
}

void TestForm6::closes()
{
    QFETCH(int, key);
    WorkTable table;
    FakeDialogs dialogs;
    FakePower power;
    FakeClock clock;
    int stores = 0;
    CompletionCountdown countdown(table, dialogs, power, clock, [&] { ++stores; });
    Form6 form(countdown);
    auto* button = form.findChild<QPushButton*>(u"Command1"_s);
    auto* bar = form.findChild<QProgressBar*>(u"ProgressBar1"_s);
    auto* timer = form.findChild<QTimer*>(u"Timer1"_s);
    QCOMPARE(form.findChild<QLabel*>(u"Label1"_s)->text(),
             u"作業が終了しました。マシンをシャットダウンします"_s);
    QCOMPARE(button->text(), u"中　止"_s);
    QVERIFY(!timer->isActive()); // the countdown starts when the dialog opens
    form.show();
    QVERIFY(timer->isActive());

    if (key == 0)
        QTest::mouseClick(button, Qt::LeftButton);
    else if (key > 0)
        QTest::keyClick(&form, Qt::Key(key));
    else // the dialog's own timer makes the last tick
        for (int i = 0; i < 499; ++i)
            countdown.tick();
    QTRY_VERIFY(!form.isVisible());

    QTEST(form.result(), "dialogResult");
    QTEST(countdown.result(), "result");
    QVERIFY(!timer->isActive());
    QCOMPARE(stores, key < 0 ? 1 : 0);
    QCOMPARE(bar->maximum(), 500);
    if (key < 0) // one step short of full
        QCOMPARE(bar->value(), 499);
}

QTEST_MAIN(TestForm6)
#include "tst_completion_form6.moc"
