#pragma once
// CDownloadDlg: the dialog of Download Data. It shows the link state in its title and
// starts the download when the user presses Download while the logger is connected.
// One object lives with the frame; each Download Data command opens it again.
#include "link/instrument_dialog.h"

class QPushButton;

class CDownloadDlg : public CInstrumentDlg {
    Q_OBJECT
public:
    explicit CDownloadDlg(QWidget* parent = nullptr);

    QPushButton* downloadButton() const { return m_btnDownload; }
    QPushButton* cancelButton() const { return m_btnCancel; }
    QPushButton* realTimeButton() const { return m_btnRealTime; }

    // Download (button 1, Enter): acts on the title.
    void OnOK();
    // Cancel (button 2, Esc, close).
    void OnCancel();
    // "REAL TIME" (1174): as Download, but starts a real-time run. The button is
    // hidden and disabled, so only code reaches this.
    void OnRealTime();

    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

protected:
    void OnInitDialog() override;
    void DoDataExchange(bool save) override;

private:
    void startTransfer(bool realTime);

    QPushButton* m_btnCancel;
    QPushButton* m_btnDownload;
    QPushButton* m_btnRealTime;
};
