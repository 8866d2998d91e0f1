#pragma once

#include "FaultPlan.h"
#include "integration/support/GateSimProcess.h"
#include "integration/support/ProgramSandbox.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

// One soak: 15 simulated gates on loopback, the real program on its own data folder, random faults
// while counts are pushed, then the checks. Prints its figures and returns the process exit code.
class SoakRun final
{
public:
    static constexpr int kGates = 15;
    static constexpr int kStartUpLimitMs = 60000;
    static constexpr int kQuietTailMs = 20000;
    static constexpr int kCountEveryMs = 150;
    static constexpr int kSaveWaitMs = 30000;
    static constexpr int kCloseWaitMs = 20000;

    SoakRun(int seconds, std::uint32_t seed);
    int run();

private:
    bool prepare();
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
    void closeProgram();
    void checkCrashOutput();
    void saveSimulatorLog();
    quint32 simNow() const;
    void pump(int ms);
    void fail(const QString& line);
    void note(const QString& line);

    int m_seconds;
    std::uint32_t m_seed;
    QRandomGenerator m_random;
    ProgramSandbox m_root;
    GateSimProcess m_sim;
    QProcess m_program;
    QElapsedTimer m_clock;
    qint64 m_simStartedMs = 0;
    QList<SoakFault> m_plan;
    // Sim time of each injected fault's start, by plan index; faults not injected stay empty.
    QList<qint64> m_injectedAt;
    std::array<qint64, kGates> m_sent{};
    std::array<qint64, kGates> m_counters{};
    bool m_haveCounters = false;
    int m_countCommands = 0;
    bool m_programEnded = false;
    int m_endedAtMs = -1;
    QStringList m_report;
    bool m_failed = false;
};
