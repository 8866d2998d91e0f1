#pragma once

struct TagReport;

// Operations of subsystems that join the main window later: the life cycle calls them at their
// places in start-up and shutdown. Until a subsystem arrives its operation does nothing.
class MainFormSubsystems
{
public:
    virtual ~MainFormSubsystems() = default;

    // Title database (list creation, book.dat against the title file, the plug-in runner).
    virtual void createTitleList() {}
    virtual void createPluginRunner() {}
    virtual void RefreshTitleDatabase() {}
    // Whether a spreadsheet route for the XLSX report is usable; the workbook-library route always is.
    virtual bool xlsxReportAvailable() { return true; }
    // Tag processing of a tag frame from gate link `gate`.
    virtual void TagDetected(int, const TagReport&) {}
    // The detected-tag view and its alarm marks, the buzzer.
    virtual bool tagViewBusy() const { return false; }
    virtual void restartGridUpdateTimer() {}
    virtual void markAlarmsHandled(int) {}
    virtual int alarmSelector(int) const { return 0; }
    virtual bool buzzerRunning() const { return false; }
    // The detected-tag grid of a gate page: its font for the window's aspect class, and its refresh.
    virtual void pickTagFont(int, int) {}
    virtual void refreshTagGrid(int) {}
};
