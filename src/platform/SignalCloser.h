#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a call on the event loop, so a session end or a service stop still
// runs the program's own shutdown (the counter saves its counts and settings; the simulator quits).
class SignalCloser final : public QObject
{
    Q_OBJECT

public:
    explicit SignalCloser(std::function<void()> close, QObject* parent = nullptr);
    ~SignalCloser() override;
    Q_DISABLE_COPY_MOVE(SignalCloser)

private:
    static void handle(int signal);
    void readSignal();

    std::function<void()> m_close;
    QSocketNotifier* m_notifier = nullptr;
};
