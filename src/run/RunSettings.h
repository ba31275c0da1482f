#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The run's pace and how many runs the journal keeps, in lomvato.ini in the program folder (beside, never
// inside, the template files and the log), as Qt's INI text: group [Run], keys NoticeEndAtOnce (true or
// false), JobsAtATime and KeptRuns. A missing or damaged file, or a value out of range, reads as the
// defaults: the unhurried pace, one job at a time, 20 runs kept.
struct RunSettings {
    static constexpr int mostKeptRuns = 1000;

    bool fast = false; // notice a job's end when it happens and start the next at once
    int parallel = 1;  // jobs at a time at the fast pace
    int keptRuns = 20; // runs whose journal is kept, the newest

    static QString fileName(const QString& programFolder);
    // The most jobs at a time: twice the processor cores.
    static int maxParallel();
    // Only a regular file of at most a few KiB is read, without waiting: anything else (a FIFO, a folder, a
    // device, a huge or unreadable file) gives the defaults, and `problem` then says why. A missing file
    // gives the defaults without a word.
    static RunSettings load(const QString& programFolder, QString* problem = nullptr);
    static RunSettings parse(QByteArrayView text);
    QByteArray text() const;
    // Written whole through the checked writer as soon as a setting changes; on failure the old file stays
    // and `why` says the system's reason.
    bool save(const QString& programFolder, QString* why = nullptr) const;
};
