#include "ParameterEditor.h"

#include "core/WorkTable.h"

#include <algorithm>

using namespace Qt::StringLiterals;

ParameterEditor::ParameterEditor(WorkTable& table, QObject* parent) : QObject(parent), m_table(table) {}

void ParameterEditor::selectApplication(int selected)
{
    const AppRegistry& apps = m_table.apps;
    if (selected < 0 || selected >= apps.count())
        return;
    m_canEditSample = true;
    m_selectedApp = {apps.key(selected), apps.application(selected), apps.path(selected)};
    // The first selection after a delete leaves the (emptied) sample display as it is.
    if (m_sampleCleared)
        m_sampleCleared = false;
    else
        m_sample = apps.sample(selected);
    emit changed();
}

void ParameterEditor::editSample()
{
    if (!m_canEditSample)
        return;
    // From the display, not the registry: a sample changed in the dialog shows up only after a new click.
    m_text = m_sample;
    m_editing = true;
    m_textOpen = true;
    m_editTarget = m_selectedApp;
    emit changed();
}

// Looser than the key rule of the expansion (exactKeyNumber in run/Expansion.cpp) on purpose: this only finds
// the application row that an entry's stored key column names, blanks and stray text around it included.
int ParameterEditor::keyNumber(const QString& key)
{
    QString digits = key;
    digits.remove(u"<App"_s).remove(u'>');
    digits = digits.trimmed();
    int number = 0;
    for (const QChar c : std::as_const(digits)) {
        if (c < u'0' || c > u'9')
            break;
        number = number * 10 + (c.unicode() - u'0');
        if (number > AppRegistry::Limit * 1000) // far past any registry; also keeps clear of overflow
            return 0;
    }
    return number;
}

void ParameterEditor::storeAsSample(int selected)
{
    if (!isEditing())
        return;
    AppRegistry& apps = m_table.apps;
    // A re-edited batch entry may carry the key of an application deleted since: there is no row to store
    // into, so the text and the mode stay and nothing typed is lost.
    const int number = keyNumber(m_editTarget[Key]);
    if (number < 1 || number > apps.count())
        return;
    apps.setSample(number - 1, m_text);
    if (selected >= 0 && selected < apps.count())
        m_sample = apps.sample(selected);
    m_editing = false;
    m_text.clear();
    emit changed();
}

void ParameterEditor::addToBatch()
{
    if (!isEditing() || m_text.isEmpty())
        return;
    m_table.batch.appendRow({m_editTarget[Key], m_editTarget[Application], m_text, m_editTarget[Path]});
    m_editTarget = {};
    m_text.clear();
    m_editing = false;
    emit changed();
    emit runButtonEnabled(true);
}

int ParameterEditor::insertKey(const QString& key, int selectionStart, int selectionLength)
{
    if (!isEditing() || m_editTarget[Key].isEmpty())
        return -1;
    const int size = static_cast<int>(m_text.size());
    const int start = std::clamp(selectionStart, 0, size);
    const int length = std::clamp(selectionLength, 0, size - start);
    m_text.replace(start, length, key);
    emit changed();
    return start + static_cast<int>(key.size());
}

int ParameterEditor::insertApplicationKey(int selected, int selectionStart, int selectionLength)
{
    if (selected < 0 || selected >= m_table.apps.count())
        return -1;
    return insertKey(m_table.apps.key(selected), selectionStart, selectionLength);
}

int ParameterEditor::insertColumnKey(int selected, int selectionStart, int selectionLength)
{
    if (selected < 0 || selected >= m_table.columns.count())
        return -1;
    return insertKey(m_table.columns.column(selected).keyText, selectionStart, selectionLength);
}

void ParameterEditor::abandonEdit()
{
    m_text.clear();
    m_editing = false;
    emit changed();
}

void ParameterEditor::resetAfterDelete()
{
    m_canEditSample = false;
    m_sample.clear();
    m_editTarget = {};
    m_textOpen = false;
    m_sampleCleared = true;
    emit changed();
}

void ParameterEditor::clearSampleDisplay()
{
    m_sample.clear();
    emit changed();
}

void ParameterEditor::loadForReedit(const QString& key, const QString& application, const QString& parameter,
                                    const QString& path)
{
    m_editTarget = {key, application, path};
    m_text = parameter;
    m_editing = true;
    m_textOpen = true;
    emit changed();
}
