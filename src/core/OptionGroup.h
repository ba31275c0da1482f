#pragma once

#include <array>
#include <cstddef>

// A pair of option buttons. Selecting one clears the other; clearing one may leave none selected (a template
// can say "False|False").
class OptionGroup
{
public:
    explicit OptionGroup(int selected = 0) { m_values[static_cast<std::size_t>(selected)] = true; }

    bool isSelected(int index) const
    {
        return index >= 0 && index < 2 && m_values[static_cast<std::size_t>(index)];
    }
    // The selected button, or -1 when none is.
    int selected() const { return m_values[0] ? 0 : (m_values[1] ? 1 : -1); }
    void select(int index)
    {
        if (index < 0 || index >= 2)
            return;
        m_values = {false, false};
        m_values[static_cast<std::size_t>(index)] = true;
    }
    void clear(int index)
    {
        if (index >= 0 && index < 2)
            m_values[static_cast<std::size_t>(index)] = false;
    }
    bool operator==(const OptionGroup&) const = default;

private:
    std::array<bool, 2> m_values{false, false};
};
