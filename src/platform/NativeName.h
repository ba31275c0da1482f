#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

class QUrl;

// A Linux file name is a string of bytes, most often UTF-8 but not always (a Latin-1 or Shift-JIS name
// copied from an old disk). The program holds names as text; a byte that is not part of valid UTF-8 is kept
// as the lone surrogate U+DC00 + byte, so that every name survives the way to text and back unchanged and no
// two different names ever read as the same text. Valid UTF-8 never decodes to such a surrogate.
namespace NativeName
{
QString decode(QByteArrayView bytes);
QByteArray encode(QStringView name);
// The local path of a file URL with the bytes of its percent-encoding kept; empty for any other URL.
QString fromUrl(const QUrl& url);
} // namespace NativeName
