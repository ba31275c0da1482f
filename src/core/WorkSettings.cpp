#include "WorkSettings.h"

using namespace Qt::StringLiterals;

WorkSettings::WorkSettings(QObject* parent) : QObject(parent)
{
    loadFactoryDefaults();
}

void WorkSettings::loadFactoryDefaults()
{
    check1 = 1;
    check2 = 1;
    option2 = OptionGroup{0};
    option2Enabled = true;
    check3 = 0;
    label6 = u"32"_s;
    slider1 = 32;
    notifyChanged();
}

double WorkSettings::logLimit() const
{
    return leadingNumber(label6);
}

double leadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    bool point = false;
    while (i < text.size() &&
           ((text[i].isDigit() && text[i].unicode() < 128) || (!point && text[i] == QLatin1Char('.')))) {
        if (text[i] == QLatin1Char('.'))
            point = true;
        ++i;
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0.0;
}
