#pragma once
// CRealTimeSetupDlg: the set-up of a real-time reading, run by the Run command. The
// user chooses the sampling period (2..3600 s, into the view) and the number of
// samples (1..100000, into the frame); both fields write through at every change.
// RUN starts the run once the logger is connected. Like the other instrument dialogs
// it shows the link state in its title.
#include "link/instrument_dialog.h"

class QPushButton;
class CNumEdit;
class UpDownControl;
class ViewState;

class CRealTimeSetupDlg : public CInstrumentDlg {
    Q_OBJECT
public:
    explicit CRealTimeSetupDlg(QWidget* parent = nullptr);

    // The view whose real-time period the dialog edits (set by the frame).
    void setView(ViewState* view) { m_pView = view; }

    int m_nRate = 0;   // sampling period in seconds
    int m_nPoints = 0; // samples to take

    void OnOK();
    void OnCancel();
    void OnChangeSampleRate();
    void OnChangeDataPoints();

    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

    CNumEdit* rateEdit() const;
    CNumEdit* pointsEdit() const;
    UpDownControl* rateSpin() const;
    UpDownControl* pointsSpin() const;
    QPushButton* runButton() const;

protected:
    void OnInitDialog() override;
    // Controls -> members checks each number; the first that fails is reported and
    // the exchange stops there (lastExchangeOk() is then false).
    void DoDataExchange(bool save) override;
    bool lastExchangeOk() const { return m_bExchangeOk; }
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool exchangeInt(int id, int& value, int low, int high);

    ViewState* m_pView = nullptr;
    bool m_bExchangeOk = true;
};
