// Resident memory of the main window as a user meets it: after start-up with the factory work table, after a
// drop of 32,767 files with the list painted, with a 10 MB activity log shown, and after a long run logged on
// top of it. Platform services are fakes (no program is started, nothing is powered off); the window draws
// offscreen. Prints figures only.
#include "Fakes.h"
#include "core/ActivityLog.h"
#include "gui/FileListView.h"
#include "gui/MainWindow.h"
#include "store/TemplateFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>

#include "ProcStatus.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace
{
void report(const char* stage, const QElapsedTimer& timer)
{
    const long rss = procStatusField("VmRSS");
    std::printf("%-58s VmRSS %7ld kB (%6.1f MB), peak %6.1f MB, %7.0f ms\n", stage, rss,
                static_cast<double>(rss) / 1024.0, static_cast<double>(procStatusField("VmHWM")) / 1024.0,
                static_cast<double>(timer.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
}

// Paths as a camera folder tree holds them: a few folders, long Japanese and ASCII names.
QStringList droppedPaths(int count)
{
    const QStringList folders{
        u"/home/user/写真/2023年 夏 北海道旅行/カメラ"_s, u"/home/user/Pictures/2024-05-03 family trip/raw"_s,
        u"/mnt/data/スキャン/古いアルバム 第3巻"_s, u"/home/user/Videos/素材/drone footage 4K"_s};
    const QStringList extensions{u"JPG"_s, u"png"_s, u"tif"_s, u"mp4"_s};
    QStringList paths;
    paths.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int k = i % static_cast<int>(folders.size());
        paths << folders[k] + u"/IMG_2023"_s + QString::number(i + 100000) + u"_撮影 "_s +
                     QString::number(i % 97) + u'.' + extensions[k];
    }
    return paths;
}

// Lines as a run writes them, newest first, to about `chars` characters.
QString runLog(qsizetype chars)
{
    const QDateTime when(QDate(2024, 8, 12), QTime(21, 4, 9));
    QString text;
    text.reserve(chars + 1024);
    for (int i = 0; text.size() < chars; ++i) {
        const QString file = u"IMG_2023"_s + QString::number(100000 + i) + u"_撮影"_s;
        text += ActivityLog::timed(when, u"[ffmpeg]に["_s + file + u"]を送信終了／"_s);
        text += u"\t\t送信内容は/usr/bin/ffmpeg -i \"/home/user/写真/2023年 夏 北海道旅行/カメラ/"_s + file +
                u".JPG\" -q 2 \"/home/user/out/"_s + file + u".png\"\r\n\r\n"_s;
        text += ActivityLog::timed(when, u"[ffmpeg]に["_s + file + u"]を送信開始／"_s);
        if (i % 500 == 499)
            text += ActivityLog::separator();
    }
    return text;
}
} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int rows = 32767;
    constexpr qsizetype logChars = 10 * 1024 * 1024;

    QTemporaryDir folder;
    if (!folder.isValid() || !TemplateFile::writeFactoryTemplate(folder.filePath(u"default.lvt"_s))) {
        std::fprintf(stderr, "cannot prepare a program folder in the temporary folder\n");
        return 1;
    }
    FakeDialogs dialogs;
    FakeFileSystem files; // every path reads as a plain file
    FakeLauncher launcher;
    FakeClock clock;
    FakePower power;
    FakeRegistry registry;

    QElapsedTimer timer;
    timer.start();
    report("QApplication only", timer);

    timer.restart();
    MainWindow form(Services{dialogs, files, launcher, clock, power, registry, folder.path(), folder.path()});
    if (!form.start()) {
        std::fprintf(stderr, "the window did not start\n");
        return 1;
    }
    QApplication::processEvents();
    (void)form.grab();
    report("(a) factory work table, window shown", timer);

    const QStringList paths = droppedPaths(rows);
    timer.restart();
    // A plain drop: the list is replaced and renumbered.
    emit form.findChild<FileListView*>()->filesDropped(paths, {});
    QApplication::processEvents();
    (void)form.grab();
    report("(b) 32767 files dropped, list painted", timer);
    std::printf("    rows %d, cells per row %d\n", form.table().files.count(),
                form.table().files.cellCount());

    QString log = runLog(logChars);
    timer.restart();
    form.table().log.setText(log);
    log.clear();
    log.squeeze();
    QApplication::processEvents();
    (void)form.grab();
    report("(c) plus a 10 MB log loaded, main tab painted", timer);
    timer.restart();
    if (auto* tabs = form.findChild<QTabWidget*>(u"tabs"_s))
        tabs->setCurrentIndex(1); // "ログ"
    QApplication::processEvents();
    (void)form.grab();
    report("(c) the log tab brought to the front and painted", timer);
    std::printf("    log %lld chars (%lld kB as UTF-16)\n", static_cast<long long>(form.table().log.length()),
                static_cast<long long>(form.table().log.length()) * 2 / 1024);

    // A long run on top, with the log tab in front as a run brings it: every job puts its entries on top one
    // by one, as the run engine does.
    constexpr int jobs = 20000;
    const qsizetype before = form.table().log.length();
    timer.restart();
    ActivityLog& activity = form.table().log;
    for (int i = 0; i < jobs; ++i) {
        const QString file = u"IMG_2024"_s + QString::number(100000 + i) + u"_撮影"_s;
        activity.prepend(ActivityLog::timed(clock.now(), u"[ffmpeg]に["_s + file + u"]を送信開始／"_s));
        activity.prepend(u"\t\t送信内容は/usr/bin/ffmpeg -i \"/home/user/写真/"_s + file +
                         u".JPG\" -q 2\r\n\r\n"_s);
        activity.prepend(ActivityLog::timed(clock.now(), u"[ffmpeg]に["_s + file + u"]を送信終了／"_s));
        if (i % 100 == 0)
            QApplication::processEvents();
    }
    QApplication::processEvents();
    (void)form.grab();
    report("(d) plus 20000 jobs logged one entry at a time", timer);
    std::printf("    log grew by %lld chars\n", static_cast<long long>(activity.length() - before));
    std::printf("goal: under 150 MB with %d rows\n", rows);
    std::fflush(stdout);
    return 0;
}
