#pragma once

#include <QString>
#include <QtGlobal>
#include <qnamespace.h>

#include <vector>

class FileList;

// What the column fill dialog ColumnFillDialog does with its fields, without the dialog: the fill itself, the
// digit filter and the arrow-key stepping of the start value and the step.
class ColumnFill
{
public:
    // The index of the mode chosen in ColumnFillDialog.
    enum Mode { Clear = 0, Folder = 1, Text = 2, Sequence = 3 };

    struct Request {
        int mode = Clear;
        int comboIndex = 0;            // the column chooser's entry; entry 0 is the first user column
        std::vector<int> selectedRows; // 0-based, any order
        QString folder;                // the folder picker's current folder
        QString text;                  // the text to write
        QString start;                 // the first number, as typed
        QString step;                  // the step, as typed
    };

    // Start value and step boxes: the number of characters that may be typed, and the arrow keys' wrap value.
    static constexpr int startLimit = 999;
    static constexpr int startMaxLength = 3;
    static constexpr int stepLimit = 99;
    static constexpr int stepMaxLength = 2;

    // Writes the value of the mode into the target column of every selected row, in list order. Sequential
    // numbers are decimal without leading zeros and advance only on selected rows. Nothing else changes.
    static void fill(FileList& files, const Request& request);

    // The number a start or step box holds: an optional "-" (the arrow keys write one below 1) and the
    // digits at its start. Anything else, an empty box included, reads as 0 (the user may erase the box).
    static qint64 boxValue(const QString& text);

    // The box text after the arrow key `key` (Qt::Key_Up or Qt::Key_Down; other keys leave it): Up on exactly
    // "1" wraps to the limit, Down on exactly the limit wraps to "1"; otherwise Up subtracts 1 and Down
    // adds 1.
    static QString stepped(const QString& text, Qt::Key key, int limit);

    // Whether a start or step box may hold `text` after the user's edit, however it was entered (typed,
    // pasted, dropped, from an input method): the digits 0 to 9 only, at most `maxLength` of them.
    static bool isBoxInput(const QString& text, int maxLength);
};
