// Figures for the template file and the log file: a large template written and read back, a full log loaded,
// the newest part of a 512 MiB log loaded, and a long log written.
#include "Fakes.h"
#include "core/WorkTable.h"
#include "store/LogFile.h"
#include "store/TemplateFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace
{
double milliseconds(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1.0e6;
}

template <typename F> double best(int rounds, F f)
{
    double fastest = 1.0e30;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        fastest = std::min(fastest, milliseconds(t));
    }
    return fastest;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;

    WorkTable table;
    FakeDialogs dialogs;
    FakeFileSystem fs;
    while (table.columns.count() < 200)
        table.addColumn(u"カラム%1"_s.arg(table.columns.count()));
    for (int i = 1; i <= 99; ++i) {
        const QString path = u"/opt/アプリ%1/変換%1.exe"_s.arg(i);
        fs.files.insert(path);
        table.apps.appendRow({u"<App%1>"_s.arg(i), u"変換%1.exe"_s.arg(i), path,
                              u"<App%1> -i \"<c5>\" -o \"<c4>/<c2>_%1.png\" --quality 90"_s.arg(i)});
    }
    TemplateFile file(table, dialogs, fs, dir.path());
    const QString path = dir.filePath(u"big.lvt"_s);
    const double write = best(20, [&] { file.writeTemplate(path); });
    WorkTable back;
    TemplateFile reader(back, dialogs, fs, dir.path());
    const double read = best(20, [&] { reader.loadStartupTemplate(path); });
    out << "template, 99 applications and 200 columns: write " << write << " ms, read " << read
        << " ms, together " << write + read << " ms (goal < 20 ms)\n";

    // A log of 32 KB: a file larger than the limit, cut on loading.
    QString logText;
    for (int i = 0; logText.size() < 64 * 1024; ++i)
        logText += u"12/26/06 09:05:03\t<App1> -i \"/home/user/写真/画像%1.jpg\"\r\n\r\n"_s.arg(i);
    const QString logPath = dir.filePath(u"log.ini"_s);
    {
        ActivityLog log;
        WorkSettings settings;
        LogFile logFile(log, settings);
        log.setText(logText);
        logFile.storeLog(logPath);
        const double load = best(20, [&] { logFile.loadLog(logPath); });
        out << "log load, limit 32 KB from a " << logText.size() / 1024 << " K character file: " << load
            << " ms (goal < 5 ms)\n";
        // 512 MiB, nearly all of it a hole: only the part the limit keeps is read.
        QFile::resize(logPath, qint64{512} * 1024 * 1024);
        logFile.setLimit(1);
        const double huge = best(5, [&] { logFile.loadLog(logPath); });
        out << "log load, limit 1 KB from a 512 MiB file: " << huge << " ms\n";
    }
    {
        ActivityLog log;
        WorkSettings settings;
        LogFile logFile(log, settings);
        QString big;
        while (big.size() < 10 * 1024 * 1024)
            big += logText;
        big.truncate(10 * 1024 * 1024);
        log.setText(big);
        const double save = best(5, [&] { logFile.storeLog(logPath); });
        out << "log write, 10 M characters: " << save << " ms (goal < 200 ms)\n";
    }
    return 0;
}
