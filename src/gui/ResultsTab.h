#pragma once

#include <QWidget>

class Dialogs;
class QCheckBox;
class QPlainTextEdit;
class QTableView;
class QTimer;
class RunEngine;
class FailedFirstProxy;

// The tab "結果": how every job of the current or last run ended. Failed jobs are shown in red and can be
// shown alone; they can be run again, and the table saved as CSV. The pane under the table shows what the
// selected job ran and what it wrote.
class ResultsTab : public QWidget
{
    Q_OBJECT
public:
    ResultsTab(RunEngine& engine, Dialogs& dialogs, QWidget* parent = nullptr);

    void saveCsv();
    void rerunFailed();

private:
    void showSelectedJob();

    RunEngine& m_engine;
    Dialogs& m_dialogs;
    FailedFirstProxy* m_proxy;
    QCheckBox* m_failedOnly;
    QTableView* m_view;
    QPlainTextEdit* m_details;
    QTimer* m_refresh;
};
