#pragma once

#include <QObject>

class BatchList;
class ParameterEditor;

// The pop-up menu "バッチリスト" and the arrow buttons of the batch list the batch list.
// `selected` arguments are the list's selected entry (from 0), -1 when none; a command without a valid
// selection does nothing.
class BatchCommands : public QObject
{
    Q_OBJECT
public:
    BatchCommands(BatchList& batch, ParameterEditor& editor, QObject* parent = nullptr);

    // "選択項目を削除": the run button keeps its state, even when the list becomes empty.
    void removeEntry(int selected);
    // "全削除"
    void clear();
    // "選択項目の再編集": the entry leaves the list and goes into the editor, replacing whatever is there.
    void reedit(int selected);
    // Swap the selected entry with its neighbour; return the index the selection is to move to.
    int moveUp(int selected);
    int moveDown(int selected);

signals:
    void runButtonEnabled(bool enabled);

private:
    bool valid(int selected) const;

    BatchList& m_batch;
    ParameterEditor& m_editor;
};
