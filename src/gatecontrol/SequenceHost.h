#pragma once

#include <QString>

// What the gate sequence and connection supervision need from the main window. The main window
// implements it; tests fake it.
class SequenceHost
{
public:
    virtual ~SequenceHost() = default;

    // The detected-tag view is being rebuilt (its busy mark): commands that would add tags wait.
    virtual bool tagViewBusy() const = 0;
    virtual bool buzzerRunning() const = 0;
    // Every gate has finished its shutdown steps (set by CloseTimer).
    virtual bool shutdownComplete() const = 0;
    // Full refresh of the active count page (Timer1).
    virtual void startTimer1() = 0;
    // Stop and start GridUpDateTimer so the detected-tag grid follows the alarm.
    virtual void restartGridUpdateTimer() = 0;
    // Tab caption and connection image of the gate's page, from its link state.
    virtual void GateTabCaptionSet(int slot) = 0;
    // Sets the alarm-handled flag of the gate's detected-tag records, newest first.
    virtual void markAlarmsHandled(int slot) = 0;
    virtual int alarmSelector(int slot) const = 0;
    // Gate slot of the page on screen, -1 when it is not a gate page.
    virtual int activeGateSlot() const = 0;
    virtual bool rfPauseButtonEnabled() const = 0;
    virtual void setRfPauseButtonEnabled(bool enabled) = 0;
    // The connection-error window: created when missing, label font and text set, shown when hidden.
    virtual void showConnectionError(const QString& text, int pointSize) = 0;
    // Closes the window when it exists.
    virtual void closeConnectionError() = 0;
    virtual bool networkReady() = 0;
    // Frees the 30 links, creates new ones and initialises those of the active slots (the gate
    // links open their sockets); called once the network is ready after a deferred start.
    virtual void recreateLinks() = 0;
};
