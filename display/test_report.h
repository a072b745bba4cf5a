#pragma once
// The printed test report, as layout only: page metrics, pagination of the list and
// the texts of each page with their places, in printer pixels. The view's printing
// (display/view_print.cpp) draws what these functions lay out; nothing here paints.
#include <QLine>
#include <QRect>
#include <QString>
#include <QStringList>
#include <ctime>
#include <functional>
#include <vector>

struct FrameState;
struct RecInfoTexts;

namespace report {

inline const QString kTitle = QStringLiteral("Test Report");
inline constexpr int kRowsPerPage = 60;    // every list page after the first
inline constexpr int kHeaderPageRows = 55; // a first page that carries the header block
inline constexpr int kMaxColumns = 100;
inline constexpr int kHeadingChars = 99; // headings are read into a 100-character buffer

// Units of a page from the printable area in device pixels.
struct PageMetrics {
    int horzRes = 0;
    int vertRes = 0;
    int lh = 0; // line height, and the height of the body font
    int cu = 0; // horizontal unit; twice it is also the list's vertical offset
    int x2 = 0; // x of the header block's second column
};
PageMetrics pageMetrics(int horzRes, int vertRes);

enum class FontKind { Body, Title };

// A text drawn with its top-left corner at (x, y).
struct TextItem {
    int x = 0;
    int y = 0;
    FontKind font = FontKind::Body;
    QString text;
};

struct PageLayout {
    QRect whiteFill; // filled white before the texts; empty when nothing is filled
    std::vector<TextItem> texts;
    bool hasRule = false; // a line under the header block
    QLine rule;
};

// The columns of the data list in display order: heading and subitem number.
struct ListColumns {
    QStringList headings;
    std::vector<int> subitems;
};
// Text of a cell of the data list (0-based row, subitem).
using CellText = std::function<QString(int row, int subitem)>;

// Rows on the first list page: 60 in the transient and power-analysis modes (no
// header block), 55 otherwise.
int firstPageRows(const FrameState& frame);
// Pages of a list of `rows` rows.
int listPageCount(int rows, int firstPageRows);
// 0-based rows [first, end) that page `page` (from 1) holds, clipped to the list.
struct RowRange {
    int first = 0;
    int end = 0;
};
RowRange pageRows(int page, int firstPageRows, int listRows);

// The record-information block: mode, rate, start, count and the channel extremes,
// lines from lh + d down.
std::vector<TextItem> headerBlock(const RecInfoTexts& info, bool ch1, bool ch2,
                                  const PageMetrics& m, int d);

// x of each column in display order: 3 x cu x (sum of the heading lengths up to and
// including that column's).
std::vector<int> columnPositions(const QStringList& headings, int cu);

// "dd/mm/yy  pageN" of the local date of `now`.
QString footerText(std::time_t now, int page);

// What goes over the graph picture: the header block when the band is shown and the
// mode is neither transient nor power analysis.
PageLayout graphPage(const PageMetrics& m, const FrameState& frame, int bandHeight,
                     const RecInfoTexts& info, bool ch1, bool ch2);

// One page of the "Test Report" list.
PageLayout listPage(const PageMetrics& m, const FrameState& frame, const RecInfoTexts& info,
                    bool ch1, bool ch2, const ListColumns& columns, int listRows,
                    const CellText& cell, int page, std::time_t now);

} // namespace report
