#pragma once
// CCorrectTimeDlg: Correct Time. Shows the PC's local date and time, refreshed every
// second; OK sends it to the logger as its new clock and keeps the six values in the
// frame's clock settings.
#include <ctime>
#include <functional>
#include <memory>

#include "link/instrument_dialog.h"
#include "link/wire_protocol.h"

class QPushButton;
class TimerTable;

class CCorrectTimeDlg : public CInstrumentDlg {
    Q_OBJECT
public:
    static constexpr int kRefreshTimer = 1;
    static constexpr int kRefreshPeriodMs = 1000;

    explicit CCorrectTimeDlg(QWidget* parent = nullptr);
    ~CCorrectTimeDlg() override;

    QString m_strYear, m_strMonth, m_strDay, m_strHour, m_strMinute, m_strSecond;

    // The PC clock as local time; tests put in their own.
    using Clock = std::function<std::tm()>;
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // The clock command the six fields stand for.
    wire::ClockCommand clockCommand() const;
    // Reads the clock once and fills the six members.
    void RefreshFields();

    void OnOK();
    void OnCancel();
    void OnTimer(int id);

    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }
    void done(int result) override;

    QPushButton* okButton() const;
    bool refreshTimerActive() const;

protected:
    void OnInitDialog() override;
    void DoDataExchange(bool save) override;

private:
    Clock m_clock;
    std::unique_ptr<TimerTable> m_timers;
};
