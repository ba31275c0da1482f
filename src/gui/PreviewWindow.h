#pragma once

#include <QDialog>

class Dialogs;
class FileSystem;
class JobPreview;
class ProcessLauncher;
class RunEngine;
class WorkTable;
class QLabel;
class QPushButton;
class QTableView;

// "コマンドラインのプレビュー": every job of the run as it would start now, the application-key problems
// above them. "このジョブだけ実行" runs the selected job as a run of its own; "書き出し…" writes the jobs as
// a job file for the shell, in slices from the event loop with a progress box when it takes a while.
class PreviewWindow : public QDialog
{
    Q_OBJECT
public:
    PreviewWindow(const WorkTable& table, const ProcessLauncher& launcher, const FileSystem& files,
                  RunEngine& engine, Dialogs& dialogs, QWidget* parent = nullptr);

    JobPreview& jobs() const { return *m_jobs; }
    QTableView* view() const { return m_view; }

    void runSelected();
    void exportJobs();

private:
    void showProblems();
    void updateButtons();

    JobPreview* m_jobs;
    RunEngine& m_engine;
    Dialogs& m_dialogs;
    QLabel* m_problems;
    QTableView* m_view;
    QPushButton* m_runOne;
    QPushButton* m_export;
    bool m_exporting = false;
};
