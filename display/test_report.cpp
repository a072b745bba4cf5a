#include "display/test_report.h"

#include <algorithm>
#include <array>

#include "display/frame_state.h"
#include "display/mode_rules.h"
#include "display/point_time.h"
#include "display/view_state.h"

namespace report {

PageMetrics pageMetrics(int horzRes, int vertRes)
{
    PageMetrics m;
    m.horzRes = horzRes;
    m.vertRes = vertRes;
    m.lh = vertRes / 70;
    m.cu = horzRes / 50;
    m.x2 = static_cast<int>(0.4 * horzRes);
    return m;
}

int firstPageRows(const FrameState& frame)
{
    return modes::singleWaveform(frame) ? kRowsPerPage : kHeaderPageRows;
}

int listPageCount(int rows, int firstRows)
{
    if (rows <= firstRows)
        return 1;
    return 1 + (rows - firstRows + kRowsPerPage - 1) / kRowsPerPage;
}

RowRange pageRows(int page, int firstRows, int listRows)
{
    RowRange r;
    if (page <= 1) {
        r.first = 0;
        r.end = firstRows;
    } else {
        r.first = firstRows + kRowsPerPage * (page - 2);
        r.end = r.first + kRowsPerPage;
    }
    r.end = std::clamp(r.end, 0, std::max(listRows, 0));
    r.first = std::min(r.first, r.end);
    return r;
}

std::vector<TextItem> headerBlock(const RecInfoTexts& info, bool ch1, bool ch2,
                                  const PageMetrics& m, int d)
{
    const int lh = m.lh;
    std::vector<TextItem> items = {
        {0, lh + d, FontKind::Body, QStringLiteral("MODE: ") + info.m_strMode},
        {m.x2, lh + d, FontKind::Body, QStringLiteral("SAMPLING RATE: ") + info.m_strRate},
        {0, 2 * lh + d, FontKind::Body, QStringLiteral("START TIME: ") + info.m_strStart},
        {m.x2, 2 * lh + d, FontKind::Body, QStringLiteral("DATA#: ") + info.m_strCount},
    };
    if (ch1 && ch2) {
        items.push_back(
            {0, 3 * lh + d, FontKind::Body, QStringLiteral("CH1 DATA MAX: ") + info.m_strCh1Max});
        items.push_back({m.x2, 3 * lh + d, FontKind::Body,
                         QStringLiteral("CH1 DATA MIN: ") + info.m_strCh1Min});
        items.push_back(
            {0, 4 * lh + d, FontKind::Body, QStringLiteral("CH2 DATA MAX: ") + info.m_strCh2Max});
        items.push_back({m.x2, 4 * lh + d, FontKind::Body,
                         QStringLiteral("CH2 DATA MIN: ") + info.m_strCh2Min});
    } else {
        const QString name = ch1 ? QStringLiteral("CH1") : QStringLiteral("CH2");
        const QString& max = ch1 ? info.m_strCh1Max : info.m_strCh2Max;
        const QString& min = ch1 ? info.m_strCh1Min : info.m_strCh2Min;
        items.push_back({0, 3 * lh + d, FontKind::Body, name + QStringLiteral(" MAX: ") + max});
        items.push_back({m.x2, 3 * lh + d, FontKind::Body, name + QStringLiteral(" MIN: ") + min});
    }
    return items;
}

std::vector<int> columnPositions(const QStringList& headings, int cu)
{
    std::vector<int> xs;
    int chars = 0;
    for (const QString& heading : headings) {
        chars += static_cast<int>(heading.size());
        xs.push_back(3 * cu * chars);
    }
    return xs;
}

QString footerText(std::time_t now, int page)
{
    return formatTime(now, "%d/%m/%y") + QStringLiteral("  page") + QString::number(page);
}

PageLayout graphPage(const PageMetrics& m, const FrameState& frame, int bandHeight,
                     const RecInfoTexts& info, bool ch1, bool ch2)
{
    PageLayout page;
    if (bandHeight != 0 && !modes::singleWaveform(frame))
        page.texts = headerBlock(info, ch1, ch2, m, 0);
    return page;
}

PageLayout listPage(const PageMetrics& m, const FrameState& frame, const RecInfoTexts& info,
                    bool ch1, bool ch2, const ListColumns& columns, int listRows,
                    const CellText& cell, int page, std::time_t now)
{
    PageLayout out;
    const int lh = m.lh;
    const int cu = m.cu;
    out.whiteFill = QRect(0, 0, m.horzRes, m.vertRes / 5);
    out.texts.push_back({m.horzRes / 2 - 6 * cu, 0, FontKind::Title, kTitle});

    const int firstRows = firstPageRows(frame);
    const bool header = page == 1 && firstRows == kHeaderPageRows;
    if (header) {
        const std::vector<TextItem> block = headerBlock(info, ch1, ch2, m, 2 * cu);
        out.texts.insert(out.texts.end(), block.begin(), block.end());
        const int y = static_cast<int>(5.5 * lh + 2 * cu);
        out.hasRule = true;
        out.rule = QLine(0, y, m.horzRes, y);
    }

    const qsizetype count =
        std::min<qsizetype>(std::min<qsizetype>(columns.headings.size(),
                                                static_cast<qsizetype>(columns.subitems.size())),
                            kMaxColumns);
    const QStringList headings = columns.headings.mid(0, count);
    const std::vector<int> xs = columnPositions(headings, cu);
    const int headingY = header ? 6 * lh + 2 * cu : lh + 2 * cu;
    for (qsizetype k = 0; k < count; ++k)
        out.texts.push_back({xs[k], headingY, FontKind::Body, headings[k]});

    const RowRange rows = pageRows(page, firstRows, listRows);
    for (int row = rows.first; row < rows.end; ++row) {
        const int i = row - rows.first;
        const int y = header ? (i + 7) * lh + 2 * cu : (i + 2) * lh + 2 * cu;
        for (qsizetype k = 0; k < count; ++k)
            out.texts.push_back(
                {xs[k], y, FontKind::Body, cell ? cell(row, columns.subitems[k]) : QString()});
    }

    out.texts.push_back(
        {m.horzRes / 2 - 5 * cu, m.vertRes - lh, FontKind::Body, footerText(now, page)});
    return out;
}

} // namespace report
