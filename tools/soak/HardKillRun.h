#pragma once

#include "DayFileTotals.h"
#include "KillPlan.h"
#include "SoakStage.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>

// The hard-kill soak: 15 simulated gates whose counters start at values of their own and take visitors
// all along, while the real program is killed (SIGKILL) at random moments and started again on the same
// data folder. After a last clean stop the day totals in pc_all.dat must equal, gate by gate, what the
// gate counted after the program first took its counters: the gate's final counter less its starting
// value, since a gate gets visitors only once the program has been through its count read.
class HardKillRun final
{
public:
    static constexpr int kGates = SoakStage::kGates;
    static constexpr int kCountEveryMs = 150;
    static constexpr int kBaseCheckEveryMs = 100;
    static constexpr int kStartUpLimitMs = 60000;
    static constexpr int kSettleMs = 1500;

    HardKillRun(int seconds, std::uint32_t seed);
    int run();

private:
    bool prepare();
    bool startProgram();
    // Runs the event loop, pushes visitors and watches the program until done() or the time is up;
    // false when the program ended by itself.
    bool runFor(int ms, const std::function<bool()>& done = {});
    bool killCycle(const KillMoment& moment);
    bool saveSeen();
    void kill();
    void pushCount();
    void noteBases();
    bool waitForAllGates();
    bool readCounters(std::array<qint64, kGates>& counters);
    void closeProgram();
    void compare(const std::array<qint64, kGates>& counters);

    int m_seconds;
    std::uint32_t m_seed;
    QRandomGenerator m_random;
    KillPlan m_plan;
    SoakStage m_stage;
    qint64 m_nextCountMs = 0;
    qint64 m_nextBaseCheckMs = 0;
    std::array<qint64, kGates> m_initial{};
    std::array<bool, kGates> m_based{};
    int m_basedCount = 0;
    int m_starts = 0;
    std::array<int, KillMoment::KindCount> m_kills{};
    int m_savesHit = 0;
    // The state of the two count files when a run started, to see a save happen.
    QStringList m_fileStamps;
    bool m_stopping = false;
    bool m_endedByItself = false;
    QString m_endText;
};
