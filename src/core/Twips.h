#pragma once

#include <QtGlobal>

// Widths of list columns are kept in twips (1/1440 inch) as single-precision values.
namespace Twips
{
// The width of a column nobody has sized: one inch.
inline constexpr float defaultWidth = 1440.0f;

// 15 twips a pixel at the logical 96 DPI.
inline int toPixels(float twips, double logicalDpi = 96.0)
{
    return qRound(twips * logicalDpi / 1440.0);
}
inline float fromPixels(int pixels, double logicalDpi = 96.0)
{
    return static_cast<float>(pixels * 1440.0 / logicalDpi);
}
} // namespace Twips
