#pragma once
// A logger on a pseudo-terminal, for tests of the serial link.
//
// The simulator holds the master side of a pty and answers what the program writes to
// the slave side (devicePath(), which a test puts into RQ730_SERIAL_PORTS). It runs in
// the test's own thread, driven by the Qt event loop, so a test advances it by running
// events (waitUntil below).

#include "link/wire_protocol.h"
#include "support/logger_model.h"

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
    static constexpr std::size_t kMemorySize = LoggerModel::kMemorySize;

    explicit LoggerSimulator(QObject* parent = nullptr);
    ~LoggerSimulator() override;

    QString devicePath() const { return m_pty.devicePath(); }

    // --- what the logger holds -------------------------------------------------------
    void setScenario(const LoggerScenario& scenario);
    // The byte stream (RMS samples and transient records) the scenario stores.
    static QByteArray buildStream(const LoggerScenario& scenario)
    {
        return LoggerModel::buildStream(scenario);
    }
    // The 28-byte header the logger sends after 0xDD... (its first byte is 0xDD).
    QByteArray header() const { return m_model.header(); }
    // The ring memory (1024 x 512 bytes, erased bytes 0xFF), writable for odd cases.
    std::vector<std::uint8_t>& memory() { return m_model.memory(); }

    // --- how it answers --------------------------------------------------------------
    void setAnswerProbe(bool answer) { m_answerProbe = answer; }
    void setBusyLogging(bool busy) { m_model.busy = busy; }
    void setNoData(bool noData) { m_model.noData = noData; } // header with total 0
    void setSetupReply(std::uint8_t reply) { m_model.setupReply = reply; }
    void setClockReply(std::uint8_t reply) { m_model.clockReply = reply; }
    void setRealTimeSignal(const RealTimeSignal& signal) { m_signal = signal; }
    void setFramePeriodMs(int ms) { m_frameTimer.setInterval(ms); }
    // Output at the line's speed: 115200 baud, 10 bits per byte.
    void setPaced(bool paced) { m_paced = paced; }
    // The clock (in nanoseconds) that paced output keeps the line's speed by: a test's
    // own instead of the real one.
    void setLineClock(std::function<qint64()> nowNs) { m_lineClock = std::move(nowNs); }

    // --- faults ------------------------------------------------------------------------
    void dropNextReply() { m_dropNext = true; } // the next reply (or frame) is not sent
    void setSilent(bool silent) { m_silent = silent; }
    void unplug(); // closes the line as a pulled adapter does
    void addFault(const LineFault& fault);
    // The value of a stray or garbled byte.
    static constexpr char kStrayByte = FaultPlan::kStrayByte;

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
    std::function<qint64()> m_lineClock;
    qint64 lineNs() const { return m_lineClock ? m_lineClock() : m_clock.nsecsElapsed(); }
    qint64 m_paceStartNs = 0; // when the reply under way began on the line
    qint64 m_pacedSent = 0;

    LoggerModel m_model;
    FaultPlan m_plan;
    RealTimeSignal m_signal;

    bool m_answerProbe = true;
    bool m_paced = false;
    bool m_dropNext = false;
    bool m_silent = false;

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
