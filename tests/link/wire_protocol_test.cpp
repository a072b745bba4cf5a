#include "link/wire_protocol.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <climits>
#include <vector>
#include "support/test_env.h"

using namespace wire;

namespace {

std::vector<std::uint8_t> fromHex(const char* hex)
{
    const QByteArray raw = QByteArray::fromHex(QByteArray(hex));
    return {raw.begin(), raw.end()};
}

QByteArray hexOf(const Command& c)
{
    return toByteArray(c).toHex(' ').toUpper();
}

} // namespace

TEST(WireProtocol, transfer_and_probe_frames_are_byte_exact)
{
    EXPECT_EQ(ProbeRequest::bytes(), QByteArray::fromHex("78"));
    EXPECT_EQ(hexOf(TransferCommand::download()), "68 68 68 68 68 68 68 68");
    EXPECT_EQ(hexOf(TransferCommand::realTime()), "C8 C8 C8 C8 C8 C8 C8 C8");
    EXPECT_EQ(hexOf(TransferCommand::stop()), "C8 C8 C8 C8 C8 C8 C8 C9");

    // The stop overwrites only the last byte of whatever the buffer holds.
    Command buffer = TransferCommand::realTime();
    TransferCommand::markStop(buffer);
    TransferCommand::markStop(buffer);
    EXPECT_EQ(buffer, TransferCommand::stop());
}

TEST(WireProtocol, block_request_pages_wrap_at_2048)
{
    int index = 0;
    EXPECT_EQ(hexOf(BlockRequest::build(index, kFillWholeBlock)), "D8 00 00 FF FF FF FF FF");
    index = 300; // page 600 = 0x0258
    EXPECT_EQ(hexOf(BlockRequest::build(index, kFillPartialBlock)), "D8 02 58 01 01 01 01 01");
    EXPECT_EQ(index, 300) << "the request does not advance the index";

    // A download that starts at block 1023 reads pages 2046, 0, 2, 4.
    index = 1023;
    std::vector<QByteArray> pages;
    for (int i = 0; i < 4; ++i) {
        const Command c = BlockRequest::build(index, kFillWholeBlock);
        pages.push_back(toByteArray(Bytes(c).subspan(1, 2)).toHex().toUpper());
        ++index;
    }
    EXPECT_EQ(pages, (std::vector<QByteArray>{"07FE", "0000", "0002", "0004"}));
    EXPECT_EQ(index, 3);

    // Indexes far out (start address up to 2^24) and negative ones restart at 0.
    for (int bad : {1024, 32767, -1, INT_MAX, INT_MIN}) {
        index = bad;
        EXPECT_EQ(hexOf(BlockRequest::build(index, kFillWholeBlock)), "D8 00 00 FF FF FF FF FF")
            << bad;
        EXPECT_EQ(index, 0) << bad;
    }

    EXPECT_EQ(BlockRequest::fillFor(false), 0xFF);
    EXPECT_EQ(BlockRequest::fillFor(true), 0x01);
}

TEST(WireProtocol, setup_command_bytes_and_flags)
{
    // Auto-off, memory full, unit, rate, rise and drop level. Units: hours, and an
    // unknown choice sends seconds; the rate keeps its low 8 bits; the levels go as
    // value / 256 and value % 256, each cut to 8 bits.
    const std::pair<LoggerSetupCommand, const char*> commands[] = {
        {{2, 3, 1, 10, 500, 100}, "AA 1C 20 0A 01 F4 00 64"},
        {{0, 0, 0, 10, 500, 100}, "AA 10 10 0A 01 F4 00 64"},
        {{0, 0, 2, 100, 1000, -1}, "AA 10 30 64 03 E8 00 FF"},
        {{0, 0, 7, 0x1234, 70000, 100}, "AA 10 10 34 11 70 00 64"}, // 70000 = 273 x 256 + 112
    };
    for (const auto& [command, hex] : commands)
        EXPECT_EQ(hexOf(command.bytes()), hex);

    // Each flag value 1..7 sets exactly its own bit; 1 for auto-off gives 0x02.
    LoggerSetupCommand c;
    for (int v = 0; v <= 7; ++v) {
        c.autoOff = v;
        c.memFull = 0;
        EXPECT_EQ(c.flags(), static_cast<std::uint8_t>(0x10 | (v ? 1 << v : 0))) << v;
    }
    // Values a settings file may hold beyond a byte's bits add nothing (and no UB).
    for (int v : {8, 31, 200, 255, -1, INT_MIN, INT_MAX}) {
        c.autoOff = v;
        c.memFull = v;
        EXPECT_EQ(c.flags(), 0x10) << v;
    }
}

TEST(WireProtocol, clock_command_is_bcd)
{
    ClockCommand c{2009, 3, 7, 14, 5, 9};
    EXPECT_EQ(hexOf(c.bytes()), "AC 09 03 07 14 05 09 FF");

    std::tm tm{};
    tm.tm_year = 2031 - 1900;
    tm.tm_mon = 11;
    tm.tm_mday = 31;
    tm.tm_hour = 23;
    tm.tm_min = 59;
    tm.tm_sec = 58;
    EXPECT_EQ(hexOf(ClockCommand::fromTm(tm).bytes()), "AC 31 12 31 23 59 58 FF");

    // Years outside 2000..2099 follow (year + 48) mod 256.
    EXPECT_EQ((ClockCommand{1999, 1, 1, 0, 0, 0}.bytes()[1]), bcdEncode(255));
    EXPECT_EQ((ClockCommand{-5, 1, 1, 0, 0, 0}.bytes()[1]), bcdEncode(43));

    EXPECT_EQ(bcdDecode(0xFF), 165) << "no validity check";
}

TEST(WireProtocol, channel_types_and_rate_units)
{
    bool present = false;
    QString unit = QStringLiteral("?");
    applyChannelType(0x00, present, unit);
    EXPECT_TRUE(present);
    EXPECT_EQ(unit, "A");
    applyChannelType(0x01, present, unit);
    EXPECT_EQ(unit, "V");
    applyChannelType(0x07, present, unit); // unknown: keeps the channel as it was
    EXPECT_TRUE(present);
    EXPECT_EQ(unit, "V");
    applyChannelType(0xFF, present, unit);
    EXPECT_FALSE(present);
    EXPECT_EQ(unit, "V");
    applyChannelType(0x02, present, unit);
    EXPECT_FALSE(present);

    EXPECT_EQ(intervalSeconds(0x30, 24), 86400);
    EXPECT_EQ(intervalSeconds(0x40, 10), std::nullopt) << "unknown unit keeps the interval";
}

TEST(WireProtocol, download_header_decodes_every_field)
{
    // DD | K=2 | CH1 V | CH2 A | total 0x012345 | start 0x0FFE00 | minutes | 10 |
    // rise 500 | drop -2 | 09-03-07 14:05:09 | A 0x000102 | B 0xFFFFFF
    const auto bytes =
        fromHex("DD 02 01 00 012345 0FFE00 20 0A 01F4 FFFE 090307140509 000102 FFFFFF");
    ASSERT_EQ(bytes.size(), 28u);
    const auto r = DownloadHeader::decode(bytes);
    ASSERT_TRUE(r.ok());
    const DownloadHeader& h = r.value;
    EXPECT_EQ(h.valuesPerSample, 2);
    EXPECT_EQ(h.ch1Type, 1);
    EXPECT_EQ(h.ch2Type, 0);
    EXPECT_EQ(h.totalBytes, 0x012345u);
    EXPECT_EQ(h.startAddress, 0x0FFE00u);
    EXPECT_EQ(h.firstBlockIndex(), 0x0FFE00 / 512);
    EXPECT_EQ(h.wholeBlocks(), 0x012345 / 512);
    EXPECT_EQ(h.remainderBytes(), 0x012345 % 512);
    EXPECT_EQ(h.rateUnit, 0x20);
    EXPECT_EQ(h.intervalValue, 10);
    EXPECT_EQ(h.riseLevel, 500);
    EXPECT_EQ(h.dropLevel, -2);
    EXPECT_EQ(h.start, (BcdTime{2009, 3, 7, 14, 5, 9}));
    EXPECT_EQ(h.wrapA, 0x000102u);
    EXPECT_EQ(h.wrapB, 0xFFFFFFu);
    EXPECT_FALSE(h.hasNoData());

    // No data: K = 0 whatever the total, or a total of 0.
    auto noK = bytes;
    noK[1] = 0;
    EXPECT_TRUE(DownloadHeader::decode(noK).value.hasNoData());
    auto noTotal = bytes;
    noTotal[4] = noTotal[5] = noTotal[6] = 0;
    EXPECT_TRUE(DownloadHeader::decode(noTotal).value.hasNoData());

    // Short input is reported, never read past; a busy reply is not a header.
    for (std::size_t n = 0; n < 28; ++n)
        EXPECT_EQ(DownloadHeader::decode(Bytes(bytes).first(n)).status, DecodeStatus::TooShort)
            << n;
    auto busy = bytes;
    busy[0] = 0xEA;
    EXPECT_EQ(DownloadHeader::decode(busy).status, DecodeStatus::WrongCode);

    // A header no logger could send: a start or a total beyond the 1024 x 512 bytes.
    struct Plausible {
        const char* total;
        const char* start;
        bool plausible;
    };
    for (const auto& [total, start, plausible] :
         {Plausible{"080000", "07FFFF", true}, Plausible{"000200", "080000", false},
          Plausible{"080001", "000000", false}}) {
        const QByteArray hex = QByteArray("DD 02 01 00") + total + start
                               + "20 0A 01F4 FFFE 090307140509 000102 FFFFFF";
        EXPECT_EQ(DownloadHeader::decode(fromHex(hex.constData())).value.isPlausible(), plausible)
            << hex.constData();
    }

    EXPECT_EQ(remainderThreshold(512 * 3), 0);
    EXPECT_EQ(remainderThreshold(512 * 3 + 40), 40);
    EXPECT_EQ(remainderThreshold(300), 300);
}

TEST(WireProtocol, bcd_times_of_erased_memory_stay_defined)
{
    const BcdTime good{2009, 3, 7, 14, 5, 9};
    EXPECT_EQ(good.toTimeT(), testenv::localTime(2009, 3, 7, 14, 5, 9));

    const auto erased = fromHex("FFFFFFFFFFFF");
    const BcdTime t = BcdTime::decode(erased);
    EXPECT_EQ(t, (BcdTime{2165, 165, 165, 165, 165, 165}));
    const std::time_t value = t.toTimeT(); // normalised into some real date, never UB
    EXPECT_GT(value, good.toTimeT());

    // Month 0 and day 0 fold back into the previous year.
    const BcdTime zero = BcdTime::decode(fromHex("000000000000"));
    EXPECT_EQ(zero.year, 2000);
    EXPECT_LT(zero.toTimeT(), (BcdTime{2000, 1, 1, 0, 0, 0}.toTimeT()));

    EXPECT_EQ(BcdTime::decode(fromHex("0903")), BcdTime{}) << "too short gives the defaults";
}

TEST(WireProtocol, transient_record_decodes_against_hand_written_bytes)
{
    QByteArray raw = QByteArray::fromHex("7FFF FC F2 101231235958");
    raw += QByteArray::fromHex("0001 FFFF 7FFF 8000");
    raw += QByteArray(2 * 247, '\0');
    ASSERT_EQ(raw.size(), 512);
    const auto r = TransientRecord::decode(asBytes(raw));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value.quantity, 0xFC);
    EXPECT_EQ(r.value.channel, 0xF2);
    EXPECT_EQ(r.value.time, (BcdTime{2010, 12, 31, 23, 59, 58}));
    EXPECT_EQ(r.value.samples[0], 1);
    EXPECT_EQ(r.value.samples[1], -1);
    EXPECT_EQ(r.value.samples[2], 32767);
    EXPECT_EQ(r.value.samples[3], -32768);
    EXPECT_EQ(r.value.samples[250], 0);

    EXPECT_TRUE(TransientRecord::startsAt(asBytes(raw), 0));
    EXPECT_TRUE(TransientRecord::startsAt(asBytes(raw.left(2)), 0)) << "the mark alone";
    EXPECT_FALSE(TransientRecord::startsAt(asBytes(raw), 2));
    EXPECT_FALSE(TransientRecord::startsAt(asBytes(raw), 511)) << "one byte left";
    EXPECT_FALSE(TransientRecord::startsAt(asBytes(raw), 512));
    EXPECT_FALSE(TransientRecord::startsAt(asBytes(raw), 100000));

    // A record cut off by the end of the data is too short, not read past.
    EXPECT_EQ(TransientRecord::decode(asBytes(raw.left(511))).status, DecodeStatus::TooShort);
    raw[1] = '\x7F';
    EXPECT_EQ(TransientRecord::decode(asBytes(raw)).status, DecodeStatus::WrongCode);
}

TEST(WireProtocol, real_time_frame_decodes_pairs_and_rejects_short_reads)
{
    QByteArray raw = QByteArray::fromHex("3F3F 01 FF 01");
    for (int g = 0; g < 590; ++g) {
        // CH1 = g, CH2 = -g, big-endian.
        const auto a = static_cast<std::uint16_t>(g);
        const auto b = static_cast<std::uint16_t>(-g);
        raw.append(static_cast<char>(a >> 8)).append(static_cast<char>(a & 0xFF));
        raw.append(static_cast<char>(b >> 8)).append(static_cast<char>(b & 0xFF));
    }
    ASSERT_EQ(raw.size(), 2365);
    raw += QByteArray::fromHex("3F3F"); // the start of the next frame is ignored

    const auto r = RealTimeFrame::decode(asBytes(raw));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value.presence, 1);
    EXPECT_EQ(r.value.ch1Type, 0xFF);
    EXPECT_EQ(r.value.ch2Type, 1);
    EXPECT_EQ(r.value.ch1[0], 0);
    EXPECT_EQ(r.value.ch1[300], 300);
    EXPECT_EQ(r.value.ch2[300], -300);
    EXPECT_EQ(r.value.ch1[589], 589);
    EXPECT_EQ(r.value.ch2[589], -589);

    EXPECT_EQ(RealTimeFrame::decode(asBytes(raw.left(2364))).status, DecodeStatus::TooShort);
    EXPECT_EQ(RealTimeFrame::decode({}).status, DecodeStatus::TooShort);
    EXPECT_FALSE(RealTimeFrame::startsFrame(asBytes(raw.left(1))));
    raw[1] = '\x3E';
    EXPECT_EQ(RealTimeFrame::decode(asBytes(raw)).status, DecodeStatus::WrongCode);
}
