#pragma once

#include "gatesim/SimEndpoint.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The command line of wardale-gatesim: gate mode (--listen ...) or host-PC mode (--host-pc ...).
struct SimOptions
{
    static constexpr int kMaxGates = 15;
    static constexpr int kMaxTimeoutMs = 600000;

    QList<SimEndpoint> listen;
    std::optional<SimEndpoint> control;
    QString configFile;
    QString logFile;
    bool exitOnEof = false;

    std::optional<SimEndpoint> hostPc;
    QList<QByteArray> sends;
    int expect = 0;
    int timeoutMs = 5000;

    // nullopt with *error set for any bad or unsafe argument; an empty error with nullopt means --help.
    static std::optional<SimOptions> parse(const QStringList& arguments, QString* error);
    static QString usage();
};
