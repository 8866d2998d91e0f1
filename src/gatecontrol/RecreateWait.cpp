#include "gatecontrol/RecreateWait.h"

#include <QEventLoop>
#include <QTimer>

RecreateWait eventLoopWait()
{
    return [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    };
}
