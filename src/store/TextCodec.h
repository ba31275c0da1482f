#pragma once

#include "StoreError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The encoding of template and log files. A text goes out as code page 932, unless it holds a character that
// code page cannot hold (an emoji, Korean, ...): then the whole file is UTF-8 with a byte-order mark, so that
// nothing is lost. Readers take a file with that mark as UTF-8 and every other file as code page 932.
class TextCodec
{
public:
    static QByteArray encode(const QString& text);
    static QString decode(const QByteArray& bytes);

    // The lines of a text whose lines end with CR LF or LF. A last line without an end is a line; the end of
    // the last line starts no further line, so "A\r\nB\r\n" and "A\r\nB" both give A and B, and "" gives
    // none.
    static QStringList splitLines(const QString& text);

    // Reads a regular file and decodes it; anything else (a FIFO, a device, a folder) is an error. With
    // `maxCharacters` only the bytes that can hold the first maxCharacters characters are read, and the text
    // may hold up to two more; without it a file of more than 256 MiB is an error.
    static bool readFile(const QString& path, QString* text, StoreError* error, qsizetype maxCharacters = 0);
    // The bytes of a regular file of at most 256 MiB, as they are.
    static bool readBytes(const QString& path, QByteArray* bytes, StoreError* error);
    // Encodes and writes a whole file atomically: every write, the flush and the sync to the disk are checked
    // before the new file replaces the old one; on any failure the file on disk stays as it was.
    static bool writeFile(const QString& path, const QString& text, StoreError* error);
    // The same for a text given in pieces, written one after the other without joining them first.
    static bool writeFile(const QString& path, const QList<QStringView>& pieces, StoreError* error);
    // The same for bytes written as they are.
    static bool writeBytes(const QString& path, const QByteArray& bytes, StoreError* error);
};
