#pragma once
// The record-information band: the strip across the top of the graph view that states
// what is shown (mode, sampling rate, start time, number of points and the extremes of
// each channel). It has no controls; everything in it is painted. Its texts live in the
// view's display state (ViewState::m_recInfo), where the display modes and the download
// write them and the data list and the printed report read them; the band only paints
// them.
#include <QFont>
#include <QWidget>

class CDTView;
class QPainter;
class QScrollBar;

class CRecInfoDlg : public QWidget {
    Q_OBJECT
public:
    // Scroll codes of the band's vertical bar.
    enum ScrollCode {
        SB_LINEUP,
        SB_LINEDOWN,
        SB_PAGEUP,
        SB_PAGEDOWN,
        SB_THUMBTRACK,
        SB_THUMBPOSITION,
        SB_ENDSCROLL
    };

    // The band of `view`, a child window of it; not shown until the view shows it.
    explicit CRecInfoDlg(CDTView* view);

    // Brush, fonts and the scroll information (range 0 to 0, page 2, position 0).
    bool OnInitDialog();
    // Paints the band into `dc`; `rc` is the client rectangle (without the scroll bar).
    void OnPaint(QPainter& dc, const QRect& rc) const;
    // Moves the rows 20 pixels per line; `thumbPos` counts for SB_THUMBTRACK only.
    void OnVScroll(ScrollCode code, int thumbPos = 0);

    // The client rectangle: the window without its vertical scroll bar.
    QRect clientRect() const;
    int scrollPos() const { return m_nScrollPos; }
    QScrollBar* scrollBar() const { return m_scrollBar; }

    static constexpr QRgb kBackground = 0xFFE6E6E6; // RGB(230,230,230)

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CDTView* m_pView;
    QScrollBar* m_scrollBar = nullptr;
    QFont m_fontText;
    QFont m_fontTitle;
    int m_nScrollPos = 0; // rows are drawn this many pixels higher
};
