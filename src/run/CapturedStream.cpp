#include "CapturedStream.h"

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

namespace
{
QString decoded(const QByteArray& bytes, QStringDecoder decoder)
{
    QString text = decoder.decode(bytes);
    return decoder.hasError() ? QString() : text;
}

// The length of the UTF-8 sequence that begins `bytes`, or 0 when it does not begin with a valid one.
qsizetype utf8Length(QByteArrayView bytes)
{
    const auto lead = static_cast<unsigned char>(bytes.front());
    const qsizetype length = lead < 0x80             ? 1
                             : (lead & 0xE0) == 0xC0 ? 2
                             : (lead & 0xF0) == 0xE0 ? 3
                             : (lead & 0xF8) == 0xF0 ? 4
                                                     : 0;
    if (length == 0 || length > bytes.size())
        return 0;
    QStringDecoder decoder(QStringDecoder::Utf8);
    (void)decoder.decode(bytes.first(length));
    return decoder.hasError() ? 0 : length;
}
} // namespace

QString CapturedStream::display(const QByteArray& bytes)
{
    if (QString text = decoded(bytes, QStringDecoder(QStringDecoder::Utf8));
        !text.isNull() || bytes.isEmpty())
        return text;
    if (QString text = decoded(bytes, QStringDecoder("windows-31j")); !text.isNull())
        return text;
    // Neither: what is UTF-8 stays readable, every other byte is escaped.
    QString text;
    QByteArrayView rest(bytes);
    while (!rest.isEmpty()) {
        const qsizetype length = utf8Length(rest);
        if (length > 0)
            text += QString::fromUtf8(rest.first(length));
        else
            text += u"\\x"_s + QString::number(static_cast<unsigned char>(rest.front()), 16)
                                   .toUpper()
                                   .rightJustified(2, u'0');
        rest = rest.sliced(std::max<qsizetype>(length, 1));
    }
    return text;
}
