#pragma once
// Reduction of the latest real-time waveform of one channel to one RMS value and one
// frequency, and the read-out texts of the power-analysis panel. Pure code: no
// widgets; CDTView::AnalyzeWaveform applies the result to the document and the panel.
//
// The waveform holds raw signed 16-bit sample values, 54.71 microseconds apart. The
// analysis finds the zero crossings of one direction, takes the RMS over the whole
// periods between the first and the last crossing and derives the period from their
// spacing. Nothing is scaled: RMS, peak-to-peak and the thresholds are in raw counts.
#include <QString>
#include <array>
#include <span>

namespace waveform {

inline constexpr double kSampleSeconds = 0.00005471;
inline constexpr float kNoFrequency = 400.0f; // shown "OL"
inline constexpr float kNoRms = 0.0f;         // shown "LO"
inline constexpr float kLowRms = 7.0f;        // below: no reading

enum class Outcome {
    NoSignal, // swing of 10 counts or less, or the wave does not cross zero
    Invalid,  // fewer than two usable crossings
    Valid,
};

struct Analysis {
    Outcome outcome = Outcome::NoSignal;
    // What the real-time arrays receive (no reading: RMS 0, frequency 400).
    float rms = kNoRms;
    float frequency = kNoFrequency;
    // Valid outcome only: crossings, span and the unrounded values behind the texts.
    int count = 0;
    int first = 0;
    int last = 0;
    double rmsExact = 0.0;   // sqrt(sum of squares / samples)
    double peakToPeak = 0.0; // mean peak-to-peak value
    bool hasPeriod = false;  // a period could be measured
    double periodMs = 0.0;
    double frequencyExact = 0.0;
};

// Analyses samples [start, end) of `channel` (0 CH1, 1 CH2) of `wave`; the range is
// kept inside the waveform.
Analysis analyze(std::span<const std::array<float, 2>> wave, int start, int end, int channel);

// The panel's read-outs (kept while the panel window comes and goes). Index 0 CH1,
// 1 CH2 where a pair.
struct PowerAnalysisTexts {
    std::array<QString, 2> rms, frequency, period, peakToPeak, am, phi;
    QString powerS, powerQ, powerP, difPhi, powerFactor;
    QString phiLabel1, phiLabel2, difPhiLabel, powerFactorLabel;
    std::array<QString, 3> spare; // statics 1191 to 1193, empty
};

// Writes the texts of `channel` that an analysis outcome gives. An RMS of exactly 7.0
// leaves them as they were.
void applyTexts(const Analysis& a, int channel, PowerAnalysisTexts& texts);
// The start of a run: fifteen read-outs "NONE" (not the peak-to-peak pair, not labels).
void resetTexts(PowerAnalysisTexts& texts);

} // namespace waveform
