#pragma once
// The reception of a download, as one machine: the header, the memory blocks and the
// decision when the data is whole. Pure: no port, no widgets, no clock of its own. The
// frame hands it every byte the line delivers and every expiry of its timers, each with
// the time, and carries out the actions it returns (send a request, arm or kill a timer,
// show progress, finish with the data, end with a message).
//
// The wire has no framing and no checksum: a reply is known only by its length. So the
// blocks are taken in stretches. A stretch requests reply after reply at the line's speed
// and counts every byte heard against the replies asked for; it is trusted only at its
// end, when its last reply has been read a second time, the two reads agree and the line
// then stays quiet (a pass that went out of step leaves bytes on their way). Any byte
// that does not fit (a reply read long, a late copy, stray bytes, bytes on a line that
// should be quiet) puts the stretch in doubt, since where the misreading began cannot
// be told: once the line has fallen quiet the stretch starts again from the last point
// that checked good. A resent request may be answered twice; the line is then let fall
// quiet and only an exact second copy may come meanwhile. Final answers (busy, no data)
// count only when they come alone on a quiet line.
//
// A download ends in one of four ways: the data (Finish), the logger busy logging
// (Busy), no data in the logger (NoData), or "Communication interruption!" (GiveUp)
// after 5 s without a reply taken or at the kMaxDoubts-th doubt without progress. The
// one silence that ends with the data is the one after the last reply, at its second
// read: the logger ended its transfer there, and what it sent stands as it was read.
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

    // Doubts in a row without progress (the header taken, a stretch checked good, a pass
    // that read further into the stretch than any before it): the one that makes this
    // many ends the download.
    static constexpr int kMaxDoubts = 4;
    // Blocks between two checks: a doubt costs at most this many again. Each check costs
    // about two blocks' time on a clean line.
    static constexpr int kStretchBlocks = 96;

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
    // What the machine waits for within its stage: a reply (counted in m_rx), or a quiet
    // line (what is heard meanwhile kept in m_heard).
    enum class Step {
        Reply,   // the reply to the request in force
        Recheck, // the held block asked again: its reply must be the same
        Reread,  // the last reply of the stretch read a second time
        Settle,  // in doubt: the line must fall quiet; what is heard does not count
        Trail,   // a resent request's reply taken: only its exact copy may follow
        Hold,    // a block equal to the one before: asked again once the line is quiet
        Check,   // the second read taken: the line must stay quiet, then reads compared
        Close,   // busy or no data: it counts only alone on a quiet line
    };

    void take(const QByteArray& reply, Actions& out);
    void takeHeader(const QByteArray& reply, Actions& out);
    void takeBlock(const QByteArray& reply, Actions& out);
    void accept(const QByteArray& reply, Actions& out);
    void next(Actions& out);
    void request(Step step, Actions& out);
    void doubt(Actions& out);
    void awaitQuiet(Step step, int ms, Actions& out);
    void onQuietLine(Actions& out);
    void onResendTimer(int timer, Actions& out);
    void end(Action::Kind kind, int detail, Actions& out);
    void arm(int id, int ms, Actions& out);
    void kill(int id, Actions& out);
    // Quiet enough for any late answer or late part of one to have come.
    int settleMs() const;
    // How long the line must stay quiet after the second read of a stretch's last reply.
    int checkMs() const;
    bool equalsData(const QByteArray& bytes, int at) const;

    Stage m_stage = Stage::Idle;
    Step m_step = Step::Reply;
    QByteArray m_rx;         // heard since the request in force went out
    bool m_rxPaused = false; // the line fell quiet in the middle of m_rx
    qint64 m_now = 0; // the time of the input being handled
    qint64 m_lastInputAt = 0;
    qint64 m_lastRequestAt = 0;
    qint64 m_longestWaitMs = 0; // the longest silence of the line in this stretch
    bool m_resent = false;   // the request in force may be answered twice
    QByteArray m_reply;      // the reply taken whose copy may follow, or the block held
    QByteArray m_heard;      // heard on a line that should be quiet
    int m_quietMs = 0;
    wire::DownloadHeader m_header;
    std::vector<std::uint8_t> m_data;
    int m_offset = 0;     // start of the reply in force
    int m_checkpoint = 0; // everything before it checked good
    int m_furthest = 0;   // the furthest a pass of this stretch read
    int m_doubts = 0;     // since the last progress
    std::array<bool, 4> m_armed{}; // kTimerGiveUp..kTimerCommandResend
};
