#include "WorkSettings.h"

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
