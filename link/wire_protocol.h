#pragma once
// Every byte that crosses the serial line between the program and the logger: the
// requests we send, the replies and records the logger returns, and the receive
// threshold that goes with each request. Pure code: no port, no widgets.
//
// Numbers on the wire are big-endian; there is no framing, length or checksum, so a
// reply is recognised only by the threshold in force and its first byte(s).
// Decoders take the bytes they may read as a span and never look past its end.

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>

#include <QByteArray>
#include <QString>

// First byte of what the program sends.
enum LoggerCommand : std::uint8_t {
    LC_PROBE = 0x78,
    LC_DOWNLOAD = 0x68,
    LC_REALTIME = 0xC8,
    LC_STOP = 0xC9, // last byte of the transfer command that stops a real-time run
    LC_BLOCK = 0xD8,
    LC_SETUP = 0xAA,
    LC_CLOCK = 0xAC,
};

// First byte of what the logger sends.
enum LoggerReply : std::uint8_t {
    LR_PROBE_ACK = 0xAF,
    LR_ACK = 0xEE,
    LR_ACK_PRESS_START = 0x1E,
    LR_BUSY_LOGGING = 0xEA,
    LR_HEADER = 0xDD,
    LR_FRAME = 0x3F, // twice: 0x3F 0x3F opens a real-time frame
};

// Unit byte of a logging interval.
enum RateUnit : std::uint8_t {
    RU_SECONDS = 0x10,
    RU_MINUTES = 0x20,
    RU_HOURS = 0x30,
};

namespace wire {

constexpr std::size_t kCommandSize = 8;
constexpr std::size_t kDownloadHeaderSize = 28;
constexpr std::size_t kDataBlockSize = 512;
constexpr std::size_t kTransientRecordSize = 512;
constexpr std::size_t kTransientSamples = 251;
constexpr std::size_t kRealTimeFrameSize = 2365;
constexpr std::size_t kRealTimePairs = 590;
constexpr int kMemoryBlocks = 1024; // the logger memory: 1024 blocks of 512 bytes
constexpr int kPageLimit = 2048;    // 256-byte pages; page 2048 wraps to 0

constexpr std::uint8_t kFillWholeBlock = 0xFF;
constexpr std::uint8_t kFillPartialBlock = 0x01;
constexpr std::uint8_t kClockTrailer = 0xFF;
constexpr std::uint8_t kTransientMark0 = 0x7F;
constexpr std::uint8_t kTransientMark1 = 0xFF;

// Transient record quantity and channel codes, stored as received.
constexpr std::uint8_t kTrQuantityVoltage = 0xFA;
constexpr std::uint8_t kTrQuantityCurrent = 0xFC;
constexpr std::uint8_t kTrChannel1 = 0xF1;
constexpr std::uint8_t kTrChannel2 = 0xF2;

// The line to the logger in the serial control's notation: 115200 baud, no parity,
// 8 data bits, 1 stop bit.
constexpr char kLineSettings[] = "115200,n,8,1";

// Receive thresholds: the control raises one receive event when this many bytes wait,
// the length of the reply awaited.
constexpr int kThresholdHandshake = 1; // probe, set-up, clock, and the idle port
constexpr int kThresholdHeader = static_cast<int>(kDownloadHeaderSize); // download command
constexpr int kThresholdBlock = static_cast<int>(kDataBlockSize);       // whole block request
constexpr int kThresholdFrame = static_cast<int>(kRealTimeFrameSize);   // real-time command

using Command = std::array<std::uint8_t, kCommandSize>;
using Bytes = std::span<const std::uint8_t>;

// Views a QByteArray as bytes and back, for handing frames to the serial control.
Bytes asBytes(const QByteArray& data);
QByteArray toByteArray(Bytes bytes);

// BCD: high nibble tens, low nibble units. Decoding does no validity check (0xFF gives
// 165); encoding keeps the low 8 bits of v + (v / 10) * 6.
int bcdDecode(std::uint8_t byte);
std::uint8_t bcdEncode(int value);

// Big-endian readers over a span; the caller has checked the length.
std::int16_t readBe16Signed(Bytes bytes, std::size_t at);
std::uint32_t readBe24(Bytes bytes, std::size_t at);

// A channel type byte: 0 current ("A"), 1 voltage ("V"), 0xFF off; any other value
// leaves the channel as it was.
enum class ChannelType { Current, Voltage, Off, Unchanged };
ChannelType decodeChannelType(std::uint8_t byte);
// Applies a channel type byte to a channel's presence flag and unit text.
void applyChannelType(std::uint8_t byte, bool& present, QString& unit);

// Interval in seconds for a rate unit byte and value; nullopt for an unknown unit
// (the caller keeps its previous interval).
std::optional<int> intervalSeconds(std::uint8_t unit, std::uint8_t value);
// Rate unit byte for a unit choice of the set-up dialog: 0 s, 1 min, 2 h, other s.
std::uint8_t rateUnitForChoice(int choice);

// A date and time as six BCD bytes carry it (year already 2000 + YY). Fields may be
// impossible (erased memory reads 0xFF everywhere); toTimeT still gives a defined
// value: the fields are normalised as local time, and 0 when even that fails.
struct BcdTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    static BcdTime decode(Bytes sixBytes); // needs 6 bytes; fewer give the defaults
    std::time_t toTimeT() const;
    bool operator==(const BcdTime&) const = default;
};

enum class DecodeStatus { Ok, TooShort, WrongCode };

template <class T> struct Decoded {
    DecodeStatus status = DecodeStatus::TooShort;
    T value{};
    bool ok() const { return status == DecodeStatus::Ok; }
};

// --- requests ----------------------------------------------------------------------

struct ProbeRequest {
    static QByteArray bytes(); // the single byte 0x78
};

struct TransferCommand {
    static Command download(); // 0x68 x 8
    static Command realTime(); // 0xC8 x 8
    static Command stop();     // 0xC8 x 7, 0xC9
    // The stop is made by overwriting the last byte of the buffer of the running command.
    static void markStop(Command& buffer);
};

struct BlockRequest {
    // Request for the 512 bytes of block blockIndex (page = index x 2). When the page
    // would be 2048 or more (or is negative), page 0 is sent and blockIndex is reset to
    // 0 so that reading goes on from the start of the ring memory. The index is not
    // advanced: the caller does that after each request.
    // Index of the k-th block of a download that begins at block `first`, as build
    // wraps it: the memory is read as a ring from its start once past its end.
    static int indexAt(int first, int k);
    static Command build(int& blockIndex, std::uint8_t fill);
    // Fill byte: 0xFF for a whole block, 0x01 for the last, partial one.
    static std::uint8_t fillFor(bool partial);
};

struct LoggerSetupCommand {
    int autoOff = 0;    // 2 on, 0 off (settings may hold other values)
    int memFull = 0;    // 3 continue and overwrite the oldest point, 0 stop
    int unitChoice = 0; // 0 seconds, 1 minutes, 2 hours
    int rate = 10;      // low 8 bits are sent
    int riseLevel = 500;
    int dropLevel = 100;

    // Flags byte: 0x10, plus bit (1 << autoOff) and bit (1 << memFull) for non-zero
    // values. A value outside 0..7 has no bit inside the byte and adds nothing.
    std::uint8_t flags() const;
    Command bytes() const;
};

struct ClockCommand {
    int year = 2000; // full year; sent as BCD((year + 48) mod 256)
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    static ClockCommand fromTm(const std::tm& local);
    Command bytes() const;
};

// --- replies and data --------------------------------------------------------------

struct DownloadHeader {
    std::uint8_t valuesPerSample = 0; // K: 1 one channel, 2 both, 0 no data
    std::uint8_t ch1Type = 0xFF;
    std::uint8_t ch2Type = 0xFF;
    std::uint32_t totalBytes = 0;
    std::uint32_t startAddress = 0;
    std::uint8_t rateUnit = RU_SECONDS;
    std::uint8_t intervalValue = 0;
    std::int16_t riseLevel = 0;
    std::int16_t dropLevel = 0;
    BcdTime start;
    std::uint32_t wrapA = 0;
    std::uint32_t wrapB = 0;

    // Needs 28 bytes starting with 0xDD.
    static Decoded<DownloadHeader> decode(Bytes bytes);

    bool hasNoData() const { return valuesPerSample == 0 || totalBytes == 0; }
    // Whether a logger could have sent it: 0, 1 or 2 values per sample, known channel
    // types and rate unit, the data inside the logger memory. The wire has no
    // checksum; a damaged header that breaks one of these rules can still be told.
    bool isPlausible() const;
    int firstBlockIndex() const { return static_cast<int>(startAddress / kDataBlockSize); }
    int wholeBlocks() const { return static_cast<int>(totalBytes / kDataBlockSize); }
    int remainderBytes() const { return static_cast<int>(totalBytes % kDataBlockSize); }
};

// Receive threshold for the last, partial block of a download of totalBytes.
int remainderThreshold(std::uint32_t totalBytes);

struct TransientRecord {
    std::uint8_t quantity = 0; // 0xFA voltage, 0xFC current
    std::uint8_t channel = 0;  // 0xF1 CH1, 0xF2 CH2
    BcdTime time;
    std::array<std::int16_t, kTransientSamples> samples{};

    // True when the two bytes at `at` are the record mark 0x7F 0xFF (false when fewer
    // than two bytes remain).
    static bool startsAt(Bytes stream, std::size_t at);
    // Needs 512 bytes starting with 0x7F 0xFF.
    static Decoded<TransientRecord> decode(Bytes bytes);
};

struct RealTimeFrame {
    std::uint8_t presence = 0; // 0: no channel connected
    std::uint8_t ch1Type = 0xFF;
    std::uint8_t ch2Type = 0xFF;
    std::array<std::int16_t, kRealTimePairs> ch1{};
    std::array<std::int16_t, kRealTimePairs> ch2{};

    // Needs 2365 bytes starting with 0x3F 0x3F; extra bytes are ignored.
    static Decoded<RealTimeFrame> decode(Bytes bytes);
    static bool startsFrame(Bytes bytes);
};

} // namespace wire
