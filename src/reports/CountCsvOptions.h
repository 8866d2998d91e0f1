#pragma once

#include <QString>

#include <array>

// The settings the count CSV writes with, filled by the main window from the settings record.
struct CountCsvOptions
{
    static constexpr int kGates = 15;

    // "開始時間帯" and "終了時間帯": the bands a count CSV line is written for.
    int startBand = 8;
    int endBand = 21;
    // "名称" and "IPアドレス" of every gate slot.
    std::array<QString, kGates> gateNames;
    std::array<QString, kGates> gateAddresses;
    // Report mode writes the raw count database lines by appending instead.
    bool reportMode = false;
};
