#pragma once

#include <QDir>
#include <QString>

class Dialogs;
class FileSystem;
class ProcessLauncher;
class Registry;

// The version dialog's button "ｼｽﾃﾑ情報(&S)...": finds the system information tool through two registry
// values and starts it. Where nothing is found (always so on Linux) the user gets one fixed message.
class SystemInfo
{
public:
    // `separator` joins the tool's folder and its file name; the native one unless a test says otherwise.
    SystemInfo(const Registry& registry, const FileSystem& files, ProcessLauncher& launcher, Dialogs& dialogs,
               QChar separator = QDir::separator());

    // Reads a text value of the local machine's registry into `out`, less one closing NUL. Returns false,
    // with `out` empty, when the key or the value is missing or holds no text.
    bool registryValue(const QString& key, const QString& valueName, QString& out) const;
    // Returns true when the tool was started.
    bool startSystemInformation();

private:
    const Registry& m_registry;
    const FileSystem& m_files;
    ProcessLauncher& m_launcher;
    Dialogs& m_dialogs;
    QChar m_separator;
};
