#pragma once

#include <QObject>
#include <QTimer>

class LinkLogModel;
struct LinkShared;
struct SettingsRecord;

// The main window's two daily schedules over all 15 gate links: eepromWatchTimer requests an EEPROM check
// (and writes and clears the shared log at the first firing of each day), AutoLampTimer sets the lamp
// request the time of day wants. Each handler sets its own next interval from the clock.
class DailySchedules final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DailySchedules)

public:
    DailySchedules(LinkShared& links, LinkLogModel& log, const SettingsRecord& settings, QObject* parent = nullptr);

    // First show: each enabled schedule runs its first tick now, then its timer; a disabled one is stopped.
    void start();
    void eepromWatchTimerTimer();
    void AutoLampTimerTimer();
    // The shared log into the EEPROM log file, when a gate link is open. Every open gate link would
    // write the same lines to the same file name, so it is written once.
    void writeEepromLogs();

    QTimer& eepromWatchTimer() { return m_eepromWatchTimer; }
    QTimer& autoLampTimer() { return m_autoLampTimer; }
    bool lampWindow() const { return m_lampWindow; }

private:
    LinkShared& m_links;
    LinkLogModel& m_log;
    const SettingsRecord& m_settings;
    QTimer m_eepromWatchTimer;
    QTimer m_autoLampTimer;
    double m_lastWatch = 0.0;
    double m_lastLamp = 0.0;
    bool m_lampWindow = false;
};
