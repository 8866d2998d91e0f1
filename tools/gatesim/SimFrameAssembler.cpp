#include "gatesim/SimFrameAssembler.h"

#include "gatelink/GateFrame.h"

namespace {

void addJunk(std::vector<SimFrameAssembler::Piece>& out, QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    if (!out.empty() && out.back().kind == SimFrameAssembler::Piece::Kind::Junk)
        out.back().bytes.append(bytes);
    else
        out.push_back({SimFrameAssembler::Piece::Kind::Junk, bytes.toByteArray()});
}

bool isGood(QByteArrayView frame)
{
    return GateFrame::IsSound(reinterpret_cast<const std::uint8_t*>(frame.data()));
}

// Where a later STX starts a complete frame with a good SUM inside buffer, or -1. Such a frame shows
// that the incomplete candidate in front of it was junk with an STX in it.
qsizetype laterGoodFrame(const QByteArray& buffer)
{
    for (qsizetype at = buffer.indexOf(static_cast<char>(GateFrame::kStx), 1); at > 0;
         at = buffer.indexOf(static_cast<char>(GateFrame::kStx), at + 1)) {
        if (buffer.size() - at < GateFrame::kOverhead)
            return -1;
        const qsizetype total = static_cast<std::uint8_t>(buffer[at + 3]) + GateFrame::kOverhead;
        if (at + total <= buffer.size() && static_cast<std::uint8_t>(buffer[at + total - 1]) == GateFrame::kCr &&
            isGood(QByteArrayView(buffer).sliced(at, total)))
            return at;
    }
    return -1;
}

} // namespace

std::vector<SimFrameAssembler::Piece> SimFrameAssembler::feed(QByteArrayView bytes)
{
    m_buffer.append(bytes);
    std::vector<Piece> out;
    scan(out);
    return out;
}

std::vector<SimFrameAssembler::Piece> SimFrameAssembler::abandonPartial()
{
    std::vector<Piece> out;
    if (m_buffer.isEmpty())
        return out;
    addJunk(out, QByteArrayView(m_buffer).first(1));
    m_buffer.remove(0, 1);
    scan(out);
    return out;
}

void SimFrameAssembler::scan(std::vector<Piece>& out)
{
    while (!m_buffer.isEmpty()) {
        const qsizetype start = m_buffer.indexOf(static_cast<char>(GateFrame::kStx));
        if (start < 0) {
            addJunk(out, m_buffer);
            m_buffer.clear();
            return;
        }
        addJunk(out, QByteArrayView(m_buffer).first(start));
        m_buffer.remove(0, start);
        if (m_buffer.size() < 4)
            return;
        const qsizetype total = static_cast<std::uint8_t>(m_buffer[3]) + GateFrame::kOverhead;
        if (m_buffer.size() < total) {
            const qsizetype next = laterGoodFrame(m_buffer);
            if (next < 0)
                return;
            addJunk(out, QByteArrayView(m_buffer).first(next));
            m_buffer.remove(0, next);
            continue;
        }
        if (static_cast<std::uint8_t>(m_buffer[total - 1]) != GateFrame::kCr) {
            addJunk(out, QByteArrayView(m_buffer).first(1));
            m_buffer.remove(0, 1);
            continue;
        }
        QByteArray frame = m_buffer.left(total);
        m_buffer.remove(0, total);
        const auto kind = isGood(frame) ? Piece::Kind::Frame : Piece::Kind::BadFrame;
        out.push_back({kind, std::move(frame)});
    }
}
