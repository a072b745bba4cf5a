// Printing of the test report: the graph page (the view's picture with the record
// information over its top) and the "Test Report" list pages read from the data list.
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <ctime>
#include <new>

#include "display/frame_state.h"
#include "display/cdtview.h"
#include "display/data_list_dialog.h"
#include "display/mode_rules.h"
#include "display/test_report.h"

namespace {

// Arial whose character cell (ascent plus descent) is `height` device pixels, as the
// report's line spacing assumes.
QFont reportFont(int height, const QPaintDevice* device)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::ExtraLight);
    const int target = std::max(height, 1);
    font.setPixelSize(target);
    const int cell = QFontMetrics(font, device).height();
    if (cell > target)
        font.setPixelSize(std::max(1, target * target / cell));
    return font;
}

void drawLayout(QPainter& dc, const report::PageLayout& page, const report::PageMetrics& m)
{
    if (!page.whiteFill.isEmpty())
        dc.fillRect(page.whiteFill, Qt::white);
    const QFont body = reportFont(m.lh, dc.device());
    const QFont title = reportFont(2 * m.lh, dc.device());
    const int bodyAscent = QFontMetrics(body, dc.device()).ascent();
    const int titleAscent = QFontMetrics(title, dc.device()).ascent();
    dc.setBackgroundMode(Qt::TransparentMode);
    dc.setPen(Qt::black);
    if (page.hasRule)
        dc.drawLine(page.rule);
    for (const report::TextItem& item : page.texts) {
        if (item.text.isEmpty())
            continue;
        const bool isTitle = item.font == report::FontKind::Title;
        dc.setFont(isTitle ? title : body);
        // Texts are placed by their top-left corner.
        dc.drawText(QPoint(item.x, item.y + (isTitle ? titleAscent : bodyAscent)), item.text);
    }
}

const QString kPrinterStopped = QStringLiteral("The printer stopped during the print.");
const QString kNoMemory = QStringLiteral("There is not enough memory.");

// Why the printer would not start. The printer says nothing itself: a file it should
// write is tried here to learn the system's reason.
QString startFailure(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        const QString name = printer.outputFileName();
        if (name.isEmpty())
            return QStringLiteral("No printer is available.");
        const bool existed = QFileInfo::exists(name);
        QFile probe(name);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
            return probe.errorString();
        probe.close();
        if (!existed)
            probe.remove();
    } else if (!printer.isValid()) {
        return QStringLiteral("The printer \"%1\" is not available.").arg(printer.printerName());
    }
    return QStringLiteral("The printer could not be started.");
}

} // namespace

int CDTView::PrintKind() const
{
    // The list pages are the rows of the data list window: with that window closed
    // (Ctrl+P after a list print) there are none, and the graph page is printed.
    if (m_nDisplayMode == 2 && !m_dlgDataList)
        return 1;
    return m_nDisplayMode;
}

int CDTView::OnPreparePrinting() const
{
    static const FrameState noFrame;
    const FrameState& frame = m_pFrame ? *m_pFrame : noFrame;
    const int kind = PrintKind();
    if (kind == 1)
        return 1;
    if (kind == 2)
        return report::listPageCount(modes::listRowCount(*this, frame),
                                     report::firstPageRows(frame));
    return 0;
}

void CDTView::OnPrint(QPainter& dc, int page)
{
    // The graph page is the view's picture stretched over the page. A list page has no
    // picture: copied unscaled into the corner it would show through the rows wherever
    // the page is not several times the window's size (a preview, a coarse printer).
    const int kind = PrintKind();
    if (kind != 2) {
        PreparePage();
        OnDraw(dc, QSize(), true);
    }

    dc.resetTransform();
    const QPaintDevice* device = dc.device();
    if (!device)
        return;
    const report::PageMetrics m = report::pageMetrics(device->width(), device->height());
    static const FrameState noFrame;
    const FrameState& frame = m_pFrame ? *m_pFrame : noFrame;
    const bool ch1 = m_bShowCh1 == 1;
    const bool ch2 = m_bShowCh2 == 1;

    if (kind == 1) {
        drawLayout(dc, report::graphPage(m, frame, m_nTopBandHeight, m_recInfo, ch1, ch2), m);
    } else if (kind == 2) {
        report::ListColumns columns;
        int rows = 0;
        auto* list = qobject_cast<CDataListDlg*>(m_dlgDataList);
        if (list) {
            // The printout shows what the list shows once it is up to date.
            list->OnPaint();
            const int count = std::min(list->listColumnCount(), report::kMaxColumns);
            for (int visual = 0; visual < count; ++visual) {
                const int column = list->columnAtPosition(visual);
                columns.headings << list->headingText(column);
                columns.subitems.push_back(column);
            }
            rows = list->listRowCount();
        }
        const report::CellText cell = [list](int row, int subitem) {
            return list ? list->itemText(row, subitem) : QString();
        };
        drawLayout(dc,
                   report::listPage(m, frame, m_recInfo, ch1, ch2, columns, rows, cell, page,
                                    std::time(nullptr)),
                   m);
    }
}

QString CDTView::PrintReport(QPrinter* printer)
{
    if (!printer)
        return QStringLiteral("No printer is available.");
    const int pages = std::max(OnPreparePrinting(), 1);
    int first = 1;
    int last = pages;
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        first = std::max(printer->fromPage(), 1);
        last = std::min(printer->toPage() > 0 ? printer->toPage() : pages, pages);
    }
    if (first > last)
        return QStringLiteral("The report has no page %1.").arg(first);
    // The file this print writes; a preview paints pictures and leaves the file the
    // printer names alone.
    const QString file = printer->outputFormat() == QPrinter::PdfFormat
                                 && printer->paintEngine()->type() == QPaintEngine::Pdf
                             ? printer->outputFileName()
                             : QString();
    QPainter dc;
    QString failure;
    try {
        if (!dc.begin(printer))
            return startFailure(*printer);
        for (int page = first; page <= last; ++page) {
            if (page != first && !printer->newPage()) {
                failure = kPrinterStopped;
                break;
            }
            dc.save();
            OnPrint(dc, page);
            dc.restore();
        }
    } catch (const std::bad_alloc&) {
        // The page could not be drawn whole (its curves, say); the program runs on.
        failure = kNoMemory;
    }
    try {
        if (dc.isActive() && !dc.end() && failure.isEmpty())
            failure = kPrinterStopped;
    } catch (const std::bad_alloc&) {
        // The engine ran out of memory while it wrote the pages out (a PDF compresses
        // them only at the end) and stopped half way: asked to end once more, it would
        // crash. The painter lets go of it without ending it; the printer stays busy
        // for good and its owner takes a fresh one.
        dc.paintEngine()->setActive(false);
        failure = kNoMemory;
    }
    // A file cut short, or whole but without all of the report, is no report.
    if (!failure.isEmpty() && !file.isEmpty())
        QFile::remove(file);
    return failure;
}

QString CDTView::PreviewFailure(QSize window)
{
    // The preview's window paints through a picture of its own size; without the
    // memory for one it would open and stay blank, saying nothing. Room for twice that
    // leaves the pages it shows their share.
    const QImage room(window.width(), 2 * window.height(), QImage::Format_ARGB32_Premultiplied);
    return room.isNull() ? kNoMemory : QString();
}
