#include "TextCodec.h"

#include "platform/RegularFile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace
{
const char codePage932[] = "windows-31j";
const QByteArray utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");
// A whole file read at once (a template) may be this large; a larger one is refused rather than read in part.
constexpr qint64 largestFile = qint64{256} * 1024 * 1024; // bytes
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

namespace
{
StoreError readError(const QString& path, const QString& why)
{
    return {StoreError::CannotOpen, u"ファイルを読めません: "_s + path + u" ("_s + why + u')'};
}

// Opens `path` for reading only when it is a regular file: a FIFO, a device or a folder is an error.
bool openRegular(QFile& file, const QString& path, StoreError* error)
{
    QString why;
    const RegularFile::Opened opened = RegularFile::openForReading(file, path, &why);
    if (opened == RegularFile::Opened::Yes)
        return true;
    if (opened == RegularFile::Opened::NotRegular)
        why = RegularFile::notRegularReason();
    if (error)
        *error = {StoreError::CannotOpen, u"ファイルを開けません: "_s + path + u" ("_s + why + u')'};
    return false;
}
} // namespace

namespace
{
// Reads up to `limit` bytes of a regular file. `cut` tells whether there was more.
bool readPrefix(const QString& path, qint64 limit, QByteArray* bytes, bool* cut, StoreError* error)
{
    QFile file;
    if (!openRegular(file, path, error))
        return false;
    *bytes = file.read(std::min(file.size(), limit) + 1);
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = readError(path, file.errorString());
        return false;
    }
    *cut = bytes->size() > limit;
    if (*cut)
        bytes->truncate(limit);
    return true;
}
} // namespace

bool TextCodec::readBytes(const QString& path, QByteArray* bytes, StoreError* error)
{
    bool cut = false;
    if (!readPrefix(path, largestFile, bytes, &cut, error))
        return false;
    if (cut && error)
        *error = readError(path, RegularFile::tooLargeReason());
    return !cut;
}

bool TextCodec::readFile(const QString& path, QString* text, StoreError* error, qsizetype maxCharacters)
{
    QByteArray bytes;
    if (maxCharacters == 0) {
        if (!readBytes(path, &bytes, error))
            return false;
    } else {
        // Enough bytes for maxCharacters characters and two more (a character cut at the end decodes as one
        // stray character): a UTF-16 unit takes at most three bytes of UTF-8 (a character of four bytes gives
        // two units) and at most two of code page 932; then the mark.
        const qint64 limit = 3 * (qint64{maxCharacters} + 2) + utf8Bom.size();
        bool cut = false;
        if (!readPrefix(path, limit, &bytes, &cut, error))
            return false;
    }
    *text = decode(bytes);
    // The decoder gives up on some inputs without a word; an empty text would then pass for an empty file.
    if (text->isEmpty() && !bytes.isEmpty() && bytes != utf8Bom) {
        if (error)
            *error = readError(path, u"文字コードを変換できません"_s);
        return false;
    }
    if (maxCharacters > 0)
        text->truncate(maxCharacters + 2);
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
bool writeEncoded(RegularFile::Replacement& file, QStringEncoder& encoder, const QList<QStringView>& pieces,
                  bool* fits)
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
            if (!file.write(bytes))
                return false;
            start = end;
        }
    }
    return true;
}

// Replaces `path` through the checked writer, with its failure as a store error.
bool replaceFile(const QString& path, const std::function<bool(RegularFile::Replacement&)>& fill,
                 StoreError* error)
{
    QString why;
    if (RegularFile::replace(path, fill, &why))
        return true;
    if (error)
        *error = {StoreError::CannotWrite, why};
    return false;
}

bool writeWith(const QString& path, const char* encoding, const QByteArray& mark,
               const QList<QStringView>& pieces, bool* fits, StoreError* error)
{
    QStringEncoder encoder(encoding);
    return replaceFile(
        path,
        [&](RegularFile::Replacement& file) {
            return file.write(mark) && writeEncoded(file, encoder, pieces, fits);
        },
        error);
}
} // namespace

bool TextCodec::writeBytes(const QString& path, const QByteArray& bytes, StoreError* error)
{
    return replaceFile(
        path, [&bytes](RegularFile::Replacement& file) { return file.write(bytes); }, error);
}

bool TextCodec::writeFile(const QString& path, const QList<QStringView>& pieces, StoreError* error)
{
    bool fits = true;
    if (writeWith(path, codePage932, QByteArray(), pieces, &fits, error))
        return true;
    if (fits)
        return false;
    if (error)
        *error = {};
    return writeWith(path, "UTF-8", utf8Bom, pieces, &fits, error);
}
