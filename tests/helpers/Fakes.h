#pragma once

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/PowerControl.h"
#include "platform/ProcessLauncher.h"
#include "platform/Registry.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>

class FakeClock final : public Clock
{
public:
    QDateTime time = QDateTime(QDate(2004, 3, 15), QTime(9, 5, 7));
    QDateTime now() const override { return time; }
};

// Answers every box from a script and records what was shown.
class FakeDialogs final : public Dialogs
{
public:
    struct Shown {
        QString text;
        QString title;
        Buttons buttons;
    };
    std::deque<Answer> answers; // for message boxes; Ok when empty
    std::deque<QString> inputs; // for input boxes; empty (cancel) when empty
    std::deque<QString> files;  // for file dialogs; empty (cancel) when empty
    QList<Shown> shown;
    QStringList prompts;
    QStringList fileFolders;

    Answer message(const QString& text, const QString& title, Buttons buttons = Buttons::Ok) override;
    QString input(const QString& prompt, const QString& title) override;
    QString openFile(const QString& folder, const QString& filter) override;
    QString saveFile(const QString& folder, const QString& filter) override;
};

class FakeFileSystem final : public FileSystem
{
public:
    QSet<QString> files;       // existing files
    QHash<QString, int> attrs; // attribute values; a path not listed reads as 32 (a file)
    bool fileExists(const QString& path) const override { return files.contains(path); }
    int attributes(const QString& path) const override { return attrs.value(path, 32); }
};

// A launcher that starts nothing. Each start gets the next pid (or fails for the command lines in `failing`);
// the test ends a process by putting its pid into `ended`.
class FakeLauncher final : public ProcessLauncher
{
public:
    QStringList started; // command lines, in order
    QList<int> showModes;
    QSet<QString> failing;   // command lines that fail to start
    QSet<qint64> ended;      // processes that have ended
    QSet<qint64> unopenable; // processes that end before they can be opened
    qint64 nextPid = 100;
    int openHandles = 0;

    qint64 start(const QString& commandLine, int showMode) override;
    std::unique_ptr<ProcessHandle> open(qint64 pid) override;
    qint64 lastPid() const { return nextPid - 1; }
};

class FakePower final : public PowerControl
{
public:
    OsVersion version{6, 1, 7601, 0};
    std::deque<bool> privilegeAnswers; // true when empty
    QStringList privilegeRequests;
    int powerOffs = 0;
    std::function<void()> onPowerOff;

    OsVersion osVersion() const override { return version; }
    bool setShutdownPrivilege(const QString& name) override;
    void powerOff() override;
};

class FakeRegistry final : public Registry
{
public:
    QHash<QString, QVariant> values; // "key\\valueName" -> value
    QVariant localMachineValue(const QString& key, const QString& valueName) const override
    {
        return values.value(key + QLatin1Char('\\') + valueName);
    }
};
