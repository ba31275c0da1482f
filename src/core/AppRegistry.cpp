#include "AppRegistry.h"

using namespace Qt::StringLiterals;

AppRegistry::AppRegistry(QObject* parent)
    : TextRowList({u"ｷｰ"_s, u"ｱﾌﾟﾘ"_s, u"ﾊﾟｽ"_s, u"サンプル"_s}, factoryWidths(), parent)
{
}

QString AppRegistry::keyFor(int number)
{
    return u"<App"_s + QString::number(number) + u'>';
}

QList<float> AppRegistry::factoryWidths()
{
    return {659.9055f, 1440.0f, 1440.0f, 1440.0f};
}

void AppRegistry::renumber()
{
    for (int r = 0; r < count(); ++r) {
        const QString k = keyFor(r + 1);
        if (cell(r, Key) != k)
            setCell(r, Key, k);
    }
}
