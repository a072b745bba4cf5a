// Finding the logger and watching the link, end to end: the port scan, probe and link
// watch timers against silent ptys and the logger simulator, with real timers.
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/frame_fixture.h"
#include "link/held_device.h"
#include "link/instrument_dialog.h"
#include "link/instrument_test_helpers.h"
#include "support/logger_simulator.h"
#include "support/test_env.h"

namespace {

using testhost::ScopedModal;

// One probe byte seen on a port, with the time since the search started.
struct Probe {
    int port;
    qint64 at;
};

// A title or prompt change of the download dialog, with its time.
struct DialogChange {
    QString title;
    QString prompt;
    qint64 at;
};

// Watches ports and the dialog every few milliseconds while events run.
class LinkRecorder {
public:
    LinkRecorder(std::vector<std::pair<int, std::function<QByteArray()>>> ports,
                 const CInstrumentDlg& dialog)
        : m_ports(std::move(ports))
        , m_dialog(dialog)
        , m_seen(m_ports.size(), 0)
    {
        m_clock.start();
        QObject::connect(&m_poll, &QTimer::timeout, [this] { sample(); });
        m_poll.start(2);
    }

    qint64 elapsed() const { return m_clock.elapsed(); }
    void sample()
    {
        for (std::size_t i = 0; i < m_ports.size(); ++i) {
            const QByteArray got = m_ports[i].second();
            for (qsizetype k = m_seen[i]; k < got.size(); ++k) {
                EXPECT_EQ(static_cast<std::uint8_t>(got[k]), LC_PROBE)
                    << "COM" << m_ports[i].first << " got another byte than the probe";
                probes.push_back({m_ports[i].first, m_clock.elapsed()});
            }
            m_seen[i] = got.size();
        }
        if (changes.empty() || changes.back().title != m_dialog.title()
            || changes.back().prompt != m_dialog.prompt())
            changes.push_back({m_dialog.title(), m_dialog.prompt(), m_clock.elapsed()});
    }
    // The first change to `title` at or after `from`, or -1.
    qint64 timeOfTitle(const QString& title, qint64 from = 0) const
    {
        for (const DialogChange& c : changes) {
            if (c.at >= from && c.title == title)
                return c.at;
        }
        return -1;
    }

    std::vector<Probe> probes;
    std::vector<DialogChange> changes;

private:
    std::vector<std::pair<int, std::function<QByteArray()>>> m_ports;
    const CInstrumentDlg& m_dialog;
    std::vector<qsizetype> m_seen;
    QElapsedTimer m_clock;
    QTimer m_poll;
};

// Timers fire a little late, never early; the bounds leave room for a loaded machine.
void expectNear(qint64 actual, qint64 expected, const char* what)
{
    EXPECT_GE(actual, expected - 60) << what;
    EXPECT_LE(actual, expected + 250) << what;
}

} // namespace

TEST(PortDiscovery, silent_ports_are_probed_highest_first_then_not_connected_and_rescanned)
{
    testenv::resetHome();
    sim::SilentPort com3, com5, com9;
    sim::ScopedSerialPorts ports({QString(), QString(), com3.devicePath(), QString(),
                                  com5.devicePath(), QString(), QString(), QString(),
                                  com9.devicePath()});
    frametest::Frame f;
    frametest::MessageBoxRecorder boxes;
    CMainFrame& frame = *f.frame;

    std::unique_ptr<LinkRecorder> rec;
    ScopedModal modal([&](QDialog&) {
        rec = std::make_unique<LinkRecorder>(
            std::vector<std::pair<int, std::function<QByteArray()>>>{
                {3, [&] { return com3.received(); }},
                {5, [&] { return com5.received(); }},
                {9, [&] { return com9.received(); }}},
            frame.m_dlgDownload);
        EXPECT_EQ(frame.m_dlgDownload.title(), QStringLiteral("Connecting..."));
        // Up to the first probe of the rescan, with a little margin.
        sim::waitUntil([&] { return rec->probes.size() >= 5; }, 4000);
        sim::runEventsFor(50);
        rec->sample();
        frame.m_dlgDownload.cancelButton()->click();
    });
    frame.OnDownloadData();

    ASSERT_TRUE(rec);
    ASSERT_EQ(rec->probes.size(), 5u);
    const std::vector<int> order = {rec->probes[0].port, rec->probes[1].port, rec->probes[2].port,
                                    rec->probes[3].port, rec->probes[4].port};
    EXPECT_EQ(order, (std::vector<int>{9, 9, 5, 3, 9}));

    // The scan runs 100 ms after the command; the pass is paced from its first probe.
    const qint64 t0 = rec->probes[0].at;
    EXPECT_LE(t0, 400);
    expectNear(rec->probes[1].at - t0, 500, "second probe");
    expectNear(rec->probes[2].at - t0, 1000, "third probe");
    expectNear(rec->probes[3].at - t0, 1500, "fourth probe");
    const qint64 notConnected = rec->timeOfTitle(QStringLiteral("Not Connected"));
    ASSERT_GE(notConnected, 0);
    expectNear(notConnected - t0, 2000, "Not Connected");
    expectNear(rec->probes[4].at - t0, 3000, "rescan");
    for (const DialogChange& c : rec->changes) {
        if (c.title == QStringLiteral("Not Connected")) {
            EXPECT_EQ(c.prompt, linktext::kConnectFailed);
        }
    }

    // Closing the dialog ends the search; nothing is shown in a message box.
    EXPECT_FALSE(frame.timers().IsActive(kTimerPortScan));
    EXPECT_FALSE(frame.timers().IsActive(kTimerProbe));
    EXPECT_FALSE(frame.timers().IsActive(kTimerLinkWatch));
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(frame.m_bLinkUp, 0);
}

TEST(PortDiscovery, logger_answers_on_com5_and_the_watch_follows_the_port_until_unplugged)
{
    testenv::resetHome();
    sim::SilentPort com3;
    sim::LoggerSimulator logger;
    sim::ScopedSerialPorts ports(
        {QString(), QString(), com3.devicePath(), QString(), logger.devicePath()});
    frametest::Frame f;
    frametest::MessageBoxRecorder boxes;
    CMainFrame& frame = *f.frame;
    CDownloadDlg& dlg = frame.m_dlgDownload;

    qint64 connectedAt = -1, watchConnectedAt = -1, lostAt = -1;
    ScopedModal modal([&](QDialog&) {
        QElapsedTimer clock;
        clock.start();
        // The scan finds COM3 and COM5 and probes COM5 first: the logger answers.
        ASSERT_TRUE(
            sim::waitUntil([&] { return dlg.title() == QStringLiteral("Connected"); }, 1500));
        connectedAt = clock.elapsed();
        EXPECT_EQ(frame.m_bLinkUp, 1);
        EXPECT_EQ(frame.m_bAcknowledged, 1);
        EXPECT_EQ(frame.m_nCommPort, 5);
        EXPECT_EQ(dlg.prompt(), linktext::kPressDownloadAnswered);
        EXPECT_FALSE(frame.timers().IsActive(kTimerPortScan));
        EXPECT_FALSE(frame.timers().IsActive(kTimerProbe));
        EXPECT_EQ(frame.timers().Interval(kTimerLinkWatch), 3000);
        EXPECT_FALSE(frame.m_MSComm.GetPortOpen());

        // The watch writes "Connected" again at its tick while the port opens.
        dlg.SetTitle(QStringLiteral("Connecting..."));
        EXPECT_TRUE(
            sim::waitUntil([&] { return dlg.title() == QStringLiteral("Connected"); }, 3600));
        watchConnectedAt = clock.elapsed();
        EXPECT_FALSE(frame.m_MSComm.GetPortOpen());

        // The adapter is pulled out: the next tick cannot open the port.
        linktest::HeldDeviceNumber held(logger.devicePath());
        logger.unplug();
        EXPECT_TRUE(
            sim::waitUntil([&] { return dlg.title() == QStringLiteral("Not Connected"); }, 3600));
        lostAt = clock.elapsed();
        EXPECT_EQ(dlg.prompt(), linktext::kConnectFailed);
        EXPECT_TRUE(frame.timers().IsActive(kTimerLinkWatch)); // it keeps trying, without a rescan
        EXPECT_FALSE(frame.timers().IsActive(kTimerPortScan));
        dlg.cancelButton()->click();
    });
    frame.OnDownloadData();

    EXPECT_LE(connectedAt, 600);
    expectNear(watchConnectedAt - connectedAt, 3000, "watch tick");
    expectNear(lostAt - watchConnectedAt, 3000, "watch tick after unplug");
    // One probe, to COM5 only; COM3 was never needed.
    EXPECT_EQ(com3.received(), QByteArray());
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_FALSE(frame.timers().IsActive(kTimerLinkWatch));
}

TEST(PortDiscovery, search_timers_end_themselves_without_an_open_dialog)
{
    testenv::resetHome();
    sim::SilentPort com1;
    sim::ScopedSerialPorts ports({com1.devicePath()});
    frametest::Frame f;
    CMainFrame& frame = *f.frame;

    for (FrameTimer id : {kTimerPortScan, kTimerProbe, kTimerLinkWatch}) {
        frame.SetTimer(id, 1000);
        frame.OnTimer(id);
        EXPECT_FALSE(frame.timers().IsActive(id)) << id;
    }
    sim::runEventsFor(20);
    EXPECT_EQ(com1.received(), QByteArray());
    EXPECT_FALSE(frame.m_MSComm.GetPortOpen());
    // Timers that wait for nothing, and an id no timer has, do nothing.
    frame.OnTimer(kTimerAnswerWait);
    frame.OnTimer(kTimerQuietLine);
    frame.OnTimer(99);
}

TEST(PortDiscovery, scan_keeps_the_list_within_16_ports_and_one_port_is_probed_twice)
{
    testenv::resetHome();
    sim::SilentPort com2;
    sim::ScopedSerialPorts ports({QString(), com2.devicePath()});
    frametest::Frame f;
    CMainFrame& frame = *f.frame;

    // A pass cut short by a closed dialog left its ports in the list.
    frame.m_nPortCount = 16;
    frame.m_byPorts.fill(7);

    ScopedModal modal([&](QDialog&) {
        frame.OnTimer(kTimerPortScan);
        EXPECT_EQ(frame.m_nPortCount, 1);
        EXPECT_EQ(frame.m_byPorts[0], 2);
        EXPECT_FALSE(frame.timers().IsActive(kTimerPortScan));
        EXPECT_EQ(frame.timers().Interval(kTimerProbe), 500);

        frame.OnTimer(kTimerProbe); // the same port again
        EXPECT_EQ(frame.m_dlgDownload.title(), QStringLiteral("Connecting..."));
        frame.OnTimer(kTimerProbe); // the pass is over
        EXPECT_EQ(frame.m_dlgDownload.title(), QStringLiteral("Not Connected"));
        EXPECT_EQ(frame.m_nPortCount, 0);
        EXPECT_FALSE(frame.timers().IsActive(kTimerProbe));
        EXPECT_EQ(frame.timers().Interval(kTimerPortScan), 1000);
        sim::waitUntil([&] { return com2.received().size() >= 2; }, 500);
        frame.m_dlgDownload.cancelButton()->click();
    });
    frame.OnDownloadData();
    EXPECT_EQ(com2.received(), QByteArray(2, static_cast<char>(LC_PROBE)));
}
