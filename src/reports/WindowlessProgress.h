#pragma once

#include "platform/ProgressSink.h"

// A report made without a window (report mode, benchmarks, tests): no progress bar and no waiting.
class WindowlessProgress final : public ProgressSink
{
public:
    void ProgOpen(const QString&) override {}
    void ProgMax(int) override {}
    void ProgPosition(int) override {}
    void ProgClose() override {}
    void keepAlive() override {}
};
