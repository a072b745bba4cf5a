#pragma once
// The splash window: a 520 x 317 picture shown while the main window is built. It
// hides itself after 2 s, or at the first key press or mouse click anywhere in the
// application, which it swallows.
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include "platform/timer_table.h"

class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 520;
    static constexpr int kHeight = 317;
    static constexpr int kShowMilliseconds = 2000;

    ~CSplashWnd() override;

    // Whether the next ShowSplashScreen shows anything (the command line decides).
    static void EnableSplashScreen(bool enable);
    static bool IsSplashScreenEnabled();
    // Shows the splash over `owner` unless it is disabled or already shown.
    static void ShowSplashScreen(QWidget* owner);
    // Offered every event of the application while a splash exists: a key press or a
    // mouse click hides the splash and is consumed (returns true).
    static bool PreTranslateAppMessage(QEvent* event);
    // The splash on screen, or null.
    static CSplashWnd* current();

    void HideSplashScreen();
    // The splash picture, drawn by the program itself.
    static QPixmap splashPicture();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CSplashWnd(QWidget* owner);
    bool Create();
    // Waits (bounded) until the window is on screen, then paints it.
    void paintNow();
    static constexpr int kExposeWaitMs = 1000;
    static constexpr int kHideTimer = 1; // ends the splash after its showing time
    void OnTimer(int id);
    void deleteWhenAlone();

    QPointer<QWidget> m_pOwner; // the owner may go first
    QPixmap m_bitmap;
    TimerTable m_timers;
};
