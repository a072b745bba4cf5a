#include "display/rec_info_band.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "display/frame_state.h"
#include "display/cdtview.h"
#include "display/mode_rules.h"

namespace {

// Row captions. The values are drawn over the run of blanks between the two captions
// of a row, each on its own opaque cell.
const QString kModeRow =
    QStringLiteral(" MODE:                                                         SAMPLING RATE:");
const QString kStartRow =
    QStringLiteral(" STARTTIME:                                                DATA#:");
const QString kCh1Row =
    QStringLiteral(" CH1 MAX:                                                     CH1 MIN:");
const QString kCh2Row =
    QStringLiteral(" CH2 MAX:                                                     CH2 MIN:");
const QString kPRow =
    QStringLiteral(" P MAX:                                                         P MIN:");
const QString kQRow =
    QStringLiteral(" Q MAX:                                                         Q MIN:");
const QString kSRow =
    QStringLiteral(" S MAX:                                                         S MIN:");
const QString kTitle = QStringLiteral(" REC INFO ");

constexpr int kTitleStrip = 20; // the title strip stays put while the rows scroll
constexpr int kLineStep = 20;   // pixels per scroll line

// Text with its cell's top-left corner at (x, y), drawn opaque on the band's grey.
// Only what can reach the right edge is laid out: a character that shows is at least
// a pixel wide, so those past that many pixels cannot show, and shaping them on every
// paint (a long text from a file) would only hold the window up.
void textOut(QPainter& dc, int x, int y, const QString& text)
{
    const qsizetype room = qsizetype(dc.window().right()) + 1 - x;
    if (text.isEmpty() || room <= 0)
        return;
    QString shown = text.left(room);
    if (shown.size() < text.size() && shown.back().isHighSurrogate())
        shown.chop(1); // no half of a character
    const QFontMetrics fm(dc.font());
    dc.fillRect(QRect(x, y, fm.horizontalAdvance(shown), fm.height()),
                QColor::fromRgb(CRecInfoDlg::kBackground));
    dc.drawText(x, y + fm.ascent(), shown);
}

void lineAcross(QPainter& dc, int y, int right)
{
    // The end point is outside the line, as the line drawing of the band always had it.
    if (right > 0)
        dc.drawLine(0, y, right - 1, y);
}

} // namespace

CRecInfoDlg::CRecInfoDlg(CDTView* view) : QWidget(view), m_pView(view)
{
    setObjectName(QStringLiteral("recInfoBand"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
    OnInitDialog();
}

bool CRecInfoDlg::OnInitDialog()
{
    m_fontText = QFont(QStringLiteral("Arial"));
    m_fontText.setPixelSize(14);
    m_fontText.setWeight(QFont::Thin);
    // The title face is a black weight in itself; where it is missing the substitute is
    // asked for that weight, so the title keeps its heavy look.
    m_fontTitle = QFont(QStringLiteral("Arial black"));
    m_fontTitle.setPixelSize(12);
    m_fontTitle.setWeight(QFont::Black);

    if (!m_scrollBar) {
        m_scrollBar = new QScrollBar(Qt::Vertical, this);
        connect(m_scrollBar, &QAbstractSlider::actionTriggered, this, [this](int action) {
            switch (action) {
            case QAbstractSlider::SliderSingleStepSub:
                OnVScroll(SB_LINEUP);
                break;
            case QAbstractSlider::SliderSingleStepAdd:
                OnVScroll(SB_LINEDOWN);
                break;
            case QAbstractSlider::SliderPageStepSub:
            case QAbstractSlider::SliderToMinimum:
                OnVScroll(SB_PAGEUP);
                break;
            case QAbstractSlider::SliderPageStepAdd:
            case QAbstractSlider::SliderToMaximum:
                OnVScroll(SB_PAGEDOWN);
                break;
            case QAbstractSlider::SliderMove:
                OnVScroll(SB_THUMBTRACK, m_scrollBar->sliderPosition());
                break;
            default:
                OnVScroll(SB_ENDSCROLL);
                break;
            }
        });
    }
    // Range 0 to 0: the bar is shown, disabled, and the rows never need to move.
    m_scrollBar->setRange(0, 0);
    m_scrollBar->setPageStep(2);
    m_scrollBar->setValue(0);
    m_scrollBar->setEnabled(false);
    m_scrollBar->show();
    m_nScrollPos = 0;
    return true;
}

QRect CRecInfoDlg::clientRect() const
{
    const int bar = m_scrollBar ? m_scrollBar->sizeHint().width() : 0;
    return QRect(0, 0, std::max(0, width() - bar), height());
}

void CRecInfoDlg::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QRect rc = clientRect();
    m_scrollBar->setGeometry(rc.width(), 0, width() - rc.width(), height());
}

void CRecInfoDlg::paintEvent(QPaintEvent*)
{
    QPainter dc(this);
    OnPaint(dc, clientRect());
}

void CRecInfoDlg::OnPaint(QPainter& dc, const QRect& rc) const
{
    const RecInfoTexts& t = m_pView->m_recInfo;
    const FrameState* frame = m_pView->GetFrame();
    const int left = rc.left(), top = rc.top(), right = rc.left() + rc.width();
    const int p = m_nScrollPos;

    dc.fillRect(rc, QColor::fromRgb(kBackground));
    dc.setPen(Qt::black);
    dc.setFont(m_fontText);

    if (frame && modes::singleWaveform(*frame)) {
        // A transient record or a waveform: only its time, centred, and nothing else.
        dc.setFont(m_fontTitle);
        textOut(dc, left + rc.width() / 2 - 4 * static_cast<int>(t.m_strStart.size()), top,
                t.m_strStart);
        return;
    }

    const int y0 = top - p;
    textOut(dc, left + 50, y0 + 25, kModeRow);
    textOut(dc, left + 150, y0 + 25, t.m_strMode);
    textOut(dc, left + 490, y0 + 25, t.m_strRate);
    lineAcross(dc, y0 + 40, right);
    textOut(dc, left + 50, y0 + 45, kStartRow);
    textOut(dc, left + 150, y0 + 45, t.m_strStart);
    textOut(dc, left + 425, y0 + 45, t.m_strCount);

    const bool powerP = frame && frame->m_bRtPowerP;
    const bool powerQ = frame && frame->m_bRtPowerQ;
    const bool powerS = frame && frame->m_bRtPowerS;
    const bool power = frame && modes::powerMode(*frame);
    if (m_pView->m_bShowCh1 == 1) {
        if (!power)
            textOut(dc, left + 50, y0 + 65, kCh1Row);
        if (powerP)
            textOut(dc, left + 50, y0 + 65, kPRow);
        if (powerQ)
            textOut(dc, left + 50, y0 + 65, kQRow);
        if (powerS)
            textOut(dc, left + 50, y0 + 65, kSRow);
        textOut(dc, left + 125, y0 + 65, t.m_strCh1Max);
        textOut(dc, left + 400, y0 + 65, t.m_strCh1Min);
    }
    if (m_pView->m_bShowCh2 == 1 && !power) {
        textOut(dc, left + 50, y0 + 85, kCh2Row);
        textOut(dc, left + 125, y0 + 85, t.m_strCh2Max);
        textOut(dc, left + 400, y0 + 85, t.m_strCh2Min);
    }

    // The title strip does not scroll; rows moved upwards go under it.
    dc.fillRect(QRect(0, 0, right, kTitleStrip), QColor::fromRgb(kBackground));
    dc.setFont(m_fontTitle);
    textOut(dc, left + rc.width() / 2 - 60, top, kTitle);
    lineAcross(dc, top + 19, right);
    lineAcross(dc, top + 20, right);
}

void CRecInfoDlg::OnVScroll(ScrollCode code, int thumbPos)
{
    const int n = m_scrollBar->maximum();
    int pos = m_nScrollPos;
    bool moved = true;
    switch (code) {
    case SB_LINEUP:
        if (pos >= kLineStep)
            pos -= kLineStep;
        break;
    case SB_LINEDOWN:
        if (pos <= n)
            pos += kLineStep;
        break;
    case SB_PAGEUP:
        pos = 0;
        break;
    case SB_PAGEDOWN:
        pos = n;
        break;
    case SB_THUMBTRACK:
        pos = thumbPos;
        break;
    default:
        moved = false;
        break;
    }
    if (moved) {
        m_nScrollPos = pos;
        m_scrollBar->setValue(pos);
    }
    update();
}
