#include "gatecontrol/Ping.h"

#include "gatecontrol/IcmpEcho.h"
#include "gatecontrol/PingWorker.h"

#include <QThread>

Ping::Ping(const Clock& clock, QObject* parent) : QObject(parent), m_clock(clock)
{
    qRegisterMetaType<TAsyncPingResult>();
}

Ping::~Ping()
{
    for (QThread* thread : m_threads) {
        if (!thread)
            continue;
        thread->quit();
        thread->wait();
        delete thread;
    }
}

bool Ping::ExecuteAsync(int identifier, const QString& host, int timeoutMs)
{
    if (identifier < 1 || identifier > kWorkers)
        return false;
    if (m_available < 0)
        m_available = IcmpEcho::available() ? 1 : 0;
    if (m_available == 0)
        return false;
    const auto index = static_cast<std::size_t>(identifier - 1);
    if (!m_workers[index]) {
        auto* thread = new QThread;
        thread->setObjectName(QStringLiteral("Ping") + QString::number(identifier));
        auto* worker = new PingWorker(m_clock, identifier);
        worker->moveToThread(thread);
        connect(thread, &QThread::finished, worker, &QObject::deleteLater);
        connect(worker, &PingWorker::pinged, this, &Ping::pinged, Qt::QueuedConnection);
        thread->start(QThread::HighPriority);
        m_threads[index] = thread;
        m_workers[index] = worker;
    }
    PingWorker* worker = m_workers[index];
    QMetaObject::invokeMethod(
        worker, [worker, host, timeoutMs] { worker->ping(host, timeoutMs); }, Qt::QueuedConnection);
    return true;
}
