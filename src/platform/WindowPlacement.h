#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

// Start-up placement of the main window against the monitors' work areas.
namespace WindowPlacement {

// The window fits a work area when it lies on it, allowing 8 pixels of overhang at each edge.
bool fits(const QRect& window, const QRect& workArea);

// The window's top-left corner: unchanged when it fits any work area, else (0, 0).
QPoint place(const QRect& window, const QList<QRect>& workAreas);

// The resize rule that keeps the window's shape: width at least 1.2 x height (made 1.21 x),
// then height at least 0.5 x width (made 0.51 x), rounding halves to even.
QSize keepShape(const QSize& size);

} // namespace WindowPlacement
