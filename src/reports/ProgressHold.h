#pragma once

#include <cstdint>

class Clock;
class CountReportHost;
class ProgressSink;

// The exports and the count import leave the progress window up for at least this long from their start.
inline constexpr std::uint32_t kMinimumProgressMs = 2000;

// Disables the main window, keeps events flowing until kMinimumProgressMs have passed since startTick,
// then enables the main window again; so no command can start meanwhile while timers and sockets go on.
void holdProgressWindow(const Clock& clock, std::uint32_t startTick, ProgressSink& progress, CountReportHost& host);
