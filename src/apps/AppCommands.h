#pragma once

#include <QString>

#include <functional>

class AppRegistry;
class Dialogs;
class FileSystem;
class ParameterEditor;
class ProcessLauncher;

// What the application dialog ApplicationDialog is opened with.
struct AppDialogRequest {
    enum class Purpose { Add, Change }; // OK appends a row, or overwrites the selected row
    Purpose purpose = Purpose::Add;
    QString sample;         // the sample box's text
    QString folder;         // the first folder to show; empty: the process's current folder
    QString fallbackFolder; // shown when `folder` cannot be
};

// The menu "外部アプリケーション(&S)", the button "選択アプリを起動" and the OK of ApplicationDialog.
// `selected` arguments are the application list's selected row (from 0), -1 when none.
class AppCommands
{
public:
    using ShowDialog = std::function<void(const AppDialogRequest&)>;

    // `programFolder` is where a change starts when the stored program's folder cannot be shown.
    AppCommands(AppRegistry& apps, ParameterEditor& editor, Dialogs& dialogs, const FileSystem& files,
                ProcessLauncher& launcher, QString programFolder);

    // The window opens ApplicationDialog modally from here; nothing is expected back.
    void setShowDialog(ShowDialog show) { m_showDialog = std::move(show); }

    void addApplication();
    void changeApplication(int selected);
    void removeApplication(int selected);
    void startApplication(int selected);

    // ApplicationDialog's OK. False, after telling the user, when no file is chosen: the dialog stays open.
    bool storeApplication(const QString& folder, const QString& fileName, const QString& sample);

private:
    AppRegistry& m_apps;
    ParameterEditor& m_editor;
    Dialogs& m_dialogs;
    const FileSystem& m_files;
    ProcessLauncher& m_launcher;
    QString m_programFolder;
    ShowDialog m_showDialog;
    AppDialogRequest::Purpose m_purpose = AppDialogRequest::Purpose::Add;
    int m_changeRow = -1; // the row a change overwrites; the dialog is modal, so it stays selected
};
