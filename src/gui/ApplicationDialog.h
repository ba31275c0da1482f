#pragma once

#include "apps/AppCommands.h"

#include <QDialog>

#include <memory>

class Dialogs;
class FolderPicker;

namespace Ui
{
class ApplicationDialog;
}

// "アプリケーション選択": picks an executable and takes its sample parameter. Keeps nothing between openings.
class ApplicationDialog : public QDialog
{
    Q_OBJECT
public:
    ApplicationDialog(AppCommands& commands, Dialogs& dialogs, const AppDialogRequest& request,
                      QWidget* parent = nullptr);
    ~ApplicationDialog() override;

    // Opens the dialog modally; what AppCommands::setShowDialog is given.
    static void showModal(AppCommands& commands, Dialogs& dialogs, const AppDialogRequest& request,
                          QWidget* parent);

    FolderPicker* picker() const;

private:
    void storeApplication();
    void cancel();

    AppCommands& m_commands;
    std::unique_ptr<Ui::ApplicationDialog> ui;
};
