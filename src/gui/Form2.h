#pragma once

#include "apps/AppCommands.h"

#include <QDialog>

class Dialogs;
class FolderPicker;
class QPlainTextEdit;

// "アプリケーション選択": picks an executable and takes its sample parameter. Keeps nothing between openings.
class Form2 : public QDialog
{
    Q_OBJECT
public:
    Form2(AppCommands& commands, Dialogs& dialogs, const AppDialogRequest& request,
          QWidget* parent = nullptr);

    // Opens the dialog modally; what AppCommands::setShowDialog is given.
    static void showModal(AppCommands& commands, Dialogs& dialogs, const AppDialogRequest& request,
                          QWidget* parent);

    FolderPicker* picker() const { return m_picker; }

private:
    void Command1_Click();
    void Command2_Click();

    AppCommands& m_commands;
    FolderPicker* m_picker;
    QPlainTextEdit* m_text1;
};
