#include "SettingsTab.h"

#include "core/WorkSettings.h"
#include "store/LogFile.h"
#include "ui_SettingsTab.h"

#include <array>

SettingsTab::SettingsTab(WorkSettings& settings, LogFile& logFile, QWidget* runSettings, QWidget* parent)
    : QWidget(parent), m_settings(settings), ui(std::make_unique<Ui::SettingsTab>())
{
    ui->setupUi(this);
    ui->settingsLayout->insertWidget(ui->settingsLayout->indexOf(ui->settingsStretch), runSettings);

    connect(ui->logLimitSlider, &QSlider::valueChanged, this,
            [&logFile](int kilobytes) { logFile.setLimit(kilobytes); });
    connect(ui->afterWorkCheck, &QCheckBox::clicked, this, &SettingsTab::afterWorkToggled);
    connect(ui->powerOffOption, &QRadioButton::clicked, this,
            [this] { m_settings.afterWorkAction.select(WorkSettings::PowerOff); });
    connect(ui->endProgramOption, &QRadioButton::clicked, this,
            [this] { m_settings.afterWorkAction.select(WorkSettings::EndProgram); });
    connect(ui->alwaysAppendCheck, &QCheckBox::clicked, this,
            [this](bool on) { m_settings.alwaysAppend = on ? 1 : 0; });
    connect(ui->launchMinimisedCheck, &QCheckBox::clicked, this,
            [this](bool on) { m_settings.launchMinimised = on; });
    connect(&m_settings, &WorkSettings::changed, this, &SettingsTab::showSettings);
    showSettings();
}

SettingsTab::~SettingsTab() = default;

void SettingsTab::showSettings()
{
    const WorkSettings& s = m_settings;
    ui->alwaysAppendCheck->setChecked(s.alwaysAppend == 1);
    ui->afterWorkCheck->setChecked(s.afterWork == 1);
    ui->launchMinimisedCheck->setChecked(s.launchMinimised);
    const std::array afterWorkAction{ui->powerOffOption, ui->endProgramOption};
    for (int i = 0; i < 2; ++i) {
        // A pair with neither selected shows both cleared, which needs the group's exclusivity off.
        afterWorkAction[i]->setAutoExclusive(false);
        afterWorkAction[i]->setChecked(s.afterWorkAction.isSelected(i));
        afterWorkAction[i]->setAutoExclusive(true);
        afterWorkAction[i]->setEnabled(s.isAfterWorkOn());
    }
    ui->logLimitValue->setText(s.logLimitText);
    const QSignalBlocker block(ui->logLimitSlider);
    ui->logLimitSlider->setValue(s.roundedLogLimitKb());
}

void SettingsTab::afterWorkToggled()
{
    m_settings.afterWork = ui->afterWorkCheck->isChecked() ? 1 : 0;
    for (QRadioButton* b : {ui->powerOffOption, ui->endProgramOption})
        b->setEnabled(m_settings.isAfterWorkOn());
}
