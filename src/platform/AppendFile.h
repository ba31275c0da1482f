#pragma once

#include <QByteArrayView>
#include <QString>

// A file that only grows, for a journal: each append goes to the kernel at once, in one write(2) unless a
// signal or the disk cuts it short, so that the end of the program, even by SIGKILL, loses nothing appended.
// sync() puts what was appended on the disk, where a power cut cannot take it (a file not open has nothing
// to put there).
class AppendFile
{
public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens `path` for appending, creating it when it is missing.
    bool open(const QString& path);
    bool isOpen() const { return m_fd >= 0; }
    bool append(QByteArrayView bytes);
    bool sync();
    void close();
    // The system's reason for the last failure.
    QString errorString() const { return m_why; }

    // Puts the entries of `folder` (the names of the files made in it) on the disk.
    static bool syncFolder(const QString& folder, QString* why);

private:
    bool failed();

    int m_fd = -1;
    QString m_why;
};
