#include "fuzz_support.h"

#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "display/view_state.h"
#include "document/cdtdoc.h"

namespace fuzz {

void check(bool ok, const char* condition, const char* file, int line)
{
    if (ok)
        return;
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::abort();
}

QByteArray bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

QString setUpProcess()
{
    static std::unique_ptr<QTemporaryDir> home = std::make_unique<QTemporaryDir>();
    FUZZ_CHECK(home->isValid());
    qputenv("HOME", home->path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home->path() + QStringLiteral("/.config")).toLocal8Bit());
    return home->path();
}

void checkStoredSeries(const CDTDoc& doc, const ViewState& view)
{
    const auto n = static_cast<std::size_t>(view.m_nStoreCount);
    const auto m = static_cast<std::size_t>(view.m_nTrCount);
    FUZZ_CHECK(view.m_nStoreCount >= 0 && view.m_nTrCount >= 0);
    FUZZ_CHECK(doc.m_pCh1Data.size() == (view.m_bStoreCh1 == 1 ? n : 0));
    FUZZ_CHECK(doc.m_pCh2Data.size() == (view.m_bStoreCh2 == 1 ? n : 0));
    FUZZ_CHECK(doc.m_pTrData.size() == m * kTrSamples && doc.m_pTrTimes.size() == m);
    FUZZ_CHECK(view.m_pTrChannel.size() == m && view.m_pTrQuantity.size() == m);
}

void resetView(ViewState& view, const ViewState& start)
{
    std::vector<double> pixels = std::move(view.m_pPlotPixels);
    std::vector<double> pixels2 = std::move(view.m_pPlotPixels2);
    view = start;
    const std::size_t n = start.m_pPlotPixels.size() / 6;
    pixels.assign(6 * n, 0.0);
    pixels2.assign(6 * n, 0.0);
    view.m_pPlotPixels = std::move(pixels);
    view.m_pPlotPixels2 = std::move(pixels2);
}

} // namespace fuzz
