#include "TemplateWriter.h"

#include "TemplateData.h"
#include "TemplateKeys.h"
#include "core/WorkTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace
{
const QString crlf = u"\r\n"_s;

QString trueFalse(bool value)
{
    return value ? u"True"_s : u"False"_s;
}

// Every element followed by "|"; the "|" before the line end goes when the whole text is finished.
QString joined(const QStringList& elements)
{
    QString line;
    for (const QString& e : elements)
        line += TemplateWriter::oneLine(e) + u'|';
    return line;
}

QString widths(const QList<float>& twips)
{
    QStringList elements;
    for (float w : twips) {
        // The reader takes widths as 16-bit whole numbers; a wider column is stored as the widest it can
        // read back, rather than making the whole file unreadable.
        if (std::isnan(w))
            w = 0.0f;
        elements.append(TemplateWriter::formatWidth(std::clamp(w, -32768.0f, 32767.0f)));
    }
    return joined(elements);
}

QString options(const OptionGroup& group)
{
    return joined({trueFalse(group.isSelected(0)), trueFalse(group.isSelected(1))});
}
} // namespace

QString TemplateWriter::oneLine(const QString& value)
{
    if (!value.contains(u'\r') && !value.contains(u'\n'))
        return value;
    QString line = value;
    line.replace(u"\r\n"_s, u" "_s);
    line.replace(u'\r', u' ');
    line.replace(u'\n', u' ');
    return line;
}

QString TemplateWriter::formatWidth(float twips)
{
    const double value = twips;
    if (value == 0.0 || !std::isfinite(value))
        return u"0"_s;
    // "%.6e" rounds to 7 significant digits correctly, also where rounding adds a digit (9999999.5).
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6e", std::fabs(value));
    QString digits;
    digits += QLatin1Char(buffer[0]);
    digits += QLatin1StringView(buffer + 2, 6);
    const int exponent = std::atoi(buffer + 9);
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);

    QString text;
    if (exponent >= 0) {
        const int integerDigits = exponent + 1;
        if (digits.size() <= integerDigits)
            text = digits + QString(integerDigits - digits.size(), u'0');
        else
            text = digits.left(integerDigits) + u'.' + digits.mid(integerDigits);
    } else {
        text = u"0."_s + QString(-exponent - 1, u'0') + digits;
    }
    return value < 0 ? u'-' + text : text;
}

QString TemplateWriter::text(const TemplateData& d)
{
    QString t;
    const auto section = [&t](const QString& key) { t += key + crlf; };
    const auto line = [&t](const QString& value) { t += value + crlf; };

    section(TemplateKeys::alwaysAppend);
    line(joined({QString::number(d.alwaysAppend)}));
    section(TemplateKeys::afterWork);
    line(joined({QString::number(d.afterWork)}));
    section(TemplateKeys::filterMode);
    line(options(d.filterMode));
    section(TemplateKeys::afterWorkAction);
    line(options(d.afterWorkAction));

    QStringList texts;
    QStringList checks;
    for (const ExtensionFilter::Item& item : d.extensions) {
        texts.append(item.text);
        checks.append(trueFalse(item.checked));
    }
    section(TemplateKeys::list1List);
    line(joined(texts));
    section(TemplateKeys::list1Value);
    line(joined(checks));

    section(TemplateKeys::columnRows);
    QStringList positions;
    QList<float> columnWidths;
    for (const ColumnSet::Column& c : d.columns) {
        line(joined({c.keyText, c.name}));
        positions.append(QString::number(c.position));
        columnWidths.append(c.width);
    }
    t += crlf;
    section(TemplateKeys::keyListWidths);
    line(widths(d.keyListWidths));
    section(TemplateKeys::columnPositions);
    line(joined(positions));
    section(TemplateKeys::columnWidths);
    line(widths(columnWidths));

    section(TemplateKeys::appRows);
    for (QStringList cells : d.apps) {
        // A list row carries only the sub-items up to its last filled one, so an application without a
        // sample is written as key|application|path.
        while (cells.size() > 1 && cells.last().isEmpty())
            cells.removeLast();
        line(joined(cells));
    }
    t += crlf;
    section(TemplateKeys::appWidths);
    line(widths(d.appWidths));
    section(TemplateKeys::batchWidths);
    line(widths(d.batchWidths));
    section(TemplateKeys::logLimit);
    line(oneLine(d.logLimitText));

    // One "|" goes before every line end: "a|b|" + CR LF becomes "a|b", and a last empty element keeps the
    // separator in front of it ("<c6>||" becomes "<c6>|").
    t.replace(u"|\r\n"_s, crlf);
    return t + crlf;
}

QString TemplateWriter::factoryText()
{
    TemplateData data = TemplateData::from(WorkTable());
    // The factory template has always been shipped with only the batch list's first two widths (a read keeps
    // the table's 1440 for the others) and without the empty line that ends every template written later.
    // Users' copies of default.lvt hold these bytes.
    data.batchWidths.resize(2);
    QString t = text(data);
    t.chop(crlf.size());
    return t;
}
