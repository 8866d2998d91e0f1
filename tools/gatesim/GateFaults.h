#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The misbehaviour injected into one simulated gate. Times are ticks of the simulator's clock.
class GateFaults
{
public:
    void setDelay(int ms) { m_delayMs = ms; }
    int delayMs() const { return m_delayMs; }
    void armNack(int count) { m_nacks = count; }
    void armBadSum(int count) { m_badSums = count; }
    void silence(std::uint32_t now, int ms);
    bool silenced(std::uint32_t now) const;
    void clear();

    // A reply on its way out: the next armed NACKs turn ACKs into NACKs of the same LEN and sub-code
    // (so the sequence sees its awaited reply refused), the next armed bad sums spoil the SUM.
    QByteArray shapeReply(QByteArray frame);
    // A frame the gate sends on its own: only bad sums apply.
    QByteArray shapePush(QByteArray frame);

    // n junk bytes without STX, so a receiver must drop them between frames; the same n gives the same bytes.
    static QByteArray garbage(int n);

    QString describe(std::uint32_t now) const;

private:
    QByteArray spoilSum(QByteArray frame);

    int m_delayMs = 0;
    int m_nacks = 0;
    int m_badSums = 0;
    bool m_silent = false;
    std::uint32_t m_silenceStart = 0;
    std::uint32_t m_silenceMs = 0;
};
