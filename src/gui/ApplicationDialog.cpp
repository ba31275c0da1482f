#include "ApplicationDialog.h"

#include "FolderPicker.h"
#include "ui_ApplicationDialog.h"

#include <QPlainTextEdit>
#include <QPushButton>

Form2::Form2(AppCommands& commands, Dialogs& dialogs, const AppDialogRequest& request, QWidget* parent)
    : QDialog(parent), m_commands(commands), ui(std::make_unique<Ui::Form2>())
{
    ui->setupUi(this);
    ui->folderPicker->setFiles(FolderPicker::Files::Executables);
    ui->folderPicker->setDialogs(&dialogs);
    // An add names no folder and starts in the process's current one; a change falls back when its folder
    // is missing, unreadable or not named at all.
    const bool named = !request.folder.isEmpty() || !request.fallbackFolder.isEmpty();
    if (named && !ui->folderPicker->setFolder(request.folder))
        ui->folderPicker->setFolder(request.fallbackFolder);

    ui->Text1->setPlainText(request.sample);
    ui->Text1->setMaximumHeight(fontMetrics().lineSpacing() * 5);

    connect(ui->Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(ui->Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
}

Form2::~Form2() = default;

void Form2::showModal(AppCommands& commands, Dialogs& dialogs, const AppDialogRequest& request,
                      QWidget* parent)
{
    Form2 dialog(commands, dialogs, request, parent);
    dialog.exec();
}

FolderPicker* Form2::picker() const
{
    return ui->folderPicker;
}

void Form2::Command1_Click()
{
    if (m_commands.storeApplication(ui->folderPicker->folder(), ui->folderPicker->selectedFile(),
                                    ui->Text1->toPlainText()))
        accept();
}

void Form2::Command2_Click()
{
    reject();
}
