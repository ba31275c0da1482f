#pragma once

#include <QString>
#include <QWidget>

class Dialogs;
class QComboBox;
class QLabel;
class QListView;
class QStringListModel;

// The drive, folder and file pickers as one widget: the drive list across the top, the folder list (left) and
// the file list (right) below it. The folder list shows ".." and the subfolders of the current folder;
// activating an entry opens it. The file list shows the files of the current folder.
class FolderPicker : public QWidget
{
    Q_OBJECT
public:
    enum class Files { All, Executables };

    explicit FolderPicker(Files files, QWidget* parent = nullptr);
    // Lists every file: the constructor a Qt Designer form calls.
    explicit FolderPicker(QWidget* parent = nullptr) : FolderPicker(Files::All, parent) {}

    // The current folder, native separators.
    QString folder() const;
    // Shows `path`. False, with nothing changed, when the folder is missing or cannot be read.
    bool setFolder(const QString& path);
    // The selected file's name only; empty when none is selected.
    QString selectedFile() const;

    // Which files the file list shows; lists the current folder again.
    void setFiles(Files files);

    // Where a drive or folder the user chose and that cannot be read is reported.
    void setDialogs(Dialogs* dialogs) { m_dialogs = dialogs; }

    // The reason a folder cannot be listed, in the system's words; empty when it can.
    static QString folderProblem(const QString& path);
    // The drives: root paths of the mounted volumes, the root of the file system first.
    static QStringList drives();

private:
    void openDrive(int index);
    void openEntry(const QString& entry);
    void report(const QString& description);
    void refresh();
    void selectDriveOfFolder();

    Files m_files;
    QString m_folder; // absolute, '/' separated
    Dialogs* m_dialogs = nullptr;
    QComboBox* m_driveList;
    QLabel* m_path;
    QListView* m_folderList;
    QListView* m_fileChoice;
    QStringListModel* m_dirModel;
    QStringListModel* m_fileModel;
};
