#include "FaultPlan.h"

#include <QRandomGenerator>

#include <algorithm>

QString SoakFault::kindName(Kind kind)
{
    static const char* const names[KindCount] = {"drop", "garbage", "badsum", "nack+drop", "silence", "refuse"};
    return QString::fromLatin1(names[kind]);
}

QStringList SoakFault::commands() const
{
    const QString prefix = QStringLiteral("fault %1 ").arg(gate);
    switch (kind) {
    case Drop:
        return {prefix + QStringLiteral("drop")};
    case Garbage:
        return {prefix + QStringLiteral("garbage %1").arg(amount)};
    case BadSum:
        return {prefix + QStringLiteral("badsum %1").arg(amount)};
    case NackBurst:
        // The gate only meets NACKs while it runs its start-up sequence, so the burst waits for the
        // reconnect the drop causes.
        return {prefix + QStringLiteral("nack %1").arg(amount), prefix + QStringLiteral("drop")};
    case Silence:
        return {prefix + QStringLiteral("silence %1").arg(amount)};
    case Refuse:
        return {prefix + QStringLiteral("refuse %1").arg(amount)};
    case KindCount:
        break;
    }
    return {};
}

QList<SoakFault> FaultPlan::make(int gates, int injectMs, std::uint32_t seed)
{
    QRandomGenerator random(seed);
    QList<SoakFault> plan;
    for (int gate = 0; gate < gates; ++gate) {
        int at = random.bounded(500, 4000);
        for (;;) {
            SoakFault fault;
            fault.gate = gate;
            fault.kind = static_cast<SoakFault::Kind>(random.bounded(static_cast<int>(SoakFault::KindCount)));
            switch (fault.kind) {
            case SoakFault::Garbage:
                fault.amount = random.bounded(1, 65);
                break;
            case SoakFault::BadSum:
                fault.amount = random.bounded(1, 4);
                break;
            case SoakFault::NackBurst:
                fault.amount = random.bounded(1, 4);
                fault.durationMs = fault.amount * kNackResendMs;
                break;
            case SoakFault::Silence:
                fault.amount = random.bounded(500, 4001);
                fault.durationMs = fault.amount;
                break;
            case SoakFault::Refuse:
                fault.amount = random.bounded(500, 5001);
                fault.durationMs = fault.amount;
                break;
            default:
                break;
            }
            fault.startMs = at;
            if (fault.startMs + fault.durationMs > injectMs)
                break;
            plan.append(fault);
            at = fault.startMs + fault.durationMs + kRecoveryWindowMs + random.bounded(1000, 6000);
        }
    }
    std::sort(plan.begin(), plan.end(), [](const SoakFault& a, const SoakFault& b) { return a.startMs < b.startMs; });
    return plan;
}
