#pragma once
// What the instrument dialogs (download, logger set-up, clock) share: the link state
// shown as the window title, the prompt line, the check of the port when the dialog
// opens, and the way to the frame's link operations.
//
// The frame's link timers and receive handler talk to an open dialog only through
//     isOpen()            the dialog's window exists (from opening until it ends)
//     title()             the link-state word the dialog shows: "Connecting...",
//                         "Connected" or "Not Connected"; the OK button acts on it
//     SetTitle(text)      sets the title member and the window title
//     prompt()            the prompt line's text
//     SetPrompt(text)     sets the prompt line and shows it
#include <QString>
#include <functional>

#include "display/template_dialog.h"
#include "link/wire_protocol.h"

struct FrameState;
class CMSComm;

// The frame operations a dialog calls. The frame fills this in; tests fill it with
// their own functions.
struct InstrumentHost {
    FrameState* state = nullptr;
    CMSComm* comm = nullptr;
    // Sends the 8 bytes of state->m_byCommand (a set-up or clock command) with the port
    // ready for the logger's one-byte answer, which the frame then waits for; false
    // when the port failed and nothing went out.
    std::function<bool()> sendCommand;
    // Starts the transfer the request flags ask for (download or real-time run); false
    // when the command could not go out (the frame has told the user).
    std::function<bool()> startTransfer;
    // Ends the port scan, probe and link watch timers.
    std::function<void()> stopConnectTimers;
};

namespace linktext {
inline const QString kConnecting = QStringLiteral("Connecting...");
inline const QString kConnected = QStringLiteral("Connected");
inline const QString kNotConnected = QStringLiteral("Not Connected");
inline const QString kWaiting = QStringLiteral("Waiting for connecting...");
inline const QString kConnectFailed =
    QStringLiteral("Connecting failed. Ensure logger inserted and try again.");
// Written by the download dialog when its own port check succeeds.
inline const QString kPressDownload =
    QStringLiteral("Press \"Download\" to load stored data from the logger or \"Cancel\" to exit.");
// Written by the receive handler when the logger answers the probe.
inline const QString kPressDownloadAnswered =
    QStringLiteral("Press \"Download\" to load store data from the logger, or \"Cancel\" to exit.");
inline const QString kAskSaveRmsTr =
    QStringLiteral("Do you want to save the existing RMS&TR graph data before continuing?");
// A transfer that the logger stopped answering, or a port that failed under it.
inline const QString kInterrupted = QStringLiteral("Communication interruption!");
inline const QString kEraseWarning = QStringLiteral("All data stored on the unit will be erased.");
} // namespace linktext

class CInstrumentDlg : public TemplateDialog {
    Q_OBJECT
public:
    explicit CInstrumentDlg(int templateId, QWidget* parent = nullptr);
    ~CInstrumentDlg() override;

    void setHost(InstrumentHost host) { m_host = std::move(host); }
    const InstrumentHost& host() const { return m_host; }

    // Opens the dialog and runs it modally (platform/modal_dialog.h); returns the
    // result (QDialog::Accepted after the command was carried out).
    int DoModal();

    // --- the link state, for the frame ---
    bool isOpen() const { return m_bOpen; }
    QString title() const { return m_strTitle; }
    void SetTitle(const QString& title);
    QString prompt() const { return m_strPrompt; }
    void SetPrompt(const QString& prompt);

    // The dialog ends (window gone); also used by accept() and reject().
    void done(int result) override;

protected:
    // Fills the controls at each opening; the base restores the template state.
    virtual void OnInitDialog();
    // Moves the values between the members and the controls (save: controls ->
    // members). Change notifications of the controls are ignored while it runs.
    virtual void DoDataExchange(bool save) = 0;
    void UpdateData(bool save);
    bool inDataExchange() const { return m_bInExchange; }

    // The own check of the port when a logger has answered since start-up: closes and
    // reopens the selected port, then closes it again. True when it opened.
    bool checkPortOpens();
    // The title after an own check: "Connected" when the port opened, else
    // "Not Connected". Returns whether it opened.
    bool checkLinkOnOpening();

    // What OK may do by the link state in the title: nothing while "Connecting...",
    // only the connect-failed prompt while "Not Connected". True when it may act.
    bool linkAllowsOK();

    void stopConnectTimers();
    // What a dialog does when a command could not be sent: the link is not usable.
    void reportSendFailure();
    // The OK of a set-up or clock command: sends `command` through the frame. When it
    // went out, `keep` takes the dialog's values into the frame, the dialog ends
    // accepted and the search for the logger stops. When nothing went out, the logger
    // is untouched and the frame keeps its values: the link is shown as not usable and
    // the dialog stays open with the user's values, to try again once the link is back.
    void sendAndAccept(const wire::Command& command, const std::function<void(FrameState&)>& keep);

    void closeEvent(QCloseEvent* event) override;

    InstrumentHost m_host;
    QString m_strTitle;
    QString m_strPrompt;

private:
    bool m_bOpen = false;
    bool m_bInExchange = false;
};
