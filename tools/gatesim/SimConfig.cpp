#include "gatesim/SimConfig.h"

#include "gatesim/HexBytes.h"

#include <QRegularExpression>

#include <limits>

namespace {

constexpr qint64 kMaxIntervalMs = 3600000;
constexpr qsizetype kMaxTagData = 200;

std::optional<qint64> numberOf(const QString& text, qint64 low, qint64 high)
{
    bool ok = false;
    const QString t = text.trimmed();
    qint64 value = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = t.mid(2).toLongLong(&ok, 16);
    else
        value = t.toLongLong(&ok, 10);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

template <typename T> bool tripleOf(const QString& text, qint64 low, qint64 high, std::array<T, 3>& out)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    const QStringList parts = text.trimmed().split(separators, Qt::SkipEmptyParts);
    if (parts.size() != 3)
        return false;
    std::array<T, 3> values{};
    for (int i = 0; i < 3; ++i) {
        const auto value = numberOf(parts[i], low, high);
        if (!value)
            return false;
        values[i] = static_cast<T>(*value);
    }
    out = values;
    return true;
}

bool fail(QString* error, const QString& what)
{
    *error = what;
    return false;
}

using Setter = bool (*)(GateConfig&, const QString&, QString*);

struct Key
{
    const char* name;
    Setter set;
};

constexpr qint64 kI32Min = std::numeric_limits<std::int32_t>::min();
constexpr qint64 kI32Max = std::numeric_limits<std::int32_t>::max();

bool setByte(std::uint8_t& target, const QString& value, QString* error)
{
    const auto v = numberOf(value, 0, 255);
    if (!v)
        return fail(error, QStringLiteral("needs a byte value 0..255"));
    target = static_cast<std::uint8_t>(*v);
    return true;
}

bool setInterval(int& target, const QString& value, QString* error)
{
    const auto v = numberOf(value, 0, kMaxIntervalMs);
    if (!v)
        return fail(error, QStringLiteral("needs milliseconds 0..%1 (0 = off)").arg(kMaxIntervalMs));
    target = static_cast<int>(*v);
    return true;
}

const Key kKeys[] = {
    {"rom",
     [](GateConfig& c, const QString& v, QString* e) {
         const QByteArray latin = v.toLatin1();
         if (latin.size() != 9 || v.size() != 9)
             return fail(e, QStringLiteral("needs exactly 9 characters"));
         for (const char ch : latin) {
             if (ch < 0x20 || ch > 0x7E)
                 return fail(e, QStringLiteral("needs printable ASCII characters"));
         }
         c.romVersion = latin;
         return true;
     }},
    {"mode",
     [](GateConfig& c, const QString& v, QString* e) {
         const auto bytes = HexBytes::parse(v);
         if (!bytes || bytes->size() != 3)
             return fail(e, QStringLiteral("needs three hex bytes m1 m2 m3"));
         for (int i = 0; i < 3; ++i)
             c.mode[i] = static_cast<std::uint8_t>((*bytes)[i]);
         return true;
     }},
    {"aisle-byte", [](GateConfig& c, const QString& v,
                      QString* e) { return setByte(c.readerEeprom[GateConfig::kAisleByteAddress], v, e); }},
    {"afi", [](GateConfig& c, const QString& v,
               QString* e) { return setByte(c.readerEeprom[GateConfig::kAfiByteAddress], v, e); }},
    {"option-byte", [](GateConfig& c, const QString& v,
                       QString* e) { return setByte(c.readerEeprom[GateConfig::kOptionByteAddress], v, e); }},
    {"id", [](GateConfig& c, const QString& v, QString* e) { return setByte(c.readerId, v, e); }},
    {"count-mode",
     [](GateConfig& c, const QString& v, QString* e) {
         return tripleOf(v, 0, 0xFFFF, c.countMode) || fail(e, QStringLiteral("needs three values 0..65535"));
     }},
    {"in",
     [](GateConfig& c, const QString& v, QString* e) {
         return tripleOf(v, kI32Min, kI32Max, c.counters.in) || fail(e, QStringLiteral("needs three counts"));
     }},
    {"out",
     [](GateConfig& c, const QString& v, QString* e) {
         return tripleOf(v, kI32Min, kI32Max, c.counters.out) || fail(e, QStringLiteral("needs three counts"));
     }},
    {"first-words",
     [](GateConfig& c, const QString& v, QString* e) {
         return tripleOf(v, 0, 0xFFFF, c.counters.firstWord) || fail(e, QStringLiteral("needs three values 0..65535"));
     }},
    {"second-words",
     [](GateConfig& c, const QString& v, QString* e) {
         return tripleOf(v, 0, 0xFFFF, c.counters.secondWord) || fail(e, QStringLiteral("needs three values 0..65535"));
     }},
    {"count-push-ms", [](GateConfig& c, const QString& v, QString* e) { return setInterval(c.countPushMs, v, e); }},
    {"count-push-in",
     [](GateConfig& c, const QString& v, QString* e) {
         return tripleOf(v, -1000000, 1000000, c.countPushIn) || fail(e, QStringLiteral("needs three increments"));
     }},
    {"count-push-out",
     [](GateConfig& c, const QString& v, QString* e) {
         return tripleOf(v, -1000000, 1000000, c.countPushOut) || fail(e, QStringLiteral("needs three increments"));
     }},
    {"tag-push-ms", [](GateConfig& c, const QString& v, QString* e) { return setInterval(c.tagPushMs, v, e); }},
    {"tag-push-kind",
     [](GateConfig& c, const QString& v, QString* e) {
         if (v.size() != 1 || !QStringLiteral("DdiLl").contains(v))
             return fail(e, QStringLiteral("needs one of D d i L l"));
         c.tagPushKind = v.at(0).toLatin1();
         return true;
     }},
    {"tag-push-uid",
     [](GateConfig& c, const QString& v, QString* e) {
         const auto bytes = HexBytes::parse(v);
         if (!bytes || bytes->size() != 8)
             return fail(e, QStringLiteral("needs 8 hex bytes"));
         c.tagPushUid = *bytes;
         return true;
     }},
    {"tag-push-data",
     [](GateConfig& c, const QString& v, QString* e) {
         const auto bytes = HexBytes::parse(v);
         if (!bytes || bytes->size() > kMaxTagData)
             return fail(e, QStringLiteral("needs at most %1 hex bytes").arg(kMaxTagData));
         c.tagPushData = *bytes;
         return true;
     }},
    {"bad-sum-reply",
     [](GateConfig& c, const QString& v, QString* e) {
         if (v != QLatin1String("none") && v != QLatin1String("nack"))
             return fail(e, QStringLiteral("needs none or nack"));
         c.nackBadSum = v == QLatin1String("nack");
         return true;
     }},
};

bool setReaderByte(GateConfig& c, const QString& address, const QString& v, QString* e)
{
    const auto a = numberOf(address, 0, GateConfig::kReaderEepromBytes - 1);
    if (!a)
        return fail(e, QStringLiteral("reader byte address 0..%1").arg(GateConfig::kReaderEepromBytes - 1));
    return setByte(c.readerEeprom[static_cast<std::size_t>(*a)], v, e);
}

bool setGateWords(GateConfig& c, const QString& address, const QString& v, QString* e)
{
    const auto a = numberOf(address, 0, GateConfig::kGateEepromWords - 1);
    const auto bytes = HexBytes::parse(v);
    if (!a || !bytes || bytes->isEmpty() || bytes->size() % 2 != 0 ||
        *a + bytes->size() / 2 > GateConfig::kGateEepromWords)
        return fail(e, QStringLiteral("needs a word address and 2 hex bytes per word inside words 0..%1")
                           .arg(GateConfig::kGateEepromWords - 1));
    for (qsizetype i = 0; i < bytes->size(); ++i)
        c.gateEeprom[static_cast<std::size_t>(2 * *a + i)] = static_cast<std::uint8_t>((*bytes)[i]);
    return true;
}

bool setReply(GateConfig& c, const QString& request, const QString& v, QString* e)
{
    const QStringList parts = request.split(QLatin1Char('.'));
    const auto sub = parts.size() == 2 ? numberOf(QStringLiteral("0x") + parts[1], 0, 255) : std::nullopt;
    const auto bytes = HexBytes::parse(v);
    if (parts.size() != 2 || parts[0].size() != 1 || parts[0].at(0).unicode() > 0x7E || !sub || !bytes ||
        bytes->size() > 255)
        return fail(e, QStringLiteral("needs reply.<letter>.<hex sub-code>=<hex ACK data>"));
    c.replyOverrides[{parts[0].at(0).toLatin1(), static_cast<std::uint8_t>(*sub)}] = *bytes;
    return true;
}

} // namespace

bool SimConfig::apply(GateConfig& config, const QString& key, const QString& value, QString* error)
{
    const std::pair<const char*, bool (*)(GateConfig&, const QString&, const QString&, QString*)> prefixed[] = {
        {"reader.", setReaderByte}, {"eeprom.", setGateWords}, {"reply.", setReply}};
    for (const auto& [prefix, set] : prefixed) {
        const QLatin1String p(prefix);
        if (key.startsWith(p))
            return set(config, key.mid(p.size()), value, error);
    }
    for (const Key& k : kKeys) {
        if (key == QLatin1String(k.name))
            return k.set(config, value, error);
    }
    return fail(error, QStringLiteral("unknown key"));
}

std::optional<SimConfig> SimConfig::parse(const QByteArray& text, QString* error)
{
    static const QRegularExpression gatePrefix(QStringLiteral("^G(\\d{1,2})\\.(.+)$"));
    SimConfig config;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = QString::fromUtf8(lines[n]).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const auto where = [&](const QString& what) { return QStringLiteral("line %1: %2").arg(n + 1).arg(what); };
        if (eq <= 0) {
            *error = where(QStringLiteral("expected key=value"));
            return std::nullopt;
        }
        Entry entry{-1, line.left(eq).trimmed(), line.mid(eq + 1).trimmed()};
        const auto match = gatePrefix.match(entry.key);
        if (match.hasMatch()) {
            entry.gate = match.captured(1).toInt();
            entry.key = match.captured(2);
        }
        GateConfig scratch;
        QString why;
        if (!apply(scratch, entry.key, entry.value, &why)) {
            *error = where(QStringLiteral("%1: %2").arg(entry.key, why));
            return std::nullopt;
        }
        config.m_entries.push_back(entry);
    }
    return config;
}

GateConfig SimConfig::forGate(int gate) const
{
    GateConfig config;
    QString ignored;
    for (const int pass : {-1, gate}) {
        for (const Entry& entry : m_entries) {
            if (entry.gate == pass)
                apply(config, entry.key, entry.value, &ignored);
        }
    }
    return config;
}
