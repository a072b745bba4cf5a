// Real-time runs end to end: the Run command's set-up dialog, the frames of the logger
// simulator, the sampling tick, the run's own stops and the watchdog.
#include <QCoreApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include "app/mainframe.h"
#include "display/cdtview.h"
#include "display/point_time.h"
#include "document/cdtdoc.h"
#include "display/num_edit.h"
#include "link/wire_protocol.h"
#include "resources/command_ids.h"
#include "linked_frame.h"

namespace {

struct RealTimeFixture : LinkedFrameFixture {
    // What RUN does, on COM1, with a sample limit.
    void startRun(int points)
    {
        frame->m_nCommPort = 1;
        frame->m_MSComm.SetCommPort(1);
        frame->m_nSampData = points;
        ASSERT_TRUE(startTransfer(false));
        ASSERT_TRUE(sim::waitUntil([&] { return view().m_nRtCount >= 1; }));
    }
    int stopCommands() const
    {
        return QByteArray(logger->received()).count("\xC8\xC8\xC8\xC8\xC8\xC8\xC8\xC9");
    }
};

} // namespace

TEST_F(RealTimeFixture, run_from_the_dialog_samples_the_waveform_and_stops_at_its_limit)
{
    testenv::ScopedModal setup([&](QDialog& d) {
        auto& dlg = static_cast<CRealTimeSetupDlg&>(d);
        dlg.OnOK(); // still "Connecting...": nothing
        EXPECT_EQ(frame->m_bStopped, 1);
        // Typing writes through at once; out of range and non-numbers are reported.
        dlg.rateEdit()->setText("1");
        EXPECT_EQ(view().m_nRtSampleRate, 1);
        dlg.rateEdit()->setText("");
        EXPECT_EQ(view().m_nRtSampleRate, 1);
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(dlg.pointsEdit(), &esc);
        EXPECT_TRUE(dlg.isOpen());
        dlg.rateEdit()->setText("2");
        dlg.pointsEdit()->setText("1");
        EXPECT_EQ(frame->m_nSampData, 1);
        EXPECT_TRUE(sim::waitUntil([&] { return dlg.title() == "Connected"; }, 4000));
        dlg.OnOK();
    });
    view().g_strReadout = QStringLiteral(
        "Data Point No.:3  Time:07/03/09 14:05:11   CH1: 1.0V"); // of the measurement shown before
    frame->OnCmdMsg(ID_RUN);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Please enter an integer between 2 and 3600.");
    EXPECT_EQ(boxes[0].caption, "QH5Datalogger");
    EXPECT_EQ(boxes[1].text, "Please enter an integer.");
    EXPECT_FALSE(frame->m_dlgRealTime.isOpen());

    // One sample, then the next frame ends the run and repeats the stop.
    ASSERT_TRUE(sim::waitUntil([&] { return frame->m_bStopped == 1; }));
    EXPECT_TRUE(sim::waitUntil([&] { return stopCommands() >= 2; }));
    EXPECT_EQ(view().m_nRtCount, 1);
    EXPECT_TRUE(view().g_strReadout.isEmpty());
    ASSERT_EQ(doc->m_pRtRms.size(), 1u);
    // The simulator's sines: 3250 and 500 counts, five cycles per 590 samples.
    EXPECT_NEAR(doc->m_pRtRms[0][0], 3250 / std::sqrt(2.0), 15);
    EXPECT_NEAR(doc->m_pRtRms[0][1], 500 / std::sqrt(2.0), 5);
    EXPECT_NEAR(doc->m_pRtFreq[0][0], 1 / (118 * 54.71e-6), 1.5);
    const QString at = " @" + formatPointTime(view().m_tRtStart);
    EXPECT_EQ(view().m_strRtRmsMax1, QString::asprintf("%.1f", doc->m_pRtRms[0][0]) + at);
    EXPECT_EQ(view().m_strRtFreqMin2, QString::asprintf("%.1f", doc->m_pRtFreq[0][1]) + at);
    EXPECT_EQ(view().m_strRtPowerMax,
              QString::asprintf("%.1f", doc->m_pRtRms[0][0] * doc->m_pRtRms[0][1]) + at);
    EXPECT_EQ(doc->m_strFileTag, "EPADATA");

    // The run started in the power-analysis display, whose panel shows the read-outs.
    EXPECT_EQ(frame->m_bEpa, 1);
    ASSERT_TRUE(view().m_dlgPowerAnalysis);
    EXPECT_TRUE(view().m_dlgPowerAnalysis->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(view().m_powerTexts.rms[0], QString::asprintf("%.1f", doc->m_pRtRms[0][0]));
    EXPECT_EQ(view().m_powerTexts.powerS,
              QString::asprintf("%.0f", view().m_powerTexts.rms[0].toFloat()
                                            * view().m_powerTexts.rms[1].toFloat()));
    EXPECT_TRUE(boxes.size() == 2u);
}

TEST_F(RealTimeFixture, stop_the_watchdog_and_a_changed_channel_end_a_run)
{
    startRun(100);
    ASSERT_TRUE(frame->OnCmdMsg(ID_STOP));
    EXPECT_EQ(frame->m_bStopped, 1);
    EXPECT_TRUE(sim::waitUntil([&] { return !logger->streaming(); }));
    EXPECT_FALSE(frame->timers().IsActive(kTimerSample));

    // A silent logger: the second check without a frame stops quietly, port closed.
    startRun(100);
    logger->setSilent(true);
    sim::runEventsFor(300);
    frame->OnTimer(kTimerWatchdog);
    frame->OnTimer(kTimerWatchdog);
    EXPECT_EQ(frame->m_bStopped, 1);
    EXPECT_FALSE(frame->m_MSComm.GetPortOpen());
    EXPECT_FALSE(frame->timers().IsActive(kTimerRealTimeRequest));
    EXPECT_TRUE(boxes.empty());
    logger->setSilent(false);

    // Channel 2 switched off in the middle of a run.
    startRun(100);
    sim::RealTimeSignal one;
    one.ch2Type = 0xFF;
    logger->setRealTimeSignal(one);
    ASSERT_TRUE(sim::waitUntil([&] { return frame->m_bStopped == 1; }));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The channel is changed,please restart!");
    EXPECT_EQ(view().m_bRtCh2, 1);
}

TEST_F(RealTimeFixture, extremes_mark_over_and_under_range_with_the_sample_time)
{
    view().m_tRtStart = testenv::localTime(2024, 5, 6, 7, 8, 0);
    view().m_nRtSampleRate = 2;
    float max = 0, min = 0;
    QString maxText, minText;
    view().m_nRtCount = 0;
    frame->TrackMinMax(0, 1, &max, &min, 400.0f, &maxText, &minText);
    EXPECT_EQ(maxText, "OL @06/05/24 07:08:00");
    EXPECT_EQ(minText, "OL @06/05/24 07:08:00");
    view().m_nRtCount = 1;
    frame->TrackMinMax(0, 1, &max, &min, 40.0f, &maxText, &minText);
    EXPECT_EQ(minText, "LO @06/05/24 07:08:02");
    view().m_nRtCount = 2;
    frame->TrackMinMax(0, 1, &max, &min, 400.0f, &maxText, &minText);
    EXPECT_EQ(maxText, "OL @06/05/24 07:08:04"); // an equal maximum moves to the newer time
    float rmsMax = 0, rmsMin = 0;
    frame->TrackMinMax(0, 0, &rmsMax, &rmsMin, 0.0f, &maxText, &minText);
    EXPECT_EQ(minText, "LO @06/05/24 07:08:04");
}

namespace {

struct FrameFault {
    const char* name;
    sim::LineFault fault;
};

void PrintTo(const FrameFault& c, std::ostream* out)
{
    *out << c.name;
}

using K = sim::LineFault::Kind;

const FrameFault kFrameFaults[] = {
    {"short_frame_then_a_whole_one", {K::CutShort, LC_REALTIME, 0, 1000}},
    {"short_frame_of_all_but_two_bytes", {K::CutShort, LC_REALTIME, 0, 2363}},
    {"stray_byte_before_a_frame", {K::StrayBefore, LC_REALTIME, 0, 1}},
    {"frame_start_garbled", {K::Garble, LC_REALTIME, 0, 0}},
    {"frame_split", {K::Split, LC_REALTIME, 0, 1000, 30}},
    {"frame_sent_twice", {K::Twice, LC_REALTIME, 0}},
};

struct RealTimeFaultTest : RealTimeFixture, ::testing::WithParamInterface<FrameFault> {};

std::array<FloatPair, kFramePoints> waveOf(const sim::RealTimeSignal& signal)
{
    const QByteArray bytes = sim::LoggerSimulator::realTimeFrame(signal);
    const auto frame = wire::RealTimeFrame::decode(wire::asBytes(bytes)).value;
    std::array<FloatPair, kFramePoints> wave{};
    for (std::size_t g = 0; g < wave.size(); ++g)
        wave[g] = {static_cast<float>(frame.ch1[g]), static_cast<float>(frame.ch2[g])};
    return wave;
}

} // namespace

TEST_P(RealTimeFaultTest, frames_after_the_damage_are_taken_and_nothing_glued)
{
    const sim::RealTimeSignal a;
    sim::RealTimeSignal b;
    b.ch1Amplitude = 2000.0;
    b.ch2PhaseDegrees = 75.0;
    const auto waveA = waveOf(a);
    const auto waveB = waveOf(b);
    // Frames back to back at the line's speed, as a logger streams them: reads cut
    // the stream anywhere.
    logger->setPaced(true);
    logger->setFramePeriodMs(50);
    startRun(100);
    // After every read the waveform is one the logger sent, never a mix.
    int mixed = 0;
    QObject::connect(&frame->m_MSComm, &CMSComm::OnComm,
                     [&] { mixed += doc->m_fEpaWave != waveA && doc->m_fEpaWave != waveB; });
    logger->addFault(GetParam().fault);
    logger->setRealTimeSignal(b);
    const int sent = logger->framesSent();
    EXPECT_TRUE(sim::waitUntil([&] { return logger->framesSent() >= sent + 4; }, 4000));
    EXPECT_TRUE(sim::waitUntil([&] { return doc->m_fEpaWave == waveB; }));
    EXPECT_EQ(mixed, 0);
    EXPECT_EQ(frame->m_bStopped, 0);
    EXPECT_TRUE(boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(LineFaults, RealTimeFaultTest, ::testing::ValuesIn(kFrameFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RealTimeFixture, a_run_without_a_first_frame_ends_like_a_stalled_download)
{
    logger->setSilent(true);
    frame->m_nCommPort = 1;
    frame->m_MSComm.SetCommPort(1);
    ASSERT_TRUE(startTransfer(false));
    EXPECT_TRUE(frame->commandState(ID_STOP).m_bEnabled);
    ASSERT_TRUE(sim::waitUntil([&] { return frame->m_bStopped == 1; }, 7000));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Communication interruption!");
    EXPECT_EQ(frame->m_bTransferMode, 0);
    for (int id :
         {ID_DOWNLOAD_DATA, ID_FILE_OPEN_DATA, ID_DATALOGGER_SETUP, ID_CORRECT_TIME, ID_RUN})
        EXPECT_TRUE(frame->commandState(id).m_bEnabled) << id;
    EXPECT_FALSE(frame->commandState(ID_STOP).m_bEnabled);
    for (FrameTimer id :
         {kTimerGiveUp, kTimerCommandResend, kTimerWatchdog, kTimerSample, kTimerRealTimeRequest})
        EXPECT_FALSE(frame->timers().IsActive(id)) << id;
}

TEST_F(RealTimeFixture, a_first_frame_still_arriving_at_the_command_resend_is_kept)
{
    // The first frame starts 400 ms late and crosses the line for 200 ms more: the
    // command resend at 500 ms finds it half in.
    logger->setPaced(true);
    logger->setFramePeriodMs(3000);
    logger->addFault({K::Late, LC_REALTIME, 0, 0, 400});
    startRun(100);
    EXPECT_EQ(logger->framesSent(), 1); // taken before the logger's second frame
    EXPECT_EQ(logger->received().count(static_cast<char>(LC_REALTIME)), 16);
}
