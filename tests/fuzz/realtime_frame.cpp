// Fuzz target: the real-time frame decoder. Any bytes are offered as a frame:
//   - fewer than 2365 bytes are too short, and a frame needs its 3F 3F start;
//   - a decoded frame holds exactly the bytes it was made of: presence and channel
//     types at 2..4, then 590 big-endian pairs of channel 1 and channel 2 values.
#include "fuzz_support.h"
#include "link/wire_protocol.h"

namespace {

std::int16_t be16(wire::Bytes d, std::size_t at)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(d[at] << 8 | d[at + 1]));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const wire::Bytes d(data, size);
    const bool starts = size >= 2 && d[0] == LR_FRAME && d[1] == LR_FRAME;
    FUZZ_CHECK(wire::RealTimeFrame::startsFrame(d) == starts);

    const auto decoded = wire::RealTimeFrame::decode(d);
    if (size < wire::kRealTimeFrameSize) {
        FUZZ_CHECK(decoded.status == wire::DecodeStatus::TooShort);
        return 0;
    }
    if (!starts) {
        FUZZ_CHECK(decoded.status == wire::DecodeStatus::WrongCode);
        return 0;
    }
    FUZZ_CHECK(decoded.ok());
    const wire::RealTimeFrame& f = decoded.value;
    FUZZ_CHECK(f.presence == d[2] && f.ch1Type == d[3] && f.ch2Type == d[4]);
    for (std::size_t g = 0; g < wire::kRealTimePairs; ++g)
        FUZZ_CHECK(f.ch1[g] == be16(d, 5 + 4 * g) && f.ch2[g] == be16(d, 7 + 4 * g));
    return 0;
}
