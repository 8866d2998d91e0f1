#pragma once

#include "gatecontrol/PingService.h"
#include "gatecontrol/TAsyncPingResult.h"

#include <QObject>

#include <array>

class Clock;
class PingWorker;
class QThread;

// The ping workers of the 15 gate slots (identifier = slot + 1), each created on first use with a
// thread of its own above normal priority.
class Ping final : public QObject, public PingService
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Ping)

public:
    static constexpr int kWorkers = 15;

    explicit Ping(const Clock& clock, QObject* parent = nullptr);
    ~Ping() override;

    bool ExecuteAsync(int identifier, const QString& host, int timeoutMs) override;

signals:
    // On the thread of this object.
    void pinged(const TAsyncPingResult& result);

private:
    const Clock& m_clock;
    int m_available = -1; // -1 not probed yet
    std::array<QThread*, kWorkers> m_threads{};
    std::array<PingWorker*, kWorkers> m_workers{};
};
