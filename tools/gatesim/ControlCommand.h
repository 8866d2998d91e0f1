#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// One line of the control interface, checked and split into its parts (see README.md for the grammar).
struct ControlCommand
{
    enum class Verb
    {
        Count,
        SetCount,
        PushCount,
        Tag,
        Raw,
        Fault,
        ClearFaults,
        Counters,
        State,
        Eeprom,
        Help,
        Quit,
    };
    enum class Fault
    {
        Delay,
        Nack,
        Silence,
        Garbage,
        BadSum,
        Drop,
        Refuse,
    };
    static constexpr int kAllGates = -1;

    Verb verb = Verb::Help;
    int gate = 0;
    int aisle = 0;
    std::int32_t in = 0;
    std::int32_t out = 0;
    char tagKind = 'D';
    QList<QByteArray> uids;
    QByteArray bytes; // tag data, raw bytes, EEPROM words
    Fault fault = Fault::Drop;
    int amount = 0;
    int address = 0;

    // nullopt with *error for a bad line; an empty or comment line gives nullopt with an empty error.
    static std::optional<ControlCommand> parse(const QString& line, QString* error);
    static QString names();
};
