#include "SystemInfo.h"

#include "platform/CommandLine.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/ProcessLauncher.h"
#include "platform/Registry.h"

#include <QVariant>

using namespace Qt::StringLiterals;

SystemInfo::SystemInfo(const Registry& registry, const FileSystem& files, ProcessLauncher& launcher,
                       Dialogs& dialogs, QChar separator)
    : m_registry(registry), m_files(files), m_launcher(launcher), m_dialogs(dialogs), m_separator(separator)
{
}

bool SystemInfo::registryValue(const QString& key, const QString& valueName, QString& out) const
{
    out.clear();
    // Only read: these values are never written, and a user without administrator rights may not write them.
    const QVariant value = m_registry.localMachineValue(key, valueName);
    if (!value.isValid())
        return false;
    // Both of the tool's values are texts; a value of another type is not the tool's.
    if (value.metaType().id() != QMetaType::QString)
        return false;
    out = value.toString();
    // A stored text may or may not count its terminating NUL.
    if (out.endsWith(QChar(u'\0')))
        out.chop(1);
    return true;
}

bool SystemInfo::startSystemInformation()
{
    QString path;
    if (!registryValue(u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"_s, u"PATH"_s, path)) {
        QString folder;
        if (registryValue(u"SOFTWARE\\Microsoft\\Shared Tools Location"_s, u"MSINFO"_s, folder)) {
            const QString candidate = folder + m_separator + u"MSINFO32.EXE"_s;
            if (m_files.fileExists(candidate))
                path = candidate;
        }
    }
    // Show mode 1: a normal window with focus. The tool runs on by itself; nothing waits for it.
    if (!path.isEmpty() && m_launcher.start(CommandLine::escapeQuotes(path), {path}) != 0)
        return true;
    m_dialogs.message(u"現時点ではｼｽﾃﾑ情報を使用できません"_s, applicationTitle());
    return false;
}
