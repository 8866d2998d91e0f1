#include "gatecontrol/DailySchedules.h"

#include "config/SettingsRecord.h"
#include "gatecontrol/EepromWatchSchedule.h"
#include "gatecontrol/LampSchedule.h"
#include "gatelink/EepromLogFile.h"
#include "gatelink/LinkLogModel.h"
#include "gatelink/LinkShared.h"
#include "gatelink/TTComXDlg.h"
#include "platform/Clock.h"

namespace {

constexpr int kFirstLampMs = 1000;

} // namespace

DailySchedules::DailySchedules(LinkShared& links, LinkLogModel& log, const SettingsRecord& settings, QObject* parent)
    : QObject(parent), m_links(links), m_log(log), m_settings(settings)
{
    m_eepromWatchTimer.setObjectName(QStringLiteral("eepromWatchTimer"));
    m_autoLampTimer.setObjectName(QStringLiteral("AutoLampTimer"));
    // Hour-long intervals: a coarse timer may fire minutes early and check twice around the hour.
    for (QTimer* timer : {&m_eepromWatchTimer, &m_autoLampTimer})
        timer->setTimerType(Qt::PreciseTimer);
    m_autoLampTimer.setInterval(kFirstLampMs);
    connect(&m_eepromWatchTimer, &QTimer::timeout, this, &DailySchedules::eepromWatchTimerTimer);
    connect(&m_autoLampTimer, &QTimer::timeout, this, &DailySchedules::AutoLampTimerTimer);
}

void DailySchedules::start()
{
    if (m_settings.eeprom.restore) {
        eepromWatchTimerTimer();
        m_eepromWatchTimer.start();
    } else {
        m_eepromWatchTimer.stop();
    }
    if (m_settings.lamp.autoControl) {
        AutoLampTimerTimer();
        m_autoLampTimer.start();
    } else {
        m_autoLampTimer.stop();
    }
}

void DailySchedules::eepromWatchTimerTimer()
{
    const double now = m_links.clock.now();
    const EepromWatchSchedule::Firing firing =
        EepromWatchSchedule::fire(now, m_lastWatch, m_settings.eeprom.watchStart, m_settings.eeprom.watchEnd);
    if (firing.newDay) {
        if (m_settings.eeprom.logBeforeClear)
            writeEepromLogs();
        m_log.clear();
    }
    for (int slot = 0; slot < LinkShared::kGateSlots; ++slot)
        if (TTComXDlg* link = m_links.gateLink(slot))
            link->eepromWatch().requestCheck();
    m_eepromWatchTimer.setInterval(firing.intervalMs);
    m_lastWatch = now;
}

void DailySchedules::AutoLampTimerTimer()
{
    const double now = m_links.clock.now();
    const LampSchedule::Tick tick = LampSchedule::AutoLampTimerTimer(now, m_lastLamp, m_lampWindow,
                                                                     m_settings.lamp.onTime, m_settings.lamp.offTime);
    m_lampWindow = tick.lampWindow;
    for (int slot = 0; slot < LinkShared::kGateSlots; ++slot)
        if (TTComXDlg* link = m_links.gateLink(slot))
            link->eepromWatch().requestLamp(tick.request);
    m_autoLampTimer.setInterval(tick.intervalMs);
    m_lastLamp = now;
}

void DailySchedules::writeEepromLogs()
{
    for (int slot = 0; slot < LinkShared::kGateSlots; ++slot) {
        const TTComXDlg* link = m_links.gateLink(slot);
        if (link && link->isOpen()) {
            EepromLogFile::WriteLinkLogFile(m_links.dataFolder, m_links.clock.now(), m_log.lines());
            return;
        }
    }
}
