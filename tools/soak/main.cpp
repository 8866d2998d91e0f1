#include "SoakRun.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cstdio>

// wardale-soak SECONDS [SEED]
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    bool ok = arguments.size() >= 2;
    const int seconds = ok ? arguments.at(1).toInt(&ok) : 0;
    if (!ok || seconds < 30 || seconds > 86400) {
        std::fprintf(stderr, "usage: wardale-soak SECONDS [SEED]   (SECONDS 30..86400)\n");
        return 2;
    }
    std::uint32_t seed = QRandomGenerator::global()->generate();
    if (arguments.size() >= 3)
        seed = arguments.at(2).toUInt();
    SoakRun soak(seconds, seed);
    return soak.run();
}
