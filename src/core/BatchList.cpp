#include "BatchList.h"

using namespace Qt::StringLiterals;

// The first caption is the half-width katakana ki with an ASCII hyphen-minus, unlike the "ｷｰ" of the
// other lists.
BatchList::BatchList(QObject* parent)
    : TextRowList({u"ｷ-"_s, u"ｱﾌﾟﾘ"_s, u"ﾊﾟﾗﾒﾀ"_s, u"ﾊﾟｽ"_s}, factoryWidths(), parent)
{
}

QList<float> BatchList::factoryWidths()
{
    return {659.9055f, 1214.92f, 1440.0f, 1440.0f};
}
