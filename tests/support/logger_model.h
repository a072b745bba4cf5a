#pragma once
// The logger without any line: what it holds, how it answers a request, and what the
// faults of a line do to its replies. The simulator on a pty and the fake-clock tests
// of the reception share it.
#include "link/wire_protocol.h"

#include <QByteArray>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace sim {

// One transient record stored in the logger memory, before RMS sample `beforeSample`.
struct ScenarioTransient {
    int beforeSample = 0;
    std::uint8_t quantity = wire::kTrQuantityVoltage;
    std::uint8_t channel = wire::kTrChannel1;
    wire::BcdTime time;
    std::vector<std::int16_t> samples; // 251 values; missing ones are 0
};

// What the logger holds and reports in its download header.
struct LoggerScenario {
    std::uint8_t valuesPerSample = 2; // K
    std::uint8_t ch1Type = 1;         // voltage
    std::uint8_t ch2Type = 0;         // current
    std::uint8_t rateUnit = RU_SECONDS;
    std::uint8_t intervalValue = 1;
    std::int16_t riseLevel = 500;
    std::int16_t dropLevel = 100;
    wire::BcdTime start{2009, 3, 7, 14, 5, 9};
    std::uint32_t wrapA = 0;
    std::uint32_t wrapB = 0;
    std::uint32_t startAddress = 0; // first block = startAddress / 512
    std::vector<std::int16_t> rms;  // K raw values per sample (reading x 10), in order
    std::vector<ScenarioTransient> transients;
    // Total announced in the header; by default the length of the stored stream.
    std::optional<std::uint32_t> totalOverride;
};

// A fault of a real line or of a slow logger, done to one reply (or to every reply
// from that one on).
struct LineFault {
    enum class Kind {
        Late,        // sent delayMs late; later replies wait behind it, as in the logger
        Twice,       // sent twice, the copy delayMs after it
        CutShort,    // only the first `bytes` bytes are sent
        Split,       // `bytes` bytes, then the rest delayMs later
        StrayBefore, // `bytes` stray bytes come first
        StrayAfter,  // `bytes` stray bytes follow it, delayMs after it
        Garble,      // the byte at offset `bytes` is wrong
    };
    Kind kind = Kind::Late;
    std::uint8_t request = LC_BLOCK; // whose reply: LC_DOWNLOAD, LC_BLOCK, LC_REALTIME (a
                                     // frame), ...; 0 for any
    int nth = 0;                     // the nth such reply from now, from 0
    int bytes = 0;
    int delayMs = 0;
    bool every = false;      // also every later such reply
    std::uint8_t value = 0;  // the stray or garbled byte (0: kStrayByte)
};

// The memory the fault cases download: three whole blocks and a remainder, with a
// transient record, every sample its own value so that a shift shows (1712 bytes).
LoggerScenario faultScenario();

// Appends a 16-bit value, big-endian.
void appendBe16(QByteArray& out, std::int16_t value);

// The logger's memory and its answers to the 8-byte requests.
class LoggerModel {
public:
    static constexpr std::size_t kMemorySize = wire::kMemoryBlocks * wire::kDataBlockSize;

    LoggerModel();
    void setScenario(const LoggerScenario& scenario);
    // The byte stream (RMS samples and transient records) a scenario stores.
    static QByteArray buildStream(const LoggerScenario& scenario);
    // The 28-byte header the logger sends after 0xDD... (its first byte is 0xDD).
    QByteArray header() const;
    // The ring memory (1024 x 512 bytes, erased bytes 0xFF), writable for odd cases.
    std::vector<std::uint8_t>& memory() { return m_memory; }
    // The reply to a download, block, set-up or clock request; empty for any other.
    QByteArray answer(const QByteArray& command) const;

    bool busy = false;   // a download is answered "busy logging"
    bool noData = false; // the header announces a total of 0
    std::uint8_t setupReply = LR_ACK;
    std::uint8_t clockReply = LR_ACK;

private:
    LoggerScenario m_scenario;
    std::uint32_t m_total = 0;
    std::vector<std::uint8_t> m_memory;
};

// The faults of a line, counted reply by reply.
class FaultPlan {
public:
    // The value of a stray or garbled byte, unless the fault names its own.
    static constexpr char kStrayByte = static_cast<char>(0xA5);

    void add(const LineFault& fault);
    // What the reply `bytes` to `request`, made at `now`, puts on the line, and when (in
    // the order given; the line keeps that order).
    struct Piece {
        qint64 due = 0;
        QByteArray bytes;
    };
    std::vector<Piece> apply(std::uint8_t request, QByteArray bytes, qint64 now);

private:
    struct ArmedFault {
        LineFault fault;
        int first = 0; // the reply count at which it begins
    };
    std::vector<ArmedFault> m_faults;
    std::map<std::uint8_t, int> m_replies; // replies so far, per request code (0: all)
};

} // namespace sim
