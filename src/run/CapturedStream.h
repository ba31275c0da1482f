#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QDataStream;

// What a job wrote to one of its streams, bounded: the first and the last `limit` bytes, and the number of
// bytes left out between them. A job that writes gigabytes costs at most a few times the limit.
class CapturedStream
{
public:
    static constexpr qsizetype limit = qsizetype{64} * 1024;

    void append(QByteArrayView bytes);
    bool isEmpty() const { return m_total == 0; }
    qint64 total() const { return m_total; }
    QByteArray head() const { return m_head; }
    QByteArray tail() const;
    qint64 omitted() const { return m_total - m_head.size() - tail().size(); }

    // Bytes as text: UTF-8 where they are UTF-8, else code page 932 where they are that; any other byte is
    // shown as \xNN, so that nothing unreadable is passed off as a character.
    static QString display(const QByteArray& bytes);
    // One byte that is no character, as every text of Lomvato shows it: \xE9.
    static QString escapedByte(unsigned char byte);

    // The bytes kept and the count, to be restored exactly; a stream that cannot be one marks the data
    // stream corrupt.
    friend QDataStream& operator<<(QDataStream& out, const CapturedStream& stream);
    friend QDataStream& operator>>(QDataStream& in, CapturedStream& stream);
    friend bool operator==(const CapturedStream& a, const CapturedStream& b)
    {
        return a.m_total == b.m_total && a.m_head == b.m_head && a.tail() == b.tail();
    }

private:
    QByteArray m_head;
    QByteArray m_tail; // grows to twice the limit before it is cut back, so that cutting is rare
    qint64 m_total = 0;
};
