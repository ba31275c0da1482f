#pragma once

#include "platform/Dialogs.h"

class QWidget;

// Message, input and file boxes shown with Qt's standard dialogs over a parent window.
class QtDialogs final : public Dialogs
{
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    Answer message(const QString& text, const QString& title, Buttons buttons = Buttons::Ok) override;
    QString input(const QString& prompt, const QString& title) override;
    QString openFile(const QString& folder, const QString& filter) override;
    QString saveFile(const QString& folder, const QString& filter) override;

private:
    QWidget* m_parent;
};
