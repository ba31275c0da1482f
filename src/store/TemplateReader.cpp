#include "TemplateReader.h"

#include "TemplateData.h"
#include "TemplateKeys.h"
#include "TextCodec.h"
#include "core/Twips.h"
#include "core/WorkSettings.h"

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace
{
constexpr int logLimitMin = 1; // kilobytes, the slider's ends
constexpr int logLimitMax = 32;
constexpr int optionButtons = 2;
constexpr int listColumns = 4; // registry and batch list
constexpr int keyListColumns = 2;

bool isKey(const QString& line)
{
    static const QString keys[] = {
        TemplateKeys::alwaysAppend,    TemplateKeys::afterWork,     TemplateKeys::filterMode,
        TemplateKeys::afterWorkAction, TemplateKeys::list1List,     TemplateKeys::list1Value,
        TemplateKeys::columnRows,      TemplateKeys::keyListWidths, TemplateKeys::columnPositions,
        TemplateKeys::columnWidths,    TemplateKeys::appRows,       TemplateKeys::appWidths,
        TemplateKeys::batchWidths,     TemplateKeys::logLimit,      TemplateKeys::columnCaptions,
    };
    if (!line.startsWith(u'/'))
        return false;
    for (const QString& k : keys) {
        if (line == k)
            return true;
    }
    return false;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Sign, digits with at most one decimal point, an optional exponent; nothing else (no "inf", no hex).
bool isDecimal(QStringView s)
{
    qsizetype i = 0;
    auto skipSign = [&] {
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            ++i;
    };
    auto skipDigits = [&] {
        const qsizetype from = i;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9')
            ++i;
        return i - from;
    };
    skipSign();
    qsizetype digits = skipDigits();
    if (i < s.size() && s[i] == u'.') {
        ++i;
        digits += skipDigits();
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        skipSign();
        if (skipDigits() == 0)
            return false;
    }
    return i == s.size();
}

class LineReader
{
public:
    LineReader(TemplateData& data, StoreError* error) : m_data(data), m_error(error) {}

    bool apply(const QString& key, const QString& line, int lineNumber)
    {
        m_key = key;
        m_line = line;
        m_lineNumber = lineNumber;
        if (key == TemplateKeys::alwaysAppend)
            return checkState(&m_data.alwaysAppend);
        if (key == TemplateKeys::afterWork) {
            return checkState(&m_data.afterWork);
        }
        if (key == TemplateKeys::filterMode) {
            if (!options(m_data.filterMode))
                return false;
            m_data.listEnabled = ExtensionFilter::listEnabledFor(m_data.filterMode, m_data.listEnabled);
            return true;
        }
        if (key == TemplateKeys::afterWorkAction)
            return options(m_data.afterWorkAction);
        if (key == TemplateKeys::list1List) {
            for (const QString& e : line.split(u'|'))
                m_data.extensions.push_back({e, false});
            return true;
        }
        if (key == TemplateKeys::list1Value)
            return checks();
        if (key == TemplateKeys::columnRows)
            return columnRow();
        if (key == TemplateKeys::keyListWidths)
            return widths(m_data.keyListWidths, keyListColumns);
        if (key == TemplateKeys::columnPositions || key == TemplateKeys::columnWidths)
            return columnValues(key == TemplateKeys::columnWidths);
        if (key == TemplateKeys::appRows) {
            appRow();
            return true;
        }
        if (key == TemplateKeys::appWidths)
            return widths(m_data.appWidths, listColumns);
        if (key == TemplateKeys::batchWidths)
            return widths(m_data.batchWidths, listColumns);
        if (key == TemplateKeys::logLimit)
            return logLimit();
        return true; // before the first key line, or a key whose values are ignored
    }

private:
    bool fail(int number, const QString& what)
    {
        if (m_error) {
            m_error->number = number;
            m_error->description =
                QString::number(m_lineNumber) + u" 行目（"_s + m_key + u"）: "_s + what + u": "_s + m_line;
        }
        return false;
    }

    bool number(const QString& text, int* value)
    {
        if (TemplateReader::wholeNumber(text, value))
            return true;
        const QString trimmed = text.trimmed();
        if (isDecimal(trimmed))
            return fail(StoreError::OutOfRange, u"数値が範囲外です"_s);
        return fail(StoreError::NotANumber, u"数値ではありません"_s);
    }

    // A check box holds 0 (clear), 1 (ticked) or 2 (grey); anything else would show one thing and do another.
    bool checkState(int* value)
    {
        int state = 0;
        if (!number(m_line, &state))
            return false;
        if (state < 0 || state > 2)
            return fail(StoreError::OutOfRange, u"チェックボックスの値は 0、1、2 のいずれかです"_s);
        *value = state;
        return true;
    }

    bool tooMany(qsizetype elements, qsizetype places)
    {
        if (elements <= places)
            return false;
        fail(StoreError::TooManyElements, u"要素が多すぎます"_s);
        return true;
    }

    bool options(OptionGroup& group)
    {
        const QStringList elements = m_line.split(u'|');
        if (tooMany(elements.size(), optionButtons))
            return false;
        for (int i = 0; i < elements.size(); ++i) {
            if (elements[i] == u"True"_s)
                group.select(i);
            else if (elements[i] == u"False"_s)
                group.clear(i);
        }
        return true;
    }

    bool checks()
    {
        const QStringList elements = m_line.split(u'|');
        if (tooMany(elements.size(), static_cast<qsizetype>(m_data.extensions.size())))
            return false;
        for (int i = 0; i < elements.size(); ++i) {
            if (elements[i] == u"True"_s)
                m_data.extensions[static_cast<size_t>(i)].checked = true;
        }
        return true;
    }

    bool columnRow()
    {
        // The name is everything after the first "|", so a name may hold "|" itself.
        const qsizetype bar = m_line.indexOf(u'|');
        if (bar < 0)
            return fail(StoreError::MissingSeparator, u"\"|\" がありません"_s);
        const int index = static_cast<int>(m_data.columns.size());
        m_data.columns.push_back({m_line.left(bar), m_line.mid(bar + 1), Twips::defaultWidth, index + 1});
        return true;
    }

    bool widths(QList<float>& target, qsizetype columns)
    {
        const QStringList elements = m_line.split(u'|');
        if (tooMany(elements.size(), columns))
            return false;
        while (target.size() < columns)
            target.append(Twips::defaultWidth);
        for (int i = 0; i < elements.size(); ++i) {
            int value = 0;
            if (!number(elements[i], &value))
                return false;
            target[i] = static_cast<float>(value);
        }
        return true;
    }

    bool columnValues(bool width)
    {
        const QStringList elements = m_line.split(u'|');
        if (tooMany(elements.size(), static_cast<qsizetype>(m_data.columns.size())))
            return false;
        for (int i = 0; i < elements.size(); ++i) {
            int value = 0;
            if (!number(elements[i], &value))
                return false;
            ColumnSet::Column& c = m_data.columns[static_cast<size_t>(i)];
            if (width)
                c.width = static_cast<float>(value);
            else
                c.position = value;
        }
        return true;
    }

    void appRow()
    {
        // Key, application, path, sample. A sample may hold "|": everything after the third one is the
        // sample, joined back as it was.
        QStringList elements = m_line.split(u'|');
        if (elements.size() > listColumns) {
            const QString sample = elements.mid(listColumns - 1).join(u'|');
            elements.resize(listColumns - 1);
            elements.append(sample);
        }
        m_data.apps.push_back(elements);
    }

    bool logLimit()
    {
        m_data.logLimitText = m_line;
        const double limit = roundHalfEven(leadingNumber(m_line));
        if (!(limit >= logLimitMin && limit <= logLimitMax))
            return fail(StoreError::LogLimitOutOfRange, u"ログの限界容量は 1 から 32 までです"_s);
        return true;
    }

    TemplateData& m_data;
    StoreError* m_error;
    QString m_key;
    QString m_line;
    int m_lineNumber = 0;
};
} // namespace

bool TemplateReader::wholeNumber(const QString& text, int* value)
{
    QStringView s(text);
    while (!s.isEmpty() && isBlank(s.front()))
        s = s.mid(1);
    while (!s.isEmpty() && isBlank(s.back()))
        s.chop(1);
    if (!isDecimal(s))
        return false;
    bool ok = false;
    const double number = QLocale::c().toDouble(s, &ok);
    // A number too large for a double reads as not ok; it is out of range all the same.
    if (!ok || !std::isfinite(number))
        return false;
    const double rounded = roundHalfEven(number);
    if (rounded < -32768.0 || rounded > 32767.0)
        return false;
    *value = static_cast<int>(rounded);
    return true;
}

void TemplateReader::clearLists(TemplateData& data)
{
    data.columns.clear();
    data.extensions.clear();
    data.apps.clear();
}

bool TemplateReader::read(const QString& text, TemplateData& data, StoreError* error)
{
    LineReader reader(data, error);
    QString key;
    bool anyKey = false;
    const QStringList lines = TextCodec::splitLines(text);
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.isEmpty())
            continue;
        if (isKey(line)) {
            key = line;
            anyKey = true;
            continue;
        }
        if (!reader.apply(key, line, i + 1))
            return false;
    }
    // An empty file, random bytes or lines that never end with LF: read as a table, it would have no columns
    // and no applications, and the next close would store that.
    if (!anyKey) {
        if (error)
            *error = {StoreError::NoSection, u"テンプレートのセクションが見つかりません"_s};
        return false;
    }
    return true;
}
