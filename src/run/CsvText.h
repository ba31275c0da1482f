#pragma once

#include <QString>
#include <QStringList>

// Cells of a CSV file that a spreadsheet reads as data, never as a formula, and that keep every file name
// apart.
namespace CsvText
{
// One cell. Spreadsheets evaluate a cell that begins with =, +, -, @, a tab or a carriage return (a file
// named "=HYPERLINK(...).txt" would run), so such a cell is led by an apostrophe, the usual mark of a
// literal text. A name byte that is not UTF-8 (NativeName's U+DC80..U+DCFF) is written as \xE9 rather than
// lost; in a cell that holds such a byte, or that itself holds \x and two hex digits, every backslash is
// doubled as well, so that no two names give the same cell. A cell holding a quote, a comma or a line
// break is quoted, its quotes doubled.
QString cell(const QString& text);
// The cells joined by commas, ended by CR LF.
QString line(const QStringList& cells);
} // namespace CsvText
