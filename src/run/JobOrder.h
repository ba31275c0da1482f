#pragma once

#include <QtGlobal>

// The order of the jobs of a run: every file row goes to every batch entry, entry by entry (batch entry
// outer, file row inner). Entries and rows are 0-based and counted as the lists stand at the moment of
// asking, since the lists stay editable during a run.
struct JobPosition {
    int entry = 0;
    int row = 0;
    friend bool operator==(const JobPosition&, const JobPosition&) = default;
};

namespace JobOrder
{
// The number of jobs.
inline qint64 count(int entries, int rows)
{
    return qint64(entries) * rows;
}
// The 0-based number of the job at `position`, and the position of job `number`.
inline qint64 numberOf(JobPosition position, int rows)
{
    return qint64(position.entry) * rows + position.row;
}
inline JobPosition at(qint64 number, int rows)
{
    return {int(number / rows), int(number % rows)};
}
inline bool exists(JobPosition position, int entries, int rows)
{
    return position.entry >= 0 && position.entry < entries && position.row >= 0 && position.row < rows;
}
// Moves `position` to the job after it; false when none is left. A list that has shrunk below the position
// ends the run instead of letting it walk past the end.
inline bool next(JobPosition& position, int entries, int rows)
{
    if (position.row + 1 < rows)
        ++position.row;
    else if (position.entry + 1 < entries && rows > 0)
        position = {position.entry + 1, 0};
    else
        return false;
    return exists(position, entries, rows);
}
} // namespace JobOrder
