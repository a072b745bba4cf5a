#include "app/splash.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {
bool g_bShowSplashScreen = true;
CSplashWnd* g_pSplashWnd = nullptr;

bool isKeyOrClick(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        return true;
    default:
        return false;
    }
}
} // namespace

CSplashWnd::CSplashWnd(QWidget* owner)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_pOwner(owner)
    , m_timers([this](int id) { OnTimer(id); })
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Never the active window: a message box raised during start-up would otherwise
    // take the splash as its parent and go with it when the splash closes.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
}

CSplashWnd::~CSplashWnd()
{
    if (g_pSplashWnd == this)
        g_pSplashWnd = nullptr;
    qApp->removeEventFilter(this);
}

void CSplashWnd::EnableSplashScreen(bool enable)
{
    g_bShowSplashScreen = enable;
}

bool CSplashWnd::IsSplashScreenEnabled()
{
    return g_bShowSplashScreen;
}

CSplashWnd* CSplashWnd::current()
{
    return g_pSplashWnd;
}

void CSplashWnd::ShowSplashScreen(QWidget* owner)
{
    if (!g_bShowSplashScreen || g_pSplashWnd)
        return;
    auto* splash = new CSplashWnd(owner);
    g_pSplashWnd = splash;
    if (!splash->Create()) {
        delete splash;
        return;
    }
    // Paint at once: the main window's creation then blocks the event loop for a while.
    splash->paintNow();
}

void CSplashWnd::paintNow()
{
    // A window takes no paint until the window system has mapped and exposed it, which
    // it reports through the event loop; the wait is short and bounded. Input waits for
    // the loop to run again, as it would during the pause.
    QElapsedTimer clock;
    clock.start();
    while (!(windowHandle() && windowHandle()->isExposed()) && clock.elapsed() < kExposeWaitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(1);
    }
    repaint();
}

bool CSplashWnd::Create()
{
    m_bitmap = splashPicture();
    if (m_bitmap.isNull())
        return false;
    setFixedSize(m_bitmap.size());
    // Centred over the owner when it is on screen, else in the screen's work area.
    QRect area;
    if (m_pOwner && m_pOwner->isVisible())
        area = m_pOwner->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
    show();
    qApp->installEventFilter(this);
    m_timers.SetTimer(kHideTimer, kShowMilliseconds);
    return true;
}

void CSplashWnd::OnTimer(int)
{
    HideSplashScreen();
}

void CSplashWnd::HideSplashScreen()
{
    m_timers.KillTimer(kHideTimer);
    qApp->removeEventFilter(this);
    if (g_pSplashWnd == this)
        g_pSplashWnd = nullptr;
    hide();
    if (m_pOwner)
        m_pOwner->update();
    deleteWhenAlone();
}

void CSplashWnd::deleteWhenAlone()
{
    // A message box raised while the splash was up may have taken it as its parent
    // (it was the active window); the splash goes only once no such window is left.
    const auto windows = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const bool alone = std::none_of(windows.begin(), windows.end(),
                                    [](const QWidget* w) { return w->isWindow(); });
    if (alone)
        deleteLater();
    else
        QTimer::singleShot(100, this, &CSplashWnd::deleteWhenAlone);
}

bool CSplashWnd::PreTranslateAppMessage(QEvent* event)
{
    if (!g_pSplashWnd || !event || !isKeyOrClick(event->type()))
        return false;
    g_pSplashWnd->HideSplashScreen();
    return true;
}

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event)
{
    if (PreTranslateAppMessage(event))
        return true;
    return QWidget::eventFilter(watched, event);
}

void CSplashWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, m_bitmap);
}

QPixmap CSplashWnd::splashPicture()
{
    QPixmap pix(kWidth, kHeight);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient bg(0, 0, 0, kHeight);
    bg.setColorAt(0.0, QColor(22, 46, 84));
    bg.setColorAt(1.0, QColor(8, 18, 36));
    p.fillRect(pix.rect(), bg);

    // A plot panel with a faint grid and two traces, one per channel.
    const QRect plot(28, 150, kWidth - 56, 118);
    p.fillRect(plot, QColor(0, 0, 0, 140));
    p.setPen(QPen(QColor(40, 80, 140), 1));
    for (int i = 1; i < 8; ++i)
        p.drawLine(plot.left() + i * plot.width() / 8, plot.top(),
                   plot.left() + i * plot.width() / 8, plot.bottom());
    for (int i = 1; i < 4; ++i)
        p.drawLine(plot.left(), plot.top() + i * plot.height() / 4, plot.right(),
                   plot.top() + i * plot.height() / 4);
    auto trace = [&](double amplitude, double phase, const QColor& colour) {
        QPainterPath path;
        for (int x = 0; x <= plot.width(); ++x) {
            const double y = plot.center().y()
                             - amplitude * std::sin(phase + x * 2.0 * M_PI * 3.0 / plot.width());
            if (x == 0)
                path.moveTo(plot.left() + x, y);
            else
                path.lineTo(plot.left() + x, y);
        }
        p.setPen(QPen(colour, 2));
        p.drawPath(path);
    };
    trace(48, 0.0, QColor(230, 60, 60));
    trace(30, 0.9, QColor(60, 210, 90));
    p.setPen(QPen(QColor(120, 150, 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);

    p.setPen(Qt::white);
    QFont title(QStringLiteral("Arial"), 30, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(28, 28, kWidth - 56, 56), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("RQ730 Datalogger"));
    QFont sub(QStringLiteral("Arial"), 12);
    p.setFont(sub);
    p.setPen(QColor(190, 210, 240));
    p.drawText(QRect(30, 86, kWidth - 60, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Two-channel AC voltage and current data logger"));
    p.drawText(QRect(30, 110, kWidth - 60, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Version 2.4"));
    QFont small(QStringLiteral("Arial"), 9);
    p.setFont(small);
    p.setPen(QColor(150, 170, 200));
    p.drawText(QRect(28, kHeight - 40, kWidth - 56, 30), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Loading..."));
    p.end();
    return pix;
}
