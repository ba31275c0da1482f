#pragma once

#include <QDialog>

#include <array>
#include <vector>

class ColumnSet;
class Dialogs;
class FileList;
class FolderPicker;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The column fill dialog "挿入文字列を設定": writes one value into one user column of the selected file rows.
// Built afresh at every opening; the window opens it only when the file list's commands allow it.
class Form3 : public QDialog
{
    Q_OBJECT
public:
    // `columns` name the user columns to choose from; `selectedRows` are the rows of `files` (0-based)
    // selected when the dialog opens; `dialogs` reports a drive that cannot be read.
    Form3(const ColumnSet& columns, FileList& files, std::vector<int> selectedRows, Dialogs& dialogs,
          QWidget* parent = nullptr);

    void Form_Load();
    void Option1_Click(int index);
    void Command1_Click();
    void Command2_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const ColumnSet& m_columns;
    FileList& m_files;
    std::vector<int> m_selectedRows;
    QComboBox* m_combo1;
    QLabel* m_label0;
    std::array<QRadioButton*, 4> m_option1{};
    QButtonGroup* m_modes;
    QGroupBox* m_folderFrame;
    FolderPicker* m_folderPicker;
    QGroupBox* m_textFrame;
    QLineEdit* m_text1;
    QGroupBox* m_sequenceFrame;
    QLineEdit* m_text2;
    QLineEdit* m_text3;
    QPushButton* m_command1;
    QPushButton* m_command2;
};
