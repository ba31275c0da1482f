#include "ShutdownCountdownDialog.h"

#include "platform/Clock.h"
#include "run/CompletionCountdown.h"
#include "ui_ShutdownCountdownDialog.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

ShutdownCountdownDialog::ShutdownCountdownDialog(CompletionCountdown& countdown, const Clock& clock,
                                                 QWidget* parent)
    : QDialog(parent), m_countdown(countdown), m_clock(clock),
      ui(std::make_unique<Ui::ShutdownCountdownDialog>()), m_countdownTimer(new QTimer(this))
{
    ui->setupUi(this);
    ui->countdownBar->setRange(0, CompletionCountdown::Maximum);
    m_countdownTimer->setObjectName(u"countdownTimer"_s);
    m_countdownTimer->setTimerType(Qt::PreciseTimer);

    connect(m_countdownTimer, &QTimer::timeout, &m_countdown, &CompletionCountdown::tick);
    connect(ui->cancelButton, &QPushButton::clicked, this, &ShutdownCountdownDialog::cancel);
    connect(&m_countdown, &CompletionCountdown::valueChanged, ui->countdownBar, &QProgressBar::setValue);
    connect(&m_countdown, &CompletionCountdown::finished, this, [this](CompletionCountdown::Result result) {
        m_countdownTimer->stop();
        if (result == CompletionCountdown::Result::RanOut)
            accept();
    });
}

ShutdownCountdownDialog::~ShutdownCountdownDialog() = default;

void ShutdownCountdownDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        startCountdown();
    }
}

void ShutdownCountdownDialog::startCountdown()
{
    ui->countdownBar->setValue(0);
    m_countdown.start();
    m_clock.start(*m_countdownTimer, CompletionCountdown::TickMilliseconds);
}

void ShutdownCountdownDialog::cancel()
{
    m_countdownTimer->stop();
    m_countdown.cancel();
    QDialog::reject();
}

// Escape and the close box count as "中　止".
void ShutdownCountdownDialog::reject()
{
    cancel();
}
