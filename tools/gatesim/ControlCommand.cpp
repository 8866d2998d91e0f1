#include "gatesim/ControlCommand.h"

#include "gatesim/HexBytes.h"

#include <QRegularExpression>

#include <limits>

namespace {

using Verb = ControlCommand::Verb;
using Fault = ControlCommand::Fault;

constexpr int kMaxMs = 600000;
constexpr int kMaxRepeat = 1000000;
constexpr int kMaxGarbage = 65536;

struct VerbRow
{
    const char* name;
    Verb verb;
    bool allGates; // "all" may stand for the gate
    bool needsGate;
};

const VerbRow kVerbs[] = {
    {"count", Verb::Count, false, true},
    {"set-count", Verb::SetCount, false, true},
    {"push-count", Verb::PushCount, true, true},
    {"tag", Verb::Tag, false, true},
    {"raw", Verb::Raw, false, true},
    {"fault", Verb::Fault, true, true},
    {"clear-faults", Verb::ClearFaults, true, true},
    {"counters", Verb::Counters, false, true},
    {"state", Verb::State, false, true},
    {"eeprom", Verb::Eeprom, false, true},
    {"help", Verb::Help, false, false},
    {"quit", Verb::Quit, false, false},
};

struct FaultRow
{
    const char* name;
    Fault fault;
    int low;       // smallest amount
    int high;      // largest amount
    int byDefault; // amount when none is given; -1: the amount is required
};

const FaultRow kFaults[] = {
    {"delay", Fault::Delay, 0, kMaxMs, -1},      {"nack", Fault::Nack, 1, kMaxRepeat, 1},
    {"silence", Fault::Silence, 1, kMaxMs, -1},  {"garbage", Fault::Garbage, 1, kMaxGarbage, -1},
    {"badsum", Fault::BadSum, 1, kMaxRepeat, 1}, {"drop", Fault::Drop, 0, 0, 0},
    {"refuse", Fault::Refuse, 0, kMaxMs, -1},
};

std::optional<qint64> integerOf(const QString& text, qint64 low, qint64 high)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<ControlCommand> failWith(QString* error, const QString& text)
{
    *error = text;
    return std::nullopt;
}

bool parseCounts(const QStringList& args, ControlCommand& c, QString* error)
{
    constexpr qint64 low = std::numeric_limits<std::int32_t>::min();
    constexpr qint64 high = std::numeric_limits<std::int32_t>::max();
    const auto aisle = args.size() == 3 ? integerOf(args[0], 0, 2) : std::nullopt;
    const auto in = args.size() == 3 ? integerOf(args[1], low, high) : std::nullopt;
    const auto out = args.size() == 3 ? integerOf(args[2], low, high) : std::nullopt;
    if (!aisle || !in || !out) {
        *error = QStringLiteral("needs AISLE (0..2) IN OUT");
        return false;
    }
    c.aisle = static_cast<int>(*aisle);
    c.in = static_cast<std::int32_t>(*in);
    c.out = static_cast<std::int32_t>(*out);
    return true;
}

bool parseTag(const QStringList& args, ControlCommand& c, QString* error)
{
    *error = QStringLiteral("needs KIND (D d i L l) HEXUID[,HEXUID...] [HEXDATA]");
    if (args.size() < 2 || args[0].size() != 1 || !QStringLiteral("DdiLl").contains(args[0]))
        return false;
    c.tagKind = args[0].at(0).toLatin1();
    for (const QString& text : args[1].split(QLatin1Char(','))) {
        const auto uid = HexBytes::parse(text);
        if (!uid || uid->size() != 8)
            return false;
        c.uids.append(*uid);
    }
    const auto data = HexBytes::parse(args.mid(2).join(QLatin1Char(' ')));
    if (!data)
        return false;
    c.bytes = *data;
    if (c.tagKind != 'i' && c.uids.size() != 1) {
        *error = QStringLiteral("only an 'i' frame carries several UIDs");
        return false;
    }
    const qsizetype length = (c.tagKind == 'i' ? 3 : 0) + 8 * c.uids.size() + c.bytes.size();
    if (length > 255) {
        *error = QStringLiteral("the tag frame would be longer than 255 data bytes");
        return false;
    }
    return true;
}

bool parseFault(const QStringList& args, ControlCommand& c, QString* error)
{
    for (const FaultRow& row : kFaults) {
        if (args.isEmpty() || args[0] != QLatin1String(row.name))
            continue;
        c.fault = row.fault;
        if (args.size() > 2 || (args.size() == 1 && row.byDefault < 0) || (args.size() == 2 && row.high == 0)) {
            *error = QStringLiteral("bad arguments for fault %1").arg(QLatin1String(row.name));
            return false;
        }
        if (args.size() == 1) {
            c.amount = row.byDefault;
            return true;
        }
        const auto amount = integerOf(args[1], row.low, row.high);
        if (!amount) {
            *error = QStringLiteral("fault %1 needs a number from %2 to %3")
                         .arg(QLatin1String(row.name))
                         .arg(row.low)
                         .arg(row.high);
            return false;
        }
        c.amount = static_cast<int>(*amount);
        return true;
    }
    *error = QStringLiteral("needs a fault: delay MS | nack [N] | silence MS | garbage N | badsum [N] | drop | "
                            "refuse MS");
    return false;
}

bool parseEeprom(const QStringList& args, ControlCommand& c, QString* error)
{
    *error = QStringLiteral("needs ADDR (0..255) [HEX words]");
    const auto address = args.isEmpty() ? std::nullopt : integerOf(args[0], 0, 255);
    const auto words = HexBytes::parse(args.mid(1).join(QLatin1Char(' ')));
    if (!address || !words || words->size() % 2 != 0 || *address + words->size() / 2 > 256)
        return false;
    c.address = static_cast<int>(*address);
    c.bytes = *words;
    return true;
}

} // namespace

std::optional<ControlCommand> ControlCommand::parse(const QString& line, QString* error)
{
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    error->clear();
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
        return std::nullopt;
    QStringList words = trimmed.split(spaces);
    const QString name = words.takeFirst();

    const VerbRow* row = nullptr;
    for (const VerbRow& r : kVerbs) {
        if (name == QLatin1String(r.name))
            row = &r;
    }
    if (!row)
        return failWith(error, QStringLiteral("unknown command \"%1\"; try help").arg(name));

    ControlCommand c;
    c.verb = row->verb;
    if (row->needsGate) {
        if (words.isEmpty())
            return failWith(error, QStringLiteral("%1 needs a gate").arg(name));
        const QString gate = words.takeFirst();
        if (gate == QLatin1String("all") && row->allGates) {
            c.gate = kAllGates;
        } else {
            const auto index = integerOf(gate, 0, 255);
            if (!index)
                return failWith(error, QStringLiteral("bad gate \"%1\"").arg(gate));
            c.gate = static_cast<int>(*index);
        }
    }

    QString why;
    bool ok = true;
    switch (c.verb) {
    case Verb::Count:
    case Verb::SetCount:
        ok = parseCounts(words, c, &why);
        break;
    case Verb::Tag:
        ok = parseTag(words, c, &why);
        break;
    case Verb::Raw: {
        const auto bytes = HexBytes::parse(words.join(QLatin1Char(' ')));
        ok = bytes && !bytes->isEmpty();
        why = QStringLiteral("needs hex bytes");
        if (ok)
            c.bytes = *bytes;
        break;
    }
    case Verb::Fault:
        ok = parseFault(words, c, &why);
        break;
    case Verb::Eeprom:
        ok = parseEeprom(words, c, &why);
        break;
    default:
        ok = words.isEmpty();
        why = QStringLiteral("takes no further arguments");
        break;
    }
    if (!ok)
        return failWith(error, QStringLiteral("%1: %2").arg(name, why));
    return c;
}

QString ControlCommand::names()
{
    QStringList all;
    for (const VerbRow& r : kVerbs)
        all.append(QLatin1String(r.name));
    return all.join(QLatin1Char(' '));
}
