#include "CommandLine.h"

CommandLine::CommandLine(const QString& line) : m_line(line)
{
    QString word;
    qsizetype begin = -1;
    int quotes = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (begin < 0 && (c == u'"' || !c.isSpace()))
            begin = i;
        if (c == u'"') {
            // The third quote of a run is a literal quote.
            if (++quotes == 3) {
                quotes = 0;
                word += c;
            }
            continue;
        }
        if (quotes == 1)
            quoted = !quoted;
        quotes = 0;
        if (!quoted && c.isSpace()) {
            // A pair of quotes alone ("") makes no word.
            if (!word.isEmpty())
                m_words.append({word, begin, i});
            word.clear();
            begin = -1;
        } else {
            word += c;
        }
    }
    if (!word.isEmpty())
        m_words.append({word, begin, line.size()});
}

QStringList CommandLine::texts() const
{
    QStringList result;
    result.reserve(m_words.size());
    for (const Word& w : m_words)
        result.append(w.text);
    return result;
}

bool CommandLine::resolve(const std::function<bool(const QString&)>& fileExists, QString& program,
                          QStringList& arguments) const
{
    if (m_words.isEmpty())
        return false;
    program = m_words[0].text;
    qsizetype used = 1;
    if (m_words.size() > 1 && !fileExists(program)) {
        QString joined = program;
        for (qsizetype n = 1; n < m_words.size(); ++n) {
            joined += QStringView(m_line).sliced(m_words[n - 1].end, m_words[n].begin - m_words[n - 1].end);
            joined += m_words[n].text;
            if (fileExists(joined)) {
                program = joined;
                used = n + 1;
                break;
            }
        }
    }
    arguments.clear();
    for (qsizetype n = used; n < m_words.size(); ++n)
        arguments.append(m_words[n].text);
    return true;
}
