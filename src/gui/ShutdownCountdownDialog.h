#pragma once

#include <QDialog>

#include <memory>

class Clock;
class CompletionCountdown;
class QTimer;

namespace Ui
{
class ShutdownCountdownDialog;
}

// The shutdown countdown dialog. exec() returns Accepted when the countdown ran out, Rejected when it was
// cancelled by "中　止" or by closing the dialog.
class ShutdownCountdownDialog : public QDialog
{
    Q_OBJECT
public:
    ShutdownCountdownDialog(CompletionCountdown& countdown, const Clock& clock, QWidget* parent = nullptr);
    ~ShutdownCountdownDialog() override;

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void startCountdown();
    void cancel();

    CompletionCountdown& m_countdown;
    const Clock& m_clock;
    std::unique_ptr<Ui::ShutdownCountdownDialog> ui;
    QTimer* m_countdownTimer;
    bool m_loaded = false;
};
