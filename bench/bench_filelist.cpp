// Times the file list's bulk operations at the 16-bit size of the list: a filtered drop onto a full list,
// a sort by a column and the deletion of every other row. Prints milliseconds; never fails.
#include "Fakes.h"
#include "core/WorkTable.h"
#include "filelist/FileListCommands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace
{

constexpr int rowCount = 32767;

QStringList paths(QRandomGenerator& random, const QStringList& extensions)
{
    QStringList out;
    out.reserve(rowCount);
    for (int i = 0; i < rowCount; ++i) {
        const QString ext = extensions[random.bounded(int(extensions.size()))];
        out.append(u"/home/user/data/folder"_s + QString::number(random.bounded(100)) + u"/file_"_s +
                   QString::number(random.generate()) + u'.' + ext);
    }
    return out;
}

void report(const char* what, qint64 ns)
{
    std::printf("%-58s %9.2f ms\n", what, double(ns) / 1e6);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QRandomGenerator random(20240);
    const QStringList checked{u"jpg"_s, u"png"_s, u"gif"_s, u"bmp"_s, u"tif"_s,
                              u"mp3"_s, u"wav"_s, u"avi"_s, u"mp4"_s, u"txt"_s};
    QStringList mixed = checked;
    mixed << u"doc"_s << u"xls"_s << u"JPG"_s << u"zip"_s;

    WorkTable table;
    FakeFileSystem fileSystem; // every path reads as a plain file
    FakeDialogs dialogs;
    FileListCommands commands(table, dialogs, fileSystem);
    table.settings.alwaysAppend = 1;
    for (const QString& e : checked)
        table.filter.append(e, true);
    table.filter.setMode(OptionGroup{1});

    QElapsedTimer timer;
    commands.takeDroppedFiles(paths(random, checked), {});
    const QStringList drop = paths(random, mixed);
    timer.start();
    commands.takeDroppedFiles(drop, {});
    report("drop 32767 paths, filter on (10 entries), onto 32767 rows", timer.nsecsElapsed());
    std::printf("  rows now %d\n", table.files.count());

    table.files.clear();
    table.filter.setMode(OptionGroup{0});
    commands.takeDroppedFiles(paths(random, mixed), {});
    timer.start();
    commands.sortByHeader(3);
    report("sort 32767 rows by <c2>", timer.nsecsElapsed());
    timer.start();
    commands.sortByHeader(3);
    report("sort 32767 rows by <c2> again (descending)", timer.nsecsElapsed());
    timer.start();
    commands.sortByHeader(6);
    report("sort 32767 rows by <c5>", timer.nsecsElapsed());

    std::vector<int> everyOther;
    for (int r = 0; r < table.files.count(); r += 2)
        everyOther.push_back(r);
    timer.start();
    commands.removeRows(everyOther);
    report("delete every other row of 32767, renumbering included", timer.nsecsElapsed());
    std::printf("  rows now %d\n", table.files.count());
    return 0;
}
