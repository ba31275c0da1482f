#pragma once

#include "Twips.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <vector>

// The columns of the file list. Column i (from 0) owns the key <ci>; the column key list the key list shows
// the same columns as rows (key text, name). This model is that key list.
class ColumnSet : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column {
        QString keyText; // the key list's text; read from a template as stored
        QString name;
        float width = Twips::defaultWidth; // file list header width, twips
        int position = 0;                  // 1-based display position in the file list
    };

    // The columns intake fills from a file's path (<c0>..<c5>); user columns follow them and are never
    // filled by intake nor deleted as theirs.
    static constexpr int builtInCount = 6;
    // The built-in columns a job is known by: <c2>, the file's name without its last extension, and <c5>, its
    // full path.
    static constexpr int fileNameColumn = 2;
    static constexpr int fullPathColumn = 5;

    explicit ColumnSet(QObject* parent = nullptr);

    static QString keyFor(int index); // "<c" index ">"
    static std::vector<Column> factoryColumns();
    static QList<float> factoryListWidths();

    int count() const { return static_cast<int>(m_columns.size()); }
    const Column& column(int index) const { return m_columns[static_cast<size_t>(index)]; }
    // The file list's header caption of column `index`: its key followed by its name.
    QString caption(int index) const;

    // Positions stay a permutation of 1..count(): append puts the new column last, remove closes the gap and
    // resetTo ranks the positions it is given.
    void append(const Column& column);
    void remove(int index);
    void resetTo(std::vector<Column> columns);
    // Gives every key-list row the key of its position again.
    void renumber();
    void setWidth(int index, float twips);
    void setPosition(int index, int position);

    // Widths of the key list's own two columns ("ｷｰ", "ｶﾗﾑ名"), twips.
    const QList<float>& listWidths() const { return m_listWidths; }
    void setListWidth(int column, float twips);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // The file list's header captions, widths or positions changed.
    void headerChanged();

private:
    std::vector<Column> m_columns;
    QList<float> m_listWidths;
};
