#include "gatesim/SimOptions.h"

#include "gatesim/HexBytes.h"

#include <QCommandLineParser>

namespace {

std::optional<SimEndpoint> endpointOf(const QString& text, bool allowNonLoopback, QString* error)
{
    auto endpoint = SimEndpoint::parse(text, error);
    if (endpoint && !allowNonLoopback && !endpoint->isLoopback()) {
        *error = QStringLiteral("%1 is not a loopback address; pass --allow-non-loopback to use it").arg(text);
        return std::nullopt;
    }
    return endpoint;
}

bool intOf(const QString& text, int low, int high, int* out)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return false;
    *out = value;
    return true;
}

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption listen{QStringLiteral("listen"), QString(), QStringLiteral("HOST:PORT")};
    QCommandLineOption control{QStringLiteral("control"), QString(), QStringLiteral("HOST:PORT")};
    QCommandLineOption config{QStringLiteral("config"), QString(), QStringLiteral("FILE")};
    QCommandLineOption log{QStringLiteral("log"), QString(), QStringLiteral("FILE")};
    QCommandLineOption allowNonLoopback{QStringLiteral("allow-non-loopback")};
    QCommandLineOption exitOnEof{QStringLiteral("exit-on-eof")};
    QCommandLineOption hostPc{QStringLiteral("host-pc"), QString(), QStringLiteral("HOST:PORT")};
    QCommandLineOption send{QStringLiteral("send"), QString(), QStringLiteral("HEX")};
    QCommandLineOption expect{QStringLiteral("expect"), QString(), QStringLiteral("N")};
    QCommandLineOption timeout{QStringLiteral("timeout"), QString(), QStringLiteral("MS")};
    QCommandLineOption help{QStringLiteral("help")};

    Parser()
    {
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions(
            {listen, control, config, log, allowNonLoopback, exitOnEof, hostPc, send, expect, timeout, help});
    }
};

} // namespace

std::optional<SimOptions> SimOptions::parse(const QStringList& arguments, QString* error)
{
    Parser p;
    error->clear();
    if (!p.parser.parse(arguments)) {
        *error = p.parser.errorText();
        return std::nullopt;
    }
    if (p.parser.isSet(p.help))
        return std::nullopt;
    if (!p.parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument \"%1\"").arg(p.parser.positionalArguments().first());
        return std::nullopt;
    }

    const bool anyHost = p.parser.isSet(p.allowNonLoopback);
    SimOptions options;
    options.configFile = p.parser.value(p.config);
    options.logFile = p.parser.value(p.log);
    options.exitOnEof = p.parser.isSet(p.exitOnEof);
    for (const QString& text : p.parser.values(p.listen)) {
        const auto endpoint = endpointOf(text, anyHost, error);
        if (!endpoint)
            return std::nullopt;
        options.listen.append(*endpoint);
    }
    if (p.parser.isSet(p.control)) {
        options.control = endpointOf(p.parser.value(p.control), anyHost, error);
        if (!options.control)
            return std::nullopt;
    }
    if (p.parser.isSet(p.hostPc)) {
        options.hostPc = endpointOf(p.parser.value(p.hostPc), anyHost, error);
        if (!options.hostPc)
            return std::nullopt;
        if (options.hostPc->port == 0) {
            *error = QStringLiteral("--host-pc needs a port");
            return std::nullopt;
        }
    }
    for (const QString& text : p.parser.values(p.send)) {
        const auto bytes = HexBytes::parse(text);
        if (!bytes || bytes->isEmpty()) {
            *error = QStringLiteral("--send needs hex bytes, got \"%1\"").arg(text);
            return std::nullopt;
        }
        options.sends.append(*bytes);
    }
    if (p.parser.isSet(p.expect) && !intOf(p.parser.value(p.expect), 0, 100000, &options.expect)) {
        *error = QStringLiteral("--expect needs a count from 0 to 100000");
        return std::nullopt;
    }
    if (p.parser.isSet(p.timeout) && !intOf(p.parser.value(p.timeout), 1, kMaxTimeoutMs, &options.timeoutMs)) {
        *error = QStringLiteral("--timeout needs milliseconds from 1 to %1").arg(kMaxTimeoutMs);
        return std::nullopt;
    }

    if (options.hostPc.has_value() == !options.listen.isEmpty()) {
        *error = QStringLiteral("give either --listen (gate mode) or --host-pc (host-PC mode)");
        return std::nullopt;
    }
    if (options.listen.size() > kMaxGates) {
        *error = QStringLiteral("at most %1 gates").arg(kMaxGates);
        return std::nullopt;
    }
    if (!options.hostPc && (!options.sends.isEmpty() || p.parser.isSet(p.expect) || p.parser.isSet(p.timeout))) {
        *error = QStringLiteral("--send, --expect and --timeout belong to --host-pc");
        return std::nullopt;
    }
    return options;
}

QString SimOptions::usage()
{
    return QStringLiteral(
        "usage: wardale-gatesim --listen HOST:PORT [--listen HOST:PORT ...] [--config FILE] [--log FILE]\n"
        "                       [--control HOST:PORT] [--exit-on-eof] [--allow-non-loopback]\n"
        "       wardale-gatesim --host-pc HOST:PORT [--send HEX ...] [--expect N] [--timeout MS]\n"
        "                       [--log FILE] [--allow-non-loopback]\n"
        "Port 0 picks a free port; the \"ready\" line names the ports taken. See tools/gatesim/README.md.\n");
}
