// Fuzz target: the real-time frames. The input is a series of reads from the line,
// each a 2-byte big-endian length and that many bytes (cut at the input's end):
//   - each read, decoded as a frame: fewer than 2365 bytes are too short, a frame needs
//     its 3F 3F start, and a decoded frame holds exactly the bytes it was made of
//     (presence and channel types at 2..4, then 590 big-endian pairs);
//   - the frames the stream finds in the reads are whole, start 3F 3F with channel
//     types, and are the line's own bytes in order, never overlapping;
//   - after any damage the stream finds its frames again: two whole frames that
//     follow it, each in a read of its own, give the second one.
#include <QByteArray>
#include <algorithm>
#include <cmath>

#include "fuzz_support.h"
#include "link/realtime_stream.h"
#include "link/wire_protocol.h"

namespace {

std::int16_t be16(wire::Bytes d, std::size_t at)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(d[at] << 8 | d[at + 1]));
}

void checkDecode(wire::Bytes d)
{
    const bool starts = d.size() >= 2 && d[0] == LR_FRAME && d[1] == LR_FRAME;
    FUZZ_CHECK(wire::RealTimeFrame::startsFrame(d) == starts);
    const auto decoded = wire::RealTimeFrame::decode(d);
    if (d.size() < wire::kRealTimeFrameSize) {
        FUZZ_CHECK(decoded.status == wire::DecodeStatus::TooShort);
        return;
    }
    if (!starts) {
        FUZZ_CHECK(decoded.status == wire::DecodeStatus::WrongCode);
        return;
    }
    FUZZ_CHECK(decoded.ok());
    const wire::RealTimeFrame& f = decoded.value;
    FUZZ_CHECK(f.presence == d[2] && f.ch1Type == d[3] && f.ch2Type == d[4]);
    for (std::size_t g = 0; g < wire::kRealTimePairs; ++g)
        FUZZ_CHECK(f.ch1[g] == be16(d, 5 + 4 * g) && f.ch2[g] == be16(d, 7 + 4 * g));
}

bool channelType(char c)
{
    const auto t = static_cast<std::uint8_t>(c);
    return t == 0 || t == 1 || t == 0xFF;
}

// A frame as the logger sends it: both channels, a sine of `cycles` whole cycles.
QByteArray cleanFrame(double cycles)
{
    QByteArray f(static_cast<qsizetype>(wire::kRealTimeFrameSize), '\0');
    f[0] = f[1] = static_cast<char>(LR_FRAME);
    f[2] = 1;
    f[3] = 1;
    f[4] = 0;
    for (std::size_t g = 0; g < wire::kRealTimePairs; ++g) {
        const double phase = 2 * 3.14159265358979 * cycles * static_cast<double>(g)
                             / static_cast<double>(wire::kRealTimePairs);
        const auto v1 = static_cast<std::uint16_t>(std::lround(3250 * std::sin(phase)));
        const auto v2 = static_cast<std::uint16_t>(std::lround(500 * std::cos(phase)));
        const auto at = static_cast<qsizetype>(5 + 4 * g);
        f[at] = static_cast<char>(v1 >> 8);
        f[at + 1] = static_cast<char>(v1 & 0xFF);
        f[at + 2] = static_cast<char>(v2 >> 8);
        f[at + 3] = static_cast<char>(v2 & 0xFF);
    }
    return f;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RealTimeStream stream;
    QByteArray line;        // every byte the reads carried
    qsizetype frameEnd = 0; // where the last frame found ended in it
    std::size_t at = 0;
    while (at + 2 <= size) {
        const std::size_t wanted = static_cast<std::size_t>(data[at]) << 8 | data[at + 1];
        at += 2;
        const std::size_t length = std::min(wanted, size - at);
        const QByteArray read = fuzz::bytes(data + at, length);
        at += length;
        checkDecode(wire::Bytes(data + at - length, length));

        line.append(read);
        const QByteArray frame = stream.feed(read);
        FUZZ_CHECK(stream.missing() >= 1
                   && stream.missing() <= static_cast<int>(wire::kRealTimeFrameSize));
        if (frame.isEmpty())
            continue;
        FUZZ_CHECK(frame.size() == static_cast<qsizetype>(wire::kRealTimeFrameSize));
        FUZZ_CHECK(wire::RealTimeFrame::startsFrame(wire::asBytes(frame)));
        FUZZ_CHECK(channelType(frame[3]) && channelType(frame[4]));
        const qsizetype found = line.indexOf(frame, frameEnd);
        FUZZ_CHECK(found >= 0);
        frameEnd = found + frame.size();
    }

    static const QByteArray first = cleanFrame(5);
    static const QByteArray second = cleanFrame(3);
    stream.feed(first);
    FUZZ_CHECK(stream.feed(second) == second);
    return 0;
}
