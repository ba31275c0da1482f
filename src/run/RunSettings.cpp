#include "RunSettings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QThread>

using namespace Qt::StringLiterals;

namespace
{
const QString fastKey = u"Run/NoticeEndAtOnce"_s;
const QString parallelKey = u"Run/JobsAtATime"_s;
} // namespace

QString RunSettings::fileName(const QString& programFolder)
{
    return QDir(programFolder).filePath(u"lomvato.ini"_s);
}

int RunSettings::maxParallel()
{
    return std::max(1, QThread::idealThreadCount()) * 2;
}

RunSettings RunSettings::load(const QString& programFolder)
{
    RunSettings s;
    const QSettings ini(fileName(programFolder), QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        return s;
    const QString fast = ini.value(fastKey).toString();
    s.fast = fast == u"true"_s || fast == u"1"_s;
    bool ok = false;
    const int parallel = ini.value(parallelKey).toString().toInt(&ok);
    if (ok && parallel >= 1 && parallel <= maxParallel())
        s.parallel = parallel;
    return s;
}

bool RunSettings::save(const QString& programFolder) const
{
    // The file holds only these settings and is written whole: a damaged one would keep QSettings from
    // writing at all.
    QFile::remove(fileName(programFolder));
    QSettings ini(fileName(programFolder), QSettings::IniFormat);
    ini.setValue(fastKey, fast);
    ini.setValue(parallelKey, parallel);
    ini.sync();
    return ini.status() == QSettings::NoError;
}
