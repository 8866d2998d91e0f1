#pragma once

#include <QString>

#include <array>

// The text of the connection-error window: the short names of the gates that are not connected,
// joined by "及び", then "が" and "接続されていません!!". More than seven names are composed a
// second time with two names to a line.
class ConnectionErrorText final
{
public:
    static constexpr int kSlots = 15;

    struct Gate
    {
        bool active = false;
        bool connected = false;
        // Connection attempts above 0, or the connection timer has run 5000 ms.
        bool tried = false;
        bool acknowledged = false;
        QString shortName;
    };

    struct Result
    {
        QString text;
        // Names appended over both passes.
        int count = 0;
        std::array<bool, kSlots> listed{};
    };

    // listed: the gates' listed flags before; the result carries them after.
    static Result compose(const std::array<Gate, kSlots>& gates, const std::array<bool, kSlots>& listed);
    static int fontSize(int count);

private:
    static void pass(const std::array<Gate, kSlots>& gates, bool second, Result& result);
};
