#pragma once
// The two CSV reports written beside a saved document: the stored RMS series and,
// when the measurement holds transient records, those records. Both are built whole
// in memory so that each file is written with a single write.
//
// Layout shared by both: 8-bit text, every line ended by CR LF, cells separated by
// commas and written verbatim (no quoting), times as "%d/%m/%y %H:%M:%S" local time.
// A unit text from the document loses the characters that would break a cell (line
// breaks and other control characters, separators, quotes).
#include <QByteArray>
#include <ctime>

class CDTDoc;
class ViewState;

// Points per report column: longer series are laid out in columns side by side.
inline constexpr int kCsvColumnPoints = 65536;

// The RMS report: a title line, a header line with one "NO.,RMS,CH1,CH2,TIME," group
// per column of 65,536 points, then one row per point of the first column, each
// holding the point of every column that exists at that row.
QByteArray RmsCsvReport(const CDTDoc& doc, const ViewState& view);

// Whether the measurement has transient records, and so a transient report.
bool hasTrCsvReport(const ViewState& view);

// The transient report: a title line, a header with one group per record, then 251
// rows, row r holding sample r of every record. Empty when there are no records.
QByteArray TrCsvReport(const CDTDoc& doc, const ViewState& view);

// The time text of a report cell: the point time text of the screen (empty for a
// time that cannot be broken down).
QByteArray reportTimeText(std::time_t t);
