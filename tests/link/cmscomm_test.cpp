#include "link/cmscomm.h"
#include "link/port_map.h"
#include "support/logger_simulator.h"

#include <gtest/gtest.h>

#include <QSerialPort>
#include <unistd.h>

using sim::LoggerSimulator;
using sim::PseudoTerminal;
using sim::ScopedSerialPorts;

namespace {

// The program's side of the line: CMSComm set up as the frame sets it up, with every
// receive event's Input collected.
struct Receiver {
    CMSComm comm;
    QList<QByteArray> reads;
    QList<short> events;

    Receiver()
    {
        comm.SetSettings(QStringLiteral("115200,n,8,1"));
        comm.SetRThreshold(1);
        comm.SetInputMode(1);
        comm.SetInputLen(0);
        comm.SetInBufferCount(0);
        comm.SetOutBufferCount(0);
        QObject::connect(&comm, &CMSComm::OnComm, [this] {
            events.append(comm.GetCommEvent());
            reads.append(comm.GetInput());
        });
    }
};

void writeAll(int fd, const QByteArray& bytes)
{
    ASSERT_EQ(::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
}

} // namespace

TEST(LineSettings, parses_the_settings_string)
{
    const auto s = LineSettings::parse(QStringLiteral("115200,n,8,1"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->baudRate, 115200);
    EXPECT_EQ(s->parity, QSerialPort::NoParity);
    EXPECT_EQ(s->dataBits, QSerialPort::Data8);
    EXPECT_EQ(s->stopBits, QSerialPort::OneStop);

    const auto t = LineSettings::parse(QStringLiteral(" 9600 , E , 7 , 2 "));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->parity, QSerialPort::EvenParity);
    EXPECT_EQ(t->stopBits, QSerialPort::TwoStop);

    for (const char* bad : {"", "115200,n,8", "115200,n,8,1,1", "fast,n,8,1", "-9600,n,8,1",
                            "115200,x,8,1", "115200,n,9,1", "115200,n,8,3"})
        EXPECT_FALSE(LineSettings::parse(QString::fromLatin1(bad))) << bad;

    CMSComm comm;
    EXPECT_THROW(comm.SetSettings(QStringLiteral("115200,q,8,1")), CommDispatchError);
}

TEST(ReceiveBuffer, threshold_and_reads)
{
    ReceiveBuffer b;
    b.append("abc");
    EXPECT_FALSE(b.thresholdReached()) << "threshold 0 raises nothing";
    b.setThreshold(4);
    EXPECT_FALSE(b.thresholdReached());
    b.append("d");
    EXPECT_TRUE(b.thresholdReached());
    b.append("ef");
    EXPECT_TRUE(b.thresholdReached());
    EXPECT_EQ(b.take(2), "ab");
    EXPECT_TRUE(b.thresholdReached());
    EXPECT_EQ(b.take(0), "cdef");
    EXPECT_EQ(b.size(), 0);
    EXPECT_EQ(b.take(0), "");
    b.append("xy");
    EXPECT_EQ(b.take(10), "xy");
}

TEST(PortMap, numbers_ports_from_the_environment_or_the_system)
{
    EXPECT_EQ(portmap::parseDeviceList(QStringLiteral("/dev/a, ,/dev/b,")),
              (QStringList{"/dev/a", "", "/dev/b", ""}));

    QList<portmap::PortCandidate> found;
    for (int i = 0; i < 20; ++i)
        found.append({QStringLiteral("/dev/ttyS%1").arg(i, 2, 10, QLatin1Char('0')), false});
    found.append({QStringLiteral("/dev/ttyUSB1"), true});
    found.append({QStringLiteral("/dev/ttyACM0"), true});
    const QStringList ordered = portmap::orderCandidates(found);
    ASSERT_EQ(ordered.size(), 16);
    EXPECT_EQ(ordered[0], "/dev/ttyACM0");
    EXPECT_EQ(ordered[1], "/dev/ttyUSB1");
    EXPECT_EQ(ordered[2], "/dev/ttyS00");
    EXPECT_EQ(ordered[15], "/dev/ttyS13");

    ScopedSerialPorts ports({"/dev/x", "", "/dev/y"});
    EXPECT_EQ(portmap::deviceForComPort(1), "/dev/x");
    EXPECT_EQ(portmap::deviceForComPort(2), "");
    EXPECT_EQ(portmap::deviceForComPort(3), "/dev/y");
    EXPECT_EQ(portmap::deviceForComPort(4), "");
    EXPECT_EQ(portmap::deviceForComPort(0), "");
    EXPECT_EQ(portmap::deviceForComPort(-3), "");
}

TEST(CMSComm, opens_sends_receives_and_closes)
{
    LoggerSimulator logger;
    ScopedSerialPorts ports({logger.devicePath(), "", "/dev/rq730-no-such-device"});
    Receiver r;

    // Nothing selected, an empty entry, a missing device, a port beyond the list.
    EXPECT_THROW(r.comm.SetPortOpen(true), CommDispatchError);
    for (short absent : {2, 3, 9}) {
        r.comm.SetCommPort(absent);
        EXPECT_THROW(r.comm.SetPortOpen(true), CommDispatchError) << absent;
        EXPECT_FALSE(r.comm.GetPortOpen());
    }
    EXPECT_THROW(r.comm.SetCommPort(0), CommDispatchError);
    EXPECT_THROW(r.comm.SetOutput(QByteArray(1, '\x78')), CommDispatchError) << "port closed";

    r.comm.SetCommPort(1);
    r.comm.SetPortOpen(true);
    EXPECT_TRUE(r.comm.GetPortOpen());
    r.comm.SetPortOpen(true); // already open: nothing happens
    EXPECT_NO_THROW(r.comm.SetCommPort(1));
    EXPECT_THROW(r.comm.SetCommPort(3), CommDispatchError) << "no switching under an open port";

    r.comm.SetOutput(wire::ProbeRequest::bytes());
    ASSERT_TRUE(sim::waitUntil([&] { return !r.reads.isEmpty(); }));
    EXPECT_EQ(logger.received(), QByteArray::fromHex("78"));
    EXPECT_EQ(r.events, QList<short>{CMSComm::kEventReceive});
    EXPECT_EQ(r.reads, QList<QByteArray>{QByteArray::fromHex("AF")});

    r.comm.SetPortOpen(false);
    EXPECT_FALSE(r.comm.GetPortOpen());
    r.comm.SetPortOpen(false);
    EXPECT_THROW(r.comm.SetOutput(QByteArray(1, '\x78')), CommDispatchError);
    EXPECT_EQ(r.comm.GetInput(), QByteArray());

    // Reopened, the port works again.
    r.comm.SetPortOpen(true);
    r.comm.SetOutput(wire::ProbeRequest::bytes());
    ASSERT_TRUE(sim::waitUntil([&] { return r.reads.size() == 2; }));
}

TEST(CMSComm, fragments_raise_one_event_at_the_threshold)
{
    PseudoTerminal line;
    ScopedSerialPorts ports({line.devicePath()});
    Receiver r;
    r.comm.SetCommPort(1);
    r.comm.SetPortOpen(true);
    r.comm.SetRThreshold(wire::kThresholdHeader);

    const QByteArray header =
        QByteArray::fromHex("DD0201000123450FFE00200A01F4FFFE090307140509000102FFFFFF");
    ASSERT_EQ(header.size(), 28);
    writeAll(line.masterFd(), header.left(10));
    sim::runEventsFor(20);
    writeAll(line.masterFd(), header.mid(10, 9));
    sim::runEventsFor(20);
    EXPECT_TRUE(r.events.isEmpty()) << "19 of 28 bytes";
    writeAll(line.masterFd(), header.mid(19));
    ASSERT_TRUE(sim::waitUntil([&] { return !r.reads.isEmpty(); }));
    sim::runEventsFor(20);
    EXPECT_EQ(r.reads, QList<QByteArray>{header}) << "one event with all 28 bytes";

    // Input emptied the buffer: 27 more bytes raise nothing, the 28th raises one event.
    writeAll(line.masterFd(), QByteArray(27, '\x11'));
    sim::runEventsFor(20);
    EXPECT_EQ(r.reads.size(), 1);
    writeAll(line.masterFd(), QByteArray(1, '\x22'));
    ASSERT_TRUE(sim::waitUntil([&] { return r.reads.size() == 2; }));
    EXPECT_EQ(r.reads[1], QByteArray(27, '\x11') + '\x22');

    // More than the threshold in one go: still one read of everything waiting.
    writeAll(line.masterFd(), QByteArray(40, '\x33'));
    ASSERT_TRUE(sim::waitUntil([&] { return r.reads.size() == 3; }));
    sim::runEventsFor(20);
    EXPECT_EQ(r.reads.size(), 3);
    EXPECT_EQ(r.reads[2].size(), 40);

    // InputLen n takes the first n bytes and leaves the rest waiting.
    r.comm.SetRThreshold(0);
    writeAll(line.masterFd(), QByteArray::fromHex("0102030405"));
    sim::runEventsFor(20);
    r.comm.SetInputLen(2);
    EXPECT_EQ(r.comm.GetInput(), QByteArray::fromHex("0102"));
    r.comm.SetInputLen(0);

    // Lowering the threshold to what already waits posts the event; the setter itself
    // never calls the handler.
    r.comm.SetRThreshold(3);
    EXPECT_TRUE(r.events.size() == 3) << "raised inside the setter";
    ASSERT_TRUE(sim::waitUntil([&] { return r.reads.size() == 4; }));
    EXPECT_EQ(r.reads[3], QByteArray::fromHex("030405"));

    // Emptying the buffer withdraws an event that was posted but not yet delivered.
    r.comm.SetRThreshold(0);
    writeAll(line.masterFd(), QByteArray::fromHex("BB"));
    sim::runEventsFor(20);
    r.comm.SetRThreshold(1); // posts the event
    r.comm.SetInBufferCount(0);
    sim::runEventsFor(20);
    EXPECT_EQ(r.reads.size(), 4);
    EXPECT_EQ(r.comm.GetInput(), QByteArray());

    EXPECT_THROW(r.comm.SetRThreshold(-1), CommDispatchError);
    EXPECT_THROW(r.comm.SetInputMode(2), CommDispatchError);
    EXPECT_THROW(r.comm.SetInBufferCount(5), CommDispatchError);
}

TEST(CMSComm, vanished_port_becomes_a_failed_port_without_an_error_loop)
{
    LoggerSimulator logger;
    ScopedSerialPorts ports({logger.devicePath()});
    Receiver r;
    auto* port = r.comm.findChild<QSerialPort*>();
    ASSERT_NE(port, nullptr);
    int errors = 0;
    QObject::connect(port, &QSerialPort::errorOccurred, [&](QSerialPort::SerialPortError e) {
        if (e != QSerialPort::NoError)
            ++errors;
    });

    r.comm.SetCommPort(1);
    r.comm.SetPortOpen(true);
    logger.setSilent(true);
    r.comm.SetOutput(wire::ProbeRequest::bytes());
    sim::runEventsFor(20);

    logger.unplug();
    ASSERT_TRUE(sim::waitUntil([&] { return !r.comm.GetPortOpen(); }));
    sim::runEventsFor(100);
    EXPECT_FALSE(r.comm.GetPortOpen());
    EXPECT_LE(errors, 2) << "the hung-up line is reported once, not in a loop";
    EXPECT_TRUE(r.reads.isEmpty()) << "a vanished port is never data";
    EXPECT_EQ(r.comm.GetInput(), QByteArray());

    // Anything that needs the port now fails like an absent port.
    EXPECT_THROW(r.comm.SetOutput(wire::ProbeRequest::bytes()), CommDispatchError);
    EXPECT_FALSE(r.comm.GetPortOpen());
    // The flushes of a reset still work on the closed port.
    EXPECT_NO_THROW(r.comm.SetInBufferCount(0));
    EXPECT_NO_THROW(r.comm.SetOutBufferCount(0));
}
