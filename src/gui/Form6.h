#pragma once

#include <QDialog>

class Clock;
class CompletionCountdown;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// The shutdown countdown dialog. exec() returns Accepted when the countdown ran out, Rejected when it was
// cancelled by "中　止" or by closing the dialog.
class Form6 : public QDialog
{
    Q_OBJECT
public:
    Form6(CompletionCountdown& countdown, const Clock& clock, QWidget* parent = nullptr);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void Timer1_Timer();
    void Command1_Click();

    CompletionCountdown& m_countdown;
    const Clock& m_clock;
    QLabel* m_label1;
    QProgressBar* m_progressBar1;
    QPushButton* m_command1;
    QTimer* m_timer1;
    bool m_loaded = false;
};
