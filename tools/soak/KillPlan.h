#pragma once

#include <QRandomGenerator>
#include <QString>

#include <cstdint>

// When the next hard kill of the program comes, counted from its start.
struct KillMoment
{
    enum Kind
    {
        Early,  // within the first seconds: start-up, the gates' first counts, their bases
        Random, // anywhere in a run
        AtSave, // as soon as a count file is being replaced, or right after
        KindCount
    };

    Kind kind = Random;
    int delayMs = 0; // for AtSave the longest wait for a save
    static QString kindName(Kind kind);
};

// The random kill schedule of a hard-kill soak.
class KillPlan final
{
public:
    static constexpr int kEarlyMs = 3000;
    static constexpr int kRandomMs = 10000;
    static constexpr int kSaveWaitMs = 15000;
    static constexpr int kDownMaxMs = 600;

    explicit KillPlan(std::uint32_t seed) : m_random(seed) {}

    KillMoment next();
    // How long the program stays down before its restart.
    int downtimeMs();

private:
    QRandomGenerator m_random;
};
