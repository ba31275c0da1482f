#include "ColumnFill.h"

#include "core/ColumnSet.h"
#include "core/FileList.h"

#include <QtNumeric>

#include <algorithm>
#include <limits>

void ColumnFill::fill(FileList& files, const Request& request)
{
    // The start value is read before anything else, whatever the mode.
    qint64 counter = boxValue(request.start);
    const qint64 step = boxValue(request.step);
    const int column = ColumnSet::builtInCount + request.comboIndex;
    if (request.comboIndex < 0 || column >= files.cellCount())
        return;

    std::vector<int> rows = request.selectedRows;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::erase_if(rows, [&files](int r) { return r < 0 || r >= files.count(); });

    std::vector<QString> texts;
    texts.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        switch (request.mode) {
        case Folder:
            texts.push_back(request.folder);
            break;
        case Text:
            texts.push_back(request.text);
            break;
        case Sequence:
            texts.push_back(QString::number(counter));
            // A 64-bit counter cannot pass its end with three-digit starts and two-digit steps; a pasted
            // huge value stops at the end rather than wrapping round.
            if (qAddOverflow(counter, step, &counter))
                counter = step > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
            break;
        default:
            texts.emplace_back();
            break;
        }
    }
    files.setCells(rows, column, texts);
}

qint64 ColumnFill::boxValue(const QString& text)
{
    constexpr qint64 most = std::numeric_limits<qint64>::max();
    const bool negative = text.startsWith(QLatin1Char('-'));
    qint64 value = 0;
    for (qsizetype i = negative ? 1 : 0; i < text.size(); ++i) {
        const int digit = text.at(i).unicode() - u'0';
        if (digit < 0 || digit > 9)
            break;
        // A box refuses longer input, but a number past the range stops at its end rather than wrapping.
        value = value > (most - digit) / 10 ? most : value * 10 + digit;
    }
    return negative ? -value : value;
}

QString ColumnFill::stepped(const QString& text, Qt::Key key, int limit)
{
    const QString limitText = QString::number(limit);
    if (key == Qt::Key_Up)
        return text == QLatin1String("1") ? limitText : QString::number(boxValue(text) - 1);
    if (key == Qt::Key_Down)
        return text == limitText ? QStringLiteral("1") : QString::number(boxValue(text) + 1);
    return text;
}

bool ColumnFill::isBoxInput(const QString& text, int maxLength)
{
    return text.size() <= maxLength &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}
