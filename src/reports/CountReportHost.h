#pragma once

#include <QString>

// What the count exports and the import need from the main window; the UI implements it, tests fake it.
class CountReportHost
{
public:
    virtual ~CountReportHost() = default;

    // True while ConnectCheckTimer runs, that is, not during shutdown.
    virtual bool connectionCheckRunning() const = 0;
    // The main window stays disabled while the progress window waits out its minimum display.
    virtual void setMainWindowEnabled(bool enabled) = 0;
    // Yes/No message box titled with the main window's caption; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // Updates the page label of the active gate page.
    virtual void PageLabelSet() = 0;
    // Full redraw of every gate page: the layout pass of Timer2, started from the last gate.
    virtual void requestLayoutPass() = 0;
};
