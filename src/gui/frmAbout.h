#pragma once

#include "help/SystemInfo.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The version dialog: the program's icon, title, version and legal notice, and the button that starts the
// system information tool. Shown modally by the help menu's "バージョン情報(&V)".
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    frmAbout(const Registry& registry, const FileSystem& files, ProcessLauncher& launcher, Dialogs& dialogs,
             QWidget* parent = nullptr);

    // "ﾊﾞｰｼﾞｮﾝ " and the release's major, minor and patch numbers.
    static QString versionText();

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    SystemInfo m_systemInfo;
    QLabel* m_picIcon;
    QLabel* m_lblTitle;
    QLabel* m_lblVersion;
    QLabel* m_lblDescription;
    QLabel* m_lblDisclaimer;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdSysInfo;
};
