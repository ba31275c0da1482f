#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString executableFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString programFolder()
{
    QString exe = executableFolder();
    if (QFileInfo(exe).isWritable())
        return exe;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(data);
    return QDir::toNativeSeparators(data);
}

QString joinPath(const QString& folder, const QString& name)
{
    if (folder.endsWith(QDir::separator()))
        return folder + name;
    return folder + QDir::separator() + name;
}
