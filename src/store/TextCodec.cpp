#include "TextCodec.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

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
    QSaveFile file(path);
    const QByteArray bytes = encode(text);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok) {
        if (error)
            *error = {StoreError::CannotWrite, file.errorString()};
        file.cancelWriting();
        return false;
    }
    return true;
}
