#pragma once
// CLoggerSetupDlg: Datalogger Setup. Edits the sampling rate and its unit, auto power
// off and the memory-full mode (and carries the two detection levels in hidden
// fields); Setup warns that the logger's memory will be erased, sends the set-up
// command and keeps the values in the frame's settings. Every opening reloads the
// values from the frame.
#include <cstdint>

#include "link/instrument_dialog.h"
#include "link/wire_protocol.h"

class QComboBox;
class QPushButton;
class CNumEdit;
class UpDownControl;

class CLoggerSetupDlg : public CInstrumentDlg {
    Q_OBJECT
public:
    explicit CLoggerSetupDlg(QWidget* parent = nullptr);

    // The dialog's values (members of the data exchange).
    std::uint8_t m_nAutoOff = 0; // 2 on, 0 off
    std::uint8_t m_nMemFull = 0; // 3 continue and overwrite the oldest point, 0 stop
    int m_nUnit = 0;             // 0 Second, 1 Minute, 2 Hour
    QString m_strRate;
    QString m_strRiseLevel;
    QString m_strDropLevel;
    int m_nRiseUnit = -1; // index in the sorted list: 0 "A", 1 "V"
    int m_nDropUnit = -1;

    // The set-up command the values stand for.
    wire::LoggerSetupCommand setupCommand() const;

    void OnDefault();
    void OnOK();
    void OnCancel();
    void OnChangeRate();
    void OnSelChangeUnit();

    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

    CNumEdit* rateEdit() const;
    QComboBox* unitList() const;
    UpDownControl* rateSpin() const;
    QPushButton* setupButton() const;

protected:
    void OnInitDialog() override;
    void DoDataExchange(bool save) override;
};
