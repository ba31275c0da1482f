#pragma once

#include "run/RunSettings.h"

#include <QGroupBox>

class Dialogs;
class QCheckBox;
class QSpinBox;
class RunEngine;

// The group "実行" of the settings tab: the run's pace and the runs the journal keeps, as the window read
// them from lomvato.ini. A change goes to the engine at once and is written to the file; one that cannot be
// stored is said at once and stays in force until Lomvato ends.
class RunSettingsBox : public QGroupBox
{
    Q_OBJECT
public:
    RunSettingsBox(const QString& programFolder, RunSettings& settings, RunEngine& engine, Dialogs& dialogs,
                   QWidget* parent = nullptr);

    // Reads lomvato.ini; `problem` gets the sentence the status bar shows when the file could not be read
    // and the defaults apply, and stays empty when it was read or is missing.
    static RunSettings load(const QString& programFolder, QString* problem);

signals:
    void keptRunsChanged(int runs);

private:
    void changed();

    QString m_programFolder;
    RunSettings& m_settings;
    RunEngine& m_engine;
    Dialogs& m_dialogs;
    QCheckBox* m_fast;
    QSpinBox* m_parallel;
    QSpinBox* m_keptRuns;
};
