#pragma once

#include "help/SystemInfo.h"

#include <QDialog>

#include <memory>

namespace Ui
{
class frmAbout;
}

// The version dialog: the program's icon, title, version and legal notice, and the button that starts the
// system information tool. Shown modally by the help menu's "バージョン情報(&V)".
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    frmAbout(const Registry& registry, const FileSystem& files, ProcessLauncher& launcher, Dialogs& dialogs,
             QWidget* parent = nullptr);
    ~frmAbout() override;

    // "ﾊﾞｰｼﾞｮﾝ " and the release's major, minor and patch numbers.
    static QString versionText();

private:
    void Form_Load();

    SystemInfo m_systemInfo;
    std::unique_ptr<Ui::frmAbout> ui;
};
