#pragma once

#include <QObject>
#include <QString>

#include <array>

class WorkTable;

// The parameter editor of the main window: the selected application (Label8), its sample (Label1), the
// application whose text is being written (Label9), the text itself (Text1) and which buttons are enabled.
// While editing, the text may be stored as a sample (Command5) or registered (Command1); both buttons follow
// `isEditing`. The window shows this state and calls the commands; `changed` asks it to show it again.
class ParameterEditor : public QObject
{
    Q_OBJECT
public:
    // Index into Label8 / Label9: key, application, path.
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

    // The user typed into Text1. Emits nothing: the window already shows the text.
    void setText(const QString& text) { m_text1 = text; }

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

    QString label9(int field) const { return m_label9.at(static_cast<size_t>(field)); }
    QString label1() const { return m_label1; }
    QString text1() const { return m_text1; }
    // Whether the text box takes typing (Text1 enabled): from the first edit until an application is deleted.
    bool isTextOpen() const { return m_textOpen; }
    // Whether an application is chosen whose sample "↓パラメータを編集" can take (Command6 enabled).
    bool canEditSample() const { return m_canEditSample; }
    // Whether the next selection leaves the sample display empty, as it is after a delete.
    bool keepsSampleCleared() const { return m_lv2del == 1; }

    // The application number named by an <AppN> key: every "<App" and ">" removed, then the leading digits
    // (blanks around them ignored). 0 when there are none.
    static int keyNumber(const QString& key);

signals:
    void changed();
    // Registering a text enables the run button Command10.
    void runButtonEnabled(bool enabled);

private:
    WorkTable& m_table;
    std::array<QString, 3> m_label8;
    std::array<QString, 3> m_label9;
    QString m_label1;
    QString m_text1;
    bool m_textOpen = false;
    bool m_editing = false;
    bool m_canEditSample = false;
    int m_lv2del = 0;
};
