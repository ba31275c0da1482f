#include "ShutdownCountdownDialog.h"

#include "platform/Clock.h"
#include "run/CompletionCountdown.h"
#include "ui_ShutdownCountdownDialog.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

Form6::Form6(CompletionCountdown& countdown, const Clock& clock, QWidget* parent)
    : QDialog(parent), m_countdown(countdown), m_clock(clock), ui(std::make_unique<Ui::Form6>()),
      m_timer1(new QTimer(this))
{
    ui->setupUi(this);
    ui->ProgressBar1->setRange(0, CompletionCountdown::Maximum);
    m_timer1->setObjectName(u"Timer1"_s);
    m_timer1->setTimerType(Qt::PreciseTimer);

    connect(m_timer1, &QTimer::timeout, &m_countdown, &CompletionCountdown::tick);
    connect(ui->Command1, &QPushButton::clicked, this, &Form6::Command1_Click);
    connect(&m_countdown, &CompletionCountdown::valueChanged, ui->ProgressBar1, &QProgressBar::setValue);
    connect(&m_countdown, &CompletionCountdown::finished, this, [this](CompletionCountdown::Result result) {
        m_timer1->stop();
        if (result == CompletionCountdown::Result::RanOut)
            accept();
    });
}

Form6::~Form6() = default;

void Form6::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
}

void Form6::Form_Load()
{
    ui->ProgressBar1->setValue(0);
    m_countdown.start();
    m_clock.start(*m_timer1, CompletionCountdown::TickMilliseconds);
}

void Form6::Command1_Click()
{
    m_timer1->stop();
    m_countdown.cancel();
    QDialog::reject();
}

// Escape and the close box count as "中　止".
void Form6::reject()
{
    Command1_Click();
}
