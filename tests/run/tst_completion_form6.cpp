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

class TestForm6 : public QObject
{
    Q_OBJECT
private slots:
    void closes_data();
    void closes();
};

void TestForm6::closes_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("dialogResult");
    QTest::addColumn<int>("stores");
    QTest::addRow("中　止") << u"button"_s << int(QDialog::Rejected) << 0;
    QTest::addRow("Escape") << u"escape"_s << int(QDialog::Rejected) << 0;
    QTest::addRow("ran out") << u"run out"_s << int(QDialog::Accepted) << 1;
}

void TestForm6::closes()
{
    QFETCH(QString, how);
    WorkTable table;
    FakeDialogs dialogs;
    FakePower power;
    FakeClock clock;
    int stores = 0;
    CompletionCountdown countdown(table, dialogs, power, clock, [&] { ++stores; });
    Form6 form(countdown);
    QCOMPARE(form.findChild<QLabel*>(u"Label1"_s)->text(),
             u"作業が終了しました。マシンをシャットダウンします"_s);
    QCOMPARE(form.findChild<QPushButton*>(u"Command1"_s)->text(), u"中　止"_s);
    auto* bar = form.findChild<QProgressBar*>(u"ProgressBar1"_s);
    QCOMPARE(bar->maximum(), 500);
    auto* timer = form.findChild<QTimer*>(u"Timer1"_s);
    QVERIFY(!timer->isActive()); // the countdown starts when the dialog opens

    QTimer::singleShot(0, &form, [&] {
        if (!timer->isActive())
            return;
        if (how == u"button")
            QTest::mouseClick(form.findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        else if (how == u"escape")
            QTest::keyClick(&form, Qt::Key_Escape);
        else // the dialog's own timer makes the last tick
            for (int i = 0; i < 499; ++i)
                countdown.tick();
    });
    QTimer::singleShot(5000, &form, [&] { form.done(2); }); // a safety net, should nothing arrive
    QTEST(form.exec(), "dialogResult");
    QVERIFY(!timer->isActive());
    QTEST(stores, "stores");
    if (stores)
        QCOMPARE(bar->value(), 499);
}

QTEST_MAIN(TestForm6)
#include "tst_completion_form6.moc"
