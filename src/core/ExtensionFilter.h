#pragma once

#include "OptionGroup.h"

#include <QAbstractListModel>

#include <vector>

// The extension filter: the list of extensions with their check marks and the mode (0 "しない" off, 1 "する"
// on).
class ExtensionFilter : public QAbstractListModel
{
    Q_OBJECT
public:
    struct Item {
        QString text;
        bool checked = false;
    };

    explicit ExtensionFilter(QObject* parent = nullptr);

    int count() const { return static_cast<int>(m_items.size()); }
    const Item& item(int index) const { return m_items[static_cast<size_t>(index)]; }
    void append(const QString& text, bool checked = false);
    void remove(int index);
    void clear();
    void setChecked(int index, bool checked);

    const OptionGroup& mode() const { return m_mode; }
    void setMode(const OptionGroup& mode);
    bool isOn() const { return m_mode.isSelected(1); }
    bool listEnabled() const { return m_listEnabled; }
    // The list is disabled while "しない" is selected and enabled while "する" is; with neither selected the
    // enabled flag stays as it was.
    static bool listEnabledFor(const OptionGroup& mode, bool wasEnabled);
    // The user picked "しない" (0) or "する" (1): the mode changes and the list's enabled flag follows it.
    void choose(int option);
    // Sets the mode, and the list's enabled flag as a template left it, brought to that mode.
    void restore(const OptionGroup& mode, bool listEnabled);
    // Whether a file with this extension passes: the first checked item with exactly this text.
    bool passes(const QString& extension) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void modeChanged();

private:
    std::vector<Item> m_items;
    OptionGroup m_mode{0};
    bool m_listEnabled = false;
};
