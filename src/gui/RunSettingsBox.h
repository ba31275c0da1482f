#pragma once

#include "run/RunSettings.h"

#include <QGroupBox>

class Dialogs;
class QCheckBox;
class QSpinBox;
class RunEngine;

// The group "実行" of the settings tab: the run's pace and the runs the journal keeps. It reads lomvato.ini
// when it is made, gives the engine the pace, and writes the file as soon as a setting changes. A change that
// cannot be stored is said at once and stays in force until Lomvato ends.
class RunSettingsBox : public QGroupBox
{
    Q_OBJECT
public:
    RunSettingsBox(const QString& programFolder, RunEngine& engine, Dialogs& dialogs,
                   QWidget* parent = nullptr);

    // Why lomvato.ini could not be read and the defaults apply; empty when it was read or is missing.
    QString loadProblem() const { return m_loadProblem; }
    const RunSettings& settings() const { return m_settings; }

signals:
    void keptRunsChanged(int runs);

private:
    void changed();

    QString m_programFolder;
    RunEngine& m_engine;
    Dialogs& m_dialogs;
    QString m_loadProblem;
    RunSettings m_settings;
    QCheckBox* m_fast;
    QSpinBox* m_parallel;
    QSpinBox* m_keptRuns;
};
