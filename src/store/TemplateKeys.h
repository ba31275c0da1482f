#pragma once

#include <QString>

// The key lines of a template file. Case matters: "/check1.Value" has a capital V, "/option1.value" has not.
namespace TemplateKeys
{
inline const QString alwaysAppend = QStringLiteral("/check1.Value");
inline const QString afterWork = QStringLiteral("/check2.Value");
inline const QString filterMode = QStringLiteral("/option1.value");
inline const QString afterWorkAction = QStringLiteral("/option2.value");
inline const QString list1List = QStringLiteral("/list1.List");
inline const QString list1Value = QStringLiteral("/list1.value");
inline const QString columnRows = QStringLiteral("/listview3.listitems.Text");
inline const QString keyListWidths = QStringLiteral("/listview3.ColumnHeaders.Width");
inline const QString columnPositions = QStringLiteral("/listview1.ColumnHeaders.Position");
inline const QString columnWidths = QStringLiteral("/listview1.ColumnHeaders.Width");
inline const QString appRows = QStringLiteral("/listview2.listitems.Text");
inline const QString appWidths = QStringLiteral("/listview2.ColumnHeaders.Width");
inline const QString batchWidths = QStringLiteral("/listview4.ColumnHeaders.Width");
inline const QString logLimit = QStringLiteral("/label6.caption");
// Older files may carry the file list's captions; no writer emits it and its values are ignored.
inline const QString columnCaptions = QStringLiteral("/listview1.ColumnHeaders.Text");
} // namespace TemplateKeys
