#pragma once

#include <QTimer>
#include <QWidget>

#include <deque>
#include <memory>

class ActivityLog;

namespace Ui
{
class LogTab;
}

// The tab "ログ": the newest part of the activity log, cut at a line, and the button that empties the log.
// The whole log stays in the work table and goes to log.ini; a text box holding hours of entries would cost
// hundreds of megabytes.
class LogTab : public QWidget
{
    Q_OBJECT
public:
    explicit LogTab(ActivityLog& log, QWidget* parent = nullptr);
    ~LogTab() override;

    static constexpr int shownLogLimit = 1 << 20; // characters
    // Milliseconds between two updates of the shown log, and of the run's progress in the status bar.
    static constexpr int shownUpdatePeriod = 100;

signals:
    // "ログファイルを削除"
    void clearRequested();

private:
    void showPendingLog();
    void showLogText();
    void trimShownLog();

    ActivityLog& m_log;
    std::unique_ptr<Ui::LogTab> ui;
    std::deque<QString> m_pendingLog; // entries not shown yet, newest first
    QTimer m_logFlush;
};
