// The simulator is the other end of every end-to-end link test, so its answers are
// checked here against the byte layouts, through the program's own CMSComm.
#include "link/cmscomm.h"
#include "support/logger_simulator.h"

#include <gtest/gtest.h>

using namespace sim;

namespace {

// A logger on COM1 and CMSComm open on it, collecting every receive event's bytes.
struct Bench {
    LoggerSimulator logger;
    ScopedSerialPorts ports{{logger.devicePath()}};
    CMSComm comm;
    QList<QByteArray> reads;

    Bench()
    {
        comm.SetSettings(QStringLiteral("115200,n,8,1"));
        comm.SetInputMode(1);
        comm.SetCommPort(1);
        comm.SetPortOpen(true);
        QObject::connect(&comm, &CMSComm::OnComm, [this] { reads.append(comm.GetInput()); });
    }

    // Sends a request with the threshold of its answer and returns that answer.
    QByteArray ask(const QByteArray& request, int threshold, int timeoutMs = 2000)
    {
        const auto before = reads.size();
        comm.SetRThreshold(static_cast<short>(threshold));
        comm.SetOutput(request);
        if (!waitUntil([&] { return reads.size() > before; }, timeoutMs))
            return {};
        return reads.last();
    }
    QByteArray ask(const wire::Command& c, int threshold, int timeoutMs = 2000)
    {
        return ask(wire::toByteArray(c), threshold, timeoutMs);
    }
};

QByteArray blockRequest(int index, std::uint8_t fill)
{
    return wire::toByteArray(wire::BlockRequest::build(index, fill));
}

} // namespace

TEST(LoggerSimulator, answers_probe_setup_and_clock_and_records_every_byte)
{
    Bench b;
    EXPECT_EQ(b.ask(wire::ProbeRequest::bytes(), 1), QByteArray::fromHex("AF"));

    wire::LoggerSetupCommand setup;
    setup.autoOff = 2;
    setup.memFull = 3;
    setup.unitChoice = 1;
    EXPECT_EQ(b.ask(setup.bytes(), 1), QByteArray::fromHex("EE"));
    b.logger.setSetupReply(LR_ACK_PRESS_START);
    EXPECT_EQ(b.ask(setup.bytes(), 1), QByteArray::fromHex("1E"));

    const wire::ClockCommand clock{2009, 3, 7, 14, 5, 9};
    EXPECT_EQ(b.ask(clock.bytes(), 1), QByteArray::fromHex("EE"));

    EXPECT_EQ(b.logger.received(), QByteArray::fromHex("78"
                                                       "AA1C200A01F40064"
                                                       "AA1C200A01F40064"
                                                       "AC090307140509FF"));
}

TEST(LoggerSimulator, faults_drop_silence_and_unplug)
{
    Bench b;
    b.logger.dropNextReply();
    EXPECT_EQ(b.ask(wire::ProbeRequest::bytes(), 1, 100), QByteArray()) << "dropped";
    EXPECT_EQ(b.ask(wire::ProbeRequest::bytes(), 1), QByteArray::fromHex("AF")) << "only one";

    b.logger.setSilent(true);
    EXPECT_EQ(b.ask(wire::TransferCommand::download(), 28, 100), QByteArray());
    b.logger.setSilent(false);
    b.logger.setAnswerProbe(false);
    EXPECT_EQ(b.ask(wire::ProbeRequest::bytes(), 1, 100), QByteArray());
    EXPECT_EQ(b.logger.received().size(), 3 + 8);

    b.logger.unplug();
    EXPECT_TRUE(waitUntil([&] { return !b.comm.GetPortOpen(); }));

    SilentPort silent;
    ScopedSerialPorts ports({silent.devicePath()});
    CMSComm comm;
    int events = 0;
    QObject::connect(&comm, &CMSComm::OnComm, [&] { ++events; });
    comm.SetCommPort(1);
    comm.SetRThreshold(1);
    comm.SetPortOpen(true);
    comm.SetOutput(wire::ProbeRequest::bytes());
    EXPECT_TRUE(waitUntil([&] { return silent.received() == QByteArray::fromHex("78"); }));
    runEventsFor(50);
    EXPECT_EQ(events, 0);
}

TEST(LoggerSimulator, download_serves_header_and_ring_blocks)
{
    LoggerScenario s;
    s.valuesPerSample = 2;
    s.rateUnit = RU_MINUTES;
    s.intervalValue = 1;
    s.startAddress = 1023 * 512; // the last block: reading wraps to block 0
    s.wrapA = 4;
    s.wrapB = 6;
    for (int n = 0; n < 200; ++n) {
        s.rms.push_back(static_cast<std::int16_t>(2300 + n));
        s.rms.push_back(static_cast<std::int16_t>(-n));
    }
    ScenarioTransient tr;
    tr.beforeSample = 10;
    tr.quantity = wire::kTrQuantityCurrent;
    tr.channel = wire::kTrChannel2;
    tr.time = {2009, 3, 7, 14, 6, 0};
    tr.samples = {1, -1, 32767};
    s.transients.push_back(tr);

    // Stream: 10 samples, the record, 190 samples; 200 x 4 + 512 = 1312 bytes.
    const QByteArray stream = LoggerSimulator::buildStream(s);
    ASSERT_EQ(stream.size(), 1312);
    EXPECT_EQ(stream.left(8).toHex(), "08fc000008fdffff");
    EXPECT_EQ(stream.mid(40, 10).toHex(), "7ffffcf2090307140600");
    EXPECT_EQ(stream.mid(50, 8).toHex(), "0001ffff7fff0000");
    EXPECT_EQ(stream.mid(552, 4).toHex(), "0906fff6") << "sample 10 follows the record";

    Bench b;
    b.logger.setScenario(s);
    const QByteArray header = b.ask(wire::TransferCommand::download(), wire::kThresholdHeader);
    EXPECT_EQ(header.toHex(' '),
              "dd 02 01 00 00 05 20 07 fe 00 20 01 01 f4 00 64 09 03 07 14 05 09 "
              "00 00 04 00 00 06");
    const auto h = wire::DownloadHeader::decode(wire::asBytes(header));
    ASSERT_TRUE(h.ok());
    ASSERT_EQ(h.value.wholeBlocks(), 2);
    ASSERT_EQ(h.value.remainderBytes(), 288);

    // Whole blocks 1023, then 0 (wrapped), then the remainder of block 1.
    QByteArray data = b.ask(blockRequest(1023, 0xFF), wire::kThresholdBlock);
    data += b.ask(blockRequest(1024, 0xFF), wire::kThresholdBlock);
    data += b.ask(blockRequest(1, 0x01), wire::remainderThreshold(h.value.totalBytes));
    EXPECT_EQ(data, stream);
    EXPECT_EQ(b.logger.received().mid(8, 24).toHex(' '),
              "d8 07 fe ff ff ff ff ff d8 00 00 ff ff ff ff ff d8 00 02 01 01 01 01 01");

    // Memory outside the stored data reads as erased.
    EXPECT_EQ(b.ask(blockRequest(500, 0xFF), 512), QByteArray(512, '\xFF'));

    b.logger.setBusyLogging(true);
    const QByteArray busy = b.ask(wire::TransferCommand::download(), 28);
    EXPECT_EQ(busy, QByteArray::fromHex("EA") + QByteArray(27, '\0'));
    b.logger.setBusyLogging(false);
    b.logger.setNoData(true);
    const auto empty =
        wire::DownloadHeader::decode(wire::asBytes(b.ask(wire::TransferCommand::download(), 28)));
    ASSERT_TRUE(empty.ok());
    EXPECT_TRUE(empty.value.hasNoData());
}

TEST(LoggerSimulator, streams_real_time_frames_until_stopped)
{
    Bench b;
    b.logger.setFramePeriodMs(20);
    RealTimeSignal signal;
    signal.ch1Type = 0xFF;
    signal.ch2Type = 1;
    signal.ch2Amplitude = 1000.0;
    signal.cyclesPerFrame = 5.0;
    signal.ch2PhaseDegrees = 0.0;
    b.logger.setRealTimeSignal(signal);

    const QByteArray first = b.ask(wire::TransferCommand::realTime(), wire::kThresholdFrame);
    ASSERT_EQ(first.size(), 2365);
    const auto f = wire::RealTimeFrame::decode(wire::asBytes(first));
    ASSERT_TRUE(f.ok());
    EXPECT_EQ(f.value.ch1Type, 0xFF);
    EXPECT_EQ(f.value.ch2Type, 1);
    EXPECT_EQ(f.value.ch2[0], 0);
    EXPECT_EQ(f.value.ch2[29], 1000) << "a quarter cycle: 590 / 5 / 4 = 29.5";
    EXPECT_EQ(f.value.ch2[88], -1000);

    ASSERT_TRUE(waitUntil([&] { return b.reads.size() >= 3; }));
    b.comm.SetOutput(wire::toByteArray(wire::TransferCommand::stop()));
    ASSERT_TRUE(waitUntil([&] { return !b.logger.streaming(); }));
    const int frames = b.logger.framesSent();
    runEventsFor(60);
    EXPECT_EQ(b.logger.framesSent(), frames);
    for (const QByteArray& r : b.reads)
        EXPECT_EQ(r.size() % 2365, 0);
}

TEST(LoggerSimulator, paced_output_keeps_the_line_speed)
{
    Bench b;
    qint64 now = 0; // on the line's clock, in nanoseconds
    b.logger.setLineClock([&] { return now; });
    b.logger.setPaced(true);
    b.comm.SetRThreshold(512);
    b.comm.SetOutput(blockRequest(0, 0xFF));
    ASSERT_TRUE(waitUntil([&] { return b.logger.received().size() == 8; }));
    // 11520 bytes a second, the request's 8 first: after t the reply has t x 11520 - 8
    // bytes on the line, and not one more.
    const std::pair<qint64, qint64> sent[] = {
        {0, 0}, {1000000, 3}, {10000000, 107}, {45000000, 510}, {46000000, 512}};
    for (const auto& [ns, bytes] : sent) {
        now = ns;
        ASSERT_TRUE(waitUntil([&] { return b.logger.bytesSent() >= bytes; })) << ns;
        EXPECT_EQ(b.logger.bytesSent(), bytes) << ns;
    }
    ASSERT_TRUE(waitUntil([&] { return !b.reads.isEmpty(); }));
    EXPECT_EQ(b.reads.last().size(), 512);
}
