#include "link/download_dialog.h"
#include "instrument_test_helpers.h"
#include "support/logger_simulator.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "link/cmscomm.h"
#include "resources/dialog_templates.h"

using testhost::FakeFrame;
using testhost::ScopedModal;

namespace {
QString promptText(const CDownloadDlg& dlg)
{
    return dlg.item<QLabel>(ctrl::IDC_DOWNLOAD_PROMPT)->text();
}
} // namespace

TEST(DownloadDialog, download_acts_on_the_title_only_when_connected)
{
    FakeFrame frame;
    CDownloadDlg dlg;
    dlg.setHost(frame.host());
    ScopedModal modal([&](QDialog&) {
        // A first command: no logger has answered yet.
        EXPECT_TRUE(dlg.isOpen());
        EXPECT_EQ(dlg.title(), QStringLiteral("Connecting..."));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Connecting..."));
        EXPECT_EQ(promptText(dlg), QStringLiteral("Waiting for connecting..."));
        EXPECT_TRUE(dlg.downloadButton()->isEnabled());
        EXPECT_TRUE(dlg.realTimeButton()->isHidden());
        EXPECT_FALSE(dlg.realTimeButton()->isEnabled());

        // While searching, Download does nothing at all.
        dlg.downloadButton()->click();
        EXPECT_TRUE(dlg.isOpen());
        EXPECT_TRUE(frame.calls.isEmpty());
        EXPECT_EQ(promptText(dlg), QStringLiteral("Waiting for connecting..."));

        // The search failed: Download only shows the prompt.
        dlg.SetTitle(QStringLiteral("Not Connected"));
        dlg.downloadButton()->click();
        EXPECT_TRUE(dlg.isOpen());
        EXPECT_TRUE(frame.calls.isEmpty());
        EXPECT_EQ(promptText(dlg),
                  QStringLiteral("Connecting failed. Ensure logger inserted and try again."));

        // The logger answered: the receive handler's title and prompt.
        dlg.SetTitle(QStringLiteral("Connected"));
        dlg.SetPrompt(linktext::kPressDownloadAnswered);
        EXPECT_EQ(promptText(dlg), QStringLiteral("Press \"Download\" to load store data from "
                                                  "the logger, or \"Cancel\" to exit."));
        frame.state.m_bRealTimeRequest = 1;
        dlg.downloadButton()->click();
    });
    EXPECT_EQ(dlg.DoModal(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isOpen());
    EXPECT_EQ(frame.calls, (QStringList{"startTransfer", "stopConnectTimers"}));
    EXPECT_EQ(frame.state.m_bDownloadRequest, 1);
    EXPECT_EQ(frame.state.m_bRealTimeRequest, 0);
    EXPECT_EQ(frame.state.m_bDataUnsaved, 1);
}

TEST(DownloadDialog, real_time_entry_starts_a_run_instead)
{
    FakeFrame frame;
    CDownloadDlg dlg;
    dlg.setHost(frame.host());
    ScopedModal modal([&](QDialog&) {
        dlg.SetTitle(QStringLiteral("Connected"));
        dlg.OnRealTime();
    });
    EXPECT_EQ(dlg.DoModal(), QDialog::Accepted);
    EXPECT_EQ(frame.state.m_bDownloadRequest, 0);
    EXPECT_EQ(frame.state.m_bRealTimeRequest, 1);
}

TEST(DownloadDialog, cancel_escape_and_close_end_the_search)
{
    for (int way = 0; way < 3; ++way) {
        FakeFrame frame;
        CDownloadDlg dlg;
        dlg.setHost(frame.host());
        ScopedModal modal([&](QDialog&) {
            dlg.show();
            if (way == 0) {
                dlg.cancelButton()->click();
            } else if (way == 1) {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(&dlg, &esc);
            } else {
                dlg.close();
            }
        });
        EXPECT_EQ(dlg.DoModal(), QDialog::Rejected) << way;
        EXPECT_FALSE(dlg.isOpen()) << way;
        EXPECT_TRUE(frame.calls.contains("stopConnectTimers")) << way;
        EXPECT_FALSE(frame.calls.contains("startTransfer")) << way;
        EXPECT_EQ(frame.state.m_bDataUnsaved, 0) << way;
    }
}

TEST(DownloadDialog, earlier_link_is_checked_on_opening)
{
    sim::SilentPort logger;
    sim::ScopedSerialPorts ports({logger.devicePath(), QStringLiteral("/nonexistent/ttyRQ730")});
    CMSComm comm;
    FakeFrame frame;
    frame.state.m_bLinkUp = 1;
    CDownloadDlg dlg;
    dlg.setHost(frame.host(&comm));

    // The port of the earlier link opens: connected, and the port is closed again.
    comm.SetCommPort(1);
    ScopedModal connected([&](QDialog&) {
        EXPECT_EQ(dlg.title(), QStringLiteral("Connected"));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Connected"));
        EXPECT_EQ(promptText(dlg), QStringLiteral("Press \"Download\" to load stored data from "
                                                  "the logger or \"Cancel\" to exit."));
        EXPECT_TRUE(dlg.downloadButton()->isEnabled());
        EXPECT_FALSE(comm.GetPortOpen());
        dlg.cancelButton()->click();
    });
    dlg.DoModal();

    // It does not open: not connected, Download disabled, and it stays disabled when
    // the link watch later finds the port again.
    comm.SetCommPort(2);
    ScopedModal lost([&](QDialog&) {
        EXPECT_EQ(dlg.title(), QStringLiteral("Not Connected"));
        EXPECT_FALSE(dlg.downloadButton()->isEnabled());
        dlg.SetTitle(QStringLiteral("Connected"));
        EXPECT_FALSE(dlg.downloadButton()->isEnabled());
        dlg.cancelButton()->click();
    });
    dlg.DoModal();

    // The next opening starts from the template again: the button is back.
    comm.SetCommPort(1);
    ScopedModal again([&](QDialog&) {
        EXPECT_EQ(dlg.title(), QStringLiteral("Connected"));
        EXPECT_TRUE(dlg.downloadButton()->isEnabled());
        dlg.cancelButton()->click();
    });
    dlg.DoModal();
}

TEST(DownloadDialog, failed_transfer_start_keeps_the_dialog_open_and_says_so)
{
    // The frame reports the failure itself (false), or the port raises under it.
    for (bool throws : {false, true}) {
        FakeFrame frame;
        frame.startSucceeds = false;
        if (throws)
            frame.onStartTransfer = [] { throw CommDispatchError("Cannot open COM1"); };
        CDownloadDlg dlg;
        dlg.setHost(frame.host());
        ScopedModal modal([&](QDialog&) {
            dlg.SetTitle(QStringLiteral("Connected"));
            dlg.downloadButton()->click();
            EXPECT_TRUE(dlg.isOpen());
            EXPECT_EQ(dlg.title(), QStringLiteral("Not Connected"));
            EXPECT_EQ(promptText(dlg),
                      QStringLiteral("Connecting failed. Ensure logger inserted and try again."));
            dlg.cancelButton()->click();
        });
        EXPECT_EQ(dlg.DoModal(), QDialog::Rejected) << throws;
        EXPECT_EQ(frame.state.m_bDataUnsaved, 0) << throws;
    }
}
