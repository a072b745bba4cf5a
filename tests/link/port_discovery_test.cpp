// Finding the logger and watching the link, end to end: the port scan, probe and link watch
// timers against silent ptys and the logger simulator, with real timers. Their pace shows in
// the periods they are armed with at each step, not in times measured.
#include <QCoreApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include "app/frame_fixture.h"
#include "link/held_device.h"
#include "link/instrument_dialog.h"
#include "link/instrument_test_helpers.h"
#include "link/link_timing.h"
#include "support/logger_simulator.h"
#include "support/test_env.h"

namespace {

using testhost::ScopedModal;

// One step of the search: a probe byte seen on a port ("probe COM9"), or a new title
// and prompt of the download dialog; with the periods the port scan and the probe
// timers were armed with right after it (-1: not armed).
struct LinkEvent {
    QString what;
    int scan, probe;
    bool operator==(const LinkEvent&) const = default;
};

void PrintTo(const LinkEvent& e, std::ostream* out)
{
    *out << e.what.toStdString() << " (scan " << e.scan << ", probe " << e.probe << ")";
}

// Watches ports and the dialog every few milliseconds while events run.
class LinkRecorder {
public:
    LinkRecorder(std::vector<std::pair<int, std::function<QByteArray()>>> ports,
                 const CInstrumentDlg& dialog, CMainFrame& frame)
        : m_ports(std::move(ports))
        , m_dialog(dialog)
        , m_frame(frame)
        , m_seen(m_ports.size(), 0)
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { sample(); });
        m_poll.start(2);
    }

    void sample()
    {
        const auto add = [this](const QString& what) {
            events.push_back({what, m_frame.timers().Interval(kTimerPortScan),
                              m_frame.timers().Interval(kTimerProbe)});
        };
        for (std::size_t i = 0; i < m_ports.size(); ++i) {
            const QByteArray got = m_ports[i].second();
            EXPECT_LE(got.size() - m_seen[i], 1) << "two probes in one tick";
            for (qsizetype k = m_seen[i]; k < got.size(); ++k) {
                EXPECT_EQ(static_cast<std::uint8_t>(got[k]), LC_PROBE)
                    << "COM" << m_ports[i].first << " got another byte than the probe";
                add(QStringLiteral("probe COM%1").arg(m_ports[i].first));
            }
            m_seen[i] = got.size();
        }
        const QString shown = m_dialog.title() + QStringLiteral(": ") + m_dialog.prompt();
        if (shown != m_shown)
            add(m_shown = shown);
    }

    std::vector<LinkEvent> events;

private:
    std::vector<std::pair<int, std::function<QByteArray()>>> m_ports;
    const CInstrumentDlg& m_dialog;
    CMainFrame& m_frame;
    std::vector<qsizetype> m_seen;
    QString m_shown;
    QTimer m_poll;
};

} // namespace

TEST(PortDiscovery, silent_ports_are_probed_highest_first_then_not_connected_and_rescanned)
{
    testenv::resetHome();
    sim::SilentPort com3, com5, com9;
    frametest::Frame f({QString(), QString(), com3.devicePath(), QString(), com5.devicePath(),
                        QString(), QString(), QString(), com9.devicePath()});
    CMainFrame& frame = *f.frame;

    std::unique_ptr<LinkRecorder> rec;
    ScopedModal modal([&](QDialog&) {
        rec = std::make_unique<LinkRecorder>(
            std::vector<std::pair<int, std::function<QByteArray()>>>{
                {3, [&] { return com3.received(); }},
                {5, [&] { return com5.received(); }},
                {9, [&] { return com9.received(); }}},
            frame.m_dlgDownload, frame);
        rec->sample();
        // Up to the first probe of the rescan.
        sim::waitUntil([&] { return rec->events.size() >= 7; }, 4000);
        frame.m_dlgDownload.cancelButton()->click();
    });
    frame.OnDownloadData();

    // The scan runs 100 ms after the command and probes the highest port; the probe
    // timer probes it once more, then one lower port every 500 ms. A pass without an
    // answer says so and scans again a second later. Nothing is shown in a message box.
    ASSERT_TRUE(rec);
    const QString connecting = linktext::kConnecting + ": " + linktext::kWaiting;
    const QString failed = linktext::kNotConnected + ": " + linktext::kConnectFailed;
    EXPECT_EQ(rec->events, (std::vector<LinkEvent>{{connecting, 100, -1},
                                                   {"probe COM9", -1, 500},
                                                   {"probe COM9", -1, 500},
                                                   {"probe COM5", -1, 500},
                                                   {"probe COM3", -1, 500},
                                                   {failed, 1000, -1},
                                                   {"probe COM9", -1, 500}}));

    // Closing the dialog ends the search.
    EXPECT_FALSE(frame.timers().IsActive(kTimerPortScan));
    EXPECT_FALSE(frame.timers().IsActive(kTimerProbe));
    EXPECT_FALSE(frame.timers().IsActive(kTimerLinkWatch));
    EXPECT_EQ(frame.m_bLinkUp, 0);
}

TEST(PortDiscovery, logger_answers_on_com5_and_the_watch_follows_the_port_until_unplugged)
{
    testenv::resetHome();
    sim::SilentPort com3;
    sim::LoggerSimulator logger;
    frametest::Frame f({QString(), QString(), com3.devicePath(), QString(), logger.devicePath()});
    CMainFrame& frame = *f.frame;
    CDownloadDlg& dlg = frame.m_dlgDownload;

    ScopedModal modal([&](QDialog&) {
        // The scan finds COM3 and COM5 and probes COM5 first: the logger answers its
        // first probe.
        ASSERT_TRUE(
            sim::waitUntil([&] { return dlg.title() == QStringLiteral("Connected"); }, 1500));
        EXPECT_EQ(logger.received(), QByteArray(1, static_cast<char>(LC_PROBE)));
        EXPECT_EQ(frame.m_bLinkUp, 1);
        EXPECT_EQ(frame.m_bAcknowledged, 1);
        EXPECT_EQ(frame.m_nCommPort, 5);
        EXPECT_EQ(dlg.prompt(), linktext::kPressDownloadAnswered);
        EXPECT_FALSE(frame.timers().IsActive(kTimerPortScan));
        EXPECT_FALSE(frame.timers().IsActive(kTimerProbe));
        EXPECT_EQ(frame.timers().Interval(kTimerLinkWatch), 3000);
        EXPECT_FALSE(frame.m_MSComm.GetPortOpen());

        // The watch writes "Connected" again at its tick while the port opens; nothing
        // else does.
        dlg.SetTitle(QStringLiteral("Connecting..."));
        QCoreApplication::processEvents();
        EXPECT_EQ(dlg.title(), QStringLiteral("Connecting..."));
        EXPECT_TRUE(
            sim::waitUntil([&] { return dlg.title() == QStringLiteral("Connected"); }, 3600));
        EXPECT_EQ(frame.timers().Interval(6), 3000);
        EXPECT_FALSE(frame.m_MSComm.GetPortOpen());

        // The adapter is pulled out: the next tick cannot open the port.
        linktest::HeldDeviceNumber held(logger.devicePath());
        logger.unplug();
        EXPECT_TRUE(
            sim::waitUntil([&] { return dlg.title() == QStringLiteral("Not Connected"); }, 3600));
        EXPECT_EQ(dlg.prompt(), linktext::kConnectFailed);
        EXPECT_EQ(frame.timers().Interval(kTimerLinkWatch), 3000); // it keeps trying, without a rescan
        EXPECT_FALSE(frame.timers().IsActive(kTimerPortScan));
        dlg.cancelButton()->click();
    });
    frame.OnDownloadData();

    // One probe, to COM5 only; COM3 was never needed.
    EXPECT_EQ(com3.received(), QByteArray());
    EXPECT_FALSE(frame.timers().IsActive(kTimerLinkWatch));
}

TEST(PortDiscovery, search_timers_end_themselves_without_an_open_dialog)
{
    testenv::resetHome();
    sim::SilentPort com1;
    frametest::Frame f({com1.devicePath()});
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
    frametest::Frame f({QString(), com2.devicePath()});
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
