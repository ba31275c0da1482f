#pragma once

#include <QChar>
#include <QString>

// The three columns intake derives from a dropped path: <c2> name, <c3> extension, <c4> parent.
struct PathParts {
    QString name;      // the file name without its last extension
    QString extension; // the last extension, without the dot; empty when the name has no dot
    QString parent;    // everything before the last separator; empty when there is none

    bool operator==(const PathParts&) const = default;
};

// Splits a path at its last separator and its name at the last ".". The separator is a parameter so that the
// same rule serves "\" paths and "/" paths. A name whose only dot is its first character (".profile") has an
// empty name and the rest as its extension; a trailing dot gives an empty extension.
PathParts splitPath(const QString& path, QChar separator);
