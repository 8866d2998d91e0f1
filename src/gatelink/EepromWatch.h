#pragma once

#include "gatelink/EepromCompare.h"

#include <QObject>
#include <QString>
#include <QTimer>

struct EepromWatchFlags;
class LinkLogModel;
struct LinkShared;
class TTComXDlg;

// The EEPROM watch and lamp-request machine of one gate link, one step per tick of eepromChkTimer.
// A requested check reads the watched word, compares it with the configured values and writes the
// corrected word back; a lamp request sends the lamp mode. While a command is out the machine holds
// the gate (busy), so host PC bytes wait in the link's HostQueue and are passed on at the next idle
// tick. The machine stays still while the host PC is active (eepromChkReceiveTimeOut).
class EepromWatch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EepromWatch)

public:
    static constexpr int kTickMs = 100;
    // Ticks a check may take before it is abandoned (10 s).
    static constexpr int kCheckTicks = 100;

    enum State : int
    {
        Idle = 0,
        ReadWait = 1,
        Restore = 2,
        WriteWait = 3,
    };

    EepromWatch(TTComXDlg& link, LinkShared& shared, EepromWatchFlags& flags);

    // From LinkInit: the machine starts afresh; gate links tick, relay links never do. log is the shared
    // log that the log file copies.
    void LinkInit(LinkLogModel* log, bool gateLink);

    void requestCheck() { m_checkRequested = true; }
    // 1 switches the lamp's always-on mode on, 2 off; 0 changes nothing.
    void requestLamp(int request);

    void eepromChkTimerTimer();

    int state() const { return m_state; }
    bool checkRequested() const { return m_checkRequested; }
    int lampRequest() const { return m_lampRequest; }
    int busyCountdown() const { return m_busyCountdown; }
    const EepromWord& word() const { return m_word; }
    // "hh:mm:ss" of the previous check.
    const QString& lastCheckTime() const { return m_lastCheckTime; }
    QTimer& eepromChkTimer() { return m_timer; }

signals:
    // "hh:mm:ss: ..." for the main window's status bar when a changed word was found.
    void statusText(const QString& text);

private:
    void step();
    void idle();
    void readReply();
    void restore();
    void writeReply();
    void reset();
    void comment(const QString& text);

    TTComXDlg& m_link;
    LinkShared& m_shared;
    EepromWatchFlags& m_flags;
    LinkLogModel* m_log = nullptr;
    QTimer m_timer;
    int m_state = Idle;
    bool m_checkRequested = false;
    int m_lampRequest = 0;
    int m_busyCountdown = 0;
    EepromWord m_word{};
    QString m_lastCheckTime;
    bool m_guard = false;
};
