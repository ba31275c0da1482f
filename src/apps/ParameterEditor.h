#pragma once

#include <QObject>
#include <QString>

#include <array>

class WorkTable;

// The parameter editor of the main window: the selected application, its sample, the application whose text
// is being written (the edit target), the text itself and which buttons are enabled. While editing, the text
// may be stored as a sample or registered; both buttons follow `isEditing`. The window shows this state and
// calls the commands; `changed` asks it to show it again.
class ParameterEditor : public QObject
{
    Q_OBJECT
public:
    // A part of the selected application or of the edit target: key, application, path.
    enum Field { Key = 0, Application = 1, Path = 2 };

    explicit ParameterEditor(WorkTable& table, QObject* parent = nullptr);

    // A click on the application list: `selected` is its selected row (from 0), -1 when none.
    void selectApplication(int selected);
    // "↓パラメータを編集": the sample display becomes the text being written.
    void editSample();
    // "↑パラメータをサンプルとして登録". `selected` is the application list's selected row, used to refresh
    // the sample display.
    void storeAsSample(int selected);
    // "●記述したパラメータをバッチリストに登録"
    void addToBatch();

    // Puts `key` into the text at the caret, replacing the selection [selectionStart, +selectionLength).
    // Returns the caret after the key, or -1 when nothing was inserted (not editing, or no edit target).
    int insertKey(const QString& key, int selectionStart, int selectionLength);
    // The double-clicks on the application list and the column key list: insert the key of the selected row.
    int insertApplicationKey(int selected, int selectionStart, int selectionLength);
    int insertColumnKey(int selected, int selectionStart, int selectionLength);

    // The user typed into the parameter text. Emits nothing: the window already shows the text.
    void setText(const QString& text) { m_text = text; }

    bool isEditing() const { return m_editing; }
    // Empties the text and returns to Idle.
    void abandonEdit();
    // After an application was deleted: no sample to edit, sample display and edit target empty, the text
    // closed, and the next selection leaves the sample display empty.
    void resetAfterDelete();
    void clearSampleDisplay();
    // Takes a batch entry back for editing.
    void loadForReedit(const QString& key, const QString& application, const QString& parameter,
                       const QString& path);

    QString editTarget(int field) const { return m_editTarget.at(static_cast<size_t>(field)); }
    QString sample() const { return m_sample; }
    QString text() const { return m_text; }
    // Whether the text box takes typing (enabled): from the first edit until an application is deleted.
    bool isTextOpen() const { return m_textOpen; }
    // Whether an application is chosen whose sample "↓パラメータを編集" can take (the button enabled).
    bool canEditSample() const { return m_canEditSample; }
    // Whether the next selection leaves the sample display empty, as it is after a delete.
    bool keepsSampleCleared() const { return m_sampleCleared; }

    // The application number named by an <AppN> key: every "<App" and ">" removed, then the leading digits
    // (blanks around them ignored). 0 when there are none.
    static int keyNumber(const QString& key);

signals:
    void changed();
    // Registering a text enables the run button.
    void runButtonEnabled(bool enabled);

private:
    WorkTable& m_table;
    std::array<QString, 3> m_selectedApp;
    std::array<QString, 3> m_editTarget;
    QString m_sample;
    QString m_text;
    bool m_textOpen = false;
    bool m_editing = false;
    bool m_canEditSample = false;
    bool m_sampleCleared = false;
};
