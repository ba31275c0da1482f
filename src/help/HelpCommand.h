#pragma once

#include <QString>

class FileSystem;
class UrlOpener;

// The menu command "ヘルプ(&H)": opens help.chm from the program folder where one lies there, otherwise the
// HTML guide shipped beside the executable. Nothing is reported when neither exists or the desktop fails.
class HelpCommand
{
public:
    HelpCommand(const FileSystem& files, UrlOpener& opener, QString programFolder, QString executableFolder);

    // The file that would be opened; empty when there is none.
    QString helpFilePath() const;
    // Opens that file with the desktop's viewer; does nothing when there is none.
    void openHelp();

private:
    const FileSystem& m_files;
    UrlOpener& m_opener;
    QString m_programFolder;
    QString m_executableFolder;
};
