#pragma once
// A main window whose COM1 is the logger simulator, with every message box recorded
// (and answered OK), for end-to-end tests of the link.
#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "app/mainframe.h"
#include "app/splash.h"
#include "display/cdtview.h"
#include "document/cdtdoc.h"
#include "platform/message_box.h"
#include "platform/modal_dialog.h"
#include "support/logger_simulator.h"
#include "support/test_env.h"

struct LinkedFrameFixture : ::testing::Test {
    std::unique_ptr<sim::LoggerSimulator> logger = std::make_unique<sim::LoggerSimulator>();
    std::unique_ptr<sim::ScopedSerialPorts> ports;
    std::unique_ptr<CDTDoc> doc = std::make_unique<CDTDoc>();
    std::unique_ptr<CMainFrame> frame;
    std::vector<MessageBoxCall> boxes;

    void SetUp() override
    {
        testenv::resetHome();
        ports = std::make_unique<sim::ScopedSerialPorts>(QStringList{logger->devicePath()});
        setMessageBoxHook([this](const MessageBoxCall& call) {
            boxes.push_back(call);
            return MsgResult::Ok;
        });
        CMainFrame::setStartupPause(0);
        CSplashWnd::EnableSplashScreen(false);
        frame = std::make_unique<CMainFrame>(doc.get());
        ASSERT_TRUE(frame->LoadFrame());
        frame->resize(1200, 800);
        frame->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        setModalDialogHook({});
        frame.reset();
        doc.reset();
        setMessageBoxHook({});
    }

    CDTView& view() { return *frame->GetDataView(); }
};
