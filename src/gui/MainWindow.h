#pragma once

#include "DesktopUrlOpener.h"
#include "apps/AppCommands.h"
#include "apps/BatchCommands.h"
#include "apps/ParameterEditor.h"
#include "core/WorkTable.h"
#include "filelist/FileListCommands.h"
#include "help/HelpCommand.h"
#include "platform/SingleInstance.h"
#include "run/RunEngine.h"
#include "run/RunJournal.h"
#include "run/RunSettings.h"
#include "store/ProgramStore.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class Clock;
class ColumnWidthBinder;
class Dialogs;
class FileSystem;
class PowerControl;
class ProcessLauncher;
class Registry;
class QAbstractItemView;
class QLabel;
class QMenu;

namespace Ui
{
class MainWindow;
}

// The platform services the main window and its logic use. Tests pass fakes.
struct Services {
    Dialogs& dialogs;
    const FileSystem& files;
    ProcessLauncher& launcher;
    const Clock& clock;
    PowerControl& power;
    const Registry& registry;
    QString programFolder;
    QString executableFolder;
};

// The main window: it holds the work table and shows it. Its handlers read the controls, call the logic and
// show the result.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

    WorkTable& table() { return m_table; }
    RunEngine& engine() { return m_engine; }

    // Start-up. Returns false when the program must end at once (a second instance, a lock that cannot be
    // made, or a startup template that could not be read even in its factory form). A close requested while
    // it runs ends the process at once, without writing.
    bool start();
    void quit();
    // Opens "コマンドラインのプレビュー" (or brings it to the front); it follows the lists while open.
    void showPreview();
    void openTemplate();
    void removeSelectedFiles();
    void fillColumn();
    void removeExtension();
    void removeColumn();
    void selectApplication();
    void showAbout();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The tabs other than the main one are built when first shown, so that a start pays for the main tab
    // alone; until then each is an empty page.
    enum Page { MainPage, LogPage, SettingsPage, ResultsPage };
    void addTabBuiltWhenShown(const QString& title, std::function<QWidget*()> build);
    void buildTab(int index);
    bool startUp();
    void storeAtClose();
    void setUpViews();
    void connectHandlers();
    void showFilter();
    void applyWidths();
    void showEditor();
    void insertKey(int (ParameterEditor::*insert)(int, int, int), const QAbstractItemView* list);
    static void selectRow(QAbstractItemView* view, int row);
    void runCompletionAction();
    void popUp(QMenu* menu, bool allowed);
    static int selectedRow(const QAbstractItemView* view);
    std::vector<int> selectedFileRows() const;

    Services m_services;
    WorkTable m_table;
    SingleInstance m_instance;
    RunEngine m_engine;
    ProgramStore m_store;
    FileListCommands m_fileCommands;
    ParameterEditor m_editor;
    AppCommands m_appCommands;
    BatchCommands m_batchCommands;
    DesktopUrlOpener m_urlOpener;
    HelpCommand m_help;
    RunJournal m_journal;
    RunSettings m_runSettings;
    bool m_starting = false; // inside start
    bool m_closing = false;

    std::unique_ptr<Ui::MainWindow> ui;
    QLabel* m_statusText = nullptr;
    QPointer<QDialog> m_preview;
    std::vector<std::function<QWidget*()>> m_unbuiltTabs; // by tab index; empty once built
    std::vector<ColumnWidthBinder*> m_widthBinders;
    QTimer m_statusFlush;
};
