#pragma once

#include <QWidget>

#include <memory>

class LogFile;
class WorkSettings;

namespace Ui
{
class SettingsTab;
}

// The tab "環境設定": the after-work action, always-append, launch minimised and the log limit, shown from
// the work table's settings and written back as the user changes them; the box of the run's pace goes above
// the free space at the bottom.
class SettingsTab : public QWidget
{
    Q_OBJECT
public:
    SettingsTab(WorkSettings& settings, LogFile& logFile, QWidget* runSettings, QWidget* parent = nullptr);
    ~SettingsTab() override;

private:
    void showSettings();
    void afterWorkToggled();

    WorkSettings& m_settings;
    std::unique_ptr<Ui::SettingsTab> ui;
};
