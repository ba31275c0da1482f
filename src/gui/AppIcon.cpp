#include "AppIcon.h"

#include <QImageReader>

using namespace Qt::StringLiterals;

QIcon applicationIcon()
{
    if (QImageReader::supportedImageFormats().contains("svg"))
        return QIcon(u":/lomvato.svg"_s);
    return QIcon(u":/lomvato-64.png"_s);
}
