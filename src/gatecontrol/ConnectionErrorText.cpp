#include "gatecontrol/ConnectionErrorText.h"

namespace {

const QChar kCr(u'\r');

} // namespace

ConnectionErrorText::Result ConnectionErrorText::compose(const std::array<Gate, kSlots>& gates,
                                                         const std::array<bool, kSlots>& listed)
{
    Result result;
    result.listed = listed;
    pass(gates, false, result);
    if (result.count > 7) {
        result.text.clear();
        pass(gates, true, result);
    }
    if (!result.text.isEmpty()) {
        result.text += u"が";
        if (result.count <= 7 || result.count % 2 == 1)
            result.text += kCr;
        result.text += u"接続されていません!!";
    }
    return result;
}

int ConnectionErrorText::fontSize(int count)
{
    if (count <= 7)
        return static_cast<int>(26 - 0.8 * count);
    return static_cast<int>(26 - 0.5 * (count / 2));
}

void ConnectionErrorText::pass(const std::array<Gate, kSlots>& gates, bool second, Result& result)
{
    for (int j = 0; j < kSlots; ++j) {
        const Gate& gate = gates[static_cast<std::size_t>(j)];
        // A slot that is not driven has no connection to miss.
        if (!gate.active)
            continue;
        if (!gate.connected && gate.tried) {
            if (gate.shortName.isEmpty() || gate.acknowledged)
                continue;
            if (!result.text.isEmpty()) {
                result.text += u"及び";
                if (!second || result.count % 2 == 1)
                    result.text += kCr;
            }
            result.listed[static_cast<std::size_t>(j)] = true;
            result.text += gate.shortName;
            ++result.count;
        } else if (gate.connected) {
            result.listed[static_cast<std::size_t>(j)] = false;
        }
    }
}
