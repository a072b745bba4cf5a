#pragma once
// A main window on serial ports of the test, for end-to-end tests of the link: the
// logger simulator on COM1 unless a test links the frame to other devices, with every
// message box recorded and answered (OK, or the queued answers in turn).
#include <QString>
#include <QStringList>
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "app/frame_fixture.h"
#include "support/dialog_hooks.h"
#include "support/logger_simulator.h"
#include "support/test_env.h"

struct LinkedFrameFixture : ::testing::Test {
    testenv::MessageBoxRecorder recorder{{}, MsgResult::Ok}; // outlives the frame
    std::vector<MessageBoxCall>& boxes = recorder.calls;
    std::deque<MsgResult>& answers = recorder.answers;
    std::unique_ptr<sim::LoggerSimulator> logger = std::make_unique<sim::LoggerSimulator>();
    std::unique_ptr<sim::SilentPort> silent; // a port where nobody answers, once asked for
    std::unique_ptr<frametest::Frame> linked;
    CMainFrame* frame = nullptr;
    CDTDoc* doc = nullptr;

    void SetUp() override { link({logger->devicePath()}); }
    void TearDown() override { linked.reset(); }

    // A new frame, in a fresh home, whose COM1, COM2, ... are `devices`.
    void link(const QStringList& devices)
    {
        linked.reset();
        testenv::resetHome();
        linked = std::make_unique<frametest::Frame>(devices);
        frame = linked->frame.get();
        doc = linked->doc.get();
    }
    // A new frame whose COM1 is a port where nobody answers.
    void linkSilentPort()
    {
        silent = std::make_unique<sim::SilentPort>();
        link({silent->devicePath()});
    }
    // COM1 chosen and set up, as once the search found the logger there.
    void selectCom1()
    {
        frame->m_nCommPort = 1;
        frame->ResetPort();
    }

    // A download (else a real-time run) started, as the dialogs' buttons start them.
    bool startTransfer(bool download)
    {
        frame->m_bDownloadRequest = download ? 1 : 0;
        frame->m_bRealTimeRequest = download ? 0 : 1;
        return frame->StartTransfer();
    }

    CDTView& view() { return linked->view(); }
    int boxesWith(const QString& text) const
    {
        int n = 0;
        for (const MessageBoxCall& b : boxes)
            n += b.text == text ? 1 : 0;
        return n;
    }
};
