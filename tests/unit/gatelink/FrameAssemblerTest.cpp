#include "GateLinkTestSupport.h"

#include "gatelink/FrameAssembler.h"
#include "gatelink/FrameSink.h"
#include "gatelink/ReceiveRing.h"

#include <gtest/gtest.h>

using namespace GateLinkTest;

namespace {

class RecordingFrames final : public FrameSink
{
public:
    void FrameCompleted(const std::uint8_t* frame, int length) override
    {
        frames.append(QByteArray(reinterpret_cast<const char*>(frame), length));
    }
    QList<QByteArray> frames;
};

struct Assembly
{
    ReceiveRing ring;
    FrameAssembler assembler;
    bool guard = false;
    RecordingFrames sink;

    void feed(const QByteArray& bytes, int chunk)
    {
        for (qsizetype at = 0; at < bytes.size(); at += chunk) {
            const QByteArray part = bytes.mid(at, chunk);
            ring.Append(u8(part), static_cast<int>(part.size()));
            assembler.Assemble(ring, guard, sink);
        }
    }
};

const QByteArray kAck = hex("02 00 30 00 03 35 0D");
const QByteArray kTag = frame('D', hex("01 02 03 04 05 06 07 08"));

struct StreamCase
{
    const char* name;
    QByteArray stream;
    QList<QByteArray> expected;
};

QByteArray withTerminator(QByteArray bytes, char last)
{
    bytes[bytes.size() - 1] = last;
    return bytes;
}

std::vector<StreamCase> streamCases()
{
    const QByteArray withStx = frame('G', hex("81 02 02 02"));
    const QByteArray longest = frame('x', QByteArray(255, '\x02'));
    return {
        {"ackWithoutData", kAck, {kAck}},
        {"garbageBeforeStx", hex("FF 41 0D 03") + kAck, {kAck}},
        {"stxInsideDataIsData", withStx, {withStx}},
        {"twoFramesInOrder", kAck + kTag, {kAck, kTag}},
        {"longestFrame", longest, {longest}},
        {"wrongTerminatorLosesNextByte", withTerminator(kTag, '\x0A') + QByteArray("\x55") + kAck, {kAck}},
        {"wrongTerminatorLosesEvenStx", withTerminator(kTag, '\x0A') + kAck + kTag, {kTag}},
        {"badSumIsStillCutOut", hex("02 00 30 00 03 99 0D"), {hex("02 00 30 00 03 99 0D")}},
    };
}

} // namespace

TEST(FrameAssembler, CutsFramesOutOfStreamsInAnyChunkSize)
{
    for (const StreamCase& c : streamCases()) {
        for (const int chunk : {1, 2, 5, 7, 4096}) {
            Assembly assembly;
            assembly.feed(c.stream, chunk);
            EXPECT_EQ(assembly.sink.frames, c.expected) << c.name << " in chunks of " << chunk;
        }
    }
}

TEST(FrameAssembler, AssemblesAChunkThatCrossesTheEndOfTheRing)
{
    Assembly assembly;
    assembly.ring.reset(ReceiveRing::kSize - 3);
    const QByteArray stream = kTag + kAck;
    assembly.feed(stream, static_cast<int>(stream.size()));
    EXPECT_LT(assembly.ring.writeIndex(), 32);
    EXPECT_EQ(assembly.sink.frames, (QList<QByteArray>{kTag, kAck}));
}

TEST(FrameAssembler, LeavesBytesInTheRingWhileAnyLinkIsAssembling)
{
    Assembly assembly;
    assembly.guard = true;
    assembly.feed(kAck, 7);
    EXPECT_TRUE(assembly.sink.frames.isEmpty());
    EXPECT_EQ(assembly.ring.available(), 7);
    EXPECT_TRUE(assembly.guard);

    assembly.guard = false;
    assembly.assembler.Assemble(assembly.ring, assembly.guard, assembly.sink);
    EXPECT_EQ(assembly.sink.frames, QList<QByteArray>{kAck});
    EXPECT_FALSE(assembly.guard);
}

TEST(FrameAssembler, DropsAPartialFrameAfterHundredIdleRuns)
{
    for (const int idleRuns : {100, 101}) {
        Assembly assembly;
        assembly.feed(kAck.left(4), 4);
        for (int i = 0; i < idleRuns; ++i)
            assembly.assembler.Assemble(assembly.ring, assembly.guard, assembly.sink);
        assembly.feed(kAck.mid(4), 3);
        assembly.feed(kAck, 7);
        EXPECT_EQ(assembly.sink.frames.size(), idleRuns == 100 ? 2 : 1) << idleRuns << " idle runs";
    }
}

TEST(ReceiveRing, CutsAChunkInsteadOfOverwritingUnreadBytes)
{
    ReceiveRing ring;
    ring.reset(ReceiveRing::kSize - 10);
    const QByteArray first(ReceiveRing::kSize - 100, 'a');
    EXPECT_EQ(ring.Append(u8(first), static_cast<int>(first.size())), first.size());
    const QByteArray second(200, 'b');
    EXPECT_EQ(ring.Append(u8(second), 200), 99);
    EXPECT_EQ(ring.available(), ReceiveRing::kSize - 1);
    EXPECT_EQ(ring.freeSpace(), 0);

    for (int i = 0; i < static_cast<int>(first.size()); ++i)
        ASSERT_EQ(ring.take(), 'a') << "at " << i;
    for (int i = 0; i < 99; ++i)
        ASSERT_EQ(ring.take(), 'b');
    EXPECT_EQ(ring.available(), 0);
}
