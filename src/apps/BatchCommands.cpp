#include "BatchCommands.h"

#include "ParameterEditor.h"
#include "core/BatchList.h"

BatchCommands::BatchCommands(BatchList& batch, ParameterEditor& editor, QObject* parent)
    : QObject(parent), m_batch(batch), m_editor(editor)
{
}

bool BatchCommands::valid(int selected) const
{
    return selected >= 0 && selected < m_batch.count();
}

void BatchCommands::removeEntry(int selected)
{
    if (valid(selected))
        m_batch.removeRow(selected);
}

void BatchCommands::clear()
{
    m_batch.clear();
    emit runButtonEnabled(false);
}

void BatchCommands::reedit(int selected)
{
    if (!valid(selected))
        return;
    m_editor.loadForReedit(m_batch.key(selected), m_batch.application(selected), m_batch.parameter(selected),
                           m_batch.path(selected));
    m_batch.removeRow(selected);
}

int BatchCommands::moveUp(int selected)
{
    if (!valid(selected) || selected < 1)
        return selected;
    // The entry above is re-created below the selected one, which itself stays in place in the model.
    const QStringList above = m_batch.rowCells(selected - 1);
    m_batch.removeRow(selected - 1);
    m_batch.insertRow(selected, above);
    return selected - 1;
}

int BatchCommands::moveDown(int selected)
{
    if (!valid(selected) || selected >= m_batch.count() - 1)
        return selected;
    const QStringList moved = m_batch.rowCells(selected);
    m_batch.removeRow(selected);
    m_batch.insertRow(selected + 1, moved);
    return selected + 1;
}
