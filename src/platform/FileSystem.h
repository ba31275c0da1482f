#pragma once

#include <QString>

// File system queries the logic needs. Paths are native.
class FileSystem
{
public:
    // Attribute bits as the file list's intake rule knows them.
    enum Attribute : int { ReadOnly = 1, Hidden = 2, System = 4, Directory = 16, Archive = 32 };

    virtual ~FileSystem() = default;
    // True for an existing regular file (also through a symbolic link), false for a folder.
    virtual bool fileExists(const QString& path) const = 0;
    // The attribute value of a path, or -1 when it cannot be read (the path vanished).
    virtual int attributes(const QString& path) const = 0;
};

class RealFileSystem final : public FileSystem
{
public:
    bool fileExists(const QString& path) const override;
    int attributes(const QString& path) const override;
};
