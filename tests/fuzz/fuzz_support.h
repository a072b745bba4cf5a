#pragma once
// What the fuzz targets share: libFuzzer's entry points, the check that ends the
// process on a broken invariant, and a private home folder so that no target touches
// the user's settings or documents.
//
// Every target is built twice: with clang and libFuzzer (scripts/fuzz.sh), and with the
// project's compiler and replay_main.cpp, which runs each file of the seed corpus once
// (the fuzz_replay_* tests).
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

class CDTDoc;
class ViewState;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fuzz {

// Ends the process with the condition's text when it does not hold: libFuzzer keeps the
// input as a crash, and the replay test fails.
void check(bool ok, const char* condition, const char* file, int line);
#define FUZZ_CHECK(condition) ::fuzz::check((condition), #condition, __FILE__, __LINE__)

// The input as bytes of our own.
QByteArray bytes(const std::uint8_t* data, std::size_t size);

// Points HOME and XDG_CONFIG_HOME at a fresh temporary folder (removed at exit) and
// returns it. Call once, from LLVMFuzzerInitialize.
QString setUpProcess();

// The document's series agree with the view's counts: N values for each channel
// present, M transient records of 251 samples, each with its time, channel and
// quantity.
void checkStoredSeries(const CDTDoc& doc, const ViewState& view);

// Gives `view` the values of `start` but keeps its plot caches' memory: a download
// sizes them for 100,000 points, and allocating that afresh for every input would
// take most of the time.
void resetView(ViewState& view, const ViewState& start);

} // namespace fuzz
