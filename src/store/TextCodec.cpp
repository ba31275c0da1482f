#include "TextCodec.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace
{
const char codePage932[] = "windows-31j";
const QByteArray utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");
} // namespace

QByteArray TextCodec::encode(const QString& text)
{
    QStringEncoder encoder(codePage932);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;
    return utf8Bom + text.toUtf8();
}

QString TextCodec::decode(const QByteArray& bytes)
{
    if (bytes.startsWith(utf8Bom))
        return QString::fromUtf8(bytes.constData() + utf8Bom.size(), bytes.size() - utf8Bom.size());
    QStringDecoder decoder(codePage932);
    return decoder.decode(bytes);
}

QStringList TextCodec::splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) {
            lines.append(text.mid(start));
            break;
        }
        qsizetype contentEnd = end;
        if (contentEnd > start && text[contentEnd - 1] == u'\r')
            --contentEnd;
        lines.append(text.mid(start, contentEnd - start));
        start = end + 1;
    }
    return lines;
}

bool TextCodec::readFile(const QString& path, QString* text, StoreError* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = {StoreError::CannotOpen,
                      u"ファイルを開けません: "_s + path + u" ("_s + file.errorString() + u')'};
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = {StoreError::CannotOpen,
                      u"ファイルを読めません: "_s + path + u" ("_s + file.errorString() + u')'};
        return false;
    }
    *text = decode(bytes);
    return true;
}

bool TextCodec::writeFile(const QString& path, const QString& text, StoreError* error)
{
    return writeFile(path, QList<QStringView>{text}, error);
}

namespace
{
// Encodes the pieces a block at a time straight into the file. False when a character does not fit the
// encoding (`fits`) or the file fails.
bool writeEncoded(QSaveFile& file, QStringEncoder& encoder, const QList<QStringView>& pieces, bool* fits)
{
    constexpr qsizetype block = qsizetype{64} * 1024; // characters
    for (QStringView piece : pieces) {
        for (qsizetype start = 0; start < piece.size();) {
            qsizetype end = std::min(start + block, piece.size());
            // A block never ends between the two halves of a surrogate pair.
            if (end < piece.size() && piece[end - 1].isHighSurrogate())
                --end;
            const QByteArray bytes = encoder.encode(piece.mid(start, end - start));
            if (encoder.hasError()) {
                *fits = false;
                return false;
            }
            if (file.write(bytes) != bytes.size())
                return false;
            start = end;
        }
    }
    return true;
}

bool writeWith(const QString& path, const char* encoding, const QByteArray& mark,
               const QList<QStringView>& pieces, bool* fits, StoreError* error)
{
    QSaveFile file(path);
    QStringEncoder encoder(encoding);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(mark) == mark.size() &&
                    writeEncoded(file, encoder, pieces, fits) && file.commit();
    if (!ok) {
        if (error && *fits)
            *error = {StoreError::CannotWrite, file.errorString()};
        file.cancelWriting();
    }
    return ok;
}
} // namespace

bool TextCodec::writeFile(const QString& path, const QList<QStringView>& pieces, StoreError* error)
{
    bool fits = true;
    if (writeWith(path, codePage932, QByteArray(), pieces, &fits, error))
        return true;
    if (fits)
        return false;
    return writeWith(path, "UTF-8", utf8Bom, pieces, &fits, error);
}
