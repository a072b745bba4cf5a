#pragma once
// CLoggingDlg: the "Logging..." window (title, a smooth progress bar, no close box).
// The frame and the view each keep one (the view's also stands for the document's: the
// document holds no window); nothing in the program shows it today, so it holds no
// state and builds its window only when it is run.
class QWidget;

class CLoggingDlg {
public:
    static constexpr int IDD = 178;
    static constexpr int IDC_PROGRESS = 1108;

    // Builds the window and runs it modally (platform/modal_dialog.h); returns the
    // result. The window goes with the call.
    int DoModal(QWidget* parent = nullptr);
};
