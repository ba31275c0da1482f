#include "HelpCommand.h"

#include "UrlOpener.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"

#include <utility>

using namespace Qt::StringLiterals;

HelpCommand::HelpCommand(const FileSystem& files, UrlOpener& opener, QString programFolder,
                         QString executableFolder)
    : m_files(files), m_opener(opener), m_programFolder(std::move(programFolder)),
      m_executableFolder(std::move(executableFolder))
{
}

QString HelpCommand::helpFilePath() const
{
    // A help.chm that the user put into the program folder still wins over the shipped guide.
    QString chm = joinPath(m_programFolder, u"help.chm"_s);
    if (m_files.fileExists(chm))
        return chm;
    QString html = joinPath(m_executableFolder, u"help.html"_s);
    if (m_files.fileExists(html))
        return html;
    return {};
}

void HelpCommand::openHelp()
{
    const QString path = helpFilePath();
    if (!path.isEmpty())
        m_opener.openUrl(QUrl::fromLocalFile(path));
}
