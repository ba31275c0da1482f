#include "RunSettings.h"

#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

using namespace Qt::StringLiterals;

namespace
{
constexpr QByteArrayView group = "[Run]";
constexpr QByteArrayView fastKey = "NoticeEndAtOnce";
constexpr QByteArrayView parallelKey = "JobsAtATime";
constexpr QByteArrayView keptRunsKey = "KeptRuns";
// The file holds a few short lines; a larger one is not ours.
constexpr qint64 largestFile = qint64{64} * 1024; // bytes

void readNumber(QByteArrayView value, int least, int most, int& number)
{
    bool ok = false;
    const int read = value.toInt(&ok);
    if (ok && read >= least && read <= most)
        number = read;
}
} // namespace

QString RunSettings::fileName(const QString& programFolder)
{
    return QDir(programFolder).filePath(u"lomvato.ini"_s);
}

int RunSettings::maxParallel()
{
    return std::max(1, QThread::idealThreadCount()) * 2;
}

RunSettings RunSettings::parse(QByteArrayView text)
{
    RunSettings s;
    bool inGroup = false;
    for (const QByteArray& raw : text.toByteArray().split('\n')) {
        const QByteArrayView line = QByteArrayView(raw).trimmed();
        if (line.startsWith('[')) {
            inGroup = line == group;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inGroup || equals < 0)
            continue;
        const QByteArrayView key = line.first(equals).trimmed();
        const QByteArrayView value = line.sliced(equals + 1).trimmed();
        if (key == fastKey) {
            s.fast = value == "true" || value == "1";
        } else if (key == parallelKey) {
            readNumber(value, 1, maxParallel(), s.parallel);
        } else if (key == keptRunsKey) {
            readNumber(value, 1, mostKeptRuns, s.keptRuns);
        }
    }
    return s;
}

QByteArray RunSettings::text() const
{
    return group.toByteArray() + '\n' + fastKey.toByteArray() + '=' + (fast ? "true" : "false") + '\n' +
           parallelKey.toByteArray() + '=' + QByteArray::number(parallel) + '\n' + keptRunsKey.toByteArray() +
           '=' + QByteArray::number(keptRuns) + '\n';
}

RunSettings RunSettings::load(const QString& programFolder, QString* problem)
{
    const QString path = fileName(programFolder);
    if (!QFileInfo::exists(path))
        return {};
    QFile file;
    QString why;
    const RegularFile::Opened opened = RegularFile::openForReading(file, path, &why);
    if (opened == RegularFile::Opened::NotRegular) {
        why = RegularFile::notRegularReason();
    } else if (opened == RegularFile::Opened::Yes) {
        const QByteArray bytes = file.read(largestFile + 1);
        if (file.error() != QFileDevice::NoError)
            why = file.errorString();
        else if (bytes.size() > largestFile)
            why = RegularFile::tooLargeReason();
        else
            return parse(bytes);
    }
    if (problem)
        *problem = why;
    return {};
}

bool RunSettings::save(const QString& programFolder, QString* why) const
{
    QString reason;
    const bool written = RegularFile::replace(fileName(programFolder), text(), &reason);
    if (why)
        *why = reason;
    return written;
}
