#include "support/logger_simulator.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <numbers>
#include <pty.h>
#include <stdexcept>
#include <sys/timerfd.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    // A short ticking timer wakes the event loop so that the deadline is kept even
    // when nothing else happens.
    QTimer tick;
    tick.start(2);
    while (!condition()) {
        if (clock.elapsed() >= timeoutMs)
            return condition();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void runEventsFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    waitUntil([&] { return clock.elapsed() >= ms; }, ms + 1000);
}

ScopedSerialPorts::ScopedSerialPorts(const QStringList& devices)
    : m_wasSet(qEnvironmentVariableIsSet("RQ730_SERIAL_PORTS"))
    , m_previous(qgetenv("RQ730_SERIAL_PORTS"))
{
    qputenv("RQ730_SERIAL_PORTS", devices.join(QLatin1Char(',')).toLocal8Bit());
}

ScopedSerialPorts::~ScopedSerialPorts()
{
    if (m_wasSet)
        qputenv("RQ730_SERIAL_PORTS", m_previous);
    else
        qunsetenv("RQ730_SERIAL_PORTS");
}

namespace {

QString linkFolder()
{
    static QTemporaryDir folder;
    return folder.path();
}

int linkCount = 0;

} // namespace

PseudoTerminal::PseudoTerminal()
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    m_linkPath = linkFolder() + QStringLiteral("/tty%1").arg(++linkCount);
    if (::symlink(name, QFile::encodeName(m_linkPath).constData()) != 0) {
        hangUp();
        throw std::runtime_error("cannot link the pty");
    }
    m_path = m_linkPath;

    // Raw on the slave side: no echo of what the program writes, no line editing.
    termios tio{};
    ::tcgetattr(m_slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_slave, TCSANOW, &tio);

    const int flags = ::fcntl(m_master, F_GETFL);
    ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal()
{
    hangUp();
}

void PseudoTerminal::hangUp()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = -1;
    m_slave = -1;
    if (!m_linkPath.isEmpty())
        ::unlink(QFile::encodeName(m_linkPath).constData());
    m_linkPath.clear();
}

namespace {

// Reads everything waiting on a non-blocking fd.
QByteArray readAvailable(int fd)
{
    QByteArray data;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) {
            data.append(chunk, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // EAGAIN, or an error that the next notification shows again
    }
    return data;
}

} // namespace

SilentPort::SilentPort(QObject* parent)
    : QObject(parent)
    , m_notifier(std::make_unique<QSocketNotifier>(m_pty.masterFd(), QSocketNotifier::Read))
{
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &SilentPort::drain);
}

SilentPort::~SilentPort() = default;

void SilentPort::drain()
{
    m_received.append(readAvailable(m_pty.masterFd()));
}

LoggerSimulator::LoggerSimulator(QObject* parent)
    : QObject(parent)
    , m_readNotifier(std::make_unique<QSocketNotifier>(m_pty.masterFd(), QSocketNotifier::Read))
    , m_writeNotifier(std::make_unique<QSocketNotifier>(m_pty.masterFd(), QSocketNotifier::Write))
    , m_paceTimer([this] { flushOutput(); })
{
    m_writeNotifier->setEnabled(false);
    connect(m_readNotifier.get(), &QSocketNotifier::activated, this, &LoggerSimulator::onReadable);
    connect(m_writeNotifier.get(), &QSocketNotifier::activated, this,
            &LoggerSimulator::flushOutput);
    m_clock.start();
    m_scheduleTimer.setSingleShot(true);
    m_scheduleTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_scheduleTimer, &QTimer::timeout, this, &LoggerSimulator::sendDue);
    m_frameTimer.setInterval(200); // about one frame's time on the line
    connect(&m_frameTimer, &QTimer::timeout, this, &LoggerSimulator::sendFrame);
}

LoggerSimulator::~LoggerSimulator() = default;

void LoggerSimulator::setScenario(const LoggerScenario& scenario)
{
    m_model.setScenario(scenario);
}

QByteArray LoggerSimulator::realTimeFrame(const RealTimeSignal& signal)
{
    QByteArray f;
    f.reserve(static_cast<qsizetype>(wire::kRealTimeFrameSize));
    f.append(static_cast<char>(LR_FRAME));
    f.append(static_cast<char>(LR_FRAME));
    f.append(static_cast<char>(signal.presence));
    f.append(static_cast<char>(signal.ch1Type));
    f.append(static_cast<char>(signal.ch2Type));
    const double step = 2.0 * std::numbers::pi * signal.cyclesPerFrame / wire::kRealTimePairs;
    const double phase = signal.ch2PhaseDegrees * std::numbers::pi / 180.0;
    for (std::size_t g = 0; g < wire::kRealTimePairs; ++g) {
        const double x = step * static_cast<double>(g);
        appendBe16(f, static_cast<std::int16_t>(std::lround(signal.ch1Amplitude * std::sin(x))));
        appendBe16(
            f, static_cast<std::int16_t>(std::lround(signal.ch2Amplitude * std::sin(x - phase))));
    }
    return f;
}

void LoggerSimulator::unplug()
{
    m_frameTimer.stop();
    m_paceTimer.stop();
    m_scheduleTimer.stop();
    m_scheduled.clear();
    m_readNotifier.reset();
    m_writeNotifier.reset();
    m_output.clear();
    m_pty.hangUp();
}

void LoggerSimulator::onReadable()
{
    const QByteArray data = readAvailable(m_pty.masterFd());
    m_received.append(data);
    m_pending.append(data);
    handleInput();
}

void LoggerSimulator::handleInput()
{
    while (!m_pending.isEmpty() && m_pty.isOpen()) {
        const auto code = static_cast<std::uint8_t>(m_pending[0]);
        if (code == LC_PROBE) {
            m_pending.remove(0, 1);
            emit requestReceived(code);
            if (m_answerProbe)
                reply(code, QByteArray(1, static_cast<char>(LR_PROBE_ACK)));
            continue;
        }
        const bool eightByteCommand = code == LC_DOWNLOAD || code == LC_REALTIME || code == LC_BLOCK
                                      || code == LC_SETUP || code == LC_CLOCK;
        if (!eightByteCommand) {
            m_pending.remove(0, 1); // not a request this logger knows: ignored
            continue;
        }
        if (m_pending.size() < static_cast<qsizetype>(wire::kCommandSize))
            return; // the rest of the command is still on its way
        const QByteArray command = m_pending.left(wire::kCommandSize);
        m_pending.remove(0, wire::kCommandSize);
        emit requestReceived(code);
        handleCommand(command);
    }
}

void LoggerSimulator::handleCommand(const QByteArray& command)
{
    const auto code = static_cast<std::uint8_t>(command[0]);
    if (code != LC_REALTIME) {
        const QByteArray answer = m_model.answer(command);
        if (!answer.isEmpty())
            reply(code, answer);
        return;
    }
    if (static_cast<std::uint8_t>(command[7]) == LC_STOP) {
        m_frameTimer.stop();
    } else if (!m_frameTimer.isActive()) {
        sendFrame();
        m_frameTimer.start();
    }
}

void LoggerSimulator::sendFrame()
{
    // Never pile frames up behind a reader that does not read.
    if (m_output.size() >= static_cast<qsizetype>(wire::kRealTimeFrameSize))
        return;
    ++m_framesSent;
    reply(LC_REALTIME, realTimeFrame(m_signal));
}

void LoggerSimulator::addFault(const LineFault& fault)
{
    m_plan.add(fault);
}

void LoggerSimulator::reply(std::uint8_t request, QByteArray bytes)
{
    if (m_silent || !m_pty.isOpen())
        return;
    if (m_dropNext) {
        m_dropNext = false;
        return;
    }
    for (const FaultPlan::Piece& piece : m_plan.apply(request, bytes, m_clock.elapsed()))
        sendAt(piece.due, piece.bytes);
}

void LoggerSimulator::sendAt(qint64 due, const QByteArray& bytes)
{
    // A logger answers one request after the other: nothing overtakes a late reply.
    due = std::max(due, m_lastDue);
    m_lastDue = due;
    m_scheduled.push_back({due, bytes});
    sendDue();
}

void LoggerSimulator::sendDue()
{
    while (!m_scheduled.empty() && m_scheduled.front().due <= m_clock.elapsed()) {
        if (m_pty.isOpen()) {
            if (m_output.isEmpty()) {
                m_paceStartNs = lineNs();
                m_pacedSent = 0;
            }
            m_output.append(m_scheduled.front().bytes);
        }
        m_scheduled.pop_front();
    }
    flushOutput();
    if (!m_scheduled.empty())
        m_scheduleTimer.start(
            static_cast<int>(std::max<qint64>(m_scheduled.front().due - m_clock.elapsed(), 0)));
}

LoggerSimulator::PaceTimer::PaceTimer(std::function<void()> onExpiry)
    : m_fd(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC))
    , m_onExpiry(std::move(onExpiry))
{
    if (m_fd < 0)
        throw std::runtime_error("timerfd_create failed");
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
        std::uint64_t expirations = 0;
        if (::read(m_fd, &expirations, sizeof expirations) == sizeof expirations && m_onExpiry)
            m_onExpiry();
    });
}

LoggerSimulator::PaceTimer::~PaceTimer()
{
    m_notifier.reset();
    ::close(m_fd);
}

void LoggerSimulator::PaceTimer::startNs(qint64 nanoseconds)
{
    itimerspec spec{};
    const qint64 ns = std::max<qint64>(nanoseconds, 1000); // zero would disarm it
    spec.it_value.tv_sec = static_cast<time_t>(ns / 1000000000);
    spec.it_value.tv_nsec = static_cast<long>(ns % 1000000000);
    timerfd_settime(m_fd, 0, &spec, nullptr);
}

void LoggerSimulator::PaceTimer::stop()
{
    itimerspec spec{};
    timerfd_settime(m_fd, 0, &spec, nullptr);
}

namespace {
// 115200 baud with start and stop bit: 11520 bytes per second.
constexpr qint64 kLineBytesPerSecond = 11520;
constexpr qint64 kRequestBytes = 8;
constexpr qint64 kPaceChunk = 24;
} // namespace

void LoggerSimulator::flushOutput()
{
    if (!m_pty.isOpen())
        return;
    qsizetype allowed = m_output.size();
    if (m_paced && allowed > 0) {
        // A byte is on the line once its time has passed since the reply began. The
        // command that asked for the reply (8 bytes) crossed the line first: the
        // pseudo-terminal carries it at once, the logger's line would not.
        const qint64 due =
            (lineNs() - m_paceStartNs) * kLineBytesPerSecond / 1000000000 - kRequestBytes;
        allowed = std::min<qsizetype>(allowed, static_cast<qsizetype>(due - m_pacedSent));
    }
    if (allowed > 0) {
        const ssize_t n =
            ::write(m_pty.masterFd(), m_output.constData(), static_cast<size_t>(allowed));
        if (n > 0) {
            m_output.remove(0, n);
            m_pacedSent += n;
            m_bytesSent += n;
        }
    }
    if (m_output.isEmpty()) {
        m_paceTimer.stop();
    } else if (m_paced) {
        // Wake up when the next few bytes are due, or exactly when the last one is.
        const qint64 next = m_pacedSent + std::min<qint64>(m_output.size(), kPaceChunk);
        const qint64 dueNs = (next + kRequestBytes) * 1000000000 / kLineBytesPerSecond;
        m_paceTimer.startNs(dueNs - (lineNs() - m_paceStartNs));
    }
    // Unpaced output waits for room in the line when the pty buffer is full.
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_paced && !m_output.isEmpty());
}

} // namespace sim
