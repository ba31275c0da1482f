#include "ColumnWidthBinder.h"

#include "core/Twips.h"

#include <QHeaderView>

#include <algorithm>
#include <vector>

ColumnWidthBinder::ColumnWidthBinder(QHeaderView* header, WidthGetter get, WidthSetter set)
    : QObject(header), m_header(header), m_getWidth(std::move(get)), m_setWidth(std::move(set))
{
    // The style's minimum section size (about 40 pixels) would widen a narrow column beyond the width held,
    // the key list's 450-twip key column among them.
    header->setMinimumSectionSize(0);
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int newSize) {
        if (m_applying || m_header->isSectionHidden(column))
            return;
        m_setWidth(column, Twips::fromPixels(newSize, m_header->logicalDpiX()));
    });
    connect(header, &QHeaderView::sectionMoved, this, [this] {
        if (m_applying || !m_setPosition)
            return;
        for (int i = 0; i < m_header->count(); ++i)
            m_setPosition(i, m_header->visualIndex(i) + 1);
    });
    connect(header, &QHeaderView::sectionCountChanged, this, [this] { apply(); });
    if (header->model())
        connect(header->model(), &QAbstractItemModel::modelReset, this, [this] { apply(); });
}

void ColumnWidthBinder::bindPositions(PositionGetter get, PositionSetter set)
{
    m_getPosition = std::move(get);
    m_setPosition = std::move(set);
    apply();
}

void ColumnWidthBinder::apply()
{
    m_applying = true;
    // A visible header finds each resized section's place on the screen, which costs a walk over all
    // sections: with updates off a template with many columns applies in linear time.
    const bool updates = m_header->updatesEnabled();
    m_header->setUpdatesEnabled(false);
    const int count = m_header->count();
    for (int i = 0; i < count; ++i)
        m_header->resizeSection(i, Twips::toPixels(m_getWidth(i), m_header->logicalDpiX()));
    if (m_getPosition) {
        // Visual order by position; ties keep the index order.
        std::vector<int> order(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            order[static_cast<size_t>(i)] = i;
        std::stable_sort(order.begin(), order.end(),
                         [this](int a, int b) { return m_getPosition(a) < m_getPosition(b); });
        for (int visual = 0; visual < count; ++visual) {
            const int logical = order[static_cast<size_t>(visual)];
            m_header->moveSection(m_header->visualIndex(logical), visual);
        }
    }
    m_header->setUpdatesEnabled(updates);
    m_applying = false;
}
