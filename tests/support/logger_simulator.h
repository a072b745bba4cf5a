#pragma once
// A logger on a pseudo-terminal, for tests of the serial link.
//
// The simulator holds the master side of a pty and answers what the program writes to
// the slave side (devicePath(), which a test puts into RQ730_SERIAL_PORTS). It runs in
// the test's own thread, driven by the Qt event loop, so a test advances it by running
// events (waitUntil below).

#include "link/wire_protocol.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <map>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

namespace sim {

// Runs events until condition() holds or timeoutMs passes; returns condition().
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 2000);
// Runs events for ms milliseconds.
void runEventsFor(int ms);

// Sets RQ730_SERIAL_PORTS for the lifetime of the object (COM1 = first entry) and
// restores the previous value afterwards.
class ScopedSerialPorts {
public:
    explicit ScopedSerialPorts(const QStringList& devices);
    ~ScopedSerialPorts();
    ScopedSerialPorts(const ScopedSerialPorts&) = delete;
    ScopedSerialPorts& operator=(const ScopedSerialPorts&) = delete;

private:
    bool m_wasSet;
    QByteArray m_previous;
};

// One pty pair in raw mode, master non-blocking. The slave stays open on our side too,
// so that the line lives while the program closes and reopens the port. The program is
// given a link of our own to the slave, removed on hang-up: the kernel hands a freed pty
// number to the next pty asked for (another test's, when tests run side by side), and a
// program reopening an unplugged port must not land on that one.
class PseudoTerminal {
public:
    PseudoTerminal(); // throws std::runtime_error when no pty can be had
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int masterFd() const { return m_master; }
    QString devicePath() const { return m_path; }
    bool isOpen() const { return m_master >= 0; }
    // Closes both of our ends: the program's side of the line hangs up.
    void hangUp();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    QString m_linkPath;
};

// A port with nothing behind it: takes whatever is sent, never answers.
class SilentPort : public QObject {
    Q_OBJECT
public:
    explicit SilentPort(QObject* parent = nullptr);
    ~SilentPort() override;
    QString devicePath() const { return m_pty.devicePath(); }
    QByteArray received() const { return m_received; }

private:
    void drain();
    PseudoTerminal m_pty;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_received;
};

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
    bool every = false; // also every later such reply
};

// The real-time signal: sine waves of both channels.
struct RealTimeSignal {
    std::uint8_t presence = 1;
    std::uint8_t ch1Type = 1;
    std::uint8_t ch2Type = 0;
    double ch1Amplitude = 3250.0;
    double ch2Amplitude = 500.0;
    double cyclesPerFrame = 5.0; // whole cycles in the 590 pairs of a frame
    double ch2PhaseDegrees = 30.0;
};

class LoggerSimulator : public QObject {
    Q_OBJECT

public:
    static constexpr std::size_t kMemorySize = wire::kMemoryBlocks * wire::kDataBlockSize;

    explicit LoggerSimulator(QObject* parent = nullptr);
    ~LoggerSimulator() override;

    QString devicePath() const { return m_pty.devicePath(); }

    // --- what the logger holds -------------------------------------------------------
    void setScenario(const LoggerScenario& scenario);
    // The byte stream (RMS samples and transient records) the scenario stores.
    static QByteArray buildStream(const LoggerScenario& scenario);
    // The 28-byte header the logger sends after 0xDD... (its first byte is 0xDD).
    QByteArray header() const;
    // The ring memory (1024 x 512 bytes, erased bytes 0xFF), writable for odd cases.
    std::vector<std::uint8_t>& memory() { return m_memory; }

    // --- how it answers --------------------------------------------------------------
    void setAnswerProbe(bool answer) { m_answerProbe = answer; }
    void setBusyLogging(bool busy) { m_busy = busy; }
    void setNoData(bool noData) { m_noData = noData; } // header with total 0
    void setSetupReply(std::uint8_t reply) { m_setupReply = reply; }
    void setClockReply(std::uint8_t reply) { m_clockReply = reply; }
    void setRealTimeSignal(const RealTimeSignal& signal) { m_signal = signal; }
    void setFramePeriodMs(int ms) { m_frameTimer.setInterval(ms); }
    // Output at the line's speed: 115200 baud, 10 bits per byte.
    void setPaced(bool paced) { m_paced = paced; }

    // --- faults ------------------------------------------------------------------------
    void dropNextReply() { m_dropNext = true; } // the next reply (or frame) is not sent
    void setSilent(bool silent) { m_silent = silent; }
    void unplug(); // closes the line as a pulled adapter does
    void addFault(const LineFault& fault);
    // The value of a stray or garbled byte.
    static constexpr char kStrayByte = static_cast<char>(0xA5);

    // --- what it saw -------------------------------------------------------------------
    QByteArray received() const { return m_received; }
    void clearReceived() { m_received.clear(); }
    bool streaming() const { return m_frameTimer.isActive(); }
    int framesSent() const { return m_framesSent; }
    // Bytes handed to the line so far.
    qint64 bytesSent() const { return m_bytesSent; }

    static QByteArray realTimeFrame(const RealTimeSignal& signal);

signals:
    // One whole request arrived (its first byte).
    void requestReceived(std::uint8_t code);

private:
    void onReadable();
    void handleInput();
    void handleCommand(const QByteArray& command);
    void reply(std::uint8_t request, QByteArray bytes);
    // Hands the bytes to the line at `due` (ms on m_clock), never before those
    // handed earlier.
    void sendAt(qint64 due, const QByteArray& bytes);
    void sendDue();
    void sendFrame();
    void flushOutput();

    PseudoTerminal m_pty;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    QTimer m_frameTimer;
    // Wakes the paced output with sub-millisecond precision (a window timer's
    // millisecond steps would add their rounding to every block).
    class PaceTimer {
    public:
        explicit PaceTimer(std::function<void()> onExpiry);
        ~PaceTimer();
        void startNs(qint64 nanoseconds);
        void stop();

    private:
        int m_fd = -1;
        std::unique_ptr<QSocketNotifier> m_notifier;
        std::function<void()> m_onExpiry;
    };
    PaceTimer m_paceTimer;
    QElapsedTimer m_paceClock;
    qint64 m_pacedSent = 0;

    LoggerScenario m_scenario;
    std::uint32_t m_total = 0;
    std::vector<std::uint8_t> m_memory;
    RealTimeSignal m_signal;

    bool m_answerProbe = true;
    bool m_busy = false;
    bool m_noData = false;
    std::uint8_t m_setupReply = LR_ACK;
    std::uint8_t m_clockReply = LR_ACK;
    bool m_paced = false;
    bool m_dropNext = false;
    bool m_silent = false;

    struct ArmedFault {
        LineFault fault;
        int first = 0; // the reply count at which it begins
    };
    std::vector<ArmedFault> m_faults;
    std::map<std::uint8_t, int> m_replies; // replies so far, per request code
    struct Scheduled {
        qint64 due = 0;
        QByteArray bytes;
    };
    std::deque<Scheduled> m_scheduled;
    qint64 m_lastDue = 0;
    QElapsedTimer m_clock;
    QTimer m_scheduleTimer;

    QByteArray m_pending; // request bytes not yet parsed
    QByteArray m_received;
    QByteArray m_output; // reply bytes not yet written
    int m_framesSent = 0;
    qint64 m_bytesSent = 0;
};

} // namespace sim
