#pragma once

#include "WorkTable.h"

#include <QMainWindow>

#include <memory>

class Clock;
class ColumnWidthBinder;
class Dialogs;
class FileSystem;
class PowerControl;
class ProcessLauncher;
class Registry;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QTreeView;
class QToolButton;

// The platform services the main window and its logic use. Tests pass fakes.
struct Services {
    Dialogs& dialogs;
    const FileSystem& files;
    ProcessLauncher& launcher;
    const Clock& clock;
    PowerControl& power;
    const Registry& registry;
    QString programFolder;
};

// The main window: it holds the work table and shows it. Its handlers read the controls, call the logic and
// show the result.
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit Form1(Services services, QWidget* parent = nullptr);
    ~Form1() override;

    WorkTable& table() { return m_table; }

    // Start-up. Returns false when the program must end at once (a second instance, or a startup template
    // that could not be read even in its factory form).
    bool Form_Load();
    void Pulldown_exit_Click();
    void Check2_Click();
    void Option1_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_QueryUnload();
    void buildMenus();
    QWidget* buildMainTab();
    QWidget* buildLogTab();
    QWidget* buildSettingsTab();
    void showSettings();
    void showLogText();

    Services m_services;
    WorkTable m_table;
    bool m_closing = false;

    QTabWidget* SSTab1 = nullptr;
    QTabWidget* SSTab2 = nullptr;
    QTreeView* ListView1 = nullptr;
    QTreeView* ListView2 = nullptr;
    QTreeView* ListView3 = nullptr;
    QTreeView* ListView4 = nullptr;
    QListView* List1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label9_0 = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command10 = nullptr;
    QPushButton* Command11 = nullptr;
    QToolButton* UpDown1Up = nullptr;
    QToolButton* UpDown1Down = nullptr;
    QRadioButton* Option1[2] = {};
    QRadioButton* Option2[2] = {};
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check3 = nullptr;
    QSlider* Slider1 = nullptr;
    QLabel* StatusText = nullptr;

    QMenu* Pulldown_appli = nullptr;
    QMenu* Pulldown_BatchList = nullptr;
    QMenu* Pulldown_ColumnTool = nullptr;
    QMenu* Pulldown_list = nullptr;
    QMenu* Pulldown_kakuchosi = nullptr;

    std::vector<ColumnWidthBinder*> m_widthBinders;
};
