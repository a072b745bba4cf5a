#pragma once
// The "Loading..." window that shows the progress of a download. The frame keeps the
// object for its whole life; the window exists only while a download is received.
#include <QString>
#include <memory>

class QDialog;
class QProgressBar;
class QWidget;

class CLoadingDlg {
public:
    static constexpr int IDD = 227;
    static constexpr int IDC_PROGRESS = 1153;

    CLoadingDlg();
    ~CLoadingDlg();
    CLoadingDlg(const CLoadingDlg&) = delete;
    CLoadingDlg& operator=(const CLoadingDlg&) = delete;

    // Creates the modeless window (caption "Loading..." without minimise, maximise or
    // close buttons; 128 x 12 dialog units of "System" 10, a smooth progress bar filling
    // it), hidden. Nothing when it exists.
    void Create(QWidget* parent);
    // Shows the window centred across `view`, its frame (caption included) four frame
    // heights below the view's top; placed again once the window manager has framed it.
    void ShowOver(const QWidget* view);
    // Whether the window exists.
    bool HasWindow() const { return m_window != nullptr; }
    // The window, or null.
    QDialog* window() const { return m_window.get(); }
    QProgressBar* progress() const { return m_progress; }

    void SetRange(int low, int high);
    void SetPos(int pos);
    int Pos() const;
    int RangeMax() const;

    // Ends the dialog with `result` and destroys its window.
    void EndAndDestroy(int result);
    // The result the window was last ended with (0 before).
    int Result() const { return m_result; }

private:
    std::unique_ptr<QDialog> m_window;
    QProgressBar* m_progress = nullptr;
    int m_result = 0;
};
