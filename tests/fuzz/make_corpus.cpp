// Writes the seed corpus of the fuzz targets (tests/fuzz/corpus/<target>/) with the
// program's own writers: documents stored by CDTDoc, settings files written by the
// settings code, download streams and real-time frames from the logger simulator.
// Usage: fuzz_make_corpus <corpus folder>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cmath>
#include <cstdio>

#include "app/frame_state.h"
#include "app/logger_settings.h"
#include "display/view_state.h"
#include "document/cdtdoc.h"
#include "link/download_parse.h"
#include "platform/profile_file.h"
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

void realTimeSeeds()
{
    sim::RealTimeSignal signal;
    write("realtime_frame", "both_channels.bin", sim::LoggerSimulator::realTimeFrame(signal));
    signal.presence = 0;
    write("realtime_frame", "no_channel.bin", sim::LoggerSimulator::realTimeFrame(signal));
    write("realtime_frame", "cut_short.bin", sim::LoggerSimulator::realTimeFrame({}).left(100));
}

// The receive handler's operations (see receive_handler.cpp).
struct Ops {
    QByteArray b;
    explicit Ops(int start) { b.append(static_cast<char>(start)); }
    Ops& chunk(const QByteArray& bytes)
    {
        b.append(static_cast<char>(bytes.size() >> 8));
        b.append(static_cast<char>(bytes.size() & 0xFF));
        b.append(bytes);
        return *this;
    }
    // Index into the target's timer table: 4 5 6 8 9 10 12 13 14 15.
    Ops& timer(int index)
    {
        b.append(static_cast<char>(0x80 + index));
        return *this;
    }
    Ops& restart(int kind)
    {
        b.append(static_cast<char>(0xC0 + kind));
        return *this;
    }
};

void receiveSeeds()
{
    write("receive_handler", "probe_answered", Ops(0).chunk("\xAF").b);
    write("receive_handler", "setup_press_start", Ops(0).chunk("\x1E").b);

    for (const auto& [name, scenario] :
         {std::pair{"download_blocks_and_remainder", bothChannelsWithTransients()},
          std::pair{"download_below_one_block", oneChannel()}}) {
        const Download d = download(scenario);
        Ops ops(1);
        ops.chunk(d.header);
        for (qsizetype at = 0; at < d.stream.size(); at += 512)
            ops.chunk(d.stream.mid(at, 512));
        ops.timer(3); // the zoom-out after the finish
        write("receive_handler", name, ops.b);
    }
    // A header split in two, a block resent after a short read, and the give-up.
    const Download d = download(bothChannelsWithTransients());
    write("receive_handler", "download_split_resend_give_up",
          Ops(1)
              .chunk(d.header.left(10))
              .chunk(d.header.mid(10))
              .chunk(d.stream.left(100))
              .timer(5)
              .chunk(d.stream.left(512))
              .timer(4)
              .b);
    write("receive_handler", "download_busy",
          Ops(1).chunk(QByteArray(1, char(LR_BUSY_LOGGING))).timer(6).b);
    sim::LoggerSimulator empty;
    empty.setNoData(true);
    write("receive_handler", "download_no_data", Ops(1).chunk(empty.header()).b);

    const QByteArray frame = sim::LoggerSimulator::realTimeFrame({});
    write("receive_handler", "realtime_frames_and_samples",
          Ops(2).chunk(frame).timer(8).chunk(frame).timer(8).timer(7).chunk(frame).timer(9).b);
    sim::RealTimeSignal other;
    other.ch2Type = 0xFF;
    write("receive_handler", "realtime_channel_change_then_download",
          Ops(2)
              .chunk(frame)
              .timer(8)
              .chunk(sim::LoggerSimulator::realTimeFrame(other))
              .restart(1)
              .chunk(d.header)
              .b);
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
