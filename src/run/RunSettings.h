#pragma once

#include <QString>

// The run's pace, kept in lomvato.ini in the program folder (beside, never inside, the template files and the
// log). A missing or damaged file, or a value out of range, reads as the defaults: the unhurried pace, one
// job at a time.
struct RunSettings {
    bool fast = false; // notice a job's end when it happens and start the next at once
    int parallel = 1;  // jobs at a time at the fast pace

    static QString fileName(const QString& programFolder);
    // The most jobs at a time: twice the processor cores.
    static int maxParallel();
    static RunSettings load(const QString& programFolder);
    // Written as soon as a setting changes; false when the file could not be written.
    bool save(const QString& programFolder) const;
};
