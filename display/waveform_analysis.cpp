#include "display/waveform_analysis.h"

#include <algorithm>
#include <cmath>

#include "platform/printf_number.h"

namespace waveform {

namespace {
const QString kLo = QStringLiteral("LO");
const QString kOl = QStringLiteral("OL");
const QString kNone = QStringLiteral("NONE");

QString oneDecimal(double v)
{
    return cnum::fixed(v, 1);
}
} // namespace

Analysis analyze(std::span<const std::array<float, 2>> wave, int start, int end, int channel)
{
    Analysis r;
    const int size = static_cast<int>(wave.size());
    start = std::clamp(start, 0, size);
    end = std::clamp(end, start, size);
    const auto ch = static_cast<std::size_t>(channel == 1 ? 1 : 0);
    const auto s = [&](int i) { return wave[static_cast<std::size_t>(i)][ch]; };

    int hi = -10000;
    int lo = 10000;
    for (int i = start; i < end; ++i) {
        if (s(i) > hi)
            hi = static_cast<int>(s(i));
        if (s(i) < lo)
            lo = static_cast<int>(s(i));
    }
    if (hi - lo <= 10 || hi <= 0 || lo >= 0)
        return r; // NoSignal

    // Crossings closer than this to the previous one are ripple, not a new period.
    const int spacing = 410 / hi;
    const bool falling = s(start) >= 0;
    const auto startSide = [&](int i) { return falling ? s(i) >= 0 : s(i) < 0; };
    const auto otherSide = [&](int i) { return falling ? s(i) < 0 : s(i) > 0; };

    int count = 0;
    int p = start;
    int first = 0;
    int last = 0;
    for (int attempt = 0; attempt < end - start; ++attempt) {
        int j = p;
        while (j < end && !(startSide(j) && (count == 0 || j - p >= spacing)))
            ++j;
        if (j >= end)
            break;
        p = j;
        int k = p;
        while (k < end && !otherSide(k))
            ++k;
        if (k >= end)
            break;
        if (count == 0) {
            first = last = p = k;
            count = 1;
        } else if (k - p >= spacing) {
            last = p = k;
            ++count;
        }
    }

    r.outcome = Outcome::Invalid;
    if (count < 2 || first < 0 || first > size || last <= first || last >= size)
        return r;

    r.outcome = Outcome::Valid;
    r.count = count;
    r.first = first;
    r.last = last;
    const int d = last - first;
    const int n = d + 1;
    double q = 0.0;
    for (int i = first; i <= last; ++i)
        q += static_cast<double>(s(i)) * s(i);

    // Mean peak-to-peak over count windows of w samples; the extremes carry over from
    // one window to the next.
    const int w = d / count;
    float runMax = -1000.0f;
    float runMin = 1000.0f;
    float a = 0.0f;
    int boundary = first + w;
    for (int i = first; i <= last && i <= boundary; ++i) {
        runMax = std::max(runMax, s(i));
        runMin = std::min(runMin, s(i));
        if (i == boundary) {
            a += runMax - runMin;
            boundary += w;
        }
    }
    r.peakToPeak = static_cast<double>(a) / count;

    const int m = count - 1;
    if (m > 0 && d > 0) {
        const double period = d * kSampleSeconds / m;
        const double f = 1.0 / period;
        r.frequency = static_cast<float>(std::trunc((f + 0.05) * 10.0) * 0.1);
        r.hasPeriod = true;
        r.periodMs = d * 0.05471 / m;
        r.frequencyExact = f;
    }
    r.rmsExact = std::sqrt(q / n);
    r.rms = static_cast<float>(r.rmsExact);
    if (r.rms < kLowRms) {
        r.rms = kNoRms;
        r.frequency = kNoFrequency;
    }
    return r;
}

void applyTexts(const Analysis& a, int channel, PowerAnalysisTexts& t)
{
    const auto c = static_cast<std::size_t>(channel == 1 ? 1 : 0);
    switch (a.outcome) {
    case Outcome::NoSignal:
        t.rms[c] = kLo;
        t.frequency[c] = kOl;
        t.period[c] = kLo;
        return;
    case Outcome::Invalid:
        t.phi[c] = QStringLiteral("--------");
        t.am[c] = kLo;
        t.rms[c] = kLo;
        t.frequency[c] = kOl;
        t.period[c] = kLo;
        return;
    case Outcome::Valid:
        break;
    }
    if (a.rms > kLowRms) {
        t.peakToPeak[c] = cnum::fixed(a.peakToPeak, 0);
        t.rms[c] = oneDecimal(a.rmsExact);
        if (a.hasPeriod) {
            t.period[c] = oneDecimal(a.periodMs);
            t.frequency[c] = oneDecimal(a.frequencyExact);
        }
    } else if (a.rms < kLowRms) {
        t.peakToPeak[c] = kLo;
        t.rms[c] = kLo;
        t.frequency[c] = kOl;
        t.period[c] = kLo;
    }
}

void resetTexts(PowerAnalysisTexts& t)
{
    for (std::size_t c = 0; c < 2; ++c) {
        t.rms[c] = kNone;
        t.frequency[c] = kNone;
        t.period[c] = kNone;
        t.am[c] = kNone;
        t.phi[c] = kNone;
    }
    t.powerS = t.powerQ = t.powerP = t.difPhi = t.powerFactor = kNone;
}

} // namespace waveform
