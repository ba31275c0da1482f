#pragma once

#include "StoreError.h"

#include <QString>

class ActivityLog;
class WorkSettings;

// The activity log's file log.ini and the log's controls on the tab "ログ" and in the settings.
class LogFile
{
public:
    LogFile(ActivityLog& log, WorkSettings& settings);

    // Loads the file into the log, cut to the log limit: every line read is appended as CR LF and the line,
    // and only the first limit x 1024 characters (the newest) stay. A missing or unreadable file changes
    // nothing and is not reported; the log is unbounded afterwards either way. Returns whether it loaded.
    bool loadLog(const QString& path);
    // Writes the whole log and one CR LF, replacing the file atomically. Errors go back to the caller.
    bool storeLog(const QString& path, StoreError* error = nullptr);
    // Sets the log limit in kilobytes (the slider's value), as the limit's text shows it.
    void setLimit(int kilobytes);
    // "ログファイルを削除": empties the log; the file follows when the window closes.
    void clear();

    // The text loadLog puts into the log for a file's text, with at most `maxLength` characters (0: no
    // limit). A cut never splits a surrogate pair.
    static QString loadedText(const QString& fileText, qsizetype maxLength);

private:
    // The limit's text in characters: the leading number times 1024, rounded.
    qsizetype maxLength() const;

    ActivityLog& m_log;
    WorkSettings& m_settings;
};
