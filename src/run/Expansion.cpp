#include "Expansion.h"

#include "platform/CommandLine.h"

#include <QStringView>
#include <QVarLengthArray>

#include <algorithm>
#include <bitset>

using namespace Qt::StringLiterals;

namespace
{
// The expansion performs one pass per column key and per application key. Most passes find nothing to do, so
// rather than running all of them, the text is scanned for the keys it actually holds and only the next pass
// that has something to replace is run; a pass whose key does not occur leaves the text as it is, so skipping
// it changes nothing. Passes are numbered in their order: <cN> is pass N, <AppN> pass columnCount + N - 1.
struct KeyRange {
    int columnCount;
    int appCount;
};

// Reads the decimal number of a key at `pos` (just behind "<c" or "<App") up to the closing ">". Returns -1
// when the text holds no such number: no digits, a leading zero (only "0" itself may start with it), no ">".
// `end` receives the position behind the ">". Stricter than ParameterEditor::keyNumber on purpose: a near
// miss in a parameter text stays plain text on the command line, whereas the editor only looks up which
// application an entry's stored key column names.
int exactKeyNumber(QStringView text, qsizetype pos, qsizetype& end)
{
    const qsizetype size = text.size();
    qsizetype i = pos;
    qint64 value = 0;
    while (i < size && text[i] >= u'0' && text[i] <= u'9') {
        // Any number this long lies outside every range; keep reading only to find the key's end.
        if (value < 1'000'000'000)
            value = value * 10 + (text[i].unicode() - u'0');
        ++i;
    }
    const qsizetype digits = i - pos;
    if (digits == 0 || i >= size || text[i] != u'>' || (digits > 1 && text[pos] == u'0'))
        return -1;
    end = i + 1;
    return value >= 1'000'000'000 ? -1 : static_cast<int>(value);
}

// The next "<" at or after `from`, or -1. Texts are short; a plain loop beats a library call per "<".
qsizetype nextAngle(QStringView text, qsizetype from)
{
    const QChar* chars = text.data();
    for (qsizetype i = from; i < text.size(); ++i) {
        if (chars[i] == u'<')
            return i;
    }
    return -1;
}

// A value that goes in as it stands: it holds no "<" that could form a key and no quote to escape.
bool insertsAsItStands(QStringView value)
{
    return std::none_of(value.begin(), value.end(), [](QChar c) { return c == u'<' || c == u'"'; });
}

// The pass of the key that starts at `pos` (text[pos] is '<'), or -1 when no key in range starts there.
int passAt(QStringView text, qsizetype pos, const KeyRange& range, qsizetype& end)
{
    const qsizetype left = text.size() - pos;
    if (left >= 4 && text[pos + 1] == u'c') {
        const int n = exactKeyNumber(text, pos + 2, end);
        return n >= 0 && n < range.columnCount ? n : -1;
    }
    if (left >= 6 && text[pos + 1] == u'A' && text[pos + 2] == u'p' && text[pos + 3] == u'p') {
        const int n = exactKeyNumber(text, pos + 4, end);
        return n >= 1 && n <= range.appCount ? range.columnCount + n - 1 : -1;
    }
    return -1;
}

struct FoundKey {
    qsizetype pos; // the key's "<"
    qsizetype end; // behind its ">"
    int pass;
};

// Every key in range, left to right.
void findKeys(QStringView text, const KeyRange& range, QVarLengthArray<FoundKey, 16>& keys)
{
    for (qsizetype pos = nextAngle(text, 0); pos >= 0; pos = nextAngle(text, pos + 1)) {
        qsizetype end = 0;
        const int pass = passAt(text, pos, range, end);
        if (pass >= 0) {
            keys.append({pos, end, pass});
            pos = end - 1;
        }
    }
}

// A character that can stand in a key before its number: a key formed across the edge of an inserted value
// needs one of these right before the value.
bool mayBeginKey(QChar c)
{
    return c == u'<' || c == u'c' || c == u'A' || c == u'p' || (c >= u'0' && c <= u'9');
}

// The lowest pass above `after` whose key occurs in the text, or -1.
int nextPass(QStringView text, const KeyRange& range, int after)
{
    int best = -1;
    for (qsizetype pos = nextAngle(text, 0); pos >= 0; pos = nextAngle(text, pos + 1)) {
        qsizetype end = 0;
        const int pass = passAt(text, pos, range, end);
        if (pass > after && (best < 0 || pass < best))
            best = pass;
    }
    return best;
}

// One pass: every occurrence of the pass's key in `text`, left to right, becomes `value` with its quotes
// escaped; the inserted values are not searched again.
QString replacePass(const QString& text, const KeyRange& range, int pass, const QString& rawValue)
{
    const QString value = CommandLine::escapeQuotes(rawValue);
    QString out;
    out.reserve(text.size() + value.size());
    qsizetype copied = 0;
    for (qsizetype pos = nextAngle(text, 0); pos >= 0; pos = nextAngle(text, pos + 1)) {
        qsizetype end = 0;
        if (passAt(text, pos, range, end) != pass)
            continue;
        out += QStringView(text).sliced(copied, pos - copied);
        out += value;
        copied = end;
        pos = end - 1;
    }
    out += QStringView(text).sliced(copied);
    return out;
}
} // namespace

QString expandCommandLine(const QString& parameter, const FileList::Row& row, int columnCount,
                          const AppRegistry& apps)
{
    const KeyRange range{qMax(columnCount, 0), apps.count()};
    const QString none;
    auto valueOf = [&](int pass) -> const QString& {
        if (pass < range.columnCount)
            return pass < row.size() ? row[pass] : none;
        return apps.rowCells(pass - range.columnCount)[AppRegistry::Path];
    };

    // Usually no value holds a "<" or a quote and no key follows a character that could begin a key, so no
    // pass can create a key for a later one and nothing needs escaping: every key of the text is then
    // replaced by its value in one sweep.
    QVarLengthArray<FoundKey, 16> keys;
    findKeys(parameter, range, keys);
    if (keys.isEmpty())
        return parameter;
    bool independent = true;
    qsizetype size = parameter.size();
    QVarLengthArray<const QString*, 16> values;
    for (qsizetype i = 0; i < keys.size() && independent; ++i) {
        const FoundKey& key = keys[i];
        const QString& value = valueOf(key.pass);
        const bool adjacent = i > 0 && keys[i - 1].end == key.pos;
        if (!insertsAsItStands(value) || adjacent || (key.pos > 0 && mayBeginKey(parameter[key.pos - 1])))
            independent = false;
        size += value.size() - (key.end - key.pos);
        values.append(&value);
    }
    if (independent) {
        // Written straight into a buffer of the final size: this runs once per job of a run.
        QString out(size, Qt::Uninitialized);
        QChar* to = out.data();
        const QChar* from = parameter.constData();
        qsizetype copied = 0;
        for (qsizetype i = 0; i < keys.size(); ++i) {
            to = std::copy(from + copied, from + keys[i].pos, to);
            to = std::copy(values[i]->constBegin(), values[i]->constEnd(), to);
            copied = keys[i].end;
        }
        std::copy(from + copied, from + parameter.size(), to);
        return out;
    }

    QString text = parameter;
    for (int pass = nextPass(text, range, -1); pass >= 0; pass = nextPass(text, range, pass))
        text = replacePass(text, range, pass, valueOf(pass));
    return text;
}

QString appKeyProblems(const BatchList& batch, const AppRegistry& apps, const FileSystem& files)
{
    constexpr int highestKey = 999;
    QString problems;
    for (int entry = 0; entry < batch.count(); ++entry) {
        const QString parameter = batch.parameter(entry);
        // A key used several times is reported once; the keys are reported in ascending order.
        std::bitset<highestKey + 1> used;
        for (qsizetype pos = parameter.indexOf(u"<App"); pos >= 0;
             pos = parameter.indexOf(u"<App", pos + 1)) {
            qsizetype end = 0;
            const int key = exactKeyNumber(parameter, pos + 4, end);
            if (key >= 1 && key <= highestKey)
                used.set(static_cast<size_t>(key));
        }
        for (int key = 1; key <= highestKey; ++key) {
            if (!used.test(static_cast<size_t>(key)))
                continue;
            const QString head =
                QString::number(entry + 1) + u"第パラメータ内の<App"_s + QString::number(key);
            if (key > apps.count())
                problems += head + u">はアプリリストにありません\r\n"_s;
            else if (!files.fileExists(apps.path(key - 1)))
                problems += head + u">のパスが見あたりません\r\n"_s;
        }
    }
    return problems;
}

QString appKeyProblemsMessage(const QString& problems)
{
    return problems + u"処理を中止します"_s;
}

QStringList RegisteredPrograms(const AppRegistry& apps)
{
    QStringList programs;
    for (int i = 0; i < apps.count(); ++i)
        programs.append(apps.path(i));
    return programs;
}
