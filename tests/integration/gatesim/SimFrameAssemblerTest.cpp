#include "gatesim/SimFrameAssembler.h"
#include "gatesim/HexBytes.h"

#include <gtest/gtest.h>

namespace {

using Kind = SimFrameAssembler::Piece::Kind;

QByteArray bytes(const char* hex)
{
    return *HexBytes::parse(QString::fromLatin1(hex));
}

// Pieces rendered as "F:<hex>", "B:<hex>" or "J:<hex>", one string per piece.
std::vector<std::string> render(const std::vector<SimFrameAssembler::Piece>& pieces)
{
    std::vector<std::string> out;
    for (const auto& p : pieces) {
        const char* tag = p.kind == Kind::Frame ? "F:" : p.kind == Kind::BadFrame ? "B:" : "J:";
        out.push_back(tag + HexBytes::format(p.bytes).toStdString());
    }
    return out;
}

constexpr const char* kRom = "02 00 4F 02 90 00 03 E6 0D";

struct Case
{
    const char* name;
    std::vector<const char*> chunks;
    std::vector<std::string> expected;
    bool stillPartial = false;
};

} // namespace

TEST(SimFrameAssembler, CutsFramesOutOfAnyStream)
{
    const std::string rom = std::string("F:") + kRom;
    const Case cases[] = {
        {"whole frame", {kRom}, {rom}},
        {"one byte at a time", {"02", "00", "4F", "02", "90", "00", "03", "E6", "0D"}, {rom}},
        {"two frames in one chunk",
         {"02 00 4F 02 90 00 03 E6 0D 02 00 30 00 03 35 0D"},
         {rom, "F:02 00 30 00 03 35 0D"}},
        {"junk before a frame", {"AA BB", kRom}, {"J:AA BB", rom}},
        {"STX in the data is data", {"02 00 4E 01 02 03 56 0D"}, {"F:02 00 4E 01 02 03 56 0D"}},
        {"bad sum", {"02 00 4F 02 90 00 03 E7 0D"}, {"B:02 00 4F 02 90 00 03 E7 0D"}},
        {"no ETX before the sum", {"02 00 4F 02 90 00 04 E7 0D"}, {"B:02 00 4F 02 90 00 04 E7 0D"}},
        // The wrong terminator costs only the STX; the STX in the LEN byte after it would wait for
        // 151 bytes, but the good frame right behind shows it to be junk.
        {"wrong terminator then a good frame",
         {"02 00 4F 02 90 00 03 E6 0A", kRom},
         {"J:02 00 4F", "J:02 90 00 03 E6 0A", rom}},
        {"frame split after its LEN", {"02 00 4F 02", "90 00 03 E6 0D"}, {rom}},
        {"unfinished frame waits", {"02 00 4F 05 90"}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimFrameAssembler assembler;
        std::vector<std::string> got;
        for (const char* chunk : c.chunks) {
            const auto pieces = render(assembler.feed(bytes(chunk)));
            got.insert(got.end(), pieces.begin(), pieces.end());
        }
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(assembler.hasPartial(), c.stillPartial);
    }
}

TEST(SimFrameAssembler, GivesUpAStalledFrameAndKeepsWhatFollowsIt)
{
    SimFrameAssembler assembler;
    // LEN 0xFF promises 262 bytes that never come; the request behind it has a wrong sum, so only
    // giving up the stalled candidate brings it out.
    EXPECT_TRUE(assembler.feed(bytes("02 00 4F FF 02 00 4F 02 90 00 03 E7 0D")).empty());
    EXPECT_EQ(render(assembler.abandonPartial()),
              (std::vector<std::string>{"J:02 00 4F FF", "B:02 00 4F 02 90 00 03 E7 0D"}));
    EXPECT_FALSE(assembler.hasPartial());
}
