#include "platform/SignalCloser.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_signalSockets[2] = {-1, -1};
}

SignalCloser::SignalCloser(std::function<void()> close, QObject* parent) : QObject(parent), m_close(std::move(close))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalSockets) != 0)
        return;
    // A burst of signals must never block the handler on a full socket.
    ::fcntl(g_signalSockets[0], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalCloser::readSignal);
    struct sigaction action = {};
    action.sa_handler = &SignalCloser::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

SignalCloser::~SignalCloser()
{
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    for (int& fd : g_signalSockets) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void SignalCloser::handle(int)
{
    const char byte = 1;
    // Only async-signal-safe work here: wake the event loop.
    [[maybe_unused]] const auto written = ::write(g_signalSockets[0], &byte, 1);
}

void SignalCloser::readSignal()
{
    char byte = 0;
    [[maybe_unused]] const auto read = ::read(g_signalSockets[1], &byte, 1);
    m_close();
}
