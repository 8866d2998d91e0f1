#pragma once

#include "DayFileTotals.h"
#include "integration/support/GateSimProcess.h"
#include "integration/support/ProgramSandbox.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <array>

// What every soak stands on: its own data folder, 15 simulated gates on loopback, the real program and
// the report of figures and failures printed at the end.
class SoakStage final
{
public:
    static constexpr int kGates = DayFileTotals::kGates;
    static constexpr int kCloseWaitMs = 20000;

    ProgramSandbox& root() { return m_root; }
    GateSimProcess& sim() { return m_sim; }
    QProcess& program() { return m_program; }
    QElapsedTimer& clock() { return m_clock; }
    bool failed() const { return m_failed; }

    void fail(const QString& line);
    void note(const QString& line);
    // Milliseconds since the simulator started, its log's time.
    quint32 simNow() const;
    // Starts the simulator with the gates' counter settings and writes the program's options.ini for it.
    bool prepare(const QByteArray& gateConfig = {});
    // Starts the program on the data folder; its output goes on in the same files from start to start.
    bool startProgram();
    // SIGTERM closes without the operator's question: shutdown steps, then the count files are saved.
    void closeProgram();
    // Sends visitors in through a gate; what the simulator took is added to the gate's tally.
    void sendVisitors(int gate, int visitors);
    const std::array<qint64, kGates>& sent() const { return m_sent; }
    int countCommands() const { return m_countCommands; }
    // Reads every gate's in counters, summed, from the simulator.
    bool readCounters(std::array<qint64, kGates>& counters);
    // The day totals in pc_all.dat; a failure of the soak when they cannot be read.
    bool readDayTotals(DayFileTotals::Totals& totals);
    // Checks the program's error output, stops the simulator and prints the report; the exit code.
    int finish(const char* name, const QString& verdictTail = {});

private:
    void checkCrashOutput();
    void saveSimulatorLog();

    ProgramSandbox m_root;
    GateSimProcess m_sim;
    QProcess m_program;
    QElapsedTimer m_clock;
    qint64 m_simStartedMs = 0;
    std::array<qint64, kGates> m_sent{};
    int m_countCommands = 0;
    QStringList m_report;
    bool m_failed = false;
};
