// Runs a batch of 100 jobs at the fast pace, four at a time, through the real launcher with the journal
// written into the folder named by the first argument, until it is killed. Job i (from 1) runs
// script(i) with /bin/sh, named by a name that needs quoting: it writes o<i> and e<i>, then runs as long as
// this program when i is a multiple of 10, kills itself with SIGKILL when a multiple of 7, else exits with
// i % 3.
// Four sleepers take the four places: jobs 1 to 40 start, and all but the sleepers end.
#include "JournalRun.h"
#include "Fakes.h"
#include "core/WorkTable.h"
#include "platform/FileSystem.h"
#include "platform/LinuxProcessLauncher.h"
#include "run/RunEngine.h"
#include "run/RunJournal.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    WorkTable table;
    RealFileSystem files;
    LinuxProcessLauncher launcher(files);
    SystemClock clock;
    FakeDialogs dialogs;
    RunEngine engine(table, launcher, files, clock, dialogs);
    RunJournal journal(QString::fromLocal8Bit(argv[1]), clock);
    journal.follow(engine.results());
    QObject::connect(&engine, &RunEngine::begun, &journal, &RunJournal::begin);
    table.apps.appendRow({u"<App1>"_s, u"sh"_s, u"/bin/sh"_s});
    for (int i = 1; i <= JournalRun::jobs; ++i)
        table.files.appendRows({{u""_s, u""_s, JournalRun::script(i)}});
    table.batch.appendRow(
        {u"<App1>"_s, u"sh"_s, u"<App1> -c \"<c2>\" \""_s + JournalRun::name + u'"', u"/bin/sh"_s});
    engine.setPace(true, 4);
    engine.setCanStart(true);
    engine.start();
    return app.exec();
}
