#include "Fakes.h"

Dialogs::Answer FakeDialogs::message(const QString& text, const QString& title, Buttons buttons)
{
    shown.append({text, title, buttons});
    if (answers.empty())
        return Answer::Ok;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

QString FakeDialogs::input(const QString& prompt, const QString&)
{
    prompts.append(prompt);
    if (inputs.empty())
        return {};
    QString s = inputs.front();
    inputs.pop_front();
    return s;
}

QString FakeDialogs::openFile(const QString& folder, const QString&)
{
    fileFolders.append(folder);
    if (files.empty())
        return {};
    QString s = files.front();
    files.pop_front();
    return s;
}

QString FakeDialogs::saveFile(const QString& folder, const QString& filter)
{
    return openFile(folder, filter);
}

namespace
{
class FakeHandle final : public ProcessHandle
{
public:
    FakeHandle(FakeLauncher& launcher, qint64 pid) : m_launcher(launcher), m_pid(pid)
    {
        ++m_launcher.openHandles;
    }
    ~FakeHandle() override { --m_launcher.openHandles; }
    Status status() override { return m_launcher.ended.contains(m_pid) ? Status::Ended : Status::Running; }

private:
    FakeLauncher& m_launcher;
    qint64 m_pid;
};
} // namespace

qint64 FakeLauncher::start(const QString& commandLine, int showMode)
{
    started.append(commandLine);
    showModes.append(showMode);
    if (failing.contains(commandLine) || commandLine.isEmpty())
        return 0;
    return nextPid++;
}

std::unique_ptr<ProcessHandle> FakeLauncher::open(qint64 pid)
{
    if (unopenable.contains(pid))
        return nullptr;
    return std::make_unique<FakeHandle>(*this, pid);
}

bool FakePower::setShutdownPrivilege(const QString& name)
{
    privilegeRequests.append(name);
    if (privilegeAnswers.empty())
        return true;
    const bool a = privilegeAnswers.front();
    privilegeAnswers.pop_front();
    return a;
}

void FakePower::powerOff()
{
    ++powerOffs;
    if (onPowerOff)
        onPowerOff();
}
