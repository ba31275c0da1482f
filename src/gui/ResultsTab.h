#pragma once

#include "run/RunJournal.h"

#include <QHash>
#include <QWidget>

class Dialogs;
class QCheckBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTimer;
class RunEngine;
class FailedFirstProxy;

// The tab "結果": how every job of the current run, or of a run kept in the journal, or of a job log that
// GNU parallel wrote elsewhere, ended. Failed jobs are shown in red and can be shown alone; they can be run
// again here or written to a job file, the jobs that did not end well can be run from where the run stopped,
// and the table saved as CSV. The pane under the table shows what the selected job ran and what it wrote.
class ResultsTab : public QWidget
{
    Q_OBJECT
public:
    ResultsTab(RunEngine& engine, RunJournal& journal, Dialogs& dialogs, QWidget* parent = nullptr);

    // Shows the newest run of the journal, unless a run of this session is shown; nothing when it holds none.
    void showLastRun();
    void showRun(const QString& runFolder);
    void loadJobLog(const QString& path);
    void saveCsv();
    void rerunFailed();
    // Runs every job of the shown run that did not end with 正常終了, and those it never reached.
    void resume();
    void exportFailed(const QString& path);

private:
    void showSelectedJob();
    void fillRunMenu();
    void updateButtons();

    RunEngine& m_engine;
    RunJournal& m_journal;
    Dialogs& m_dialogs;
    FailedFirstProxy* m_proxy;
    QCheckBox* m_failedOnly;
    QLabel* m_shown;
    QPushButton* m_rerun;
    QPushButton* m_resume;
    QPushButton* m_exportFailed;
    QMenu* m_runMenu;
    QTableView* m_view;
    QPlainTextEdit* m_details;
    QTimer* m_refresh;
    // The counts of the kept runs that have ended, read once.
    QHash<QString, RunJournal::Run> m_runs;
    // The journal folder of the shown run, whose jobs never reached are run by resume(); empty for a job log.
    QString m_shownFolder;
};
