#include "Form6.h"

#include "platform/Clock.h"
#include "run/CompletionCountdown.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

Form6::Form6(CompletionCountdown& countdown, const Clock& clock, QWidget* parent)
    : QDialog(parent), m_countdown(countdown), m_clock(clock), m_label1(new QLabel(this)),
      m_progressBar1(new QProgressBar(this)), m_command1(new QPushButton(this)), m_timer1(new QTimer(this))
{
    setObjectName(u"Form6"_s);
    setWindowTitle(u"Lomvato"_s);
    setModal(true);

    m_label1->setObjectName(u"Label1"_s);
    m_label1->setText(u"作業が終了しました。マシンをシャットダウンします"_s);
    m_progressBar1->setObjectName(u"ProgressBar1"_s);
    m_progressBar1->setRange(0, CompletionCountdown::Maximum);
    m_progressBar1->setTextVisible(false);
    m_command1->setObjectName(u"Command1"_s);
    m_command1->setText(u"中　止"_s);
    m_command1->setDefault(true);
    m_timer1->setObjectName(u"Timer1"_s);
    m_timer1->setTimerType(Qt::PreciseTimer);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label1);
    layout->addWidget(m_progressBar1);
    layout->addWidget(m_command1, 0, Qt::AlignHCenter);

    connect(m_timer1, &QTimer::timeout, this, &Form6::Timer1_Timer);
    connect(m_command1, &QPushButton::clicked, this, &Form6::Command1_Click);
    connect(&m_countdown, &CompletionCountdown::valueChanged, m_progressBar1, &QProgressBar::setValue);
    connect(&m_countdown, &CompletionCountdown::finished, this, [this](CompletionCountdown::Result result) {
        m_timer1->stop();
        if (result == CompletionCountdown::Result::RanOut)
            accept();
    });
}

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
    m_progressBar1->setValue(0);
    m_countdown.start();
    m_clock.start(*m_timer1, CompletionCountdown::TickMilliseconds);
}

void Form6::Timer1_Timer()
{
    m_countdown.tick();
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
