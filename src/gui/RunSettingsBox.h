#pragma once

#include <QGroupBox>

class QCheckBox;
class QSpinBox;
class RunEngine;

// The group "実行" of the settings tab: the run's pace. It reads lomvato.ini when it is made, gives the
// engine the pace, and writes the file as soon as a setting changes.
class RunSettingsBox : public QGroupBox
{
    Q_OBJECT
public:
    RunSettingsBox(const QString& programFolder, RunEngine& engine, QWidget* parent = nullptr);

private:
    void changed();

    QString m_programFolder;
    RunEngine& m_engine;
    QCheckBox* m_fast;
    QSpinBox* m_parallel;
};
