#pragma once

#include "help/SystemInfo.h"

#include <QDialog>

#include <memory>

namespace Ui
{
class AboutDialog;
}

// The version dialog: the program's icon, title, version and legal notice, and the button that starts the
// system information tool. Shown modally by the help menu's "バージョン情報(&V)".
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    AboutDialog(const Registry& registry, const FileSystem& files, ProcessLauncher& launcher,
                Dialogs& dialogs, QWidget* parent = nullptr);
    ~AboutDialog() override;

    // "ﾊﾞｰｼﾞｮﾝ " and the release's major, minor and patch numbers.
    static QString versionText();

private:
    void showFacts();

    SystemInfo m_systemInfo;
    std::unique_ptr<Ui::AboutDialog> ui;
};
