// The frame's transmit operations against ptys: what goes on the line, the link mode
// they leave behind, Run and Stop with their enable rules, and port failures.
#include <QFileInfo>
#include <gtest/gtest.h>

#include "link/held_device.h"
#include "linked_frame.h"
#include "resources/command_ids.h"

namespace {

const QString kInterrupted = QStringLiteral("Communication interruption!");

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// Each test links its frame to the devices it needs.
struct FrameTransmit : LinkedFrameFixture {
    void SetUp() override {}
};

} // namespace

TEST_F(FrameTransmit, download_start_sends_the_command_and_enters_data_mode)
{
    linkSilentPort();
    selectCom1();
    sim::SilentPort& com1 = *silent;
    CMainFrame& frame = *linked->frame;

    frame.m_bAnswered = 1;
    frame.m_nTotalBytes = 700;
    ASSERT_TRUE(startTransfer(true));
    EXPECT_EQ(frame.m_bTransferMode, 1);
    EXPECT_EQ(frame.m_bAnswered, 0);
    EXPECT_EQ(frame.m_nTotalBytes, 0);
    EXPECT_EQ(frame.m_reception.stage(), DownloadReception::Stage::Header);
    EXPECT_EQ(frame.m_bStopped, 1); // a download is no real-time run
    EXPECT_EQ(frame.timers().Interval(kTimerCommandResend), 500);
    EXPECT_TRUE(frame.m_MSComm.GetPortOpen());
    ASSERT_TRUE(sim::waitUntil([&] { return com1.received().size() >= 8; }, 1000));
    EXPECT_EQ(com1.received(), QByteArray(8, static_cast<char>(0x68)));

    // A block request whose page would pass the end of the memory starts it again.
    frame.m_nBlockIndex = 1024;
    frame.m_byFill = 0x01;
    frame.m_bAnswered = 1;
    frame.RequestBlock();
    EXPECT_EQ(frame.m_nBlockIndex, 0);
    EXPECT_EQ(frame.m_bAnswered, 0);
    frame.m_nBlockIndex = 1023;
    frame.m_byFill = 0xFF;
    frame.RequestBlock();
    EXPECT_EQ(frame.m_nBlockIndex, 1023); // the receive side advances it
    ASSERT_TRUE(sim::waitUntil([&] { return com1.received().size() >= 24; }, 1000));
    EXPECT_EQ(com1.received().mid(8),
              bytes({0xD8, 0, 0, 1, 1, 1, 1, 1, 0xD8, 0x07, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FrameTransmit, real_time_run_enables_stop_and_stop_tells_the_logger)
{
    linkSilentPort();
    selectCom1();
    sim::SilentPort& com1 = *silent;
    CMainFrame& frame = *linked->frame;
    CDTView& view = this->view();

    // Run and Stop have no menu item, button or accelerator; code runs them.
    EXPECT_EQ(frame.commandAction(ID_RUN), nullptr);
    EXPECT_EQ(frame.commandAction(ID_STOP), nullptr);
    EXPECT_FALSE(frame.commandState(ID_STOP).m_bEnabled);
    EXPECT_TRUE(frame.commandState(ID_RUN).m_bEnabled);

    view.m_nRtCount = 5;
    ASSERT_TRUE(startTransfer(false));
    EXPECT_EQ(view.m_nRtCount, 0);
    EXPECT_EQ(frame.m_bStopped, 0);
    EXPECT_EQ(frame.m_bTransferMode, 1);
    EXPECT_TRUE(frame.commandState(ID_STOP).m_bEnabled);
    for (int id : {ID_RUN, ID_DOWNLOAD_DATA, ID_DATALOGGER_SETUP, ID_CORRECT_TIME,
                   ID_FILE_OPEN_DATA, ID_PREVIOUS_MEASUREMENT})
        EXPECT_FALSE(frame.commandState(id).m_bEnabled) << id;

    // Timers of the run as the receive side would have armed them.
    for (FrameTimer id : {kTimerWatchdog, kTimerSample, kTimerRealTimeRequest})
        frame.SetTimer(id, 10000);
    ASSERT_TRUE(frame.OnCmdMsg(ID_STOP));
    for (FrameTimer id : {kTimerCommandResend, kTimerWatchdog, kTimerSample, kTimerRealTimeRequest})
        EXPECT_FALSE(frame.timers().IsActive(id)) << id;
    EXPECT_EQ(frame.m_bStopped, 1);
    EXPECT_EQ(frame.m_bTransferMode, 1); // a stopped run stays in data mode
    EXPECT_TRUE(frame.m_MSComm.GetPortOpen());
    EXPECT_FALSE(frame.commandState(ID_STOP).m_bEnabled);
    // Without samples the document keeps its tag and nothing is stored.
    EXPECT_EQ(doc->m_strFileTag, QString());
    EXPECT_FALSE(QFileInfo::exists(CMainFrame::previousMeasurementPath()));
    ASSERT_TRUE(sim::waitUntil([&] { return com1.received().size() >= 16; }, 1000));
    EXPECT_EQ(com1.received(), QByteArray(8, static_cast<char>(0xC8))
                                   + bytes({0xC8, 0xC8, 0xC8, 0xC8, 0xC8, 0xC8, 0xC8, 0xC9}));

    // A run with samples: the document becomes real-time data and is stored.
    ASSERT_TRUE(frame.StartTransfer());
    view.m_nRtCount = 3;
    doc->m_pRtRms.assign(3, FloatPair{230.0F, 1.5F});
    doc->m_pRtFreq.assign(3, FloatPair{50.0F, 50.0F});
    frame.OnStop();
    EXPECT_EQ(doc->m_strFileTag, QStringLiteral("EPADATA"));
    EXPECT_TRUE(QFileInfo::exists(CMainFrame::previousMeasurementPath()));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FrameTransmit, failed_transfer_start_is_undone_and_reported_once)
{
    // COM1 names a device that does not exist: the adapter is not there.
    link({QStringLiteral("/dev/rq730-no-such-adapter")});
    selectCom1();
    CMainFrame& frame = *linked->frame;

    EXPECT_FALSE(startTransfer(false));
    EXPECT_EQ(frame.m_bTransferMode, 0);
    EXPECT_EQ(frame.m_bStopped, 1);
    EXPECT_FALSE(frame.commandState(ID_STOP).m_bEnabled);
    EXPECT_TRUE(frame.commandState(ID_RUN).m_bEnabled);
    for (FrameTimer id : {kTimerGiveUp, kTimerBlockResend, kTimerCommandResend, kTimerWatchdog,
                          kTimerSample, kTimerRealTimeRequest})
        EXPECT_FALSE(frame.timers().IsActive(id)) << id;

    EXPECT_FALSE(startTransfer(true));
    EXPECT_EQ(frame.m_bTransferMode, 0);
    // No resend and no give-up follow with a second message.
    sim::runEventsFor(700);
    ASSERT_EQ(boxes.size(), 2u); // one per failed start
    for (const MessageBoxCall& call : boxes) {
        EXPECT_EQ(call.text, kInterrupted);
        EXPECT_EQ(call.caption, QStringLiteral("RQ730 Datalogger"));
        EXPECT_EQ(call.buttons, MsgButtons::Ok);
        EXPECT_EQ(call.icon, MsgIcon::None);
    }
    EXPECT_FALSE(frame.m_MSComm.GetPortOpen());
}

TEST_F(FrameTransmit, pulled_adapter_fails_sends_quietly_and_the_transfer_start_once)
{
    link({logger->devicePath()});
    selectCom1();
    CMainFrame& frame = *linked->frame;

    frame.m_byCommand.fill(0xEE);
    ASSERT_TRUE(frame.SendCommand(frame.m_byCommand));
    EXPECT_TRUE(frame.m_MSComm.GetPortOpen());
    ASSERT_TRUE(sim::waitUntil([&] { return logger->received().size() >= 8; }, 1000));

    // Out goes the adapter while the port is open.
    linktest::HeldDeviceNumber held(logger->devicePath());
    ASSERT_TRUE(held.held());
    logger->unplug();
    ASSERT_TRUE(sim::waitUntil([&] { return !frame.m_MSComm.GetPortOpen(); }, 1000));
    frame.SetTimer(kTimerLinkWatch, 3000);
    EXPECT_FALSE(frame.SendCommand(frame.m_byCommand));
    EXPECT_FALSE(frame.m_MSComm.GetPortOpen());
    EXPECT_FALSE(frame.timers().IsActive(kTimerLinkWatch)); // a command ends the link watch
    frame.ProbePort(1);                       // skipped without a word
    frame.RequestBlock();
    EXPECT_TRUE(boxes.empty());

    EXPECT_FALSE(startTransfer(true));
    sim::runEventsFor(600);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kInterrupted);
    EXPECT_EQ(frame.m_bTransferMode, 0);
}

TEST_F(FrameTransmit, run_starts_the_search_or_the_link_watch)
{
    link({}); // no port at all
    CMainFrame& frame = *linked->frame;
    // Run opens the real-time set-up dialog; here it is closed at once.
    testenv::ScopedModal closed([](QDialog&) {});

    frame.m_bAcknowledged = 1;
    ASSERT_TRUE(frame.OnCmdMsg(ID_RUN));
    EXPECT_EQ(frame.timers().Interval(kTimerPortScan), 100);
    EXPECT_FALSE(frame.timers().IsActive(kTimerLinkWatch));
    EXPECT_EQ(frame.m_bAcknowledged, 0);
    frame.StopConnectTimers();

    frame.m_bLinkUp = 1;
    frame.m_bTransferMode = 1;
    ASSERT_TRUE(frame.OnCmdMsg(ID_RUN));
    EXPECT_EQ(frame.timers().Interval(kTimerLinkWatch), 3000);
    EXPECT_FALSE(frame.timers().IsActive(kTimerPortScan));
    EXPECT_EQ(frame.m_bTransferMode, 1); // Run leaves the link mode alone
    frame.StopConnectTimers();
    for (FrameTimer id : {kTimerPortScan, kTimerProbe, kTimerLinkWatch})
        EXPECT_FALSE(frame.timers().IsActive(id)) << id;

    // While a download is being received, Run does nothing.
    frame.m_dlgLoading.Create(&frame);
    frame.OnRun();
    EXPECT_FALSE(frame.timers().IsActive(kTimerLinkWatch));
    frame.m_dlgLoading.EndAndDestroy(CLoadingDlg::IDD);
}

TEST_F(FrameTransmit, port_failure_inside_the_receive_handler_ends_the_transfer_once)
{
    logger->setBusyLogging(true);
    link({logger->devicePath()});
    selectCom1();
    CMainFrame& frame = *linked->frame;
    // The busy reply's box stands in for a port operation of the handler that fails.
    bool failed = false;
    const MessageBoxHook recording = setMessageBoxHook([&](const MessageBoxCall& call) {
        if (!failed) {
            failed = true;
            throw CommDispatchError("the port went away");
        }
        return recording(call);
    });

    ASSERT_TRUE(startTransfer(true));
    ASSERT_TRUE(sim::waitUntil([&] { return failed; }, 1000));
    EXPECT_EQ(frame.m_bTransferMode, 0);
    EXPECT_FALSE(frame.m_MSComm.GetPortOpen());
    // No resend and no give-up follow with a second message.
    sim::runEventsFor(700);
    for (FrameTimer id : {kTimerGiveUp, kTimerBlockResend, kTimerCommandResend})
        EXPECT_FALSE(frame.timers().IsActive(id)) << id;
    setMessageBoxHook(recording);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kInterrupted);
    EXPECT_EQ(boxes[0].caption, QStringLiteral("RQ730 Datalogger"));
}
