#include "link/wire_protocol.h"

#include "platform/local_time.h"

namespace wire {

Bytes asBytes(const QByteArray& data)
{
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

QByteArray toByteArray(Bytes bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

int bcdDecode(std::uint8_t byte)
{
    return (byte >> 4) * 10 + (byte & 0x0F);
}

std::uint8_t bcdEncode(int value)
{
    // Unsigned arithmetic: odd inputs wrap instead of overflowing.
    const auto v = static_cast<unsigned>(value);
    return static_cast<std::uint8_t>(v + (v / 10u) * 6u);
}

std::int16_t readBe16Signed(Bytes bytes, std::size_t at)
{
    const auto raw = static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
    return static_cast<std::int16_t>(raw);
}

std::uint32_t readBe24(Bytes bytes, std::size_t at)
{
    return (std::uint32_t{bytes[at]} << 16) | (std::uint32_t{bytes[at + 1]} << 8)
           | std::uint32_t{bytes[at + 2]};
}

ChannelType decodeChannelType(std::uint8_t byte)
{
    switch (byte) {
    case 0:
        return ChannelType::Current;
    case 1:
        return ChannelType::Voltage;
    case 0xFF:
        return ChannelType::Off;
    default:
        return ChannelType::Unchanged;
    }
}

void applyChannelType(std::uint8_t byte, bool& present, QString& unit)
{
    switch (decodeChannelType(byte)) {
    case ChannelType::Current:
        present = true;
        unit = QStringLiteral("A");
        break;
    case ChannelType::Voltage:
        present = true;
        unit = QStringLiteral("V");
        break;
    case ChannelType::Off:
        present = false;
        break;
    case ChannelType::Unchanged:
        break;
    }
}

std::optional<int> intervalSeconds(std::uint8_t unit, std::uint8_t value)
{
    switch (unit) {
    case RU_SECONDS:
        return value;
    case RU_MINUTES:
        return value * 60;
    case RU_HOURS:
        return value * 3600;
    default:
        return std::nullopt;
    }
}

std::uint8_t rateUnitForChoice(int choice)
{
    switch (choice) {
    case 1:
        return RU_MINUTES;
    case 2:
        return RU_HOURS;
    default:
        return RU_SECONDS;
    }
}

BcdTime BcdTime::decode(Bytes sixBytes)
{
    BcdTime t;
    if (sixBytes.size() < 6)
        return t;
    t.year = 2000 + bcdDecode(sixBytes[0]);
    t.month = bcdDecode(sixBytes[1]);
    t.day = bcdDecode(sixBytes[2]);
    t.hour = bcdDecode(sixBytes[3]);
    t.minute = bcdDecode(sixBytes[4]);
    t.second = bcdDecode(sixBytes[5]);
    return t;
}

std::time_t BcdTime::toTimeT() const
{
    // Erased or garbled fields (month 13, day 0, second 165) are folded into a real
    // date rather than refused.
    return timeFromLocalFields(DateFields{year, month, day, hour, minute, second});
}

QByteArray ProbeRequest::bytes()
{
    return QByteArray(1, static_cast<char>(LC_PROBE));
}

Command TransferCommand::download()
{
    Command c;
    c.fill(LC_DOWNLOAD);
    return c;
}

Command TransferCommand::realTime()
{
    Command c;
    c.fill(LC_REALTIME);
    return c;
}

Command TransferCommand::stop()
{
    Command c = realTime();
    markStop(c);
    return c;
}

void TransferCommand::markStop(Command& buffer)
{
    buffer[kCommandSize - 1] = LC_STOP;
}

int BlockRequest::indexAt(int first, int k)
{
    const int base = first < 0 || first >= kMemoryBlocks ? 0 : first;
    return (base + k) % kMemoryBlocks;
}

Command BlockRequest::build(int& blockIndex, std::uint8_t fill)
{
    Command c;
    c.fill(fill);
    c[0] = LC_BLOCK;
    // 64-bit so that no index can overflow the doubling.
    const long long page = static_cast<long long>(blockIndex) * 2;
    if (page >= kPageLimit || page < 0) {
        blockIndex = 0;
        c[1] = 0;
        c[2] = 0;
    } else {
        c[1] = static_cast<std::uint8_t>(page / 256);
        c[2] = static_cast<std::uint8_t>(page % 256);
    }
    return c;
}

std::uint8_t BlockRequest::fillFor(bool partial)
{
    return partial ? kFillPartialBlock : kFillWholeBlock;
}

namespace {

// The bit of a flag value, or nothing when the value has no bit inside the byte
// (settings files can hold any number; a shift by 8 or more must not happen).
std::uint8_t flagBit(int value)
{
    if (value <= 0 || value > 7)
        return 0;
    return static_cast<std::uint8_t>(1u << value);
}

// A detection level: value / 256 and value % 256, each cut to its low 8 bits, which
// is plain big-endian for 0..65535.
void putLevel(Command& c, std::size_t at, int value)
{
    c[at] = static_cast<std::uint8_t>(static_cast<unsigned>(value / 256));
    c[at + 1] = static_cast<std::uint8_t>(static_cast<unsigned>(value % 256));
}

} // namespace

std::uint8_t LoggerSetupCommand::flags() const
{
    return static_cast<std::uint8_t>(0x10 | flagBit(autoOff) | flagBit(memFull));
}

Command LoggerSetupCommand::bytes() const
{
    Command c{};
    c[0] = LC_SETUP;
    c[1] = flags();
    c[2] = rateUnitForChoice(unitChoice);
    c[3] = static_cast<std::uint8_t>(static_cast<unsigned>(rate));
    putLevel(c, 4, riseLevel);
    putLevel(c, 6, dropLevel);
    return c;
}

ClockCommand ClockCommand::fromTm(const std::tm& local)
{
    const DateFields f = dateFieldsFromTm(local);
    return ClockCommand{f.year, f.month, f.day, f.hour, f.minute, f.second};
}

Command ClockCommand::bytes() const
{
    Command c{};
    c[0] = LC_CLOCK;
    // (year + 48) mod 256 is year - 2000 for 2000..2099; unsigned to keep it defined.
    c[1] = bcdEncode(static_cast<int>((static_cast<unsigned>(year) + 48u) % 256u));
    c[2] = bcdEncode(month);
    c[3] = bcdEncode(day);
    c[4] = bcdEncode(hour);
    c[5] = bcdEncode(minute);
    c[6] = bcdEncode(second);
    c[7] = kClockTrailer;
    return c;
}

Decoded<DownloadHeader> DownloadHeader::decode(Bytes d)
{
    Decoded<DownloadHeader> r;
    if (d.size() < kDownloadHeaderSize)
        return r;
    if (d[0] != LR_HEADER) {
        r.status = DecodeStatus::WrongCode;
        return r;
    }
    DownloadHeader& h = r.value;
    h.valuesPerSample = d[1];
    h.ch1Type = d[2];
    h.ch2Type = d[3];
    h.totalBytes = readBe24(d, 4);
    h.startAddress = readBe24(d, 7);
    h.rateUnit = d[10];
    h.intervalValue = d[11];
    h.riseLevel = readBe16Signed(d, 12);
    h.dropLevel = readBe16Signed(d, 14);
    h.start = BcdTime::decode(d.subspan(16, 6));
    h.wrapA = readBe24(d, 22);
    h.wrapB = readBe24(d, 25);
    r.status = DecodeStatus::Ok;
    return r;
}

bool DownloadHeader::isPlausible() const
{
    constexpr std::uint32_t memoryBytes = kMemoryBlocks * kDataBlockSize;
    return valuesPerSample <= 2 && decodeChannelType(ch1Type) != ChannelType::Unchanged
           && decodeChannelType(ch2Type) != ChannelType::Unchanged
           && intervalSeconds(rateUnit, intervalValue).has_value() && totalBytes <= memoryBytes
           && startAddress < memoryBytes;
}

int remainderThreshold(std::uint32_t totalBytes)
{
    return static_cast<int>(totalBytes % kDataBlockSize);
}

bool TransientRecord::startsAt(Bytes stream, std::size_t at)
{
    return at < stream.size() && stream.size() - at >= 2 && stream[at] == kTransientMark0
           && stream[at + 1] == kTransientMark1;
}

Decoded<TransientRecord> TransientRecord::decode(Bytes d)
{
    Decoded<TransientRecord> r;
    if (d.size() < kTransientRecordSize)
        return r;
    if (!startsAt(d, 0)) {
        r.status = DecodeStatus::WrongCode;
        return r;
    }
    TransientRecord& t = r.value;
    t.quantity = d[2];
    t.channel = d[3];
    t.time = BcdTime::decode(d.subspan(4, 6));
    for (std::size_t i = 0; i < kTransientSamples; ++i)
        t.samples[i] = readBe16Signed(d, 10 + 2 * i);
    r.status = DecodeStatus::Ok;
    return r;
}

bool RealTimeFrame::startsFrame(Bytes d)
{
    return d.size() >= 2 && d[0] == LR_FRAME && d[1] == LR_FRAME;
}

Decoded<RealTimeFrame> RealTimeFrame::decode(Bytes d)
{
    Decoded<RealTimeFrame> r;
    if (d.size() < kRealTimeFrameSize)
        return r;
    if (!startsFrame(d)) {
        r.status = DecodeStatus::WrongCode;
        return r;
    }
    RealTimeFrame& f = r.value;
    f.presence = d[2];
    f.ch1Type = d[3];
    f.ch2Type = d[4];
    for (std::size_t g = 0; g < kRealTimePairs; ++g) {
        f.ch1[g] = readBe16Signed(d, 5 + 4 * g);
        f.ch2[g] = readBe16Signed(d, 7 + 4 * g);
    }
    r.status = DecodeStatus::Ok;
    return r;
}

} // namespace wire
