#pragma once

#include <QString>

// The folder where Lomvato keeps default.lvt, log.ini, its lock file and the template folder "lvtファイル":
// the folder of the executable, or, where that folder is not writable (an installed copy), the per-user data
// folder, created when needed.
QString programFolder();
// The folder of the executable itself, where the shipped files (help, the factory default.lvt) lie.
QString executableFolder();
// `folder` followed by the native separator and `name`.
QString joinPath(const QString& folder, const QString& name);
