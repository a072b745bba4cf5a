// Peak memory and time of hostile files, run by hand on a release build:
//   test_app --gtest_also_run_disabled_tests --gtest_filter='HostileBenchmark.*'
// Each case resets the process's peak memory, runs through the real input path (File >
// Open, a start with the settings file, a paint of the band) and prints the time and
// the growth of the peak over the memory in use before. The limits checked are far
// above what a machine of today needs; the printed numbers are the measurement.
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "app/frame_fixture.h"
#include "display/rec_info_band.h"
#include "document/cdtdoc.h"
#include "platform/archive.h"
#include "platform/profile_file.h"
#include "platform/whole_file.h"
#include "resources/command_ids.h"

namespace {

// A value of /proc/self/status in KiB.
long statusKiB(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == key) {
            long kib = 0;
            status >> kib;
            return kib;
        }
    return 0;
}

struct Measured {
    double seconds = 0;
    double peakGrowthMB = 0;
};

// Runs `work` with the peak memory reset first.
Measured measure(const std::function<void()>& work)
{
    std::ofstream("/proc/self/clear_refs") << "5"; // resets the peak to what is in use
    const long before = statusKiB("VmRSS:");
    QElapsedTimer clock;
    clock.start();
    work();
    return {clock.nsecsElapsed() / 1e9, (statusKiB("VmHWM:") - before) / 1024.0};
}

QByteArray document(qint32 points, qint32 records, const QString& text)
{
    Archive ar;
    ar.writeString(kTagStored);
    ar.writeInt32(points);
    ar.writeUInt8(1);
    ar.writeUInt8(1);
    ar.writeFloat(1.0f);
    for (const int field : {2008, 1, 1, 0, 0, 0})
        ar.writeInt32(field);
    for (int ch = 0; ch < 2; ++ch) {
        for (qint32 i = 0; i < points; ++i)
            ar.writeFloat(230.0f + float(i % 100) * 0.1f);
        ar.writeString(text);
        ar.writeString(text);
        if (ch == 0) {
            ar.writeString(QStringLiteral("V"));
            ar.writeString(QStringLiteral("A"));
        }
    }
    ar.writeInt32(records);
    for (qint32 r = 0; r < records; ++r) {
        ar.writeUInt8(0xF1);
        ar.writeUInt8(0xFA);
        for (const int field : {2008, 1, 1, 0, 0, 0})
            ar.writeInt32(field);
    }
    for (qint64 i = 0; i < qint64(records) * kTrSamples; ++i)
        ar.writeFloat(float(i % 500));
    for (int i = 0; i < 6; ++i)
        ar.writeInt32(0);
    return ar.bytes();
}

void report(const char* name, qint64 fileBytes, const Measured& m)
{
    std::printf("%-44s %9.1f MB file %8.3f s  peak +%6.1f MB\n", name, fileBytes / 1e6, m.seconds,
                m.peakGrowthMB);
}

} // namespace

TEST(HostileBenchmark, DISABLED_peak_memory_and_time_of_hostile_files)
{
    const QString home = testenv::resetHome();
    testenv::MessageBoxRecorder boxes({}, MsgResult::Ok);
    testenv::FileDialogScript dialogs;
    frametest::Frame f;

    struct Case {
        const char* name;
        std::function<bool(const QString& path)> make;
        double maxSeconds, maxPeakMB;
    };
    auto sparse = [](const QString& path, const QByteArray& start, qint64 size) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(start) == start.size()
               && file.resize(size);
    };
    const QString rtl(kMaxTextLength, QChar(0x202E));
    const Case cases[] = {
        {"largest document (both channels, 1,024 TR)",
         [&](const QString& p) {
             return writeWholeFile(p, document(kMaxStorePoints, kMaxTrRecords, rtl)).isEmpty();
         },
         2.0, 64},
        {"100 MB document of 25 million points",
         [&](const QString& p) {
             QByteArray head = document(0, 0, {}).left(44);
             head.replace(10, 4, QByteArray("\x40\x78\x7d\x01", 4)); // N = 25,000,000
             return sparse(p, head, 100'000'000);
         },
         0.5, 8},
        {"text of 65,000 right-to-left overrides",
         [&](const QString& p) {
             return writeWholeFile(p, document(3, 0, QString(65000, QChar(0x202E)))).isEmpty();
         },
         0.5, 8},
        {"1.5 GB of zeros", [&](const QString& p) { return sparse(p, {}, 1536LL << 20); }, 0.5, 8},
    };
    for (const Case& c : cases) {
        const QString path = home + QStringLiteral("/case.stdata");
        ASSERT_TRUE(c.make(path)) << c.name;
        dialogs.picks.push_back(path);
        // The open, and the paints and the zoom that follow it.
        const Measured m = measure([&] {
            f.frame->commandAction(ID_FILE_OPEN_DATA)->trigger();
            frametest::waitUntil([&] { return !f.frame->timers().IsActive(8); });
            QCoreApplication::processEvents();
        });
        report(c.name, QFileInfo(path).size(), m);
        EXPECT_LT(m.seconds, c.maxSeconds) << c.name;
        EXPECT_LT(m.peakGrowthMB, c.maxPeakMB) << c.name;
        QFile::remove(path);
    }

    // The band with the longest texts a document holds, and with far longer ones.
    CDTView& view = f.view();
    view.m_bShowCh1 = view.m_bShowCh2 = 1;
    const CRecInfoDlg* dialog = new CRecInfoDlg(&view);
    QImage band(1600, 120, QImage::Format_RGB32);
    for (const qsizetype length : {kMaxTextLength, qsizetype(65000)}) {
        view.m_recInfo.m_strCh1Max = view.m_recInfo.m_strCh2Min = QString(length, QChar(0x202E));
        const Measured m = measure([&] {
            QPainter p(&band);
            dialog->OnPaint(p, band.rect());
        });
        report(length == kMaxTextLength ? "band paint, texts of 1,024 overrides"
                                        : "band paint, texts of 65,000 overrides",
               0, m);
        EXPECT_LT(m.seconds, 0.25);
    }

    // Settings files of the largest size read, and a far larger one.
    const QString ini = CMainFrame::settingsPath();
    for (const QByteArray& line : {QByteArray("\n"), QByteArray("=\n")}) {
        for (const qint64 size : {ProfileFile::kMaxFileBytes, qint64(10'000'000)}) {
            ASSERT_TRUE(writeWholeFile(ini, line.repeated(size / line.size())).isEmpty());
            const Measured m = measure([] { frametest::Frame started; });
            const std::string name =
                (size > ProfileFile::kMaxFileBytes ? "settings, 10 MB of " : "settings, 64 KiB of ")
                + std::string(line == "\n" ? "empty lines" : "\"=\" lines");
            report(name.c_str(), size, m);
            EXPECT_LT(m.seconds, 1.0);
            EXPECT_LT(m.peakGrowthMB, 32);
        }
    }
}
