// Writes the seed corpus of the fuzz targets (tests/fuzz/corpus/<target>/) with the
// program's own writers: documents stored by CDTDoc, settings files written by the
// settings code, download streams and real-time frames from the logger simulator.
// Usage: fuzz_make_corpus <corpus folder>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cmath>
#include <cstdio>

#include "display/frame_state.h"
#include "app/logger_settings.h"
#include "display/view_state.h"
#include "document/cdtdoc.h"
#include "link/download_parse.h"
#include "platform/profile_file.h"
#include "receive_handler_ops.h"
#include "support/logger_simulator.h"

namespace {

QString g_root;

void write(const QString& target, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(g_root + QLatin1Char('/') + target);
    QFile file(g_root + QLatin1Char('/') + target + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
}

// Scenarios of the logger memory the seeds are made from.
sim::LoggerScenario bothChannelsWithTransients()
{
    sim::LoggerScenario s;
    for (int n = 0; n < 300; ++n) {
        s.rms.push_back(static_cast<std::int16_t>(2300 + std::lround(40 * std::sin(n * 0.1))));
        s.rms.push_back(static_cast<std::int16_t>(15 + n % 7));
    }
    sim::ScenarioTransient tr;
    tr.beforeSample = 120;
    tr.time = {2009, 3, 7, 14, 7, 9};
    for (int i = 0; i < 251; ++i)
        tr.samples.push_back(static_cast<std::int16_t>(std::lround(3250 * std::sin(i * 0.125))));
    s.transients.push_back(tr);
    tr.beforeSample = 300;
    tr.quantity = wire::kTrQuantityCurrent;
    tr.channel = wire::kTrChannel2;
    s.transients.push_back(tr);
    return s;
}

sim::LoggerScenario oneChannel()
{
    sim::LoggerScenario s;
    s.valuesPerSample = 1;
    s.ch2Type = 0xFF;
    s.rateUnit = RU_MINUTES;
    s.intervalValue = 5;
    for (int n = 0; n < 40; ++n)
        s.rms.push_back(static_cast<std::int16_t>(2295 + n));
    return s;
}

sim::LoggerScenario wrapped()
{
    sim::LoggerScenario s = oneChannel();
    s.valuesPerSample = 2;
    s.ch2Type = 0;
    s.rms.resize(2 * 260, 100);
    s.startAddress = 1023 * 512;
    s.wrapA = 8;
    s.wrapB = 4;
    return s;
}

struct Download {
    QByteArray header;
    QByteArray stream;
};

Download download(const sim::LoggerScenario& s)
{
    sim::LoggerSimulator logger;
    logger.setScenario(s);
    return {logger.header(), sim::LoggerSimulator::buildStream(s)};
}

// The document a download of the scenario leaves.
QByteArray storedDocument(const sim::LoggerScenario& s)
{
    const Download d = download(s);
    CDTDoc doc;
    ViewState view;
    doc.AddView(&view);
    const auto header = wire::DownloadHeader::decode(wire::asBytes(d.header));
    const download::HeaderInfo info = download::applyHeader(header.value, view);
    download::storeDownload(wire::asBytes(d.stream), info, doc, view);
    return doc.StoreToBytes();
}

void documentSeeds()
{
    write("document_reader", "both_channels_transients.stdata",
          storedDocument(bothChannelsWithTransients()));
    write("document_reader", "one_channel.stdata", storedDocument(oneChannel()));

    // A real-time run kept as the previous measurement, with texts too long for the
    // short length form.
    CDTDoc doc;
    ViewState view;
    doc.AddView(&view);
    doc.m_strFileTag = kTagRealTime;
    view.m_nStoreCount = 2;
    view.m_bStoreCh1 = 1;
    doc.m_pCh1Data = {1.0f, 2.0f};
    view.m_strCh1Max = QString(300, QLatin1Char('M'));
    view.m_strCh1Min = QStringLiteral("1.0V @01/01/08 00:00:00");
    view.m_strStoreUnit1 = QStringLiteral("V");
    write("document_reader", "realtime_long_texts.stdata", doc.StoreToBytes());

    CDTDoc empty;
    ViewState emptyView;
    empty.AddView(&emptyView);
    write("document_reader", "empty.stdata", empty.StoreToBytes());
    write("document_reader", "csv_report.csv",
          "No.,Time,CH1(V),CH2(A)\r\n1,07/03/09 14:05:09,230.0,1.5\r\n");
}

void settingsSeeds()
{
    FrameState frame;
    ViewState view;
    const QString path = QDir::tempPath() + QStringLiteral("/rq730_seed.ini");
    QFile::remove(path);
    {
        ProfileFile ini(path);
        LoadFrameSettings(frame, ini);
        LoadViewSettings(view, ini);
        StoreSettings(frame, view, ini);
        write("settings_reader", "defaults.ini", ini.toBytes());
    }
    frame.m_strYear = QStringLiteral("2009");
    frame.m_strSampRate = QStringLiteral("30");
    frame.m_nSampUnit = 1;
    frame.m_nSampData = 100000;
    frame.m_nYAxisLow[3][2] = -2147483647;
    frame.m_nYAxisHigh[9][1] = 162500;
    frame.m_nBgColor = 255;
    view.m_bViewCh3 = 0;
    view.m_nRtSampleRate = 10;
    ProfileFile ini(path);
    StoreSettings(frame, view, ini);
    QByteArray edited = "; written by hand\r\n[Printer]\r\nName=Office\r\n" + ini.toBytes();
    write("settings_reader", "changed_values.ini", ini.toBytes());
    write("settings_reader", "hand_edited.ini", edited.replace("TEMPHI=500", "temphi = 7x"));
}

void downloadSeeds()
{
    const std::pair<const char*, sim::LoggerScenario> scenarios[] = {
        {"both_channels_transients.bin", bothChannelsWithTransients()},
        {"one_channel.bin", oneChannel()},
        {"wrapped.bin", wrapped()},
    };
    for (const auto& [name, scenario] : scenarios) {
        const Download d = download(scenario);
        write("download_parse", name, d.header + d.stream);
    }
}

// Reads of the line: a 2-byte big-endian length, then the bytes.
QByteArray reads(const QList<QByteArray>& parts)
{
    QByteArray out;
    for (const QByteArray& part : parts) {
        out.append(static_cast<char>(part.size() >> 8));
        out.append(static_cast<char>(part.size() & 0xFF));
        out.append(part);
    }
    return out;
}

void realTimeSeeds()
{
    sim::RealTimeSignal signal;
    const QByteArray frame = sim::LoggerSimulator::realTimeFrame(signal);
    write("realtime_frame", "two_frames.bin", reads({frame, frame}));
    write("realtime_frame", "split_and_cut_short.bin",
          reads({frame.left(7), frame.mid(7, 2000), frame.mid(2007), frame.left(900), "\x3f",
                 frame}));
    signal.presence = 0;
    signal.ch2Type = 0xFF;
    write("realtime_frame", "no_channel_after_stray_bytes.bin",
          reads({"\x00\x3f", sim::LoggerSimulator::realTimeFrame(signal)}));
}

void receiveSeeds()
{
    using fuzz::ReceiveOps;
    write("receive_handler", "probe_answered", ReceiveOps(0).chunk("\xAF").bytes);
    write("receive_handler", "setup_press_start", ReceiveOps(0).chunk("\x1E").bytes);

    // Whole downloads: each reply alone, the quiet line after the last, the zoom-out.
    for (const auto& [name, scenario] :
         {std::pair{"download_blocks_and_remainder", bothChannelsWithTransients()},
          std::pair{"download_below_one_block", oneChannel()}}) {
        const Download d = download(scenario);
        ReceiveOps ops(1);
        ops.chunk(d.header);
        for (qsizetype at = 0; at < d.stream.size(); at += 512)
            ops.chunk(d.stream.mid(at, 512));
        write("receive_handler", name, ops.timer(kTimerQuietLine).timer(kTimerZoomOut).bytes);
    }
    // A header split in two; a block cut short, resent, answered twice; a stray byte;
    // the give-up.
    const Download d = download(bothChannelsWithTransients());
    write("receive_handler", "download_split_resend_stray_give_up",
          ReceiveOps(1)
              .chunk(d.header.left(10))
              .chunk(d.header.mid(10))
              .chunk(d.stream.left(100))
              .timer(kTimerBlockResend)
              .chunk(d.stream.left(512))
              .chunk(d.stream.left(512))
              .timer(kTimerQuietLine)
              .chunk("\x00")
              .chunk(d.stream.mid(512, 512))
              .timer(kTimerQuietLine)
              .timer(kTimerGiveUp)
              .bytes);
    write("receive_handler", "download_busy",
          ReceiveOps(1)
              .chunk(QByteArray(1, char(LR_BUSY_LOGGING)))
              .timer(kTimerCommandResend)
              .timer(kTimerGiveUp)
              .bytes);
    sim::LoggerSimulator empty;
    empty.setNoData(true);
    write("receive_handler", "download_no_data", ReceiveOps(1).chunk(empty.header()).bytes);

    // Real-time runs: frames whole and split, samples taken, the request repeated, a
    // frame cut short, a change of channels, and a download after the stop.
    const QByteArray frame = sim::LoggerSimulator::realTimeFrame({});
    write("receive_handler", "realtime_frames_and_samples",
          ReceiveOps(2)
              .chunk(frame)
              .timer(kTimerSample)
              .chunk(frame.left(1000))
              .chunk(frame.mid(1000))
              .timer(kTimerSample)
              .timer(kTimerWatchdog)
              .chunk(frame.left(300))
              .chunk(frame)
              .timer(kTimerRealTimeRequest)
              .bytes);
    sim::RealTimeSignal other;
    other.ch2Type = 0xFF;
    write("receive_handler", "realtime_channel_change_then_download",
          ReceiveOps(2)
              .chunk(frame)
              .timer(kTimerSample)
              .chunk(sim::LoggerSimulator::realTimeFrame(other))
              .restart(1)
              .chunk(d.header)
              .bytes);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);
    documentSeeds();
    settingsSeeds();
    downloadSeeds();
    realTimeSeeds();
    receiveSeeds();
    return 0;
}
