#pragma once

#include <QDialog>

#include <memory>
#include <vector>

class ColumnSet;
class Dialogs;
class FileList;
class QButtonGroup;

namespace Ui
{
class ColumnFillDialog;
}

// The column fill dialog "挿入文字列を設定": writes one value into one user column of the selected file rows.
// Built afresh at every opening; the window opens it only when the file list's commands allow it.
class ColumnFillDialog : public QDialog
{
    Q_OBJECT
public:
    // `columns` name the user columns to choose from; `selectedRows` are the rows of `files` (0-based)
    // selected when the dialog opens; `dialogs` reports a drive that cannot be read.
    ColumnFillDialog(const ColumnSet& columns, FileList& files, std::vector<int> selectedRows,
                     Dialogs& dialogs, QWidget* parent = nullptr);
    ~ColumnFillDialog() override;

    void resetFields();
    void showFieldsOf(int index);
    void fill();
    void cancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const ColumnSet& m_columns;
    FileList& m_files;
    std::vector<int> m_selectedRows;
    std::unique_ptr<Ui::ColumnFillDialog> ui;
    QButtonGroup* m_modes;
};
