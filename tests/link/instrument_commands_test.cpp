// The three instrument commands end to end: the frame, its link timers and receive
// handler, the dialogs, and the logger simulator on a pty.
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QComboBox>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "document/cdtdoc.h"
#include "link/download_parse.h"
#include "link/link_timing.h"
#include "linked_frame.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"

namespace {

const QString kConnectFailed =
    QStringLiteral("Connecting failed. Ensure logger inserted and try again.");
const QString kPressStart = QStringLiteral(
    "To start logging, press the START button on the DATA LOGGER for three seconds.");

QByteArray hex(const QByteArray& bytes)
{
    return bytes.toHex(' ').toUpper();
}

struct InstrumentFixture : LinkedFrameFixture {
    std::optional<testenv::ScopedModal> modal;
    int modalRuns = 0;

    // Runs command `id`; while its dialog is open, `body` plays the user.
    bool run(int id, const std::function<void(QDialog&)>& body)
    {
        modal.emplace([this, body](QDialog& dlg) {
            ++modalRuns;
            body(dlg);
        });
        return frame->OnCmdMsg(id);
    }

    bool searchTimersStopped() const
    {
        return !frame->timers().IsActive(kTimerPortScan) && !frame->timers().IsActive(kTimerProbe)
               && !frame->timers().IsActive(kTimerLinkWatch);
    }
};

QString prompt(const CDownloadDlg& dlg)
{
    return dlg.item<QLabel>(ctrl::IDC_DOWNLOAD_PROMPT)->text();
}

} // namespace

TEST_F(InstrumentFixture, download_data_connects_then_downloads)
{
    sim::LoggerScenario s;
    for (int n = 0; n < 6; ++n) {
        s.rms.push_back(static_cast<std::int16_t>(2300 + n));
        s.rms.push_back(static_cast<std::int16_t>(10 + n));
    }
    logger->setScenario(s);

    CDownloadDlg& dlg = frame->m_dlgDownload;
    ASSERT_TRUE(run(ID_DOWNLOAD_DATA, [&](QDialog&) {
        EXPECT_EQ(dlg.title(), QStringLiteral("Connecting..."));
        EXPECT_EQ(prompt(dlg), QStringLiteral("Waiting for connecting..."));
        EXPECT_TRUE(frame->timers().IsActive(kTimerPortScan));
        dlg.downloadButton()->click(); // still searching: nothing
        EXPECT_TRUE(dlg.isOpen());

        ASSERT_TRUE(sim::waitUntil([&] { return dlg.title() == "Connected"; }, 3000));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Connected"));
        EXPECT_EQ(prompt(dlg), QStringLiteral("Press \"Download\" to load store data from the "
                                              "logger, or \"Cancel\" to exit."));
        dlg.downloadButton()->click();
        EXPECT_FALSE(dlg.isOpen());
    }));
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(searchTimersStopped());
    ASSERT_TRUE(sim::waitUntil([&] { return frame->GetDataView()->m_nStoreCount == 6; }, 4000));
    EXPECT_EQ(frame->m_bLinkUp, 1);
    EXPECT_EQ(frame->m_bDataUnsaved, 1);
    EXPECT_TRUE(boxes.empty());

    // A second command: the port of the link is checked at once, no scan.
    ASSERT_TRUE(sim::waitUntil([&] { return frame->m_bTransferMode == 0; }, 4000));
    logger->clearReceived();
    run(ID_DOWNLOAD_DATA, [&](QDialog&) {
        EXPECT_EQ(dlg.title(), QStringLiteral("Connected"));
        EXPECT_EQ(prompt(dlg), QStringLiteral("Press \"Download\" to load stored data from the "
                                              "logger or \"Cancel\" to exit."));
        EXPECT_TRUE(frame->timers().IsActive(kTimerLinkWatch));
        EXPECT_FALSE(frame->timers().IsActive(kTimerPortScan));
        dlg.cancelButton()->click();
    });
    EXPECT_TRUE(searchTimersStopped());
    EXPECT_TRUE(logger->received().isEmpty());
}

TEST_F(InstrumentFixture, download_data_without_logger_says_not_connected)
{
    linkSilentPort();
    CDownloadDlg& dlg = frame->m_dlgDownload;
    run(ID_DOWNLOAD_DATA, [&](QDialog&) {
        ASSERT_TRUE(sim::waitUntil([&] { return dlg.title() == "Not Connected"; }, 4000));
        EXPECT_EQ(prompt(dlg), kConnectFailed);
        dlg.SetPrompt(QString());
        dlg.downloadButton()->click();
        EXPECT_TRUE(dlg.isOpen());
        EXPECT_EQ(prompt(dlg), kConnectFailed);
        EXPECT_EQ(frame->m_bTransferMode, 0);
        dlg.cancelButton()->click();
    });
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(searchTimersStopped());
    EXPECT_EQ(frame->m_bDataUnsaved, 0);
    // Only probes went out.
    EXPECT_FALSE(silent->received().isEmpty());
    EXPECT_EQ(silent->received().count(char(0x78)), silent->received().size());
}

TEST_F(InstrumentFixture, instrument_commands_wait_for_a_running_download_or_run)
{
    frame->m_dlgLoading.Create(frame);
    for (int id : {ID_DOWNLOAD_DATA, ID_DATALOGGER_SETUP, ID_CORRECT_TIME})
        run(id, [](QDialog&) {});
    EXPECT_EQ(modalRuns, 0);
    EXPECT_TRUE(searchTimersStopped());
    frame->m_dlgLoading.EndAndDestroy(CLoadingDlg::IDD);

    // During a real-time run the commands are disabled.
    frame->m_bStopped = 0;
    for (int id : {ID_DOWNLOAD_DATA, ID_DATALOGGER_SETUP, ID_CORRECT_TIME}) {
        EXPECT_FALSE(frame->commandState(id).m_bEnabled) << id;
        EXPECT_FALSE(run(id, [](QDialog&) {})) << id;
    }
    frame->m_bStopped = 1;
    EXPECT_TRUE(frame->commandState(ID_DOWNLOAD_DATA).m_bEnabled);
    EXPECT_EQ(modalRuns, 0);
}

TEST_F(InstrumentFixture, save_question_comes_once_after_a_setup)
{
    CDTView& view = *frame->GetDataView();
    auto armQuestion = [&] {
        view.m_nStoreCount = 5;
        view.m_bFromFile = 0;
        frame->m_bDataUnsaved = 1;
        frame->m_bAskSaveStore = 1;
    };
    auto download = [&] { run(ID_DOWNLOAD_DATA, [](QDialog& d) { d.reject(); }); };

    // No: asked once, then not again.
    armQuestion();
    answers = {MsgResult::No};
    download();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(
        boxes[0].text,
        QStringLiteral("Do you want to save the existing RMS&TR graph data before continuing?"));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("RQ730 Datalogger"));
    EXPECT_EQ(boxes[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(boxes[0].icon, MsgIcon::Question);
    EXPECT_EQ(modalRuns, 1); // the dialog opens in any case
    EXPECT_EQ(frame->m_bDataUnsaved, 0);
    EXPECT_EQ(frame->m_bAskSaveStore, 0);
    download();
    EXPECT_EQ(boxes.size(), 1u);

    // Yes, and the save is cancelled: the data is still unsaved, the question stays.
    armQuestion();
    answers = {MsgResult::Yes};
    testenv::FileDialogScript cancelled;
    download();
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(frame->m_bDataUnsaved, 1);
    EXPECT_EQ(frame->m_bAskSaveStore, 1);

    // No set-up since the last question, or data from a document file: no question.
    boxes.clear();
    frame->m_bAskSaveStore = 0;
    download();
    armQuestion();
    view.m_bFromFile = 1;
    download();
    armQuestion();
    view.m_nStoreCount = 0;
    download();
    EXPECT_TRUE(boxes.empty());
}

TEST_F(InstrumentFixture, datalogger_setup_sends_the_dialog_values_after_the_warning)
{
    frame->m_strSampRate = QStringLiteral("10");
    frame->m_nSampUnit = 0;
    frame->m_strRiseLevel = QStringLiteral("500");
    frame->m_strDropLevel = QStringLiteral("100");
    CLoggerSetupDlg& dlg = frame->m_dlgSetup;
    answers = {MsgResult::Yes};
    run(ID_DATALOGGER_SETUP, [&](QDialog&) {
        ASSERT_TRUE(sim::waitUntil([&] { return dlg.title() == "Connected"; }, 3000));
        logger->clearReceived();
        dlg.item<QRadioButton>(ctrl::IDC_AUTO_OFF_ON)->click();
        dlg.item<QRadioButton>(ctrl::IDC_MEM_FULL_OVERWRITE)->click();
        dlg.unitList()->setCurrentIndex(1);
        dlg.setupButton()->click();
        EXPECT_FALSE(dlg.isOpen());
    });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("All data stored on the unit will be erased."));
    ASSERT_TRUE(sim::waitUntil([&] { return logger->received().size() >= 8; }));
    EXPECT_EQ(hex(logger->received()), QByteArray("AA 1C 20 0A 01 F4 00 64"));
    // The 0xEE answer closes the port again and ends the wait for it.
    EXPECT_TRUE(sim::waitUntil([&] { return !frame->m_MSComm.GetPortOpen(); }));
    EXPECT_FALSE(frame->timers().IsActive(kTimerAnswerWait));
    EXPECT_TRUE(searchTimersStopped());
    EXPECT_EQ(frame->m_nAutoOff, 2);
    EXPECT_EQ(frame->m_nMemFullMode, 3);
    EXPECT_EQ(frame->m_nSampUnit, 1);
    EXPECT_EQ(frame->m_bAskSaveStore, 1);

    // The next run keeps the values; a logger that must be started by hand says so.
    logger->setSetupReply(LR_ACK_PRESS_START);
    logger->clearReceived();
    answers = {MsgResult::Yes};
    run(ID_DATALOGGER_SETUP, [&](QDialog&) {
        EXPECT_EQ(dlg.title(), QStringLiteral("Connected")); // checked at once
        EXPECT_TRUE(dlg.IsDlgButtonChecked(ctrl::IDC_AUTO_OFF_ON));
        EXPECT_EQ(dlg.unitList()->currentText(), QStringLiteral("Minute"));
        dlg.setupButton()->click();
    });
    ASSERT_TRUE(sim::waitUntil([&] { return boxesWith(kPressStart) == 1; }));
    EXPECT_EQ(hex(logger->received()), QByteArray("AA 1C 20 0A 01 F4 00 64"));
    EXPECT_FALSE(frame->timers().IsActive(kTimerAnswerWait));
}

TEST_F(InstrumentFixture, correct_time_sends_the_clock_the_dialog_shows)
{
    CCorrectTimeDlg& dlg = frame->m_dlgCorrectTime;
    QStringList shown;
    run(ID_CORRECT_TIME, [&](QDialog&) {
        ASSERT_TRUE(sim::waitUntil([&] { return dlg.title() == "Connected"; }, 3000));
        logger->clearReceived();
        shown = {dlg.m_strYear, dlg.m_strMonth,  dlg.m_strDay,
                 dlg.m_strHour, dlg.m_strMinute, dlg.m_strSecond};
        dlg.okButton()->click();
    });
    ASSERT_EQ(shown.size(), 6);
    ASSERT_TRUE(sim::waitUntil([&] { return logger->received().size() >= 8; }));
    // BCD of the texts shown: 2026 -> 26, "08" -> 08.
    QByteArray expected("AC ");
    expected += shown[0].right(2).toLatin1();
    for (int i = 1; i < 6; ++i)
        expected += " " + shown[i].toLatin1();
    expected += " FF";
    EXPECT_EQ(hex(logger->received()), expected);
    EXPECT_EQ(frame->m_strYear, shown[0]);
    EXPECT_EQ(frame->m_strSecond, shown[5]);
    EXPECT_TRUE(searchTimersStopped());
    EXPECT_FALSE(dlg.refreshTimerActive());
    ASSERT_TRUE(sim::waitUntil([&] { return !frame->timers().IsActive(kTimerAnswerWait); }));
    EXPECT_TRUE(boxes.empty());

    // A logger that answers garbage never confirms: the command went once, and the user
    // hears it once.
    logger->setClockReply(0x55);
    logger->clearReceived();
    run(ID_CORRECT_TIME, [&](QDialog&) { dlg.okButton()->click(); });
    ASSERT_TRUE(sim::waitUntil([&] { return !boxes.empty(); }, linktime::kAnswerWaitMs + 1000));
    EXPECT_EQ(boxes[0].text, QStringLiteral("The DATA LOGGER did not confirm the time. Please "
                                            "check the connection and try again."));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("RQ730 Datalogger"));
    EXPECT_EQ(logger->received().size(), 8);
    sim::runEventsFor(200);
    EXPECT_EQ(boxes.size(), 1u);
    // The port stays open for an answer that comes late.
    EXPECT_TRUE(frame->m_MSComm.GetPortOpen());
}

namespace {

const QString kSetupUnanswered = QStringLiteral(
    "The DATA LOGGER did not confirm the setup. Please check the connection and try again.");
const QString kClockUnanswered = QStringLiteral(
    "The DATA LOGGER did not confirm the time. Please check the connection and try again.");

// A set-up or clock command whose answer does not come in time, and what follows it.
struct AnswerCase {
    const char* name;
    int command;         // ID_DATALOGGER_SETUP or ID_CORRECT_TIME
    std::uint8_t reply;  // what the logger answers
    int lateMs;          // how late the answer comes; -1: it never comes
    int downloadAfterMs; // Download Data this long after the send; -1: none
    QStringList told;    // the message boxes after the send, in order
};

const AnswerCase kAnswerCases[] = {
    {"clock_unanswered_names_the_time", ID_CORRECT_TIME, LR_ACK, -1, -1, {kClockUnanswered}},
    {"setup_unanswered_names_the_setup", ID_DATALOGGER_SETUP, LR_ACK, -1, -1, {kSetupUnanswered}},
    {"clock_unanswered_then_download_data", ID_CORRECT_TIME, LR_ACK, -1, 1200, {}},
    {"setup_press_start_after_the_wait",
     ID_DATALOGGER_SETUP,
     LR_ACK_PRESS_START,
     3500,
     -1,
     {kSetupUnanswered, kPressStart}},
    {"clock_accepted_after_the_wait", ID_CORRECT_TIME, LR_ACK, 3500, -1, {kClockUnanswered}},
};

struct AnswerWaitTest : InstrumentFixture, ::testing::WithParamInterface<AnswerCase> {};

} // namespace

TEST_P(AnswerWaitTest, is_told_once_and_leaves_the_next_command_alone)
{
    const AnswerCase& c = GetParam();
    const bool setup = c.command == ID_DATALOGGER_SETUP;
    (setup ? logger->setSetupReply(c.reply) : logger->setClockReply(c.reply));
    if (c.lateMs >= 0)
        logger->addFault({sim::LineFault::Kind::Late, setup ? LC_SETUP : LC_CLOCK, 0, 0, c.lateMs});
    // At the line's speed this download runs across the time the wait would run out.
    sim::LoggerScenario s;
    for (int n = 0; n < 15000; ++n)
        s.rms.push_back(static_cast<std::int16_t>(n % 997));
    logger->setScenario(s);
    logger->setPaced(true);

    QElapsedTimer sent;
    answers = {MsgResult::Yes}; // the erase warning of a set-up
    run(c.command, [&](QDialog&) {
        ASSERT_TRUE(sim::waitUntil([&] { return frame->m_bAcknowledged == 1; }, 3000));
        if (c.lateMs < 0)
            logger->dropNextReply();
        (setup ? frame->m_dlgSetup.setupButton() : frame->m_dlgCorrectTime.okButton())->click();
        sent.start();
    });
    boxes.clear();
    if (c.downloadAfterMs >= 0) {
        sim::runEventsFor(c.downloadAfterMs);
        run(ID_DOWNLOAD_DATA, [&](QDialog&) { frame->m_dlgDownload.downloadButton()->click(); });
        ASSERT_TRUE(sim::waitUntil([&] { return frame->m_bTransferMode == 0; }, 10000));
        const download::ParsedStream expected = download::parseStream(
            wire::asBytes(sim::LoggerSimulator::buildStream(s)), 2, true, true);
        EXPECT_EQ(doc->m_pCh1Data, expected.ch1);
        EXPECT_EQ(doc->m_pCh2Data, expected.ch2);
    } else {
        ASSERT_TRUE(sim::waitUntil([&] { return !boxes.empty(); }, linktime::kAnswerWaitMs + 1000));
        EXPECT_TRUE(frame->m_MSComm.GetPortOpen()); // still listening for a late answer
    }
    // Everything the wait or a late answer could do has happened.
    sim::runEventsFor(std::max(linktime::kAnswerWaitMs, c.lateMs) + 300
                      - static_cast<int>(sent.elapsed()));
    QStringList told;
    for (const MessageBoxCall& b : boxes)
        told << b.text;
    EXPECT_EQ(told.join('\n').toStdString(), c.told.join('\n').toStdString());
    if (c.lateMs >= 0) {
        EXPECT_FALSE(frame->m_MSComm.GetPortOpen()); // the answer closed it
    }
}

INSTANTIATE_TEST_SUITE_P(AnswerWait, AnswerWaitTest, ::testing::ValuesIn(kAnswerCases),
                         [](const auto& info) { return std::string(info.param.name); });
