#include "Expansion.h"

#include <QStringView>

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
// `end` receives the position behind the ">".
int keyNumber(QStringView text, qsizetype pos, qsizetype& end)
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

// The pass of the key that starts at `pos` (text[pos] is '<'), or -1 when no key in range starts there.
int passAt(QStringView text, qsizetype pos, const KeyRange& range, qsizetype& end)
{
    const QStringView rest = text.sliced(pos);
    if (rest.startsWith(u"<c")) {
        const int n = keyNumber(text, pos + 2, end);
        return n >= 0 && n < range.columnCount ? n : -1;
    }
    if (rest.startsWith(u"<App")) {
        const int n = keyNumber(text, pos + 4, end);
        return n >= 1 && n <= range.appCount ? range.columnCount + n - 1 : -1;
    }
    return -1;
}

// The lowest pass above `after` whose key occurs in the text, or -1.
int nextPass(QStringView text, const KeyRange& range, int after)
{
    int best = -1;
    for (qsizetype pos = text.indexOf(u'<'); pos >= 0; pos = text.indexOf(u'<', pos + 1)) {
        qsizetype end = 0;
        const int pass = passAt(text, pos, range, end);
        if (pass > after && (best < 0 || pass < best))
            best = pass;
    }
    return best;
}

// One pass: every occurrence of the pass's key in `text`, left to right, becomes `value`; the inserted values
// are not searched again.
QString replacePass(const QString& text, const KeyRange& range, int pass, const QString& value)
{
    QString out;
    out.reserve(text.size() + value.size());
    qsizetype copied = 0;
    for (qsizetype pos = text.indexOf(u'<'); pos >= 0; pos = text.indexOf(u'<', pos + 1)) {
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

QString ExpandParameter(const QString& parameter, const FileList::Row& row, int columnCount,
                        const AppRegistry& apps)
{
    const KeyRange range{qMax(columnCount, 0), apps.count()};
    QString text = parameter;
    for (int pass = nextPass(text, range, -1); pass >= 0; pass = nextPass(text, range, pass)) {
        const QString value =
            pass < range.columnCount ? row.value(pass) : apps.path(pass - range.columnCount);
        text = replacePass(text, range, pass, value);
    }
    return text;
}

QString CheckAppKeys(const BatchList& batch, const AppRegistry& apps, const FileSystem& files)
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
            const int key = keyNumber(parameter, pos + 4, end);
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

QString CheckAppKeysMessage(const QString& problems)
{
    return problems + u"処理を中止します"_s;
}
