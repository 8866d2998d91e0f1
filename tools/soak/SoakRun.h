#pragma once

#include "FaultPlan.h"
#include "SoakStage.h"

#include <QList>
#include <QRandomGenerator>

#include <array>
#include <cstdint>

// One soak: 15 simulated gates on loopback, the real program on its own data folder, random faults
// while counts are pushed, then the checks. Prints its figures and returns the process exit code.
class SoakRun final
{
public:
    static constexpr int kGates = SoakStage::kGates;
    static constexpr int kStartUpLimitMs = 60000;
    static constexpr int kQuietTailMs = 20000;
    static constexpr int kCountEveryMs = 150;
    static constexpr int kSaveWaitMs = 30000;

    SoakRun(int seconds, std::uint32_t seed);
    int run();

private:
    bool startProgram();
    bool waitForStartUp();
    void soak();
    void inject(SoakFault& fault);
    void pushCount();
    bool finalCounters(std::array<qint64, kGates>& counters);
    bool waitForSave(qint64 afterMs);
    void compareCounts();
    int receivedFrames();
    void checkRecovery();
    void pump(int ms);

    int m_seconds;
    std::uint32_t m_seed;
    QRandomGenerator m_random;
    SoakStage m_stage;
    QList<SoakFault> m_plan;
    // Sim time of each injected fault's start, by plan index; faults not injected stay empty.
    QList<qint64> m_injectedAt;
    std::array<qint64, kGates> m_counters{};
    bool m_haveCounters = false;
    bool m_programEnded = false;
    int m_endedAtMs = -1;
};
