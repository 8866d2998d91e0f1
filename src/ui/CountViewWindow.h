#pragma once

// What the count display asks of the main window beyond its parts: the main window implements it,
// tests fake it.
class CountViewWindow
{
public:
    virtual ~CountViewWindow() = default;
    virtual bool gateLinkConnected(int slot) const = 0;
    // Screen scales taken at the first show: horizontal at most 1, vertical at least 1.
    virtual double horizontalScale() const = 0;
    virtual double verticalScale() const = 0;
    // The band-grid font search is skipped while the window is minimised.
    virtual bool windowMinimised() const = 0;
    // The detected-tag grid of a gate page: its font for the window's aspect class, and its refresh.
    virtual void pickTagFont(int gate, int aspectClass) = 0;
    virtual void refreshTagGrid(int gate) = 0;
};
