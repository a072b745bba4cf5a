// The download reception on a fake clock: the machine between the logger model and a
// line that carries its replies at 115200 baud in bursts, with the faults of a real
// line. Nothing waits in real time.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <random>

#include "link/download_reception.h"
#include "support/logger_model.h"

namespace {

using Kind = DownloadReception::Action::Kind;
using F = sim::LineFault::Kind;
constexpr int kStretch = DownloadReception::kStretchBlocks;

constexpr qint64 kUsPerByte = 1000000 / 11520 + 1;

struct FakeLink {
    DownloadReception machine;
    sim::LoggerModel logger;
    sim::FaultPlan plan;
    int burst = 64;      // bytes the line delivers at once, at most
    qint64 latencyUs = 2000;
    qint64 nowUs = 0;
    struct Timer {
        qint64 due;
        qint64 period;
    };
    std::map<int, Timer> timers;
    std::deque<std::pair<qint64, char>> line; // bytes on their way, with their arrival
    std::vector<QByteArray> requests;
    std::vector<DownloadReception::Action> arms; // every timer armed, in order
    std::optional<Kind> outcome;
    int outcomeDetail = 0;
    QByteArray lastBlockRequest;

    void act(const DownloadReception::Actions& actions)
    {
        for (const auto& a : actions) {
            switch (a.kind) {
            case Kind::SendCommand:
            case Kind::ResendCommand:
                send(QByteArray(8, static_cast<char>(LC_DOWNLOAD)));
                break;
            case Kind::RequestBlock: {
                int index = a.value;
                lastBlockRequest = wire::toByteArray(
                    wire::BlockRequest::build(index, static_cast<std::uint8_t>(a.detail)));
                send(lastBlockRequest);
                break;
            }
            case Kind::ResendBlock:
                send(lastBlockRequest);
                break;
            case Kind::ArmTimer:
                timers[a.value] = {nowUs + a.detail * 1000, a.detail * 1000};
                arms.push_back(a);
                break;
            case Kind::KillTimer:
                timers.erase(a.value);
                break;
            case Kind::Finish:
            case Kind::Busy:
            case Kind::NoData:
            case Kind::GiveUp:
                outcome = a.kind;
                outcomeDetail = a.detail;
                break;
            default:
                break;
            }
        }
    }

    void send(const QByteArray& request)
    {
        requests.push_back(request);
        const QByteArray answer = logger.answer(request);
        if (answer.isEmpty())
            return;
        const auto code = static_cast<std::uint8_t>(request[0]);
        for (const auto& piece : plan.apply(code, answer, (nowUs + latencyUs) / 1000)) {
            // In order, one byte after the other: nothing overtakes a late reply.
            qint64 t = std::max(piece.due * 1000, line.empty() ? 0 : line.back().first);
            for (char c : piece.bytes)
                line.emplace_back(t += kUsPerByte, c);
        }
    }

    // Up to `burst` bytes that crossed the line one right after the other.
    QByteArray nextRead()
    {
        QByteArray read;
        qint64 last = line.front().first;
        while (!line.empty() && read.size() < burst && line.front().first <= last + 1000) {
            last = line.front().first;
            read.append(line.front().second);
            line.pop_front();
        }
        nowUs = std::max(nowUs, last);
        return read;
    }

    qint64 readDue() const
    {
        if (line.empty())
            return INT64_MAX;
        // A read ends at its last byte.
        qint64 last = line.front().first;
        int n = 0;
        for (const auto& [t, c] : line) {
            if (n == burst || t > last + 1000)
                break;
            last = t;
            ++n;
        }
        return last;
    }

    // Runs the download until it ends, nothing more can happen, or limitUs passes.
    void run(qint64 limitUs = 120'000'000)
    {
        act(machine.start(0));
        while (!outcome && nowUs < limitUs) {
            const qint64 readAt = readDue();
            auto next = timers.end();
            for (auto it = timers.begin(); it != timers.end(); ++it)
                if (next == timers.end() || it->second.due < next->second.due)
                    next = it;
            if (readAt == INT64_MAX && next == timers.end())
                return; // stuck: nothing will ever happen
            if (readAt <= (next == timers.end() ? INT64_MAX : next->second.due)) {
                const QByteArray read = nextRead();
                act(machine.onBytes(read, nowUs / 1000));
            } else {
                nowUs = next->second.due;
                next->second.due += next->second.period; // window timers repeat
                act(machine.onTimer(next->first, nowUs / 1000));
            }
        }
    }

    bool exact(const QByteArray& stream) const
    {
        return outcome == Kind::Finish
               && machine.data() == std::vector<std::uint8_t>(stream.begin(), stream.end());
    }
};


// Blocks alike: 230.0 V and 0.0 A throughout, 1600 bytes.
sim::LoggerScenario alike()
{
    sim::LoggerScenario s;
    for (int n = 0; n < 400; ++n)
        s.rms.insert(s.rms.end(), {2300, 0});
    return s;
}

void steady(sim::LoggerScenario& s, sim::LoggerModel&)
{
    s = alike();
}

sim::LoggerScenario samples(int n, std::uint32_t startAddress = 0)
{
    sim::LoggerScenario s;
    s.startAddress = startAddress;
    for (int i = 0; i < 2 * n; ++i)
        s.rms.push_back(static_cast<std::int16_t>(i * 7 % 3001));
    return s;
}

// The whole logger memory: 1024 blocks.
void fullMemory(sim::LoggerScenario& s, sim::LoggerModel&)
{
    s = samples(131072);
}

// A full memory's simulated time on the line (every block's bytes and the logger's
// latency), times `ratio`.
constexpr qint64 fullLineMs(double ratio)
{
    return static_cast<qint64>(ratio * 1024 * (2000 + 512 * kUsPerByte) / 1000);
}

// A one-byte fault about every 9 s of line, in blocks 100, 300, 500, 700 and 900.
std::vector<sim::LineFault> every9s(F kind, int bytes)
{
    std::vector<sim::LineFault> faults;
    for (int block : {100, 300, 500, 700, 900})
        faults.push_back({kind, LC_BLOCK, block, bytes});
    return faults;
}

// Whether a case ends with the logger's memory, or with which message.
struct Case {
    const char* name;
    std::vector<sim::LineFault> faults;
    std::optional<Kind> end = std::nullopt; // none: the exact data
    qint64 withinMs = 3000;                 // simulated time to the end
    int burst = 64;
    int detail = 0;
    std::function<void(sim::LoggerScenario&, sim::LoggerModel&)> logger = {};
};

const Case kCases[] = {
    {"clean_line", {}},
    {"clean_line_read_byte_by_byte", {}, {}, 3000, 1},
    // A logger 50 ms late sends a block twice: the copy comes after the next request.
    {"late_copy_of_a_block", {{F::Late, 0, 0, 0, 50, true}, {F::Twice, LC_BLOCK, 1, 0, 50}}},
    {"block_sent_twice", {{F::Twice, LC_BLOCK, 1, 0, 5}}},
    {"header_sent_twice", {{F::Twice, LC_DOWNLOAD, 0, 0, 5}}},
    {"late_logger_answers_the_command_twice", {{F::Late, 0, 0, 0, 600, true}}, {}, 6000},
    {"block_answered_after_its_resend",
     {{F::Late, LC_BLOCK, 1, 0, 1000}, {F::Late, LC_BLOCK, 2, 0, 150}}, {}, 5000},
    // A stray byte, and reads that end exactly on the length of a block.
    {"stray_byte_with_reads_of_a_reply_length", {{F::StrayBefore, LC_BLOCK, 1, 1}}, {}, 3000, 512},
    {"one_stray_burst_in_32_byte_bursts", {{F::StrayBefore, LC_BLOCK, 0, 32}}, {}, 3000, 32},
    {"stray_byte_before_the_last_reply_whose_tail_comes_late",
     {{F::StrayBefore, LC_BLOCK, 3, 1}, {F::Split, LC_BLOCK, 3, 176, 300}}},
    {"stray_byte_before_a_block_whose_end_comes_late",
     {{F::StrayBefore, LC_BLOCK, 1, 1}, {F::Split, LC_BLOCK, 1, 512, 5}}},
    {"stray_byte_between_blocks", {{F::StrayAfter, LC_BLOCK, 0, 1, 5}}},
    {"stray_bytes_before_a_block", {{F::StrayBefore, LC_BLOCK, 2, 3}}},
    {"stray_byte_before_the_header", {{F::StrayBefore, LC_DOWNLOAD, 0, 1}}},
    {"block_split_before_its_last_byte", {{F::Split, LC_BLOCK, 1, 511, 30}}},
    {"stray_byte_before_the_header_whose_end_comes_late",
     {{F::StrayBefore, LC_DOWNLOAD, 0, 1}, {F::Split, LC_DOWNLOAD, 0, 28, 5}}},
    {"header_cut_to_20_bytes", {{F::CutShort, LC_DOWNLOAD, 0, 20}}},
    {"block_cut_short", {{F::CutShort, LC_BLOCK, 2, 300}}, {}, 4000},
    {"header_split_after_its_first_byte", {{F::Split, LC_DOWNLOAD, 0, 1, 30}}},
    {"header_with_values_per_sample_garbled", {{F::Garble, LC_DOWNLOAD, 0, 1}}},
    {"header_with_a_channel_type_garbled", {{F::Garble, LC_DOWNLOAD, 0, 3}}},
    {"header_with_a_total_beyond_the_memory", {{F::Garble, LC_DOWNLOAD, 0, 4}}},
    {"header_with_the_rate_unit_garbled", {{F::Garble, LC_DOWNLOAD, 0, 10}}},
    // A second header, garbled to "no data", would do no harm: none is asked for.
    {"header_garbled_to_no_data_after_a_doubt",
     {{F::StrayAfter, LC_BLOCK, 1, 1, 5}, {F::Garble, LC_DOWNLOAD, 1, 1, 0, false, 0x02}}},
    // Bytes led by the busy code in the header's place, with the header behind them.
    {"stray_bytes_led_by_the_busy_code", {{F::StrayBefore, LC_DOWNLOAD, 0, 3, 0, false, 0xEA}},
     {}, 3000, 28},
    // Read as one header's length, the busy code is final only if nothing follows it.
    {"stray_bytes_led_by_the_busy_code_and_the_header_s_tail_70_ms_late",
     {{F::StrayBefore, LC_DOWNLOAD, 0, 3, 0, false, 0xEA}, {F::Split, LC_DOWNLOAD, 0, 28, 70}}, {},
     3000, 28},
    // Every block cut to half, and the half sent again 230 ms later: two halves make a
    // block's length, but not in one go.
    {"halves_of_blocks_twice", {{F::CutShort, LC_BLOCK, 0, 256, 0, true}, {F::Twice, 0, 0, 0, 230, true}},
     Kind::GiveUp, 8000, 512},
    // A pass after trouble, in blocks alike: stray bytes after every block hold the rest
    // of the line back for longer than a quiet line's 100 ms.
    {"blocks_alike_with_stray_bytes_after_every_block_and_a_late_reply",
     {{F::StrayAfter, LC_BLOCK, 0, 64, 364, true, 0xEA}, {F::Late, 0, 3, 0, 1323}}, Kind::GiveUp,
     30000, 64, 0, steady},
    // Stray bytes 364 ms after every block, in blocks alike: a pass out of step reads
    // them alike too, and what is left of it waits behind the logger's pauses.
    {"blocks_alike_with_stray_bytes_after_every_block",
     {{F::StrayAfter, LC_BLOCK, 0, 64, 364, true, 0xEA}}, Kind::GiveUp, 30000, 64, 0, steady},
    // Blocks alike are each asked again before they are taken: a late copy looks so.
    {"blocks_alike", {}, {}, 3000, 64, 0, steady},
    // 60 stray bytes before block 2 (the fourth block reply: block 1, alike, is asked
    // again): read out of step, the last reply looks whole, and only the tail of its
    // second read, a part of a copy, tells.
    {"blocks_alike_behind_60_stray_bytes_read_byte_by_byte", {{F::StrayBefore, LC_BLOCK, 3, 60}},
     {}, 3000, 1, 0, steady},
    // A block's length of stray bytes taken for block 0: the pass, a block behind, hears
    // the next block while a block alike is held.
    {"blocks_alike_behind_a_block_s_length_of_stray_bytes", {{F::StrayBefore, LC_BLOCK, 0, 512}},
     {}, 3000, 64, 0, steady},
    {"blocks_alike_one_answered_after_its_resend", {{F::Late, LC_BLOCK, 1, 0, 1000}}, {}, 2600,
     64, 0, steady},
    // A copy of block 0 after the resend's window, then the resend's own reply: the
    // last block read twice would agree, but the first read was block 0 again.
    {"late_copy_behind_a_resend", {{F::Late, 0, 0, 0, 876, true}, {F::Twice, 0, 2, 0, 1056}},
     {}, 15000, 512, 0, [](sim::LoggerScenario& s, sim::LoggerModel&) { s = samples(256); }},
    {"busy_logging", {}, Kind::Busy, 200, 64, 0,
     [](sim::LoggerScenario&, sim::LoggerModel& m) { m.busy = true; }},
    // An erased logger: no values per sample, and odd bytes everywhere else.
    {"erased_logger", {}, Kind::NoData, 200, 64, 0,
     [](sim::LoggerScenario& s, sim::LoggerModel&) {
         s.valuesPerSample = 0;
         s.rateUnit = 0xFF;
         s.startAddress = 0xFFFFFF;
     }},
    {"total_zero_with_odd_bytes", {}, Kind::NoData, 200, 64, 1,
     [](sim::LoggerScenario& s, sim::LoggerModel& m) {
         s.rateUnit = 0xFF;
         m.noData = true;
     }},
    // Every reply 875 ms late, still coming when the block resend goes: slow, but whole.
    {"logger_875_ms_late", {{F::Late, 0, 0, 0, 875, true}}, {}, 15000},
    {"silent_logger", {{F::CutShort, 0, 0, 0, 0, true}}, Kind::GiveUp, 5100},
    {"logger_falling_silent_after_the_header", {{F::CutShort, LC_BLOCK, 0, 0, 0, true}},
     Kind::GiveUp, 5100},
    {"stray_byte_after_every_block", {{F::StrayAfter, LC_BLOCK, 0, 1, 5, true}}, Kind::GiveUp,
     8000},
    // A logger that ends its transfer after its last block gives its download, once the
    // line has stayed quiet for as long as the give-up allows any reply.
    {"logger_silent_after_its_last_reply", {{F::CutShort, LC_BLOCK, 4, 0, 0, true}}, {}, 5200},
    // But not when the last reply was read out of step (its last byte still came), nor
    // when the logger falls silent before the end.
    {"logger_silent_after_a_last_reply_behind_a_stray_byte",
     {{F::StrayBefore, LC_BLOCK, 3, 1}, {F::CutShort, LC_BLOCK, 4, 0, 0, true}}, Kind::GiveUp, 5200,
     176},
    {"logger_silent_from_its_last_reply_on", {{F::CutShort, LC_BLOCK, 3, 0, 0, true}}, Kind::GiveUp,
     5200},
    // Silent from the second read of the first stretch's last block on, in a memory of two
    // stretches: not its end, so no data.
    {"logger_silent_at_the_check_of_its_first_stretch",
     {{F::CutShort, LC_BLOCK, kStretch, 0, 0, true}}, Kind::GiveUp, 10000, 64, 0,
     [](sim::LoggerScenario& s, sim::LoggerModel&) { s = samples(256 * kStretch); }},
    // One block cut to its first half, and the half sent again 150 ms later: the two make
    // the block's length, but not in one go, and nothing else on the line shows it.
    {"a_block_cut_to_its_half_and_the_half_again",
     {{F::CutShort, LC_BLOCK, 1, 256}, {F::Twice, LC_BLOCK, 1, 0, 150}}},
    // The wait for a quiet line after a doubt starts again with every byte of noise.
    {"noise_for_3_5_s_after_a_block", {{F::StrayAfter, LC_BLOCK, 1, 40000, 5}}, {}, 6000},
    // Every block cut to its first half, and the half sent again 230 ms later: two halves
    // make a block's length, but not in one go.
    {"halves_of_blocks_twice_behind_a_clean_header",
     {{F::CutShort, LC_BLOCK, 0, 256, 0, true}, {F::Twice, LC_BLOCK, 0, 0, 230, true}}, Kind::GiveUp,
     8000, 512},
    // A copy of block 0 held as block 1, and block 1 itself so late that it answers the
    // request that asks again: it must be the held one to be taken.
    {"late_copy_held_and_a_late_block_behind_it",
     {{F::Twice, LC_BLOCK, 0, 0, 50}, {F::Late, LC_BLOCK, 1, 0, 300}}, {}, 1750},
    // A stray byte and a cut that make up the last reply's length: only the second read
    // of that reply tells.
    {"last_reply_cut_short_behind_a_stray_byte",
     {{F::CutShort, LC_BLOCK, 3, 175}, {F::StrayBefore, LC_BLOCK, 3, 1}}},
    // Doubts in a row without progress: three are borne, the fourth ends the download.
    {"three_doubts_in_a_row",
     {{F::StrayBefore, LC_BLOCK, 1, 1}, {F::StrayBefore, LC_BLOCK, 3, 1},
      {F::StrayBefore, LC_BLOCK, 5, 1}}, {}, 5000},
    // Doubts on the header do not count against the blocks: progress starts the count anew.
    {"three_doubts_on_the_header_then_one_on_a_block",
     {{F::StrayBefore, LC_DOWNLOAD, 0, 1}, {F::StrayBefore, LC_DOWNLOAD, 1, 1},
      {F::StrayBefore, LC_DOWNLOAD, 2, 1}, {F::StrayBefore, LC_BLOCK, 1, 1}}, {}, 5000},
    // Each doubt later than the one before: a pass that reads further is progress.
    {"four_doubts_each_further_than_the_one_before",
     {{F::StrayBefore, LC_BLOCK, 1, 1}, {F::StrayBefore, LC_BLOCK, 6, 1},
      {F::StrayBefore, LC_BLOCK, 11, 1}, {F::StrayBefore, LC_BLOCK, 16, 1}}, {}, 5000},
    {"four_doubts_in_a_row",
     {{F::StrayBefore, LC_BLOCK, 1, 1}, {F::StrayBefore, LC_BLOCK, 3, 1},
      {F::StrayBefore, LC_BLOCK, 5, 1}, {F::StrayBefore, LC_BLOCK, 7, 1}}, Kind::GiveUp, 5000},
    // The command answered late, so twice: the header read behind a stray byte is in doubt,
    // and the answer to the resend, taken for the header, is as good as any; the command
    // goes again without waiting for it.
    {"late_logger_with_a_stray_byte_before_the_header",
     {{F::Late, 0, 0, 0, 550}, {F::StrayBefore, LC_DOWNLOAD, 0, 1}, {F::Late, 0, 1, 0, 450},
      {F::Late, 0, 2, 0, 400}}, {}, 2500},
    // A full memory: a doubt costs a stretch of it, and doubts spread along it do not add up.
    {"full_memory", {}, {}, fullLineMs(1.03), 64, 0, fullMemory},
    // A logger that kept the line waiting once makes only that stretch's check wait.
    {"full_memory_with_one_late_reply", {{F::Late, LC_BLOCK, 5, 0, 400}}, {}, fullLineMs(1.05),
     64, 0, fullMemory},
    {"full_memory_with_a_stray_byte_near_its_end", {{F::StrayBefore, LC_BLOCK, 941, 1}}, {},
     fullLineMs(1.25), 64, 0, fullMemory},
    {"full_memory_with_a_stray_byte_every_9_s", every9s(F::StrayBefore, 1), {}, fullLineMs(1.2),
     512, 0, fullMemory},
    {"full_memory_with_a_dropped_byte_every_9_s", every9s(F::CutShort, 511), {}, fullLineMs(1.3),
     64, 0, fullMemory},
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

class ReceptionCase : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(ReceptionCase, ends_exact_or_with_one_message)
{
    const Case& c = GetParam();
    FakeLink link;
    sim::LoggerScenario s = sim::faultScenario();
    if (c.logger)
        c.logger(s, link.logger);
    link.logger.setScenario(s);
    link.burst = c.burst;
    for (const auto& f : c.faults)
        link.plan.add(f);
    link.run();
    ASSERT_TRUE(link.outcome) << "stuck at " << link.nowUs / 1000 << " ms";
    if (c.end) {
        EXPECT_EQ(*link.outcome, *c.end);
        EXPECT_EQ(link.outcomeDetail, c.detail);
    } else {
        EXPECT_TRUE(link.exact(sim::LoggerModel::buildStream(s)));
    }
    EXPECT_LE(link.nowUs / 1000, c.withinMs);
    // Whatever the end, nothing of the download is left running.
    EXPECT_TRUE(link.timers.empty());
    EXPECT_EQ(link.machine.stage(), DownloadReception::Stage::Ended);
}

INSTANTIATE_TEST_SUITE_P(LineFaults, ReceptionCase, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DownloadReception, clean_line_requests_and_timers)
{
    FakeLink link;
    link.logger.setScenario(samples(300, 1023 * 512)); // 1200 bytes from the last block on
    link.run();
    ASSERT_EQ(link.outcome, Kind::Finish);
    // The command, the blocks from the last one of the memory on, the last one twice.
    std::vector<QByteArray> expected{QByteArray(8, static_cast<char>(LC_DOWNLOAD))};
    for (auto [page, fill] : {std::pair{2046, 0xFF}, {0, 0xFF}, {2, 0x01}, {2, 0x01}})
        expected.push_back(QByteArray::fromHex(
            QStringLiteral("d8%1%2%3f0f0f0f0")
                .arg(page >> 8, 2, 16, QChar('0'))
                .arg(page & 0xFF, 2, 16, QChar('0'))
                .arg(fill, 2, 16, QChar('0'))
                .toLatin1()));
    EXPECT_EQ(link.requests.size(), expected.size());
    for (std::size_t i = 0; i < expected.size() && i < link.requests.size(); ++i)
        EXPECT_EQ(link.requests[i].left(4), expected[i].left(4)) << i;
    // Command resend and give-up; block resend and give-up with every request; the
    // short quiet line after the last read.
    const std::vector<DownloadReception::Action> arms{
        {Kind::ArmTimer, 12, 500}, {Kind::ArmTimer, 9, 5000},  {Kind::ArmTimer, 10, 900},
        {Kind::ArmTimer, 9, 5000}, {Kind::ArmTimer, 10, 900},  {Kind::ArmTimer, 9, 5000},
        {Kind::ArmTimer, 10, 900}, {Kind::ArmTimer, 9, 5000},  {Kind::ArmTimer, 10, 900},
        {Kind::ArmTimer, 9, 5000}, {Kind::ArmTimer, 11, 50},   {Kind::ArmTimer, 9, 5000},
    };
    EXPECT_EQ(link.arms, arms);
    EXPECT_TRUE(link.exact(sim::LoggerModel::buildStream(samples(300))));
}

// Random schedules of one to three faults over several memories (one of blocks alike, where
// a pass out of step reads blocks that look right): the data is exact or the download ends
// with a message, never wrong data, never stuck. RQ730_PROPERTY_RUNS sets the number of
// schedules (a longer run by hand).
TEST(DownloadReception, random_fault_schedules_end_exact_or_with_a_message)
{
    const int runs = qEnvironmentVariableIsSet("RQ730_PROPERTY_RUNS")
                         ? qEnvironmentVariableIntValue("RQ730_PROPERTY_RUNS")
                         : 300;
    std::mt19937 rng(20261209);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const sim::LoggerScenario memories[] = {samples(10), sim::faultScenario(), samples(256),
                                            samples(200, 1023 * 512), alike(), samples(131072)};
    const F kinds[] = {F::Late,        F::Twice,      F::CutShort, F::Split,
                       F::StrayBefore, F::StrayAfter, F::Garble};
    int exact = 0;
    for (int run = 0; run < runs; ++run) {
        FakeLink link;
        // One run in ten downloads a full memory, with its faults anywhere along it.
        const bool full = pick(0, 9) == 0;
        const sim::LoggerScenario& s = memories[full ? 5 : pick(0, 4)];
        link.logger.setScenario(s);
        link.burst = std::array{1, 7, 32, 64, 512}[pick(0, 4)];
        link.latencyUs = pick(0, 30) * 1000;
        std::vector<sim::LineFault> faults;
        for (int n = pick(1, 3); n > 0; --n) {
            sim::LineFault f;
            f.kind = kinds[pick(0, 6)];
            f.request = std::array<std::uint8_t, 3>{0, LC_DOWNLOAD, LC_BLOCK}[pick(0, 2)];
            f.nth = full && f.request == LC_BLOCK ? pick(0, 1100) : pick(0, 4);
            f.bytes = pick(0, 600);
            f.delayMs = pick(0, 1500);
            f.every = pick(0, 9) == 0 && !full; // a full memory: faults spread along it
            f.value = static_cast<std::uint8_t>(std::array{0, 0xEA, 0xDD, 0x00}[pick(0, 3)]);
            // A block damaged inside is out of reach of any receiver (no checksum), and so
            // is a header damaged into another plausible one: only damage that shows.
            if (f.kind == F::Garble) {
                f.request = LC_DOWNLOAD;
                f.bytes = std::array{0, 1, 2, 3, 10}[pick(0, 4)];
                f.value = 0;
            }
            faults.push_back(f);
        }
        // So is a reply cut short behind stray bytes that make up its length.
        const auto has = [&](F kind) {
            return std::any_of(faults.begin(), faults.end(),
                               [&](const sim::LineFault& f) { return f.kind == kind; });
        };
        if (has(F::CutShort) && has(F::StrayBefore))
            faults.pop_back();
        std::string schedule;
        for (const sim::LineFault& f : faults) {
            link.plan.add(f);
            schedule += " kind " + std::to_string(static_cast<int>(f.kind)) + " request "
                        + std::to_string(f.request) + " nth " + std::to_string(f.nth) + " bytes "
                        + std::to_string(f.bytes) + " delay " + std::to_string(f.delayMs)
                        + (f.every ? " every" : "") + " value " + std::to_string(f.value) + ";";
        }
        link.run(full ? 400'000'000 : 120'000'000);
        const std::string where = "run " + std::to_string(run) + ", burst "
                                  + std::to_string(link.burst) + ":" + schedule;
        ASSERT_TRUE(link.outcome) << "stuck, " << where;
        if (*link.outcome == Kind::Finish) {
            ASSERT_TRUE(link.exact(sim::LoggerModel::buildStream(s))) << "wrong data, " << where;
            ++exact;
        }
        // A message comes within the give-up's order of time after the last fault.
        ASSERT_LE(link.nowUs, (full ? fullLineMs(1) * 1000 : 0) + 60'000'000) << where;
    }
    EXPECT_GT(exact, runs / 2);
}
