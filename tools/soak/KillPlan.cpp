#include "KillPlan.h"

QString KillMoment::kindName(Kind kind)
{
    static const char* const names[KindCount] = {"early", "random", "at save"};
    return QString::fromLatin1(names[kind]);
}

KillMoment KillPlan::next()
{
    KillMoment moment;
    const int pick = m_random.bounded(100);
    if (pick < 30) {
        moment.kind = KillMoment::Early;
        moment.delayMs = m_random.bounded(kEarlyMs);
    } else if (pick < 75) {
        moment.kind = KillMoment::Random;
        moment.delayMs = m_random.bounded(kRandomMs);
    } else {
        moment.kind = KillMoment::AtSave;
        moment.delayMs = kSaveWaitMs;
    }
    return moment;
}

int KillPlan::downtimeMs()
{
    return m_random.bounded(kDownMaxMs);
}
