#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

// Cuts gate frames (STX ... CR) out of a byte stream. Unlike the system's own assembler it
// resynchronises: a candidate whose byte at the CR position is not CR gives up only its STX
// and the search goes on from the next byte, so junk never costs a good frame after it. A candidate
// still short of its length gives way as soon as a complete good frame follows it.
class SimFrameAssembler
{
public:
    struct Piece
    {
        enum class Kind
        {
            Frame,    // good ETX and SUM
            BadFrame, // right length and CR, but a wrong SUM or no ETX
            Junk,     // bytes that belong to no frame
        };
        Kind kind;
        QByteArray bytes;
    };

    std::vector<Piece> feed(QByteArrayView bytes);
    // Treats the STX of a frame that stopped arriving as junk and looks again at what followed it.
    std::vector<Piece> abandonPartial();
    bool hasPartial() const { return !m_buffer.isEmpty(); }

private:
    void scan(std::vector<Piece>& out);

    QByteArray m_buffer;
};
