#pragma once

#include "gatesim/ControlCommand.h"
#include "gatesim/SimConfig.h"
#include "gatesim/SimEndpoint.h"

#include <QList>
#include <QObject>

#include <memory>
#include <vector>

class Clock;
class FrameLog;
class SimGate;

// All simulated gates of one run and the commands of the control interface that act on them.
class SimServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SimServer)

public:
    SimServer(const SimConfig& config, const QList<SimEndpoint>& gates, const Clock& clock, FrameLog& log,
              QObject* parent = nullptr);
    ~SimServer() override;

    bool start(QString* error);
    // "G0=127.0.0.1:40001 G1=..." with the ports actually taken.
    QString addresses() const;
    int gateCount() const { return static_cast<int>(m_gates.size()); }

    // The one reply line to one control line ("ok ..." or "error ..."); empty for blank or comment lines.
    QString execute(const QString& line);

signals:
    void quitRequested();

private:
    QString run(const ControlCommand& command);
    QString runOnGate(const ControlCommand& command, SimGate& gate);
    QString runFault(const ControlCommand& command, SimGate& gate);
    QString describe(SimGate& gate);

    const Clock& m_clock;
    std::vector<std::unique_ptr<SimGate>> m_gates;
};
