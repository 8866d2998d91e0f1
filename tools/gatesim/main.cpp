#include "gatesim/ControlServer.h"
#include "gatesim/FrameLog.h"
#include "gatesim/HostPcClient.h"
#include "gatesim/SimConfig.h"
#include "gatesim/SimOptions.h"
#include "gatesim/SimServer.h"
#include "gatesim/StdinReader.h"
#include "platform/SignalCloser.h"
#include "platform/SystemClock.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

constexpr int kExitUsage = 2;

int failStart(const QString& text)
{
    std::fprintf(stderr, "wardale-gatesim: %s\n", qPrintable(text));
    return kExitUsage;
}

std::optional<SimConfig> loadConfig(const QString& path, QString* error)
{
    if (path.isEmpty())
        return SimConfig::parse({}, error);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read config %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QString why;
    auto config = SimConfig::parse(file.readAll(), &why);
    if (!config)
        *error = QStringLiteral("config %1 %2").arg(path, why);
    return config;
}

int runHostPc(QCoreApplication& app, const SimOptions& options, FrameLog& log)
{
    HostPcClient client(options, log);
    QObject::connect(
        &client, &HostPcClient::finished, &app, [&app](int code) { app.exit(code); }, Qt::QueuedConnection);
    client.start();
    return app.exec();
}

int runGates(QCoreApplication& app, const SimOptions& options, QIODevice& console, FrameLog& log)
{
    QString error;
    const auto config = loadConfig(options.configFile, &error);
    if (!config)
        return failStart(error);
    SimServer server(*config, options.listen, SystemClock::instance(), log);
    if (!server.start(&error))
        return failStart(error);

    QString ready = QStringLiteral("ready ") + server.addresses();
    std::unique_ptr<ControlServer> control;
    if (options.control) {
        control = std::make_unique<ControlServer>([&server](const QString& line) { return server.execute(line); });
        if (!control->listen(*options.control, &error))
            return failStart(error);
        ready += QStringLiteral(" control=") + control->address().toString();
    }

    StdinReader input;
    QObject::connect(&input, &StdinReader::lineReceived, &server, [&](const QString& line) {
        const QString reply = server.execute(line);
        if (!reply.isEmpty())
            console.write((reply + QLatin1Char('\n')).toUtf8());
    });
    if (options.exitOnEof)
        QObject::connect(&input, &StdinReader::endOfInput, &app, &QCoreApplication::quit);
    QObject::connect(&server, &SimServer::quitRequested, &app, &QCoreApplication::quit);

    console.write((ready + QLatin1Char('\n')).toUtf8());
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    // A test that goes away must not take the simulator down half-way through a write.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    SystemClock::instance();

    QString error;
    const auto options = SimOptions::parse(app.arguments(), &error);
    if (!options) {
        if (!error.isEmpty())
            failStart(error);
        std::fputs(qPrintable(SimOptions::usage()), error.isEmpty() ? stdout : stderr);
        return error.isEmpty() ? 0 : kExitUsage;
    }

    QFile console;
    console.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    QFile logFile(options->logFile);
    if (!options->logFile.isEmpty() &&
        !logFile.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return failStart(QStringLiteral("cannot write log %1: %2").arg(options->logFile, logFile.errorString()));
    FrameLog log(options->logFile.isEmpty() ? static_cast<QIODevice&>(console) : logFile, SystemClock::instance());

    SignalCloser closer([&app] { app.quit(); });

    return options->hostPc ? runHostPc(app, *options, log) : runGates(app, *options, console, log);
}
