// The record-information band, the transient record list and the instrument tree.
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QToolBar>
#include <gtest/gtest.h>

#include "app/frame_fixture.h"
#include "display/instrument_view.h"
#include "display/point_time.h"
#include "display/rec_info_band.h"
#include "display/tr_list_dialog.h"
#include "graph_fixture.h"
#include "link/correct_time_dialog.h"
#include "resources/command_ids.h"
#include "support/logger_simulator.h"

namespace {

// Whether anything but the band's grey is painted inside `r`.
bool ink(const QImage& img, const QRect& r)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) != CRecInfoDlg::kBackground)
                return true;
    return false;
}

QImage paintBand(const CRecInfoDlg& band)
{
    QImage img(1000, 120, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    QPainter p(&img);
    band.OnPaint(p, img.rect());
    return img;
}

const QRect kCh1Row(0, 63, 1000, 20), kCh2Row(0, 85, 1000, 20);

} // namespace

TEST(RecInfoBand, paints_rows_by_channel_and_mode_and_scrolls_by_lines)
{
    graphtest::Graph g;
    g.storeRms(
        10, [](int) { return 1.0f; }, [](int) { return 2.0f; });
    CRecInfoDlg* band = new CRecInfoDlg(g.view.get());
    g.view->m_recInfo = {"STORE RMS", "1 s", "14/11/23 22:13:20", "10", "9 V", "1 V", "8 A", "2 A",
                         "",          ""};

    QImage img = paintBand(*band);
    EXPECT_TRUE(ink(img, QRect(50, 25, 600, 14)));
    EXPECT_EQ(img.pixel(500, 40), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(5, 19), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(995, 20), qRgb(0, 0, 0));
    EXPECT_TRUE(ink(img, QRect(420, 0, 160, 18))); // " REC INFO "
    EXPECT_TRUE(ink(img, kCh1Row));
    EXPECT_TRUE(ink(img, kCh2Row));

    // Only channel 2: its row stays where it is, the channel-1 row is blank.
    g.view->m_bShowCh1 = 0;
    img = paintBand(*band);
    EXPECT_FALSE(ink(img, kCh1Row));
    EXPECT_TRUE(ink(img, kCh2Row));

    // A power mode labels the channel-1 row and drops the channel-2 row.
    g.view->m_bShowCh1 = 1;
    g.frame.clearModeFlags();
    g.frame.m_bRtPowerS = 1;
    img = paintBand(*band);
    EXPECT_TRUE(ink(img, kCh1Row));
    EXPECT_FALSE(ink(img, kCh2Row));

    // A transient record: only its start, centred at the top; no title, no lines.
    g.frame.clearModeFlags();
    g.frame.m_bStoreTr = 1;
    img = paintBand(*band);
    EXPECT_TRUE(ink(img, QRect(430, 0, 140, 16)));
    EXPECT_FALSE(ink(img, QRect(0, 0, 400, 120)));
    EXPECT_FALSE(ink(img, QRect(0, 18, 1000, 102)));

    // One line down moves the rows 20 pixels up (under the title strip); no further.
    g.frame.clearModeFlags();
    g.view->m_bShowCh1 = 0;
    EXPECT_FALSE(band->scrollBar()->isEnabled());
    band->OnVScroll(CRecInfoDlg::SB_LINEDOWN);
    band->OnVScroll(CRecInfoDlg::SB_LINEDOWN);
    EXPECT_EQ(band->scrollPos(), 20);
    EXPECT_TRUE(ink(paintBand(*band), kCh1Row.translated(0, 2)));
    band->OnVScroll(CRecInfoDlg::SB_LINEUP);
    EXPECT_EQ(band->scrollPos(), 0);
    band->OnVScroll(CRecInfoDlg::SB_THUMBTRACK, 7);
    EXPECT_EQ(band->scrollPos(), 7);
    band->OnVScroll(CRecInfoDlg::SB_PAGEUP);
    EXPECT_EQ(band->scrollPos(), 0);
}

TEST(TrFileList, lists_the_records_and_shows_the_one_double_clicked)
{
    frametest::Frame f;
    CDTView& v = f.view();
    CDTDoc& doc = *f.doc;
    doc.m_pTrData.resize(3 * kTrSamples);
    for (int i = 0; i < 3 * kTrSamples; ++i)
        doc.m_pTrData[i] = static_cast<float>((i / kTrSamples) * 100 + i % 7);
    doc.m_pTrTimes = {1700000000, 1700000100, 1700000200};
    v.m_nTrCount = 3;
    v.m_pTrChannel = {0xF1, 0xF2, 0x00};
    v.m_pTrQuantity = {0xFA, 0xFC, 0x00};
    v.m_nDisplayMode = 1;
    // A read-out of the series shown before goes with each other series shown.
    const QString stale = QStringLiteral("Data Point No.:7  Time:07/03/09 14:05:15   CH1: 690A");
    v.g_strReadout = stale;
    ASSERT_TRUE(f.frame->OnCmdMsg(ID_STORE_TRANSIENT_WAVE));
    EXPECT_EQ(v.g_strReadout, "");

    auto* list = dynamic_cast<CTrFileListDlg*>(v.m_dlgTrFileList);
    ASSERT_NE(list, nullptr);
    QAbstractItemModel* model = list->list()->model();
    ASSERT_TRUE(sim::waitUntil([&] { return model->rowCount() == 3; }));
    EXPECT_EQ(model->index(2, 0).data().toString(), "3");
    EXPECT_EQ(model->index(1, 1).data().toString(), formatPointTime(1700000100));
    EXPECT_EQ(model->index(1, 2).data().toString(), "");
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "File No.");
    // Over the instrument pane, which the mode widened to 210 pixels: the frame, title
    // bar included, covers the pane.
    QWidget* pane = f.frame->GetInstrumentView();
    EXPECT_EQ(list->frameGeometry(), QRect(pane->mapToGlobal(QPoint(0, 0)), pane->size()));
    EXPECT_EQ(pane->width(), 210);

    v.g_strReadout = stale;
    list->OnDblClkList(1);
    EXPECT_EQ(v.g_strReadout, "");
    v.g_strReadout = stale;
    list->OnDblClkList(1); // the same record again
    EXPECT_EQ(v.g_strReadout, stale);
    EXPECT_EQ(v.m_nFirstPoint, 252);
    EXPECT_EQ(v.m_nLastPoint, 502);
    EXPECT_EQ(v.m_bShowCh1, 0);
    EXPECT_EQ(v.m_bShowCh2, 1);
    EXPECT_EQ(v.m_strUnit1, "A");
    EXPECT_EQ(v.m_recInfo.m_strStart, formatPointTime(1700000100));
    EXPECT_EQ(v.m_recInfo.m_strCh2Max, "106 A");
    EXPECT_EQ(f.frame->m_bStoreTr, 1);

    // Unknown channel and quantity codes keep what the previous record set.
    list->OnDblClkList(2);
    EXPECT_EQ(v.m_nFirstPoint, 503);
    EXPECT_EQ(v.m_bShowCh2, 1);
    EXPECT_EQ(v.m_strUnit2, "A");

    // No selection, or a row the records no longer have: nothing changes.
    v.m_nTrCount = 1;
    list->OnDblClkList(-1);
    list->OnDblClkList(2);
    EXPECT_EQ(v.m_nFirstPoint, 503);
    EXPECT_EQ(model->index(2, 1).data().toString(), "");

    // Esc ends the window; the next command makes a new one with the rows reloaded.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(list->list(), &esc);
    EXPECT_EQ(v.m_dlgTrFileList, nullptr);
    // With the instrument pane hidden it lies beside the plot, clear of the band and
    // the view toolbar.
    ASSERT_TRUE(f.frame->OnCmdMsg(ID_VIEW_INSTRUMENT));
    v.grab();
    v.OnShowTrFileList();
    list = dynamic_cast<CTrFileListDlg*>(v.m_dlgTrFileList);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(sim::waitUntil([&] { return list->list()->model()->rowCount() == 1; }));
    EXPECT_EQ(list->frameGeometry().width(), 210);
    for (const QWidget* covered : std::vector<const QWidget*>{v.m_wndViewToolBar, v.m_dlgRecInfo})
        EXPECT_FALSE(list->frameGeometry().intersects(
            QRect(covered->mapToGlobal(QPoint(0, 0)), covered->size())));
    v.g_strReadout = stale;
    f.frame->OnStoreRms();
    EXPECT_EQ(v.m_dlgTrFileList, nullptr);
    EXPECT_EQ(v.g_strReadout, "");
}

TEST(InstrumentTree, one_item_whose_menu_runs_the_frame_commands)
{
    frametest::Frame f({QString()}); // no port
    CInstrumentView* tree = f.frame->GetInstrumentView();
    tree->OnInitialUpdate();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* item = tree->topLevelItem(0);
    EXPECT_EQ(item->text(0), "-INSTRUMENT");

    QStringList shown;
    int chooseIndex = -1;
    auto old = CInstrumentView::setPopupRunner([&](QMenu& menu, const QPoint&) -> QAction* {
        shown.clear();
        for (QAction* a : menu.actions())
            shown << (a->isSeparator() ? "-" : a->text() + (a->isEnabled() ? "" : " (off)"));
        return chooseIndex < 0 ? nullptr : menu.actions().value(chooseIndex);
    });
    const QPoint onItem = tree->viewport()->mapTo(tree, tree->visualItemRect(item).center());

    tree->OnRClick(QPoint(20, tree->height() - 10)); // below the item: no menu
    EXPECT_TRUE(shown.isEmpty());
    tree->OnRClick(onItem);
    EXPECT_EQ(tree->currentItem(), item);
    EXPECT_EQ(shown, QStringList({"&Correct Time...", "-", "Datalogger &Setup...", "-",
                                  "&Download Data...", "-", "&Previous Measurement..."}));
    f.frame->m_bStopped = 0; // a real-time run greys them all
    tree->OnRClick(onItem);
    EXPECT_EQ(shown.filter(" (off)").size(), 4);

    f.frame->m_bStopped = 1;
    bool clockDialogRan = false;
    testenv::ScopedModal clock(
        [&](QDialog& d) { clockDialogRan = dynamic_cast<CCorrectTimeDlg*>(&d) != nullptr; });
    chooseIndex = 0;
    tree->OnRClick(onItem);
    CInstrumentView::setPopupRunner(old);
    EXPECT_TRUE(clockDialogRan);
}
