#pragma once

#include <QString>

#include <functional>

class Dialogs;
class FileSystem;
class ParameterEditor;
class ProcessLauncher;
class WorkTable;

// What the application dialog Form2 is opened with.
struct AppDialogRequest {
    int lv2app = 0;         // 1: OK appends a row; 3: OK overwrites the selected row
    QString sample;         // the sample box's text
    QString folder;         // the first folder to show; empty: the process's current folder
    QString fallbackFolder; // shown when `folder` cannot be
};

// The menu "外部アプリケーション(&S)", the button "選択アプリを起動" and the OK of Form2.
// `selected` arguments are the application list's selected row (from 0), -1 when none.
class AppCommands
{
public:
    using ShowForm2 = std::function<void(const AppDialogRequest&)>;

    AppCommands(WorkTable& table, ParameterEditor& editor, Dialogs& dialogs, const FileSystem& files,
                ProcessLauncher& launcher);

    // The window opens Form2 modally from here; nothing is expected back.
    void setShowForm2(ShowForm2 show) { m_showForm2 = std::move(show); }

    void Pulldown_appli_tuika_Click();
    void Pulldown_appli_henkou_Click(int selected);
    void Pulldown_appli_sakuzyo_Click(int selected);
    // "選択アプリを起動"
    void Command2_Click(int selected);

    // Form2's OK. False, after telling the user, when no file is chosen: the dialog stays open.
    bool Form2_Command1_Click(const QString& folder, const QString& fileName, const QString& sample);

    int lv2app() const { return m_lv2app; }

private:
    WorkTable& m_table;
    ParameterEditor& m_editor;
    Dialogs& m_dialogs;
    const FileSystem& m_files;
    ProcessLauncher& m_launcher;
    ShowForm2 m_showForm2;
    int m_lv2app = 0;
    int m_changeRow = -1; // the row a change overwrites; the dialog is modal, so it stays selected
};
