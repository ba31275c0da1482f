#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include <vector>

// A list of rows with a fixed number of text cells and captioned columns whose widths are kept in twips.
// The application registry and the batch list are such lists.
class TextRowList : public QAbstractTableModel
{
    Q_OBJECT
public:
    TextRowList(QStringList captions, QList<float> widths, QObject* parent = nullptr);

    int count() const { return static_cast<int>(m_rows.size()); }
    const QStringList& rowCells(int row) const { return m_rows[static_cast<size_t>(row)]; }
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);

    // Appends a row (padded or cut to the column count) and returns its index.
    int appendRow(QStringList cells);
    void insertRow(int row, QStringList cells);
    void replaceRow(int row, QStringList cells);
    void removeRow(int row);
    void clear();
    void resetRows(std::vector<QStringList> rows);

    const QList<float>& widths() const { return m_widths; }
    void setWidth(int column, float twips);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList fitted(QStringList cells) const;

    QStringList m_captions;
    QList<float> m_widths;
    std::vector<QStringList> m_rows;
};
