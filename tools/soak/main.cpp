#include "HardKillRun.h"
#include "SoakRun.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cstdio>

// wardale-soak [--hard-kill] SECONDS [SEED]
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool hardKill = arguments.removeAll(QStringLiteral("--hard-kill")) > 0;
    bool ok = !arguments.isEmpty();
    const int seconds = ok ? arguments.at(0).toInt(&ok) : 0;
    if (!ok || seconds < 30 || seconds > 86400) {
        std::fprintf(stderr, "usage: wardale-soak [--hard-kill] SECONDS [SEED]   (SECONDS 30..86400)\n");
        return 2;
    }
    std::uint32_t seed = QRandomGenerator::global()->generate();
    if (arguments.size() >= 2)
        seed = arguments.at(1).toUInt();
    if (hardKill)
        return HardKillRun(seconds, seed).run();
    SoakRun soak(seconds, seed);
    return soak.run();
}
