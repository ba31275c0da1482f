#include "LogFile.h"

#include "TextCodec.h"
#include "core/ActivityLog.h"
#include "core/WorkSettings.h"

#include <algorithm>

using namespace Qt::StringLiterals;

LogFile::LogFile(ActivityLog& log, WorkSettings& settings) : m_log(log), m_settings(settings) {}

qsizetype LogFile::maxLength() const
{
    const double characters = roundHalfEven(m_settings.logLimitKb() * 1024.0);
    // The limit's text is at most "32" after any template load; a strange caption never makes the limit
    // negative.
    return static_cast<qsizetype>(std::clamp(characters, 0.0, 1.0e15));
}

QString LogFile::loadedText(const QString& fileText, qsizetype maxLength)
{
    const QStringList lines = TextCodec::splitLines(fileText);
    QString text;
    qsizetype size = 0;
    for (const QString& l : lines)
        size += 2 + l.size();
    text.reserve(maxLength > 0 ? std::min(size, maxLength) : size);
    for (const QString& l : lines) {
        if (maxLength > 0 && text.size() >= maxLength)
            break;
        text += u"\r\n"_s;
        text += l;
    }
    if (maxLength > 0 && text.size() > maxLength) {
        qsizetype cut = maxLength;
        if (text[cut - 1].isHighSurrogate() && text[cut].isLowSurrogate())
            --cut;
        text.truncate(cut);
    }
    return text;
}

bool LogFile::loadLog(const QString& path)
{
    // The newest entries are at the start: only as much of the file is read as the limit can keep, so that a
    // log of any size loads in the same time.
    const qsizetype limit = maxLength();
    QString fileText;
    if (!TextCodec::readFile(path, &fileText, nullptr, limit))
        return false;
    m_log.setText(loadedText(fileText, limit));
    return true;
}

bool LogFile::storeLog(const QString& path, StoreError* error)
{
    const QString text = m_log.text();
    return TextCodec::writeFile(path, {text, u"\r\n"}, error);
}

void LogFile::setLimit(int kilobytes)
{
    m_settings.logLimitText = QString::number(kilobytes);
    m_settings.notifyChanged();
}

void LogFile::clear()
{
    m_log.clear();
}
