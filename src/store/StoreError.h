#pragma once

#include <QDir>
#include <QString>

// Why a template or log file could not be read or written. Readers and writers report it instead of
// throwing; the window shows it as "number : description".
struct StoreError {
    // Our own numbering; the description says what and where.
    enum Number : int {
        None = 0,
        CannotOpen = 1,
        NotANumber = 2,
        OutOfRange = 3,
        TooManyElements = 4,
        MissingSeparator = 5,
        LogLimitOutOfRange = 6,
        CannotWrite = 7,
        NoSection = 8,
    };

    int number = None;
    QString description;

    bool isError() const { return number != None; }
    // "number : description", the first line of every message that reports a file error.
    QString text() const { return QString::number(number) + QStringLiteral(" : ") + description; }
    // The message of a save that failed: this error, then the file.
    QString notSaved(const QString& path) const
    {
        return text() + QStringLiteral("\r\n") + QDir::toNativeSeparators(path) +
               QStringLiteral("を保存できませんでした");
    }
};
