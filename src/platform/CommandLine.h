#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// A command line split as Windows splits one: blanks separate words, double quotes group blanks into a word
// and are removed, three quotes in a row stand for one quote character. No shell is involved: ";", "$()", "|"
// and back quotes are plain text. The words are those of QProcess::splitCommand; each also keeps the span of
// the line it was read from, so that words can be joined again with their original blanks.
class CommandLine
{
public:
    struct Word {
        QString text;    // the word with its quotes removed
        qsizetype begin; // its first character in the line, an opening quote included
        qsizetype end;   // one past its last character
    };

    explicit CommandLine(const QString& line);

    const QList<Word>& words() const { return m_words; }
    QStringList texts() const;

    // Finds the program and its arguments. When the first word names no existing file and the line has more
    // words, the first two, three, ... words joined with the blanks between them are tried in turn, so that
    // an unquoted path that holds blanks still names its program; the first that exists is the program.
    // Where none exists the first word stays the program. False for a line without words.
    bool resolve(const std::function<bool(const QString&)>& fileExists, QString& program,
                 QStringList& arguments) const;

private:
    QString m_line;
    QList<Word> m_words;
};
