#pragma once

#include <QString>

// What a link asks of the main window. The main window implements it; tests fake it.
class LinkHost
{
public:
    virtual ~LinkHost() = default;
    // "名称" of the gate slot; may be empty.
    virtual QString gateName(int gate) const = 0;
    // Shows the fatal first-connection error over the main window, then asks the window to close.
    // The link has already set LinkShared::fatalErrorShown, so it may pump events.
    virtual void ShowFatalConnectionError(const QString& caption, const QString& text) = 0;
};
