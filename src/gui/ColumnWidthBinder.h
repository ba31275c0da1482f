#pragma once

#include <QObject>

#include <functional>

class QHeaderView;

// Keeps a list view's header in step with widths held in twips: the header shows them at the screen's logical
// DPI, and a width is written back only when the user resizes that column, so that loading and saving a
// template never drifts. Optionally does the same for display positions (1-based).
class ColumnWidthBinder : public QObject
{
    Q_OBJECT
public:
    using WidthGetter = std::function<float(int column)>;
    using WidthSetter = std::function<void(int column, float twips)>;
    using PositionGetter = std::function<int(int column)>;
    using PositionSetter = std::function<void(int column, int position)>;

    ColumnWidthBinder(QHeaderView* header, WidthGetter get, WidthSetter set);
    void bindPositions(PositionGetter get, PositionSetter set);
    // Shows the held widths (and positions) again, after the model changed them.
    void apply();

private:
    QHeaderView* m_header;
    WidthGetter m_getWidth;
    WidthSetter m_setWidth;
    PositionGetter m_getPosition;
    PositionSetter m_setPosition;
    bool m_applying = false;
};
