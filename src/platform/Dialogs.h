#pragma once

#include <QString>

// Message, input and file boxes. The windows pass the real ones; tests pass FakeDialogs, which answers from
// a script and records what was asked.
class Dialogs
{
public:
    enum class Buttons { Ok, OkCancel };
    enum class Answer { Ok, Cancel };

    virtual ~Dialogs() = default;
    virtual Answer message(const QString& text, const QString& title, Buttons buttons = Buttons::Ok) = 0;
    // Returns the typed text; empty when the user cancels.
    virtual QString input(const QString& prompt, const QString& title) = 0;
    // Return the chosen path; empty when the user cancels.
    virtual QString openFile(const QString& folder, const QString& filter) = 0;
    virtual QString saveFile(const QString& folder, const QString& filter) = 0;
};

// The title of every box that names no title of its own.
inline QString applicationTitle()
{
    return QStringLiteral("Lomvato");
}
