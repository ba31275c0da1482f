#include "CommandLine.h"

using namespace Qt::StringLiterals;

CommandLine::CommandLine(const QString& line) : m_line(line)
{
    QString word;
    qsizetype begin = -1;
    int quotes = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (begin < 0 && !isSeparator(c))
            begin = i;
        if (c == u'"') {
            if (++quotes == 3) {
                quotes = 0;
                word += c;
            }
            continue;
        }
        if (quotes == 1)
            quoted = !quoted;
        quotes = 0;
        if (!quoted && isSeparator(c)) {
            // A word has begun at its first character, so that quotes alone make an empty word.
            if (begin >= 0)
                m_words.append({word, begin, i});
            word.clear();
            begin = -1;
        } else {
            word += c;
        }
    }
    if (begin >= 0)
        m_words.append({word, begin, line.size()});
}

QString CommandLine::escapeQuotes(const QString& value)
{
    if (!value.contains(u'"'))
        return value;
    QString escaped;
    escaped.reserve(value.size() + 8);
    for (const QChar c : value) {
        escaped += c;
        if (c == u'"')
            escaped += u"\"\""_s;
    }
    return escaped;
}

QStringList CommandLine::texts() const
{
    QStringList result;
    result.reserve(m_words.size());
    for (const Word& w : m_words)
        result.append(w.text);
    return result;
}

bool CommandLine::resolve(const QStringList& known, const std::function<bool(const QString&)>& fileExists,
                          QString& program, QStringList& arguments) const
{
    if (m_words.isEmpty())
        return false;
    // The end of the known program's text in the line; a tripled quote inside it never opens a span, so the
    // words behind it are read as they are in the whole line.
    const qsizetype lineStart = m_words[0].begin;
    qsizetype programEnd = -1;
    for (const QString& path : known) {
        const QString written = escapeQuotes(path);
        const qsizetype end = lineStart + written.size();
        if (written.isEmpty() || end <= programEnd ||
            !QStringView(m_line).sliced(lineStart).startsWith(written))
            continue;
        if (m_line.size() == end || isSeparator(m_line[end])) {
            program = path;
            programEnd = end;
        }
    }
    qsizetype used = 0;
    if (programEnd >= 0) {
        while (used < m_words.size() && m_words[used].begin < programEnd)
            ++used;
    } else {
        program = m_words[0].text;
        used = 1;
        if (m_words.size() > 1 && !fileExists(program)) {
            QString joined = program;
            for (qsizetype n = 1; n < m_words.size(); ++n) {
                joined +=
                    QStringView(m_line).sliced(m_words[n - 1].end, m_words[n].begin - m_words[n - 1].end);
                joined += m_words[n].text;
                if (fileExists(joined)) {
                    program = joined;
                    used = n + 1;
                    break;
                }
            }
        }
    }
    arguments.clear();
    for (qsizetype n = used; n < m_words.size(); ++n)
        arguments.append(m_words[n].text);
    return true;
}
