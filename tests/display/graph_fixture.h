#pragma once
// A graph view with a document and a frame, set up for a display mode without the
// mode commands, and helpers to paint it into an image.
#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>

#include "display/frame_state.h"
#include "display/cdtview.h"
#include "document/cdtdoc.h"
#include "support/test_env.h"

namespace graphtest {

// Records the mode commands that the first page after a load runs.
struct RecordingFrame : FrameState {
    int storeRmsCalls = 0;
    int realTimeRmsCalls = 0;
    int storeRmsFlagAtCall = -1;
    void OnStoreRms() override
    {
        ++storeRmsCalls;
        storeRmsFlagAtCall = m_bStoreRms;
        m_bStoreRms = 1;
    }
    void OnRealTimeRms() override
    {
        ++realTimeRmsCalls;
        m_bRtRms = 1;
    }
};

struct Graph {
    CDTDoc doc;
    RecordingFrame frame;
    std::unique_ptr<CDTView> view;

    explicit Graph(QSize client = QSize(1000, 700))
    {
        testenv::resetHome();
        view = std::make_unique<CDTView>(&doc);
        view->SetFrame(&frame);
        view->resize(client);
    }

    // A Store RMS display of n points per channel, axes 0 .. 100.
    void storeRms(int n, const std::function<float(int)>& ch1, const std::function<float(int)>& ch2)
    {
        doc.m_pCh1Data.resize(n);
        doc.m_pCh2Data.resize(n);
        for (int i = 0; i < n; ++i) {
            doc.m_pCh1Data[i] = ch1(i);
            doc.m_pCh2Data[i] = ch2(i);
        }
        frame.clearModeFlags();
        frame.m_bStoreRms = 1;
        CDTView& v = *view;
        v.allocatePlotCaches(n);
        v.m_nStoreCount = n;
        v.m_nFirstPoint = 1;
        v.m_nLastPoint = n;
        v.m_bShowCh1 = v.m_bShowCh2 = 1;
        v.m_nCh1Min = v.m_nCh2Min = 0;
        v.m_nCh1Max = v.m_nCh2Max = 100;
        v.m_strUnit1 = QStringLiteral("V");
        v.m_strUnit2 = QStringLiteral("A");
        v.m_tStoreStart = 1700000000;
        v.m_fInterval = 1.0f;
        v.m_nDisplayMode = 1;
    }

    // Paints into a fresh image of the client size (or `target` when printing), the
    // page readied first as the window and the printing do.
    QImage paint(bool printing = false, QSize target = QSize())
    {
        if (!target.isValid())
            target = view->size();
        QImage image(target, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter p(&image);
        view->PreparePage();
        view->OnDraw(p, target, printing);
        return image;
    }

    // Plot edges of the current client size.
    PlotRect plot() const
    {
        return ViewState::plotRectFor(view->width(), view->height(), view->m_nTopBandHeight);
    }
};

inline QRgb rgb(int r, int g, int b)
{
    return qRgb(r, g, b);
}

// Number of pixels of colour c in the rectangle.
inline int countColor(const QImage& image, const QRect& area, QRgb c)
{
    int count = 0;
    const QRect r = area & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF);
    return count;
}

// Number of dark (text) pixels in the rectangle.
inline int countDark(const QImage& image, const QRect& area)
{
    int count = 0;
    const QRect r = area & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            count += qGray(image.pixel(x, y)) < 100;
    return count;
}

} // namespace graphtest
