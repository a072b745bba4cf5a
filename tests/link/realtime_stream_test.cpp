// The real-time stream takes whole frames from their start however the reads cut the
// line's bytes, and drops what is no whole frame.
#include <gtest/gtest.h>

#include "link/realtime_stream.h"
#include "support/logger_simulator.h"

namespace {

QByteArray frameWith(double amplitude)
{
    sim::RealTimeSignal signal;
    signal.ch1Amplitude = amplitude;
    return sim::LoggerSimulator::realTimeFrame(signal);
}

} // namespace

TEST(RealTimeStream, takes_whole_frames_only_whatever_the_reads)
{
    const QByteArray a = frameWith(1000), b = frameWith(2000), c = frameWith(3000);
    // Junk, a frame cut short (also just before its end), a frame with a garbled
    // start, and whole frames.
    QByteArray garbled = c;
    garbled[1] = '\0';
    const QByteArray line = QByteArray("\x3F\xA5\x3F", 3) + a.left(1000) + b + a.left(2363) + c
                            + garbled + QByteArray(1, '\x3F') + a + b;
    const std::vector<QByteArray> expected{b, c, a, b};

    for (int chunk : {1, 5, 512, 2365, 4000, static_cast<int>(line.size())}) {
        RealTimeStream stream;
        stream.clear();
        std::vector<QByteArray> taken;
        for (qsizetype at = 0; at < line.size(); at += chunk) {
            // A read completes at most one frame here; the rest waits in the stream.
            QByteArray rest = line.mid(at, chunk);
            while (!rest.isEmpty()) {
                const int n = std::min<int>(static_cast<int>(rest.size()), stream.missing());
                const QByteArray frame = stream.feed(rest.left(n));
                rest.remove(0, n);
                if (!frame.isEmpty())
                    taken.push_back(frame);
                ASSERT_GE(stream.missing(), 1);
            }
        }
        EXPECT_EQ(taken, expected) << "reads of " << chunk;
    }
}
