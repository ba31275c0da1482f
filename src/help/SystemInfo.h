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
    // The roots of the registry that the tool's values live under.
    enum class Root { LocalMachine };

    // `separator` joins the tool's folder and its file name; the native one unless a test says otherwise.
    SystemInfo(const Registry& registry, const FileSystem& files, ProcessLauncher& launcher, Dialogs& dialogs,
               QChar separator = QDir::separator());

    // Reads a value into `out`: a text as it is (less one closing NUL), a 32-bit number as "&h" and its
    // hexadecimal digits. Returns false, with `out` empty, when the key or the value is missing.
    bool GetKeyValue(Root root, const QString& key, const QString& valueName, QString& out) const;
    // Returns true when the tool was started.
    bool StartSysInfo();

private:
    const Registry& m_registry;
    const FileSystem& m_files;
    ProcessLauncher& m_launcher;
    Dialogs& m_dialogs;
    QChar m_separator;
};
