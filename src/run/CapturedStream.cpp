#include "CapturedStream.h"

#include <QDataStream>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

void CapturedStream::append(QByteArrayView bytes)
{
    m_total += bytes.size();
    const qsizetype toHead = std::min(limit - m_head.size(), bytes.size());
    m_head.append(bytes.first(toHead));
    bytes = bytes.sliced(toHead);
    if (bytes.isEmpty())
        return;
    if (bytes.size() >= limit) {
        m_tail = bytes.last(limit).toByteArray();
        return;
    }
    m_tail.append(bytes);
    if (m_tail.size() > 2 * limit)
        m_tail = m_tail.right(limit);
}

QByteArray CapturedStream::tail() const
{
    QByteArray bytes = m_tail.right(limit);
    // A tail cut out of a longer stream begins with a whole character: the bytes of one cut in two go.
    if (m_total > m_head.size() + bytes.size()) {
        qsizetype cut = 0;
        while (cut < 3 && cut < bytes.size() && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
            ++cut;
        bytes.remove(0, cut);
    }
    return bytes;
}

QDataStream& operator<<(QDataStream& out, const CapturedStream& stream)
{
    // The tail as kept, before tail() cuts it at a character, which a second cut must not shorten again.
    return out << stream.m_total << stream.m_head << stream.m_tail.right(CapturedStream::limit);
}

QDataStream& operator>>(QDataStream& in, CapturedStream& stream)
{
    CapturedStream read;
    in >> read.m_total >> read.m_head >> read.m_tail;
    if (read.m_head.size() > CapturedStream::limit || read.m_tail.size() > CapturedStream::limit ||
        read.m_total < read.m_head.size() + read.m_tail.size() ||
        (read.m_head.size() < CapturedStream::limit && !read.m_tail.isEmpty()))
        in.setStatus(QDataStream::ReadCorruptData);
    if (in.status() == QDataStream::Ok)
        stream = read;
    return in;
}

namespace
{
// The length of the UTF-8 sequence that begins `bytes`: 0 when it is not a valid one, -1 when it is the
// valid beginning of one cut off by the end.
qsizetype utf8Length(QByteArrayView bytes)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    const qsizetype length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : (lead & 0xF0) == 0xE0        ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
    // The second byte's range also keeps out overlong forms, surrogates and code points past U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    for (qsizetype i = 1; i < length; ++i) {
        if (i >= bytes.size())
            return -1;
        if (byte(i) < (i == 1 ? low : 0x80) || byte(i) > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

bool isUtf8(QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qsizetype length = utf8Length(bytes);
        if (length < 0)
            return true; // a character cut in two by the end of what was kept
        if (length == 0)
            return false;
        bytes = bytes.sliced(length);
    }
    return true;
}
} // namespace

QString CapturedStream::display(const QByteArray& bytes)
{
    if (isUtf8(bytes))
        return QString::fromUtf8(bytes);
    QStringDecoder codePage932("windows-31j");
    // Some decoders put in a replacement character without reporting an error.
    if (QString text = codePage932.decode(bytes);
        !codePage932.hasError() && !text.contains(QChar::ReplacementCharacter))
        return text;
    // Neither: what is UTF-8 stays readable, every other byte is escaped.
    QString text;
    QByteArrayView rest(bytes);
    while (!rest.isEmpty()) {
        const qsizetype length = utf8Length(rest);
        if (length > 0)
            text += QString::fromUtf8(rest.first(length));
        else
            text += escapedByte(static_cast<unsigned char>(rest.front()));
        rest = rest.sliced(std::max<qsizetype>(length, 1));
    }
    return text;
}

QString CapturedStream::escapedByte(unsigned char byte)
{
    return u"\\x"_s + QString::number(byte, 16).toUpper().rightJustified(2, u'0');
}
