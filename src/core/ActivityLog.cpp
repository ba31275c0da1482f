#include "ActivityLog.h"

#include <algorithm>

using namespace Qt::StringLiterals;

QString ActivityLog::stamp(const QDateTime& when)
{
    return when.toString(u"MM/yy/dd hh:mm:ss"_s);
}

QString ActivityLog::separator()
{
    return QString(60, u'*') + u"\r\n\r\n"_s;
}

QString ActivityLog::timed(const QDateTime& when, const QString& message, int lineBreaks)
{
    QString entry = stamp(when) + u'\t' + message;
    for (int i = 0; i < lineBreaks; ++i)
        entry += u"\r\n"_s;
    return entry;
}

void ActivityLog::prepend(const QString& piece)
{
    if (piece.isEmpty())
        return;
    m_pieces.push_back(piece);
    m_length += piece.size();
    emit prepended(piece);
}

void ActivityLog::setText(const QString& text)
{
    m_pieces.clear();
    if (!text.isEmpty())
        m_pieces.push_back(text);
    m_length = text.size();
    emit reset();
}

QString ActivityLog::text() const
{
    QString result;
    result.reserve(m_length);
    std::for_each(m_pieces.crbegin(), m_pieces.crend(), [&result](const QString& piece) { result += piece; });
    return result;
}
