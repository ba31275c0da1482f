#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// A command line split into words by Lomvato's own rule, without a shell. Only the blank, the tab and the
// line breaks (CR, LF) separate words; every other character, the ideographic space U+3000 and the no-break
// spaces included, is part of a word. Double quotes group separators into a word and are removed. Within a
// run of quotes, each three in a row stand for one quote character, and a single one left over opens or
// closes a quoted span, so `"""` is a literal quote inside and outside quotes. Quotes alone make a word: `""`
// is one empty word, while `a""b` reads `ab`. No shell is involved: ";", "$()", "|" and back quotes are plain
// text. Each word also keeps the span of the line it was read from, so that words can be joined again with
// their original blanks.
class CommandLine
{
public:
    struct Word {
        QString text;    // the word with its quotes removed
        qsizetype begin; // its first character in the line, an opening quote included
        qsizetype end;   // one past its last character
    };

    explicit CommandLine(const QString& line);

    // The value written so that it reads back as exactly itself, whatever it holds: every quote tripled.
    // Tripled quotes neither open nor close a span, so inside a quoted span the value stays one piece of one
    // word, and outside one it splits at its separators only.
    static QString escapeQuotes(const QString& value);

    static bool isSeparator(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

    const QList<Word>& words() const { return m_words; }
    QStringList texts() const;

    // Finds the program and its arguments. A line that begins (after any separators) with one of the `known`
    // program paths, written as escapeQuotes writes it and followed by a separator or the end, names that
    // program whole, the longest such path first, whatever exists at a shorter prefix. Otherwise, when the
    // first word names no existing file and the line has more words, the first two, three, ... words joined
    // with the blanks between them are tried in turn, so that an unquoted path that holds blanks still names
    // its program; the first that exists is the program. Where none exists the first word stays the program.
    // False for a line without words.
    bool resolve(const QStringList& known, const std::function<bool(const QString&)>& fileExists,
                 QString& program, QStringList& arguments) const;

private:
    QString m_line;
    QList<Word> m_words;
};
