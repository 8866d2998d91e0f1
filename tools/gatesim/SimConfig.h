#pragma once

#include "gatesim/GateConfig.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// The --config file: "key=value" lines, '#' comments; "G<n>.key" applies to gate n only.
class SimConfig
{
public:
    static std::optional<SimConfig> parse(const QByteArray& text, QString* error);

    GateConfig forGate(int gate) const;

private:
    struct Entry
    {
        int gate = -1; // -1: every gate
        QString key;
        QString value;
    };

    // Applies one key to a gate's configuration; false with *error for an unknown key or bad value.
    static bool apply(GateConfig& config, const QString& key, const QString& value, QString* error);

    std::vector<Entry> m_entries;
};
