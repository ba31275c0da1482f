#include "WorkSettings.h"

#include <cmath>

using namespace Qt::StringLiterals;

WorkSettings::WorkSettings(QObject* parent) : QObject(parent)
{
    loadFactoryDefaults();
}

void WorkSettings::loadFactoryDefaults()
{
    alwaysAppend = 1;
    afterWork = 1;
    afterWorkAction = OptionGroup{PowerOff};
    launchMinimised = false;
    logLimitText = u"32"_s;
    notifyChanged();
}

double WorkSettings::logLimitKb() const
{
    return leadingNumber(logLimitText);
}

int WorkSettings::roundedLogLimitKb() const
{
    return static_cast<int>(roundHalfEven(logLimitKb()));
}

double roundHalfEven(double value)
{
    const double down = std::floor(value);
    const double fraction = value - down;
    if (fraction > 0.5)
        return down + 1.0;
    if (fraction < 0.5)
        return down;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
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
