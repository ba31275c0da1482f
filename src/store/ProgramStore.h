#pragma once

#include "LogFile.h"
#include "TemplateFile.h"

#include <QString>

// The files the program keeps in its folder: default.lvt and log.ini, read at start-up and written when the
// window closes.
class ProgramStore
{
public:
    ProgramStore(WorkTable& table, Dialogs& dialogs, const FileSystem& fileSystem, QString programFolder);

    // A per-user program folder without default.lvt first takes a copy of the one shipped beside the
    // executable; a copy that cannot be written is reported. Returns whether the program folder has a
    // default.lvt afterwards.
    bool ensureStartupTemplate(const QString& executableFolder);

    // Start-up: the startup template (with its recovery), then, unless that gave up, the log.
    TemplateFile::Outcome loadAtStart();
    // Closing: unless startupIncomplete is set, writes log.ini and then default.lvt. A file that cannot be
    // written stays as it was; the user is told which and why, and closing goes on. Returns whether both were
    // written.
    bool storeAtClose();

    QString logPath() const;
    QString templatePath() const { return m_template.startupTemplatePath(); }
    TemplateFile& templateFile() { return m_template; }
    LogFile& logFile() { return m_log; }

private:
    WorkTable& m_table;
    Dialogs& m_dialogs;
    QString m_programFolder;
    TemplateFile m_template;
    LogFile m_log;
};
