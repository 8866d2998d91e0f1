#pragma once

#include <QString>

// The progress window as the core sees it; the UI's TProg implements it, tests fake it.
// Long operations also pump events through keepAlive() so the window stays responsive.
class ProgressSink
{
public:
    virtual ~ProgressSink() = default;
    virtual void ProgOpen(const QString& caption) = 0;
    virtual void ProgMax(int max) = 0;
    virtual void ProgPosition(int position) = 0;
    virtual void ProgClose() = 0;
    // Processes pending events while an export runs (the main window stays disabled meanwhile).
    virtual void keepAlive() = 0;
};
