// Exporting the job file of 32,767 file rows × 10 batch entries (327,670 jobs, about 40 MB): once written
// whole at once, as a blocking save would, and once in slices from the event loop, as the preview's
// "書き出し…" does, with the longest time the event loop went without turning.
// Prints milliseconds; never fails on time.
#include "BigBatch.h"
#include "platform/RegularFile.h"
#include "run/JobFile.h"
#include "run/JobPreview.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    BigBatch batch;
    JobPreview jobs(batch.table, batch.launcher, batch.files);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"jobs.sh"_s);

    QElapsedTimer timer;
    timer.start();
    QByteArray whole;
    for (int job = 0; job < jobs.rowCount(); ++job)
        whole += JobFile::line(jobs.arguments(job)) + '\n';
    whole += JobFile::trailer(jobs.rowCount());
    QString why;
    RegularFile::replace(path, whole, &why);
    const double atOnce = double(timer.nsecsElapsed()) / 1e6;

    JobFileExport exporter(jobs, path);
    // A call that posts itself again runs once every turn of the event loop, as a key press or a repaint
    // would wait for one.
    QElapsedTimer sinceTurn;
    qint64 longestStall = 0; // ns
    bool written = false;
    bool running = true;
    std::function<void()> turn = [&] {
        longestStall = std::max(longestStall, sinceTurn.nsecsElapsed());
        sinceTurn.restart();
        if (running)
            QMetaObject::invokeMethod(&app, turn, Qt::QueuedConnection);
    };
    QObject::connect(&exporter, &JobFileExport::finished, [&](bool ok) {
        written = ok;
        running = false;
        app.quit();
    });
    QTimer::singleShot(0, [&] {
        timer.restart();
        sinceTurn.start();
        exporter.start();
        turn();
    });
    app.exec();
    const double inSlices = double(timer.nsecsElapsed()) / 1e6;

    std::printf(
        "job file of %d jobs (%lld bytes): at once %.0f ms (the event loop stalls all of it); in slices "
        "%.0f ms%s, longest stall of the event loop %.1f ms\n",
        jobs.rowCount(), static_cast<long long>(QFileInfo(path).size()), atOnce, inSlices,
        written ? "" : " (NOT WRITTEN)", double(longestStall) / 1e6);
    return 0;
}
