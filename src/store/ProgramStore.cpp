#include "ProgramStore.h"

#include "core/WorkTable.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

ProgramStore::ProgramStore(WorkTable& table, Dialogs& dialogs, const FileSystem& fileSystem,
                           QString programFolder)
    : m_table(table), m_dialogs(dialogs), m_programFolder(std::move(programFolder)),
      m_template(table, dialogs, fileSystem, m_programFolder), m_log(table.log, table.settings)
{
}

QString ProgramStore::logPath() const
{
    return joinPath(m_programFolder, u"log.ini"_s);
}

bool ProgramStore::ensureStartupTemplate(const QString& programFolder, const QString& executableFolder)
{
    const QString target = joinPath(programFolder, u"default.lvt"_s);
    if (QFileInfo::exists(target))
        return true;
    const QString shipped = joinPath(executableFolder, u"default.lvt"_s);
    if (QFileInfo(shipped) == QFileInfo(target) || !QFileInfo(shipped).isFile())
        return false;
    // The copy must be writable: it is rewritten at every close.
    if (!QFile::copy(shipped, target))
        return false;
    QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner | QFile::ReadOwner);
    return true;
}

TemplateFile::Outcome ProgramStore::loadAtStart()
{
    const TemplateFile::Outcome outcome = m_template.KankyouInPut(templatePath());
    if (outcome != TemplateFile::Outcome::GaveUp)
        m_log.logInPut(logPath());
    return outcome;
}

bool ProgramStore::store(bool written, const QString& path, const StoreError& error)
{
    if (!written) {
        m_dialogs.message(error.text() + u"\r\n"_s + QDir::toNativeSeparators(path) +
                              u"を保存できませんでした"_s,
                          applicationTitle());
    }
    return written;
}

bool ProgramStore::storeAtClose()
{
    if (m_table.stopFlag == -1)
        return false;
    StoreError error;
    const bool log = store(m_log.logOutPut(logPath(), &error), logPath(), error);
    error = {};
    const bool table = store(m_template.KankyouOutPut(templatePath(), &error), templatePath(), error);
    return log && table;
}
