#include "gatesim/SimServer.h"

#include "gatesim/HexBytes.h"
#include "gatesim/LineSplitter.h"
#include "gatesim/SimGate.h"
#include "platform/Clock.h"

#include <QTimer>

namespace {

using Verb = ControlCommand::Verb;
using Fault = ControlCommand::Fault;

QString triple(const std::array<std::int32_t, 3>& v)
{
    return QStringLiteral("%1,%2,%3").arg(v[0]).arg(v[1]).arg(v[2]);
}

QString countsOf(SimGate& gate)
{
    const CountRecord& c = gate.responder().counters();
    return QStringLiteral("in=%1 out=%2").arg(triple(c.in), triple(c.out));
}

QString compactHex(QByteArrayView bytes)
{
    return bytes.isEmpty() ? QStringLiteral("-") : HexBytes::format(bytes).remove(QLatin1Char(' '));
}

const char* faultName(Fault fault)
{
    switch (fault) {
    case Fault::Delay:
        return "delay";
    case Fault::Nack:
        return "nack";
    case Fault::Silence:
        return "silence";
    case Fault::Garbage:
        return "garbage";
    case Fault::BadSum:
        return "badsum";
    case Fault::Drop:
        return "drop";
    case Fault::Refuse:
        return "refuse";
    }
    return "";
}

} // namespace

SimServer::SimServer(const SimConfig& config, const QList<SimEndpoint>& gates, const Clock& clock, FrameLog& log,
                     QObject* parent)
    : QObject(parent), m_clock(clock)
{
    for (int i = 0; i < gates.size(); ++i)
        m_gates.push_back(std::make_unique<SimGate>(i, gates[i], config.forGate(i), clock, log));
}

SimServer::~SimServer() = default;

bool SimServer::start(QString* error)
{
    for (auto& gate : m_gates) {
        if (!gate->listen(error))
            return false;
    }
    return true;
}

QString SimServer::addresses() const
{
    QStringList parts;
    for (const auto& gate : m_gates)
        parts.append(QStringLiteral("%1=%2").arg(gate->unit(), gate->address().toString()));
    return parts.join(QLatin1Char(' '));
}

QString SimServer::execute(const QString& line)
{
    if (line == LineSplitter::kTooLong)
        return QStringLiteral("error line too long (at most %1 bytes)").arg(LineSplitter::kMaxLine);
    QString error;
    const auto command = ControlCommand::parse(line, &error);
    if (!command)
        return error.isEmpty() ? QString() : QStringLiteral("error ") + error;
    return run(*command);
}

QString SimServer::run(const ControlCommand& command)
{
    switch (command.verb) {
    case Verb::Help:
        return QStringLiteral("ok commands: ") + ControlCommand::names();
    case Verb::Quit:
        // The reply goes out first; the event loop ends afterwards.
        QTimer::singleShot(0, this, &SimServer::quitRequested);
        return QStringLiteral("ok bye");
    default:
        break;
    }
    if (command.gate == ControlCommand::kAllGates) {
        int done = 0;
        for (auto& gate : m_gates) {
            if (runOnGate(command, *gate).startsWith(QLatin1String("ok")))
                ++done;
        }
        return QStringLiteral("ok all %1 of %2").arg(done).arg(m_gates.size());
    }
    if (command.gate >= gateCount())
        return QStringLiteral("error no gate %1 (gates 0..%2)").arg(command.gate).arg(gateCount() - 1);
    return runOnGate(command, *m_gates[static_cast<std::size_t>(command.gate)]);
}

QString SimServer::runOnGate(const ControlCommand& command, SimGate& gate)
{
    const QString name = gate.unit();
    const auto ok = [&](const QString& text) { return QStringLiteral("ok %1 %2").arg(name, text); };
    const QString notConnected = QStringLiteral("error %1 not connected").arg(name);
    switch (command.verb) {
    case Verb::Count:
    case Verb::SetCount: {
        if (command.verb == Verb::Count)
            gate.responder().addCounts(command.aisle, command.in, command.out);
        else
            gate.responder().setCounts(command.aisle, command.in, command.out);
        const bool pushed = gate.pushCount();
        return ok(QStringLiteral("%1 pushed=%2").arg(countsOf(gate)).arg(pushed ? 1 : 0));
    }
    case Verb::PushCount:
        return gate.pushCount() ? ok(QStringLiteral("pushed")) : notConnected;
    case Verb::Tag:
        return gate.pushTag(command.tagKind, command.uids, command.bytes)
                   ? ok(QStringLiteral("tag %1").arg(QLatin1Char(command.tagKind)))
                   : notConnected;
    case Verb::Raw:
        return gate.sendRaw(command.bytes) ? ok(QStringLiteral("sent %1 bytes").arg(command.bytes.size()))
                                           : notConnected;
    case Verb::Fault:
        return runFault(command, gate);
    case Verb::ClearFaults:
        gate.clearFaults();
        return ok(QStringLiteral("faults cleared"));
    case Verb::Counters:
        return ok(countsOf(gate));
    case Verb::State:
        return ok(describe(gate));
    case Verb::Eeprom: {
        const int words = command.bytes.isEmpty() ? 1 : static_cast<int>(command.bytes.size() / 2);
        if (!command.bytes.isEmpty())
            gate.responder().setGateEeprom(command.address, command.bytes);
        return ok(QStringLiteral("eeprom %1 %2")
                      .arg(command.address)
                      .arg(HexBytes::format(gate.responder().gateEeprom(command.address, words))));
    }
    case Verb::Help:
    case Verb::Quit:
        break;
    }
    return QStringLiteral("error unhandled command");
}

QString SimServer::runFault(const ControlCommand& command, SimGate& gate)
{
    const QString text = command.fault == Fault::Drop
                             ? QStringLiteral("drop")
                             : QStringLiteral("%1 %2").arg(QLatin1String(faultName(command.fault))).arg(command.amount);
    bool done = true;
    switch (command.fault) {
    case Fault::Delay:
        gate.faults().setDelay(command.amount);
        break;
    case Fault::Nack:
        gate.faults().armNack(command.amount);
        break;
    case Fault::Silence:
        gate.silence(command.amount);
        break;
    case Fault::Garbage:
        done = gate.sendGarbage(command.amount);
        break;
    case Fault::BadSum:
        gate.faults().armBadSum(command.amount);
        break;
    case Fault::Drop:
        done = gate.drop();
        break;
    case Fault::Refuse:
        gate.refuse(command.amount);
        break;
    }
    if (!done)
        return QStringLiteral("error %1 not connected").arg(gate.unit());
    gate.logFault(text);
    return QStringLiteral("ok %1 fault %2").arg(gate.unit(), text);
}

QString SimServer::describe(SimGate& gate)
{
    const GateResponder& r = gate.responder();
    QByteArray mode;
    for (const std::uint8_t m : r.mode())
        mode.append(static_cast<char>(m));
    const auto& cm = r.countMode();
    return QStringLiteral("connected=%1 mode=%2 tx=%3 loop=%4 lamp=%5 alarms=%6 display=%7 restarts=%8 "
                          "count-mode=%9,%10,%11 eeprom4=%12 %13")
        .arg(gate.isConnected() ? 1 : 0)
        .arg(compactHex(mode))
        .arg(r.transmitterOn() ? 1 : 0)
        .arg(r.readLoopRunning() ? 1 : 0)
        .arg(r.lampMode())
        .arg(r.alarms())
        .arg(compactHex(r.display()))
        .arg(r.restarts())
        .arg(cm[0])
        .arg(cm[1])
        .arg(cm[2])
        .arg(compactHex(r.gateEeprom(4, 1)), gate.faults().describe(m_clock.tickMs()));
}
