#include "Form2.h"

#include "FolderPicker.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

Form2::Form2(AppCommands& commands, Dialogs& dialogs, const AppDialogRequest& request, QWidget* parent)
    : QDialog(parent), m_commands(commands),
      m_picker(new FolderPicker(FolderPicker::Files::Executables, this)), m_text1(new QPlainTextEdit(this))
{
    setObjectName(u"Form2"_s);
    setWindowTitle(u"アプリケーション選択"_s);
    setModal(true);
    m_picker->setDialogs(&dialogs);
    // An add names no folder and starts in the process's current one; a change falls back when its folder
    // is missing, unreadable or not named at all.
    const bool named = !request.folder.isEmpty() || !request.fallbackFolder.isEmpty();
    if (named && !m_picker->setFolder(request.folder))
        m_picker->setFolder(request.fallbackFolder);

    auto* label2 = new QLabel(u"パラメータ"_s, this);
    label2->setObjectName(u"Label2"_s);
    m_text1->setObjectName(u"Text1"_s);
    m_text1->setPlainText(request.sample);
    m_text1->setMaximumHeight(fontMetrics().lineSpacing() * 5);
    auto* command2 = new QPushButton(u"CANCEL"_s, this);
    command2->setObjectName(u"Command2"_s);
    command2->setAutoDefault(false);
    auto* command1 = new QPushButton(u"O　　K"_s, this);
    command1->setObjectName(u"Command1"_s);
    command1->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(command2);
    buttons->addStretch(1);
    buttons->addWidget(command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_picker, 1);
    layout->addWidget(label2);
    layout->addWidget(m_text1);
    layout->addLayout(buttons);
    resize(520, 420);

    connect(command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &Form2::Command2_Click);
}

void Form2::showModal(AppCommands& commands, Dialogs& dialogs, const AppDialogRequest& request,
                      QWidget* parent)
{
    Form2 dialog(commands, dialogs, request, parent);
    dialog.exec();
}

void Form2::Command1_Click()
{
    if (m_commands.storeApplication(m_picker->folder(), m_picker->selectedFile(), m_text1->toPlainText()))
        accept();
}

void Form2::Command2_Click()
{
    reject();
}
