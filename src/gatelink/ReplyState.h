#pragma once

#include "counting/CountRecord.h"
#include "gatelink/FrameAssembler.h"

#include <QString>

#include <array>
#include <cstdint>

// What the sequences read after a send: the category of the last dispatched frame and the last
// reply frame itself. Every send clears ReplyStatus, the ACK flag and the answer; LastReply stays
// until the next ACK, NACK, 'G' or 'b' frame replaces it.
struct ReplyState
{
    enum Status : int
    {
        None = 0,
        Ack = 2,
        Tag = 3,
        TagUid = 4,
        MultiTag = 5,
        Nack = 6,
        Uid = 7,
        TagL = 8,
        GateEvent = 9,
        LcdBoard = 10,
        TagType = 11,
        UidCountAck = 12,
    };

    int replyStatus = None;
    bool ackFlag = false;
    // The CMD letter of the last frame a command built; routes ACK replies.
    char lastCommand = 0;
    std::array<std::uint8_t, FrameAssembler::kBufferSize> lastReply{};
    int lastReplyLength = 0;
    // The last ACK or NACK frame since the send (length 0: none). A gate's own 'G' count frame can
    // replace LastReply before the sequence looks; this keeps the answer itself.
    std::array<std::uint8_t, FrameAssembler::kBufferSize> answer{};
    int answerLength = 0;
    CountRecord countRecord;
    QString romVersion;
    // 'I' frames received since the link was initialised.
    int uidFrames = 0;
};
