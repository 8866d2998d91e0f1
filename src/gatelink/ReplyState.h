#pragma once

#include "counting/CountRecord.h"
#include "gatelink/FrameAssembler.h"

#include <QString>

#include <array>
#include <cstdint>

// What the sequences read after a send: the category of the last dispatched frame and the last
// reply frame itself. Every send clears ReplyStatus and the ACK flag; LastReply stays until the
// next ACK, NACK, 'G' or 'b' frame replaces it.
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
    CountRecord countRecord;
    QString romVersion;
    // 'I' frames received since the link was initialised.
    int uidFrames = 0;
};
