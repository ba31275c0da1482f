// Opening the preview of 32,767 file rows × 10 batch entries: the model built, the row count read and the
// first 50 rows' every column asked for, as a view's first paint asks. Prints milliseconds; never fails on
// time.
#include "BigBatch.h"
#include "run/JobPreview.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    BigBatch batch;

    QElapsedTimer timer;
    timer.start();
    JobPreview preview(batch.table, batch.launcher, batch.files);
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
        count, BigBatch::rows, BigBatch::entries, opened, screen, static_cast<long long>(characters));
    return 0;
}
