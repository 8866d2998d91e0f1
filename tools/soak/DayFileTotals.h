#pragma once

#include <QString>

#include <array>

// The visitors of every gate slot in a soak's day file: the sum of all bands of all days, as the soak's
// data folder holds no other run's counts.
class DayFileTotals final
{
public:
    static constexpr int kGates = 15;
    using Totals = std::array<qint64, kGates>;

    // False with the reason in error when "pc_all.dat" cannot be opened or read.
    static bool read(const QString& dataFolder, Totals& totals, QString& error);
};
