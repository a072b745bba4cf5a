#pragma once
// The reception of a download, as one machine: the header, the memory blocks and the
// decision when the data is whole. Pure: no port, no widgets, no clock of its own. The
// frame hands it every byte the line delivers and every expiry of its timers, each with
// the time, and carries out the actions it returns (send a request, arm or kill a timer,
// show progress, finish with the data, end with a message).
//
// The wire has no framing and no checksum: a reply is known only by its length. So the
// replies are taken in passes. A pass requests reply after reply at the line's speed and
// counts every byte heard against the replies asked for; it is trusted only at its end,
// when the last reply has been read a second time, the two reads agree and the line
// then stays quiet. Any byte that does not fit (a reply read long, a late copy, stray
// bytes, bytes on a line that should be quiet) puts the whole pass in doubt, since where
// the misreading began cannot be told: a new pass starts from the beginning once the
// line has fallen quiet. A resent request may be answered twice; the line is then let
// fall quiet and only an exact second copy may come meanwhile. Final answers (busy, no
// data) count only when they come alone on a quiet line.
//
// A download ends in one of four ways: the data (Finish), the logger busy logging
// (Busy), no data in the logger (NoData), or "Communication interruption!" (GiveUp)
// after 5 s without a reply taken or after too many passes in doubt.
#include <QByteArray>
#include <QtGlobal>
#include <array>
#include <cstdint>
#include <vector>

#include "link/link_timing.h"
#include "link/wire_protocol.h"

class DownloadReception {
public:
    struct Action {
        enum class Kind {
            SendCommand,   // the transfer command (8 x 0x68)
            RequestBlock,  // block `value` with fill byte `detail`
            ResendCommand, // the transfer command again (a late answer)
            ResendBlock,   // the block request again (a late block)
            ArmTimer,      // timer `value` with period `detail` ms
            KillTimer,     // timer `value`
            ShowLoading,   // the "Loading..." window, progress 0..`value`, at 1
            SetProgress,   // progress position `value`
            Finish,        // data() is the whole memory the header announced
            Busy,          // the logger is busy logging
            NoData,        // no data; `detail` 1 when the total was 0 (else K was 0)
            GiveUp,        // "Communication interruption!"
        };
        Kind kind;
        int value = 0;
        int detail = 0;
        bool operator==(const Action&) const = default;
    };
    using Actions = std::vector<Action>;

    enum class Stage { Idle, Header, Blocks, Ended };

    // Passes in doubt before the download is given up.
    static constexpr int kMaxFailedPasses = 4;

    // A new download: the command goes out, its resend and the give-up are armed.
    Actions start(qint64 now);
    // Bytes the line delivered at `now`.
    Actions onBytes(const QByteArray& bytes, qint64 now);
    // Frame timer `id` (kTimerGiveUp to kTimerCommandResend) expired at `now`; other
    // ids and timers the machine did not arm do nothing.
    Actions onTimer(int id, qint64 now);
    // Back to idle, every timer forgotten (the frame kills its own).
    void reset();

    Stage stage() const { return m_stage; }
    bool timerArmed(int id) const;
    const wire::DownloadHeader& header() const { return m_header; }
    const std::vector<std::uint8_t>& data() const { return m_data; }
    int totalBytes() const { return static_cast<int>(m_data.size()); }
    // Start of the reply in force in the data.
    int offset() const { return m_offset; }
    // Bytes of the reply in force: the header, a whole block or the remainder.
    int replyLength() const;

private:
    // What follows a quiet line.
    enum class AfterQuiet {
        Request, // the request in force (again)
        Compare, // the second read of the last reply is compared with the first
        Busy,
        NoData,
    };

    void take(const QByteArray& reply, Actions& out);
    void takeHeader(const QByteArray& reply, Actions& out);
    void takeBlock(const QByteArray& reply, Actions& out);
    void sendRequest(Actions& out);
    void doubt(Actions& out);
    void awaitQuiet(AfterQuiet after, bool checks, int ms, const QByteArray& taken, Actions& out);
    void onQuietLine(Actions& out);
    void resend(int timer, Actions& out, qint64 now);
    void end(Action::Kind kind, int detail, Actions& out);
    void arm(int id, int ms, Actions& out);
    void kill(int id, Actions& out);

    Stage m_stage = Stage::Idle;
    QByteArray m_rx;         // heard since the request in force went out
    bool m_rxPaused = false; // the line fell quiet in the middle of m_rx
    qint64 m_lastInputAt = 0;
    bool m_resent = false; // the request in force went out twice
    bool m_verifying = false; // the request in force reads the last reply again
    QByteArray m_held;        // a block equal to the one before it, asked again
    bool m_troubled = false;  // a resend or a pass in doubt: the end waits longer
    wire::DownloadHeader m_header;
    std::vector<std::uint8_t> m_data;
    int m_offset = 0;
    int m_failedPasses = 0;
    struct Quiet {
        bool active = false;
        AfterQuiet after = AfterQuiet::Request;
        bool checks = false; // bytes heard put the pass in doubt
        int ms = 0;
        QByteArray taken; // the reply whose exact second copy may come
        QByteArray heard;
    } m_quiet;
    std::array<bool, 4> m_armed{}; // kTimerGiveUp..kTimerCommandResend
};
