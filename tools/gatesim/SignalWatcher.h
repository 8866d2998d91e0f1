#pragma once

#include <QObject>
#include <QSocketNotifier>

// Turns SIGTERM and SIGINT into a Qt signal on the event loop, so the program ends cleanly.
class SignalWatcher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SignalWatcher)

public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

signals:
    void terminated();

private:
    static void onSignal(int);

    static int s_pipe[2];
    QSocketNotifier* m_notifier = nullptr;
};
