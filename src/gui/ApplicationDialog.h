#pragma once

#include "apps/AppCommands.h"

#include <QDialog>

#include <memory>

class Dialogs;
class FolderPicker;

namespace Ui
{
class Form2;
}

// "アプリケーション選択": picks an executable and takes its sample parameter. Keeps nothing between openings.
class Form2 : public QDialog
{
    Q_OBJECT
public:
    Form2(AppCommands& commands, Dialogs& dialogs, const AppDialogRequest& request,
          QWidget* parent = nullptr);
    ~Form2() override;

    // Opens the dialog modally; what AppCommands::setShowDialog is given.
    static void showModal(AppCommands& commands, Dialogs& dialogs, const AppDialogRequest& request,
                          QWidget* parent);

    FolderPicker* picker() const;

private:
    void Command1_Click();
    void Command2_Click();

    AppCommands& m_commands;
    std::unique_ptr<Ui::Form2> ui;
};
