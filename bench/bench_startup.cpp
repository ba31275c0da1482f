// The main window's start against the smallest Qt window with a Japanese text (lomvato_barewindow), both
// started the same way: a process of its own on a private X server (Xvfb), the time from the start to the
// window's first drawing on the screen, then the resident memory (VmRSS) a second later. Lomvato starts
// in a fresh program folder each time, with the factory template. Prints the medians of several starts and
// their ratios; never fails on them.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <xcb/xcb.h>

#include "ProcStatus.h"

#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <tuple>
#include <vector>

using namespace Qt::StringLiterals;

namespace
{
constexpr int starts = 11;
// Time after the first drawing for the rest of the start (the template, the later paints) before the memory
// is read.
constexpr unsigned long settleMs = 1000;

struct Sample {
    double startMs = -1;
    long rssKb = -1;
};

// Waits up to ten seconds for a top-level window to be mapped; returns it, or 0.
xcb_window_t waitForMap(xcb_connection_t* x)
{
    QElapsedTimer waited;
    waited.start();
    pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
    while (waited.elapsed() < 10000) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            const xcb_window_t window =
                (event->response_type & 0x7f) == XCB_MAP_NOTIFY && !map->override_redirect ? map->window : 0;
            free(event);
            if (window)
                return window;
        }
        poll(&fd, 1, 100);
    }
    return 0;
}

// Waits up to ten seconds for the window's first drawing: the server's black root (-br) shows through a
// mapped window until its program draws, and no window of Qt's styles is black in its corner.
bool waitForPaint(xcb_connection_t* x, xcb_window_t window)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000) {
        xcb_get_image_reply_t* image = xcb_get_image_reply(
            x, xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 2, 2, 1, 1, ~0u), nullptr);
        const uint8_t* pixel = image ? xcb_get_image_data(image) : nullptr;
        const bool drawn = pixel && (pixel[0] || pixel[1] || pixel[2]);
        free(image);
        if (drawn)
            return true;
        QThread::usleep(200);
    }
    return false;
}

Sample startOnce(xcb_connection_t* x, const QString& program)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    Sample sample;
    xcb_window_t window = 0;
    if (process.waitForStarted() && (window = waitForMap(x)) && waitForPaint(x, window)) {
        sample.startMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        QThread::msleep(settleMs);
        sample.rssKb = procStatusField("VmRSS", process.processId());
    }
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished();
    return sample;
}

// A copy of the built program with the files shipped beside it, so that every start finds a fresh folder.
QString freshCopy(const QTemporaryDir& dir)
{
    const QDir built(QStringLiteral(LOMVATO_BUILT_DIR));
    for (const QString& name : {u"lomvato"_s, u"help.html"_s, u"default.lvt"_s})
        QFile::copy(built.filePath(name), dir.filePath(name));
    return dir.filePath(u"lomvato"_s);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

void print(const char* name, const std::vector<double>& ms, const std::vector<double>& kb)
{
    std::printf("%-22s start to drawn %7.1f ms   VmRSS %7.0f kB (%5.1f MiB)\n", name, median(ms), median(kb),
                median(kb) / 1024.0);
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString display = u":%1"_s.arg(200 + QCoreApplication::applicationPid() % 100);
    QProcess xvfb;
    xvfb.start(u"Xvfb"_s,
               {display, u"-screen"_s, u"0"_s, u"1920x1080x24"_s, u"-br"_s, u"-nolisten"_s, u"tcp"_s});
    if (!xvfb.waitForStarted()) {
        std::printf("Xvfb is not installed\n");
        return 0;
    }
    xcb_connection_t* x = nullptr;
    for (int i = 0; i < 50 && (!x || xcb_connection_has_error(x)); ++i) {
        if (x)
            xcb_disconnect(x);
        QThread::msleep(100);
        x = xcb_connect(display.toLatin1().constData(), nullptr);
    }
    if (xcb_connection_has_error(x)) {
        std::printf("Xvfb did not start on %s\n", qPrintable(display));
        return 0;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);
    qputenv("DISPLAY", display.toLatin1());
    const QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qunsetenv("QT_QPA_PLATFORM");

    std::vector<double> bareMs, bareKb, lomvatoMs, lomvatoKb;
    for (int i = 0; i < starts; ++i) {
        const Sample bare = startOnce(x, QStringLiteral(LOMVATO_BARE_WINDOW));
        QTemporaryDir folder;
        const Sample lomvato = startOnce(x, freshCopy(folder));
        for (auto [sample, ms, kb] :
             {std::tuple{bare, &bareMs, &bareKb}, std::tuple{lomvato, &lomvatoMs, &lomvatoKb}})
            if (sample.rssKb > 0) {
                ms->push_back(sample.startMs);
                kb->push_back(static_cast<double>(sample.rssKb));
            }
    }
    std::printf("median of %d starts each, under Xvfb\n", starts);
    print("minimal Qt window", bareMs, bareKb);
    print("Lomvato (factory)", lomvatoMs, lomvatoKb);
    std::printf("ratio Lomvato / minimal: start %.2f, VmRSS %.2f\n", median(lomvatoMs) / median(bareMs),
                median(lomvatoKb) / median(bareKb));
    xcb_disconnect(x);
    xvfb.terminate();
    xvfb.waitForFinished();
    return 0;
}
