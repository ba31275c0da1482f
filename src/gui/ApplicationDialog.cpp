#include "ApplicationDialog.h"

#include "FolderPicker.h"
#include "ui_ApplicationDialog.h"

#include <QPlainTextEdit>
#include <QPushButton>

ApplicationDialog::ApplicationDialog(AppCommands& commands, Dialogs& dialogs, const AppDialogRequest& request,
                                     QWidget* parent)
    : QDialog(parent), m_commands(commands), ui(std::make_unique<Ui::ApplicationDialog>())
{
    ui->setupUi(this);
    ui->folderPicker->setFiles(FolderPicker::Files::Executables);
    ui->folderPicker->setDialogs(&dialogs);
    // An add names no folder and starts in the process's current one; a change falls back when its folder
    // is missing, unreadable or not named at all.
    const bool named = !request.folder.isEmpty() || !request.fallbackFolder.isEmpty();
    if (named && !ui->folderPicker->setFolder(request.folder))
        ui->folderPicker->setFolder(request.fallbackFolder);

    ui->sampleEdit->setPlainText(request.sample);
    ui->sampleEdit->setMaximumHeight(fontMetrics().lineSpacing() * 5);

    connect(ui->okButton, &QPushButton::clicked, this, &ApplicationDialog::storeApplication);
    connect(ui->cancelButton, &QPushButton::clicked, this, &ApplicationDialog::cancel);
}

ApplicationDialog::~ApplicationDialog() = default;

void ApplicationDialog::showModal(AppCommands& commands, Dialogs& dialogs, const AppDialogRequest& request,
                                  QWidget* parent)
{
    ApplicationDialog dialog(commands, dialogs, request, parent);
    dialog.exec();
}

FolderPicker* ApplicationDialog::picker() const
{
    return ui->folderPicker;
}

void ApplicationDialog::storeApplication()
{
    if (m_commands.storeApplication(ui->folderPicker->folder(), ui->folderPicker->selectedFile(),
                                    ui->sampleEdit->toPlainText()))
        accept();
}

void ApplicationDialog::cancel()
{
    reject();
}
