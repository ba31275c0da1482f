#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <vector>

// The activity log, newest entry first. Entries are kept in the order they were written, so that putting one
// on top costs the same however long the log has grown; the whole text is built only when it is asked for.
class ActivityLog : public QObject
{
    Q_OBJECT
public:
    explicit ActivityLog(QObject* parent = nullptr) : QObject(parent) {}

    // "mm/yy/dd hh:nn:ss": month, two-digit year, day, then the 24-hour time.
    static QString stamp(const QDateTime& when);
    // Sixty "*" and two line breaks.
    static QString separator();
    // The stamp, a tab, the message and `lineBreaks` CR LF.
    static QString timed(const QDateTime& when, const QString& message, int lineBreaks = 2);

    // Puts a piece of text on top of the log.
    void prepend(const QString& piece);
    void prependSeparator() { prepend(separator()); }
    // Replaces the whole log.
    void setText(const QString& text);
    void clear() { setText(QString()); }
    QString text() const;
    qsizetype length() const { return m_length; }
    bool isEmpty() const { return m_length == 0; }

signals:
    void prepended(const QString& piece);
    void reset();

private:
    std::vector<QString> m_pieces; // oldest first
    qsizetype m_length = 0;
};
