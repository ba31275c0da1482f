#pragma once

#include "StoreError.h"

#include <QString>

class Dialogs;
class FileSystem;
class WorkTable;
struct TemplateData;

// Stores the lasting part of the work table in template files (*.lvt) and reads it back: the startup template
// default.lvt in the program folder, and the files the user saves and opens through the menu.
class TemplateFile
{
public:
    enum class Outcome {
        Loaded,    // the file was read
        Recovered, // the file was damaged; the factory template was written and read instead
        GaveUp,    // the factory template failed too: the window must close (startupIncomplete stays set,
                   // nothing is saved)
    };

    TemplateFile(WorkTable& table, Dialogs& dialogs, const FileSystem& fileSystem, QString programFolder);

    // Writes the work table to `path`, replacing the file atomically. Errors go back to the caller.
    bool writeTemplate(const QString& path, StoreError* error = nullptr);
    // Writes the factory template to default.lvt in the program folder.
    bool writeFactoryStartupTemplate(StoreError* error = nullptr);
    // Reads a template into the work table. On a first failure the user is told, the factory template is
    // written to default.lvt (a failing write is reported), startupIncomplete is set and the file is read
    // again; a second failure tells the user to reinstall and returns GaveUp. A completed read clears
    // startupIncomplete and reports applications whose program file is missing.
    Outcome loadStartupTemplate(const QString& path);

    // Menu "保存（&S）": the save dialog in the template folder, then writeTemplate; a failure is reported.
    void saveAs();
    // Menu "開く(&O)": the open dialog in the template folder, then the file is read into the work table, or
    // everything stays as it was and the user is told why: a damaged file must not touch default.lvt nor end
    // the program.
    void open();

    // The startup template's name, in the program folder and, shipped, beside the executable.
    static QString startupTemplateName() { return QStringLiteral("default.lvt"); }
    QString startupTemplatePath() const;
    // The factory template, written to any path (the build writes the shipped default.lvt with it).
    static bool writeFactoryTemplate(const QString& path, StoreError* error = nullptr);
    // Tells the user that `path` could not be written and why, when `written` is false: the old file is
    // kept. Returns `written`.
    static bool saved(Dialogs& dialogs, bool written, const QString& path, const StoreError& error);

private:
    // The dialogs start in "lvtファイル" below the program folder; the program never creates it.
    QString templateFolder() const;
    // Reads `path` into a copy of the current work table with its lists emptied.
    bool read(const QString& path, TemplateData* data, StoreError* error) const;
    void apply(const TemplateData& data);
    void reportMissingApplications();

    WorkTable& m_table;
    Dialogs& m_dialogs;
    const FileSystem& m_fileSystem;
    QString m_programFolder;
};
