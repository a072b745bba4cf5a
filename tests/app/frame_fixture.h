#pragma once
// A main window built as at start-up, without the splash pause, for frame tests; on
// serial ports of the test when they are named.
#include <QCoreApplication>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

#include "app/mainframe.h"
#include "app/splash.h"
#include "display/cdtview.h"
#include "document/cdtdoc.h"
#include "platform/modal_dialog.h"
#include "support/dialog_hooks.h"
#include "support/logger_simulator.h"
#include "support/test_env.h"

namespace frametest {

struct Frame {
    std::optional<sim::ScopedSerialPorts> ports; // set before the frame lists them
    std::unique_ptr<CDTDoc> doc = std::make_unique<CDTDoc>();
    std::unique_ptr<CMainFrame> frame;

    // With `serialPorts`, COM1, COM2, ... are those devices (an empty one: no port).
    explicit Frame(const QStringList& serialPorts) : Frame(std::optional(serialPorts)) {}
    explicit Frame(const std::optional<QStringList>& serialPorts = std::nullopt)
    {
        if (serialPorts)
            ports.emplace(*serialPorts);
        CMainFrame::setStartupPause(0);
        CSplashWnd::EnableSplashScreen(false);
        frame = std::make_unique<CMainFrame>(doc.get());
        EXPECT_TRUE(frame->LoadFrame());
        frame->resize(1200, 800);
        frame->show();
        QCoreApplication::processEvents();
    }
    ~Frame()
    {
        frame.reset();
        doc.reset();
    }
    CDTView& view() const { return *frame->GetDataView(); }
    // Closes the window the way the user does and waits for the real close.
    bool closeAndWait()
    {
        bool closed = false;
        QObject::connect(frame.get(), &CMainFrame::frameClosed, [&closed] { closed = true; });
        frame->close();
        return sim::waitUntil([&] { return closed; }, 3000);
    }
};

// The scripted boxes and file dialogs (tests/support/dialog_hooks.h).
using testenv::FileDialogScript;
using testenv::MessageBoxRecorder;

} // namespace frametest
