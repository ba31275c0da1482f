// Figures for the run's hot spots: expanding every job's command line, the application key check before a
// run, and the activity log growing by many entries. Prints times only.
#include "Fakes.h"
#include "core/ActivityLog.h"
#include "core/AppRegistry.h"
#include "core/BatchList.h"
#include "run/Expansion.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QSet>

#include <cstdio>
#include <ctime>
#include <vector>

using namespace Qt::StringLiterals;

namespace
{
double ms(const QElapsedTimer& t)
{
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// Processor time of this process in ms: on a busy machine it says more than the wall clock.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}
} // namespace

int main()
{
    constexpr int rows = 32767;
    constexpr int entries = 10;
    constexpr int columns = 20;
    constexpr int appCount = 99;

    AppRegistry apps;
    for (int i = 1; i <= appCount; ++i)
        apps.appendRow({AppRegistry::keyFor(i), u"tool"_s, u"/opt/tools/tool"_s + QString::number(i)});
    std::vector<QStringList> fileRows;
    fileRows.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        QStringList row;
        row << QString() << QString::number(r + 1).rightJustified(5, u'0') << u"photo"_s + QString::number(r)
            << u"jpg"_s << u"/home/user/pictures"_s
            << u"/home/user/pictures/photo"_s + QString::number(r) + u".jpg"_s;
        for (int c = 6; c < columns; ++c)
            row << u"extra"_s + QString::number(c);
        fileRows.push_back(row);
    }
    QStringList parameters;
    for (int e = 0; e < entries; ++e)
        parameters << u"<App"_s + QString::number(e * 9 + 1) + u"> -q <c"_s + QString::number(6 + e) +
                          u"> -o <c4>/out/<c2>_<c1>.png \"<c5>\" --note=<App99>"_s;

    QElapsedTimer timer;
    timer.start();
    double cpu = cpuMs();
    qsizetype total = 0;
    for (int e = 0; e < entries; ++e)
        for (const QStringList& row : fileRows)
            total += expandCommandLine(parameters[e], row, columns, apps).size();
    std::printf(
        "expandCommandLine, %d rows x %d entries, %d columns, %d applications: %.1f ms (processor %.1f ms, "
        "%lld chars)\n",
        rows, entries, columns, appCount, ms(timer), cpuMs() - cpu, static_cast<long long>(total));

    BatchList batch;
    for (int e = 0; e < 1000; ++e)
        batch.appendRow({u"<App1>"_s, u"tool"_s,
                         parameters[e % entries] + u" <App"_s + QString::number(e % 120 + 1) + u'>',
                         QString()});
    FakeFileSystem fs;
    for (int i = 0; i < apps.count(); ++i)
        fs.files.insert(apps.path(i));
    timer.restart();
    cpu = cpuMs();
    const QString problems = appKeyProblems(batch, apps, fs);
    std::printf("appKeyProblems, 1000 entries: %.2f ms (processor %.2f ms, %lld chars of problems)\n",
                ms(timer), cpuMs() - cpu, static_cast<long long>(problems.size()));

    ActivityLog log;
    const QDateTime when = QDateTime::currentDateTime();
    timer.restart();
    double firstBlock = 0;
    double beforeLast = 0;
    for (int i = 0; i < 100000; ++i) {
        if (i == 90000)
            beforeLast = ms(timer);
        log.prepend(ActivityLog::timed(when, u"[tool]に[photo"_s + QString::number(i) + u"]を送信終了／"_s));
        if (i == 9999)
            firstBlock = ms(timer);
    }
    const double all = ms(timer);
    std::printf("ActivityLog, 100000 entries on top: first 10000 %.1f ms, last 10000 %.1f ms, all %.1f ms "
                "(%lld chars)\n",
                firstBlock, all - beforeLast, all, static_cast<long long>(log.length()));
    return 0;
}
