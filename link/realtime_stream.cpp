#include "link/realtime_stream.h"

#include "link/wire_protocol.h"

#include <algorithm>

namespace {

constexpr qsizetype kFrame = static_cast<qsizetype>(wire::kRealTimeFrameSize);
constexpr qsizetype kHeadBytes = 5; // 3F 3F, presence, CH1 type, CH2 type

bool isChannelType(char c)
{
    const auto t = static_cast<std::uint8_t>(c);
    return t == 0 || t == 1 || t == 0xFF;
}

// Whether a frame's head can begin at `at`: 1 yes, 0 no, -1 the bytes end before
// it could be told.
int headAt(const QByteArray& b, qsizetype at)
{
    static constexpr char kStart = static_cast<char>(LR_FRAME);
    for (qsizetype i = at; i < at + kHeadBytes; ++i) {
        if (i >= b.size())
            return -1;
        const bool fits = i - at < 2 ? b[i] == kStart : i - at == 2 || isChannelType(b[i]);
        if (!fits)
            return 0;
    }
    return 1;
}

} // namespace

void RealTimeStream::clear()
{
    m_pending.clear();
    m_missing = static_cast<int>(kFrame);
}

QByteArray RealTimeStream::feed(const QByteArray& bytes)
{
    m_pending.append(bytes);
    QByteArray frame;
    for (;;) {
        // Bytes before a 3F 3F start belong to no frame.
        qsizetype start = 0;
        while (start < m_pending.size() && headAt(m_pending, start) == 0)
            ++start;
        m_pending.remove(0, start);
        if (m_pending.isEmpty()) {
            m_missing = static_cast<int>(kFrame);
            break;
        }
        // A frame head inside the frame begun: the begun one was cut short. The
        // waveform bytes can hold 3F 3F too, so the head must have channel types.
        qsizetype next = 1;
        int found = 0;
        const qsizetype end = std::min(m_pending.size(), kFrame);
        for (; next < end; ++next) {
            found = headAt(m_pending, next);
            if (found != 0)
                break;
        }
        if (found == 1) {
            m_pending.remove(0, next);
            continue;
        }
        if (found == -1) {
            // Not yet known whether a frame begins here.
            m_missing = static_cast<int>(next + kHeadBytes - m_pending.size());
            break;
        }
        if (m_pending.size() < kFrame) {
            m_missing = static_cast<int>(kFrame - m_pending.size());
            break;
        }
        frame = m_pending.left(kFrame);
        m_pending.remove(0, kFrame);
    }
    return frame;
}
