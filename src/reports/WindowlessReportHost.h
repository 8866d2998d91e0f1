#pragma once

#include "reports/CountReportHost.h"

// The host of a report made without a window: no connection check runs, so there is no minimum display
// to wait out, and every question gets the one answer given at construction.
class WindowlessReportHost final : public CountReportHost
{
public:
    enum class Answer
    {
        No,
        Yes
    };

    explicit WindowlessReportHost(Answer answer = Answer::No) : m_answer(answer) {}

    bool connectionCheckRunning() const override { return false; }
    void setMainWindowEnabled(bool) override {}
    bool askYesNo(const QString&) override { return m_answer == Answer::Yes; }
    void PageLabelSet() override {}
    void requestLayoutPass() override {}

private:
    Answer m_answer;
};
