#pragma once

#include "core/AppRegistry.h"
#include "core/BatchList.h"
#include "core/FileList.h"
#include "platform/FileSystem.h"

#include <QString>

// Turns a batch entry's parameter text into the command line for one file row. The keys are replaced one key
// after the other: <c0>, <c1>, ... up to <c columnCount-1>, then <App1>, <App2>, ... up to the number of
// registered applications (each by that application's path). Every key's pass replaces all its occurrences in
// the text as it stands then, without rescanning what the pass itself inserts; so a value inserted by an
// earlier pass is expanded by a later one, but not by an earlier one. Keys are exact and case-sensitive
// ("<c01>", "<C1>" and "<app1>" are plain text); keys outside the ranges stay as they are. Values go in
// as they are, nothing quoted or trimmed, except that every double quote in a value is written as three
// (CommandLine::escapeQuotes): so only the quotes of the parameter text decide how the line splits, a key
// inside a quoted span reaches the program as exactly its value, and the line splits back into exactly the
// arguments the program receives.
QString expandCommandLine(const QString& parameter, const FileList::Row& row, int columnCount,
                          const AppRegistry& apps);

// The registered applications' paths, in their order: the programs a command line may begin with.
QStringList RegisteredPrograms(const AppRegistry& apps);

// Checks the application keys <App1> .. <App999> of every batch entry before a run. Returns one line (ended
// by CR LF) per entry and key, entry by entry and key by key in ascending order, for a key whose application
// is not registered or whose executable does not exist; empty when every key is sound. Keys above 999 are not
// looked for.
QString appKeyProblems(const BatchList& batch, const AppRegistry& apps, const FileSystem& files);

// The text of the box that stops a run: the problem lines followed by "処理を中止します".
QString appKeyProblemsMessage(const QString& problems);
