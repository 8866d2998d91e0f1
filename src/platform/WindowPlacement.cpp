#include "platform/WindowPlacement.h"

#include "platform/RoundHalfEven.h"

#include <QSize>

namespace WindowPlacement {

bool fits(const QRect& window, const QRect& workArea)
{
    const int right = window.left() + window.width();
    const int bottom = window.top() + window.height();
    const int areaRight = workArea.left() + workArea.width();
    const int areaBottom = workArea.top() + workArea.height();
    if (workArea.left() - 8 > right || workArea.top() - 8 > bottom)
        return false;
    // The work area's extent is counted inclusively (right - left + 1), so one pixel more still fits.
    if (workArea.width() + 1 < window.width() || workArea.height() + 1 < window.height())
        return false;
    if (areaRight + 8 < right || areaBottom + 8 < bottom)
        return false;
    return true;
}

QPoint place(const QRect& window, const QList<QRect>& workAreas)
{
    for (const QRect& area : workAreas)
        if (fits(window, area))
            return window.topLeft();
    return QPoint(0, 0);
}

QSize keepShape(const QSize& size)
{
    int width = size.width();
    int height = size.height();
    if (height > 0 && static_cast<double>(width) / height < 1.2)
        width = roundHalfEven(height * 1.21);
    if (width > 0 && static_cast<double>(height) / width < 0.5)
        height = roundHalfEven(width * 0.51);
    return QSize(width, height);
}

} // namespace WindowPlacement
