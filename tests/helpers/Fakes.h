#pragma once

#include "platform/Clock.h"
#include "platform/CommandLine.h"
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
#include <fcntl.h>
#include <functional>
#include <memory>
#include <unistd.h>

// The next scripted answer, or `otherwise` once the script has run out.
template <typename T> T nextOf(std::deque<T>& script, T otherwise = T())
{
    if (script.empty())
        return otherwise;
    T answer = std::move(script.front());
    script.pop_front();
    return answer;
}

class FakeClock final : public Clock
{
public:
    QDateTime time = QDateTime(QDate(2004, 3, 15), QTime(9, 5, 7));
    // Timers fire as fast as the event loop turns.
    mutable QStringList timersStarted; // their object names
    QDateTime now() const override { return time; }
    void start(QTimer& timer, int) const override
    {
        timersStarted << timer.objectName();
        timer.start(0);
    }
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
    QStringList fileFolders;
    std::function<void()> whileShown; // runs while a message box is open

    QStringList texts() const
    {
        QStringList out;
        for (const Shown& s : shown)
            out << s.text;
        return out;
    }

    Answer message(const QString& text, const QString& title, Buttons buttons = Buttons::Ok) override
    {
        shown.append({text, title, buttons});
        if (whileShown)
            whileShown();
        return nextOf(answers, Answer::Ok);
    }
    QString input(const QString&, const QString&) override { return nextOf(inputs); }
    QString openFile(const QString& folder, const QString&) override
    {
        fileFolders.append(folder);
        return nextOf(files);
    }
    QString saveFile(const QString& folder, const QString&) override { return openFile(folder, {}); }
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
// the test ends a process by putting its pid into `ended`. A captured start reads end of file at once.
class FakeLauncher final : public ProcessLauncher
{
public:
    QStringList started;              // command lines, in order
    QList<QStringList> knownPrograms; // what each start was told
    QSet<QString> failing;            // command lines that fail to start
    QSet<qint64> ended;               // processes that have ended
    QSet<qint64> unopenable;          // processes that end before they can be opened
    qint64 nextPid = 100;
    int openHandles = 0;

    Started launch(const QString& commandLine, const QStringList& known, bool captureOutput = false) override
    {
        started.append(commandLine);
        knownPrograms.append(known);
        Started s;
        if (failing.contains(commandLine) || commandLine.isEmpty()) {
            s.failure = QStringLiteral("No such file or directory");
            return s;
        }
        s.pid = nextPid++;
        if (!unopenable.contains(s.pid))
            s.handle = std::make_unique<Handle>(*this, s.pid);
        if (captureOutput) {
            s.output = endedPipe();
            s.errors = endedPipe();
        }
        return s;
    }
    // Recorded and failed like a command line of the words joined by spaces.
    Started launchArguments(const QStringList& words, bool captureOutput = false) override
    {
        return launch(words.join(u' '), {}, captureOutput);
    }
    QStringList arguments(const QString& commandLine, const QStringList& known) const override
    {
        QString program;
        QStringList words;
        const auto noFile = [](const QString&) { return false; };
        const bool found = CommandLine(commandLine).resolve(known, noFile, program, words);
        return found ? QStringList{program} + words : QStringList();
    }
    void readToTheEnd(UniqueFd) override {}
    qint64 lastPid() const { return nextPid - 1; }

private:
    // The read end of a pipe whose writer has gone.
    static UniqueFd endedPipe()
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
            return {};
        ::close(ends[1]);
        return UniqueFd(ends[0]);
    }

    struct Handle final : ProcessHandle {
        FakeLauncher& launcher;
        qint64 pid;
        Handle(FakeLauncher& owner, qint64 id) : launcher(owner), pid(id) { ++owner.openHandles; }
        ~Handle() override { --launcher.openHandles; }
        Status status() override { return launcher.ended.contains(pid) ? Status::Ended : Status::Running; }
    };
};

class FakePower final : public PowerControl
{
public:
    bool needsPrivilege = false;
    std::deque<bool> privilegeAnswers; // true when empty
    int privilegeRequests = 0;
    int powerOffs = 0;
    std::function<void()> onPowerOff;

    bool needsShutdownPrivilege() const override { return needsPrivilege; }
    bool acquireShutdownPrivilege() override
    {
        ++privilegeRequests;
        return nextOf(privilegeAnswers, true);
    }
    void powerOff() override
    {
        ++powerOffs;
        if (onPowerOff)
            onPowerOff();
    }
};

// The registry as on Linux: it holds no values.
class FakeRegistry final : public Registry
{
public:
    QVariant localMachineValue(const QString&, const QString&) const override { return {}; }
};
