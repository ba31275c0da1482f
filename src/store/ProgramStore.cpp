#include "ProgramStore.h"

#include "TextCodec.h"
#include "core/WorkTable.h"
#include "platform/ProgramFolder.h"

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

bool ProgramStore::ensureStartupTemplate(const QString& executableFolder)
{
    const QString target = templatePath();
    if (QFileInfo::exists(target))
        return true;
    const QString shipped = joinPath(executableFolder, TemplateFile::startupTemplateName());
    QByteArray bytes;
    if (QFileInfo(shipped) == QFileInfo(target) || !TextCodec::readBytes(shipped, &bytes, nullptr))
        return false;
    // A new file of our own, so it is writable even where the shipped one is not: it is rewritten at every
    // close.
    StoreError error;
    return TemplateFile::saved(m_dialogs, TextCodec::writeBytes(target, bytes, &error), target, error);
}

TemplateFile::Outcome ProgramStore::loadAtStart()
{
    const TemplateFile::Outcome outcome = m_template.loadStartupTemplate(templatePath());
    if (outcome != TemplateFile::Outcome::GaveUp)
        m_log.loadLog(logPath());
    return outcome;
}

bool ProgramStore::storeAtClose()
{
    if (m_table.startupIncomplete)
        return false;
    StoreError error;
    const bool log = TemplateFile::saved(m_dialogs, m_log.storeLog(logPath(), &error), logPath(), error);
    error = {};
    const bool table = TemplateFile::saved(m_dialogs, m_template.writeTemplate(templatePath(), &error),
                                           templatePath(), error);
    return log && table;
}
