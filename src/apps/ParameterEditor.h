#pragma once

#include <QObject>
#include <QString>

#include <array>

class WorkTable;

// The parameter editor of the main window: the selected application (Label8), its sample (Label1), the
// application whose text is being written (Label9), the text itself (Text1) and which buttons are enabled.
// The mode is Editing while Command1 and Command5 are enabled, Idle while both are disabled; they always
// change together. The window shows this state and calls the handlers; `changed` asks it to show it again.
class ParameterEditor : public QObject
{
    Q_OBJECT
public:
    // Index into Label8 / Label9: key, application, path.
    enum Field { Key = 0, Application = 1, Path = 2 };

    explicit ParameterEditor(WorkTable& table, QObject* parent = nullptr);

    // ListView2_Click: `selected` is the application list's selected row (from 0), -1 when none.
    void ListView2_Click(int selected);
    // "↓パラメータを編集"
    void Command6_Click();
    // "↑パラメータをサンプルとして登録". `selected` is the application list's selected row, used to refresh
    // the sample display.
    void Command5_Click(int selected);
    // "●記述したパラメータをバッチリストに登録"
    void Command1_Click();

    // Puts `key` into the text at the caret, replacing the selection [selectionStart, +selectionLength).
    // Returns the caret after the key, or -1 when nothing was inserted (not editing, or no edit target).
    int insertKey(const QString& key, int selectionStart, int selectionLength);
    // The double-clicks on ListView2 and ListView3: insert the key of the list's selected row.
    int ListView2_DblClick(int selected, int selectionStart, int selectionLength);
    int ListView3_DblClick(int selected, int selectionStart, int selectionLength);

    // The user typed into Text1. Emits nothing: the window already shows the text.
    void setText(const QString& text) { m_text1 = text; }

    bool isEditing() const { return m_command5Enabled; }
    // Empties the text and returns to Idle.
    void abandonEdit();
    // After an application was deleted: Command6 off, sample display and edit target empty, Text1 off, and
    // the next selection leaves the sample display empty.
    void resetAfterDelete();
    void clearSampleDisplay();
    // Takes a batch entry back for editing.
    void loadForReedit(const QString& key, const QString& application, const QString& parameter,
                       const QString& path);

    QString label8(int field) const { return m_label8.at(static_cast<size_t>(field)); }
    QString label9(int field) const { return m_label9.at(static_cast<size_t>(field)); }
    QString label1() const { return m_label1; }
    QString text1() const { return m_text1; }
    bool text1Enabled() const { return m_text1Enabled; }
    bool command1Enabled() const { return m_command5Enabled; }
    bool command5Enabled() const { return m_command5Enabled; }
    bool command6Enabled() const { return m_command6Enabled; }
    int lv2del() const { return m_lv2del; }

    // The application number named by an <AppN> key: every "<App" and ">" removed, then the leading digits
    // (blanks around them ignored). 0 when there are none.
    static int keyNumber(const QString& key);

signals:
    void changed();
    // Registering a text enables the run button Command10.
    void runButtonEnabled(bool enabled);

private:
    void setMode(bool editing);

    WorkTable& m_table;
    std::array<QString, 3> m_label8;
    std::array<QString, 3> m_label9;
    QString m_label1;
    QString m_text1;
    bool m_text1Enabled = false;
    bool m_command5Enabled = false; // and Command1: they always change together
    bool m_command6Enabled = false;
    int m_lv2del = 0;
};
