#include "gatelink/EepromWatch.h"

#include "gatelink/EepromLogFile.h"
#include "gatelink/EepromWatchFlags.h"
#include "gatelink/LinkLogModel.h"
#include "gatelink/LinkShared.h"
#include "gatelink/TTComXDlg.h"
#include "platform/Clock.h"
#include "platform/DayNumber.h"

#include <QPointer>

#include <utility>

namespace {

const QString kFirstCheck = QStringLiteral("これが最初のチェックです");

} // namespace

EepromWatch::EepromWatch(TTComXDlg& link, LinkShared& shared, EepromWatchFlags& flags)
    : m_link(link), m_shared(shared), m_flags(flags), m_lastCheckTime(kFirstCheck)
{
    m_timer.setObjectName(QStringLiteral("eepromChkTimer"));
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &EepromWatch::eepromChkTimerTimer);
}

void EepromWatch::LinkInit(LinkLogModel* log, bool gateLink)
{
    m_log = log;
    m_state = Idle;
    m_checkRequested = false;
    m_lampRequest = 0;
    m_busyCountdown = 0;
    m_word = {};
    if (gateLink)
        m_timer.start();
    else
        m_timer.stop();
}

void EepromWatch::requestLamp(int request)
{
    if (request != 0)
        m_lampRequest = request;
}

void EepromWatch::eepromChkTimerTimer()
{
    if (!m_link.isOpen() || m_guard)
        return;
    // The lamp command waits for its reply with events running; the next tick must not run inside it.
    m_guard = true;
    const QPointer<TTComXDlg> link(&m_link);
    step();
    if (link)
        m_guard = false;
}

void EepromWatch::step()
{
    if (m_busyCountdown > 0 && --m_busyCountdown == 0) {
        m_state = Idle;
        m_flags.busy = false;
    }
    if (m_link.hostActivity() || !m_link.isConnected())
        return;
    switch (m_state) {
    case Idle:
        idle();
        break;
    case ReadWait:
        if (m_flags.readReplySeen)
            readReply();
        break;
    case Restore:
        restore();
        break;
    case WriteWait:
        if (m_flags.writeReplySeen)
            writeReply();
        break;
    default:
        break;
    }
}

void EepromWatch::idle()
{
    if (m_link.FlushHostQueue())
        return;
    if (m_checkRequested) {
        m_checkRequested = false;
        m_word = {};
        m_flags.readReplySeen = false;
        m_flags.writeReplySeen = false;
        m_flags.wordRead = false;
        m_busyCountdown = kCheckTicks;
        m_flags.busy = true;
        m_link.GateGetEEPROMCmd(EepromWatchFlags::kAddress, 1);
        m_state = ReadWait;
        return;
    }
    if (m_lampRequest == 0)
        return;
    const int request = std::exchange(m_lampRequest, 0);
    m_flags.busy = true;
    const QPointer<TTComXDlg> link(&m_link);
    const bool acknowledged = m_link.GateSetAutoLampModeCmd(request) == 1;
    if (!link)
        return;
    // The command has had its whole wait: a gate that did not acknowledge no longer holds the host
    // PC's bytes back (no countdown runs for a lamp request).
    if (!acknowledged)
        m_flags.busy = false;
    m_state = Idle;
    m_busyCountdown = 0;
}

void EepromWatch::readReply()
{
    m_flags.readReplySeen = false;
    if (!m_flags.wordRead) {
        comment(QStringLiteral(" EEPROM監視機能：EEPROMの読み出し応答が不正です。復元しません"));
        reset();
        return;
    }
    const QString time = DayNumber::toTime(m_shared.clock.now()).toString(QStringLiteral("hh:mm:ss"));
    m_word = m_flags.word;
    QStringList lines;
    if (EepromCompare(m_word, m_shared.eeprom, lines)) {
        m_state = Restore;
        comment(QStringLiteral(" EEPROM監視機能：EEPROMの変更を検知しました。復元処理を開始します。前回監視時刻...") +
                m_lastCheckTime);
        for (const QString& line : lines)
            comment(line);
        emit statusText(time + QStringLiteral(": EEPROM監視機能：EEPROMの変更を検知しました。"));
    } else {
        comment(QStringLiteral(" EEPROM監視機能：EEPROMの変更はありませんでした"));
        reset();
    }
    m_lastCheckTime = time;
}

void EepromWatch::restore()
{
    if (m_link.FlushHostQueue())
        return;
    m_flags.busy = true;
    m_link.GateSetEEPROMCmd(
        EepromWatchFlags::kAddress, 1,
        QByteArray(reinterpret_cast<const char*>(m_word.data()), static_cast<qsizetype>(m_word.size())));
    m_state = WriteWait;
}

void EepromWatch::writeReply()
{
    m_flags.writeReplySeen = false;
    comment(QStringLiteral("EEPROM監視機能：復元完了"));
    if (m_log && !m_log->lines().isEmpty() &&
        !EepromLogFile::WriteLinkLogFile(m_shared.dataFolder, m_shared.clock.now(), m_log->lines()))
        comment(QStringLiteral("EEPROM監視機能：ログファイルを書き込めませんでした"));
    reset();
}

// Busy itself ends only with the awaited ACK or the countdown.
void EepromWatch::reset()
{
    m_state = Idle;
    m_busyCountdown = 0;
    m_checkRequested = false;
}

void EepromWatch::comment(const QString& text)
{
    m_link.LinkLog(text, LogDirection::Comment);
}
