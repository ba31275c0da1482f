#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class ColumnSet;

// The rows of the file list the file list: one row per file, one text cell per column of the ColumnSet.
// Cell 0 is the row's own text (<c0>), cell N its sub-item N (<cN>). Selection lives in the view's selection
// model; operations that act on selected rows take their indexes.
class FileList : public QAbstractTableModel
{
    Q_OBJECT
public:
    using Row = QStringList;

    explicit FileList(const ColumnSet& columns, QObject* parent = nullptr);

    int count() const { return static_cast<int>(m_rows.size()); }
    int cellCount() const { return m_cellCount; }
    const Row& row(int index) const { return m_rows[static_cast<size_t>(index)]; }
    // Empty for a cell past the row's end.
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    // Sets one column of many rows and tells the view once.
    void setCells(const std::vector<int>& rows, int column, const std::vector<QString>& texts);

    // Appends rows, each padded or cut to the current cell count; one insert notice.
    void appendRows(std::vector<Row> rows);
    // Removes the rows at the given indexes (any order, duplicates allowed); one notice per contiguous block,
    // or a single reset when there are more than `bulkRemoveBlocks` blocks.
    void removeRowsAt(std::vector<int> indexes);
    static constexpr size_t bulkRemoveBlocks = 32;
    void clear();
    // Gives every row `cellCount` empty cells: the rows are gone, the columns are new.
    void resetColumns(int cellCount);
    void appendColumn();
    void removeColumn(int column);
    // Puts the rows into the order of `order` (a permutation of the row indexes).
    void reorder(const std::vector<int>& order);
    // <c1> of every row becomes its 1-based position, left-padded with "0" to the digits of the row count.
    void renumberCount();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const ColumnSet& m_columns;
    std::vector<Row> m_rows;
    int m_cellCount = 0;
};
