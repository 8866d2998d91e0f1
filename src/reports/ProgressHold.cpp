#include "reports/ProgressHold.h"

#include "platform/Clock.h"
#include "platform/ProgressSink.h"
#include "reports/CountReportHost.h"

void holdProgressWindow(const Clock& clock, std::uint32_t startTick, ProgressSink& progress, CountReportHost& host)
{
    host.setMainWindowEnabled(false);
    while (ticksSince(startTick, clock.tickMs()) < kMinimumProgressMs)
        progress.keepAlive();
    host.setMainWindowEnabled(true);
}
