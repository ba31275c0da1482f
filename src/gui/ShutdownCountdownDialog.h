#pragma once

#include <QDialog>

#include <memory>

class Clock;
class CompletionCountdown;
class QTimer;

namespace Ui
{
class Form6;
}

// The shutdown countdown dialog. exec() returns Accepted when the countdown ran out, Rejected when it was
// cancelled by "中　止" or by closing the dialog.
class Form6 : public QDialog
{
    Q_OBJECT
public:
    Form6(CompletionCountdown& countdown, const Clock& clock, QWidget* parent = nullptr);
    ~Form6() override;

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void Command1_Click();

    CompletionCountdown& m_countdown;
    const Clock& m_clock;
    std::unique_ptr<Ui::Form6> ui;
    QTimer* m_timer1;
    bool m_loaded = false;
};
