#pragma once
// A main window built as at start-up, without the splash pause, for frame tests.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "app/mainframe.h"
#include "app/splash.h"
#include "display/cdtview.h"
#include "document/cdtdoc.h"
#include "platform/modal_dialog.h"
#include "support/dialog_hooks.h"
#include "support/test_env.h"

namespace frametest {

// Runs the event loop until `done` holds or the time is up; returns `done()`.
inline bool waitUntil(const std::function<bool()>& done, int milliseconds = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return done();
}

struct Frame {
    std::unique_ptr<CDTDoc> doc = std::make_unique<CDTDoc>();
    std::unique_ptr<CMainFrame> frame;

    Frame()
    {
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
        return waitUntil([&] { return closed; });
    }
};

// The scripted boxes and file dialogs (tests/support/dialog_hooks.h).
using testenv::FileDialogScript;
using testenv::MessageBoxRecorder;

} // namespace frametest
