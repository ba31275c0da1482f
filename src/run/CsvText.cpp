#include "CsvText.h"

#include "CapturedStream.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace
{
// A byte of a name that is not UTF-8, as NativeName keeps it; a low surrogate after a high one is half of
// a character.
bool isNameByte(const QString& text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    return c >= 0xDC80 && c <= 0xDCFF && (i == 0 || !text[i - 1].isHighSurrogate());
}

// The text with its name bytes written as \xHH; unchanged when it has none and holds no such escape itself.
QString withBytesShown(const QString& text)
{
    static const QRegularExpression escapeLike(uR"(\\x[0-9A-Fa-f]{2})"_s);
    bool bytes = false;
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isNameByte(text, i)) {
            bytes = true;
            shown += CapturedStream::escapedByte(static_cast<unsigned char>(text[i].unicode() & 0xFF));
        } else if (text[i] == u'\\') {
            shown += u"\\\\"_s;
        } else {
            shown += text[i];
        }
    }
    return bytes || text.contains(escapeLike) ? shown : text;
}
} // namespace

QString CsvText::cell(const QString& text)
{
    QString cell = withBytesShown(text);
    if (!cell.isEmpty() && u"=+-@\t\r"_s.contains(cell.front()))
        cell.prepend(u'\'');
    if (cell.contains(u'"') || cell.contains(u',') || cell.contains(u'\n') || cell.contains(u'\r'))
        cell = u'"' + cell.replace(u"\""_s, u"\"\""_s) + u'"';
    return cell;
}

QString CsvText::line(const QStringList& cells)
{
    QStringList written;
    written.reserve(cells.size());
    for (const QString& c : cells)
        written << cell(c);
    return written.join(u',') + u"\r\n"_s;
}
