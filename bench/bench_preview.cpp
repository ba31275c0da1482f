// Opening the preview of 32,767 file rows × 10 batch entries: the model built, the row count read and the
// first 50 rows' every column asked for, as a view's first paint asks. Prints milliseconds; never fails on
// time.
#include "Fakes.h"
#include "core/WorkTable.h"
#include "run/JobPreview.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    WorkTable table;
    FakeFileSystem files;
    FakeLauncher launcher;
    table.apps.appendRow({u"<App1>"_s, u"conv"_s, u"/opt/video tools/conv"_s});
    files.files.insert(u"/opt/video tools/conv"_s);
    constexpr int rows = 32767;
    constexpr int entries = 10;
    std::vector<FileList::Row> fileRows;
    fileRows.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        const QString name = u"動画 "_s + QString::number(i) + u".mp4"_s;
        fileRows.push_back({u""_s, u""_s, name, u"/data/in"_s, u"mp4"_s, u"/data/in/"_s + name});
    }
    table.files.appendRows(std::move(fileRows));
    for (int e = 0; e < entries; ++e)
        table.batch.appendRow(
            {QString::number(e + 1), u"conv"_s,
             u"<App1> -preset "_s + QString::number(e) + u" -i \"<c5>\" \"<c3>/out<c0>.mkv\""_s,
             u"/opt/video tools/conv"_s});

    QElapsedTimer timer;
    timer.start();
    JobPreview preview(table, launcher, files);
    const int count = preview.rowCount();
    qsizetype characters = 0;
    for (int r = 0; r < 50; ++r)
        for (int c = 0; c < JobPreview::ColumnCount; ++c)
            characters += preview.index(r, c).data().toString().size();
    const double opened = double(timer.nsecsElapsed()) / 1e6;

    // Scrolling: a screenful of 30 rows anywhere, as a jump to the end asks for.
    timer.restart();
    for (int r = count - 30; r < count; ++r)
        for (int c = 0; c < JobPreview::ColumnCount; ++c)
            characters += preview.index(r, c).data().toString().size();
    const double screen = double(timer.nsecsElapsed()) / 1e6;

    std::printf(
        "preview of %d jobs (%d rows x %d entries): open %.2f ms, one screen at the end %.2f ms (%lld "
        "characters)\n",
        count, rows, entries, opened, screen, static_cast<long long>(characters));
    return 0;
}
