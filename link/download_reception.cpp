#include "link/download_reception.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kBlock = static_cast<int>(wire::kDataBlockSize);
constexpr int kHeader = static_cast<int>(wire::kDownloadHeaderSize);
constexpr int kFirstTimer = kTimerGiveUp;
constexpr int kLastTimer = kTimerCommandResend;

std::uint8_t byteAt(const QByteArray& d, qsizetype i)
{
    return static_cast<std::uint8_t>(d.at(i));
}

} // namespace

using Kind = DownloadReception::Action::Kind;

void DownloadReception::reset()
{
    *this = DownloadReception();
}

bool DownloadReception::timerArmed(int id) const
{
    return id >= kFirstTimer && id <= kLastTimer && m_armed[id - kFirstTimer];
}

void DownloadReception::arm(int id, int ms, Actions& out)
{
    m_armed[id - kFirstTimer] = true;
    out.push_back({Kind::ArmTimer, id, ms});
}

void DownloadReception::kill(int id, Actions& out)
{
    if (!timerArmed(id))
        return;
    m_armed[id - kFirstTimer] = false;
    out.push_back({Kind::KillTimer, id});
}

int DownloadReception::replyLength() const
{
    if (m_stage != Stage::Blocks)
        return kHeader;
    return std::min(kBlock, totalBytes() - m_offset);
}

int DownloadReception::settleMs() const
{
    const int resend =
        m_stage == Stage::Header ? linktime::kCommandResendMs : linktime::kBlockResendMs;
    return resend + linktime::kQuietLineMs;
}

int DownloadReception::checkMs() const
{
    // Bytes of a pass out of step follow the last read at once, unless the logger pauses
    // in its output: then they may be held back as long as it was seen to keep the line
    // waiting in this stretch (a resend among it), and are waited for twice that, up to
    // as long as a late reply may take.
    return static_cast<int>(std::clamp<qint64>(2 * m_longestWaitMs, linktime::kEndQuietMs, settleMs()));
}

bool DownloadReception::equalsData(const QByteArray& bytes, int at) const
{
    return at >= 0 && at + bytes.size() <= totalBytes()
           && std::equal(bytes.constBegin(), bytes.constEnd(), m_data.begin() + at,
                         [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

DownloadReception::Actions DownloadReception::start(qint64 now)
{
    reset();
    m_stage = Stage::Header;
    m_now = m_lastInputAt = now;
    Actions out;
    request(Step::Reply, out);
    return out;
}

DownloadReception::Actions DownloadReception::onBytes(const QByteArray& bytes, qint64 now)
{
    Actions out;
    if (m_stage == Stage::Idle || m_stage == Stage::Ended || bytes.isEmpty())
        return out;
    m_now = now;
    const bool pause = now - m_lastInputAt >= linktime::kReplyPauseMs;
    m_longestWaitMs = std::max(m_longestWaitMs, now - std::max(m_lastInputAt, m_lastRequestAt));
    m_lastInputAt = now;
    switch (m_step) {
    case Step::Reply:
    case Step::Recheck:
    case Step::Reread:
        break;
    default:
        // A line that should be quiet: kept only as far as it could still be a second
        // copy of the reply, and the quiet starts again.
        if (m_heard.size() <= m_reply.size())
            m_heard.append(bytes);
        arm(kTimerQuietLine, m_quietMs, out);
        return out;
    }
    // A reply crosses the line in one go. Bytes after the line fell quiet in the
    // middle of one are something else: the rest of a reply that stopped, a copy.
    m_rxPaused = m_rxPaused || (pause && !m_rx.isEmpty());
    m_rx.append(bytes);
    const int length = replyLength();
    if (m_rx.size() < length)
        return out;
    // More than the reply asked for (a reply sent twice, a late one, or stray bytes),
    // or its length made up of pieces.
    if (m_rx.size() > length || m_rxPaused) {
        doubt(out);
        return out;
    }
    take(std::exchange(m_rx, {}), out);
    return out;
}

DownloadReception::Actions DownloadReception::onTimer(int id, qint64 now)
{
    Actions out;
    if (!timerArmed(id))
        return out;
    m_now = now;
    switch (id) {
    case kTimerGiveUp:
        // Nothing at all since the download's last reply, not even to the resend of its
        // second read: the logger ended its transfer there (switched off, its cable
        // pulled). A pass out of step would have left bytes on their way, and any late
        // part of a reply has had the time the line is given for one: the data stands as
        // it was read.
        if (m_step == Step::Reread && m_rx.isEmpty() && m_offset + replyLength() == totalBytes())
            end(Kind::Finish, 0, out);
        else
            end(Kind::GiveUp, 0, out);
        break;
    case kTimerBlockResend:
    case kTimerCommandResend:
        onResendTimer(id, out);
        break;
    case kTimerQuietLine:
        onQuietLine(out);
        break;
    default:
        break;
    }
    return out;
}

void DownloadReception::onResendTimer(int timer, Actions& out)
{
    kill(timer, out); // once per request
    // Nothing yet, or a late reply still coming (kept, to be completed): the first
    // request may yet be answered around the reply to the resend, so what follows is
    // watched until the line falls quiet. Bytes that stopped coming meanwhile put the
    // stretch in doubt as soon as anything follows them (a reply made of pieces). The
    // wait itself makes the stretch's check wait as long.
    m_resent = true;
    out.push_back({timer == kTimerCommandResend ? Kind::ResendCommand : Kind::ResendBlock});
}

void DownloadReception::take(const QByteArray& reply, Actions& out)
{
    // A reply taken is progress: the give-up is armed afresh with the next step.
    kill(kTimerGiveUp, out);
    kill(kTimerCommandResend, out);
    kill(kTimerBlockResend, out);
    switch (m_step) {
    case Step::Reread:
        m_reply = reply;
        awaitQuiet(Step::Check, checkMs(), out);
        break;
    case Step::Recheck:
        // The block asked again on a quiet line must be the one held.
        if (reply == m_reply)
            accept(reply, out);
        else
            doubt(out);
        break;
    default:
        if (m_stage == Stage::Header)
            takeHeader(reply, out);
        else
            takeBlock(reply, out);
        break;
    }
}

void DownloadReception::takeHeader(const QByteArray& reply, Actions& out)
{
    m_reply = reply;
    const int copyWindow = m_resent ? settleMs() : linktime::kQuietLineMs;
    // The final answers count only when nothing follows them on the line.
    if (byteAt(reply, 0) == LR_BUSY_LOGGING) {
        awaitQuiet(Step::Close, copyWindow, out);
        return;
    }
    const auto decoded = wire::DownloadHeader::decode(wire::asBytes(reply));
    if (!decoded.ok()) {
        doubt(out);
        return;
    }
    m_header = decoded.value;
    // No data is no data whatever the other bytes say (an erased logger sends odd ones).
    if (m_header.hasNoData()) {
        awaitQuiet(Step::Close, copyWindow, out);
        return;
    }
    // A header no logger could send was damaged on the line: asked again.
    if (!m_header.isPlausible()) {
        doubt(out);
        return;
    }
    m_stage = Stage::Blocks;
    m_data.assign(m_header.totalBytes, 0);
    m_offset = 0;
    m_checkpoint = 0;
    m_doubts = 0;
    out.push_back({Kind::ShowLoading, totalBytes() / kBlock + 1});
    if (m_resent)
        awaitQuiet(Step::Trail, copyWindow, out);
    else
        next(out);
}

void DownloadReception::takeBlock(const QByteArray& reply, Actions& out)
{
    // The same bytes as the block before: a late copy of it looks just so. It is held,
    // and the block asked again once the line is quiet. Whatever answers that request
    // must be the held block, so a second answer to a resent request may come before
    // it: the hold need not wait for one.
    if (reply.size() == kBlock && m_offset >= kBlock && equalsData(reply, m_offset - kBlock)) {
        m_reply = reply;
        awaitQuiet(Step::Hold, linktime::kQuietLineMs, out);
        return;
    }
    accept(reply, out);
}

void DownloadReception::accept(const QByteArray& reply, Actions& out)
{
    std::copy(reply.constBegin(), reply.constEnd(), m_data.begin() + m_offset);
    m_offset += static_cast<int>(reply.size());
    out.push_back({Kind::SetProgress, 1 + m_offset / kBlock});
    if (m_resent) {
        m_reply = reply;
        awaitQuiet(Step::Trail, settleMs(), out);
    } else {
        next(out);
    }
}

void DownloadReception::next(Actions& out)
{
    if (m_stage == Stage::Blocks
        && (m_offset >= totalBytes() || m_offset - m_checkpoint >= kStretchBlocks * kBlock)) {
        // The stretch is in: its last reply is read again. Bytes still on their way (the
        // pass out of step) land in that read, and a first byte that was a stray one
        // shows as a difference.
        m_offset = (m_offset - 1) / kBlock * kBlock;
        request(Step::Reread, out);
        return;
    }
    request(Step::Reply, out);
}

void DownloadReception::request(Step step, Actions& out)
{
    m_step = step;
    m_lastRequestAt = m_now;
    m_rx.clear();
    m_rxPaused = false;
    m_resent = false;
    if (m_stage == Stage::Header) {
        out.push_back({Kind::SendCommand});
        arm(kTimerCommandResend, linktime::kCommandResendMs, out);
    } else {
        const int index =
            wire::BlockRequest::indexAt(m_header.firstBlockIndex(), m_offset / kBlock);
        out.push_back({Kind::RequestBlock, index,
                       replyLength() < kBlock ? wire::kFillPartialBlock : wire::kFillWholeBlock});
        arm(kTimerBlockResend, linktime::kBlockResendMs, out);
    }
    if (!timerArmed(kTimerGiveUp))
        arm(kTimerGiveUp, linktime::kGiveUpMs, out);
}

void DownloadReception::doubt(Actions& out)
{
    // A pass that read further than any before it since the last check is progress: a
    // line that keeps delivering is read to the end, while one that fails at the same
    // place again and again ends after as many doubts as ever.
    if (m_stage == Stage::Blocks && m_offset > m_furthest) {
        m_furthest = m_offset;
        m_doubts = 0;
    }
    if (++m_doubts >= kMaxDoubts) {
        end(Kind::GiveUp, 0, out);
        return;
    }
    // The header is asked again once the line is quiet: a late answer to an earlier
    // command, taken in its place, is as good as any.
    if (m_stage == Stage::Header) {
        awaitQuiet(Step::Settle, linktime::kQuietLineMs, out);
        return;
    }
    // Any reply since the last check may have been misread: they are asked again, once
    // the line has been quiet for as long as a late reply or the rest of one may take.
    m_offset = m_checkpoint;
    out.push_back({Kind::SetProgress, 1 + m_offset / kBlock});
    awaitQuiet(Step::Settle, settleMs(), out);
}

void DownloadReception::awaitQuiet(Step step, int ms, Actions& out)
{
    kill(kTimerBlockResend, out);
    kill(kTimerCommandResend, out);
    m_step = step;
    m_rx.clear();
    m_rxPaused = false;
    m_heard.clear();
    m_quietMs = ms;
    arm(kTimerQuietLine, ms, out);
    // A line that never falls quiet ends the download.
    if (!timerArmed(kTimerGiveUp))
        arm(kTimerGiveUp, linktime::kGiveUpMs, out);
}

void DownloadReception::onQuietLine(Actions& out)
{
    kill(kTimerQuietLine, out);
    // Only an exact second copy of the reply may have come meanwhile (a resent request
    // answered twice, a logger that sent it twice): it changes nothing of what is taken,
    // and every step after the quiet line checks again. A held block's copy counts only
    // after a resend: in blocks alike, a pass a whole block behind the logger (a block's
    // length of stray bytes taken for a block) hears the next block as just such a copy.
    const bool copy = m_heard == m_reply && (m_step != Step::Hold || m_resent);
    const bool clean = m_heard.isEmpty() || copy;
    if (m_step != Step::Settle && !clean) {
        doubt(out);
        return;
    }
    switch (m_step) {
    case Step::Hold:
        request(Step::Recheck, out);
        break;
    case Step::Check:
        if (!equalsData(m_reply, m_offset)) {
            doubt(out);
            break;
        }
        // Everything up to here is good: a later doubt goes back no further.
        m_offset += replyLength();
        m_checkpoint = m_furthest = m_offset;
        m_doubts = 0;
        m_longestWaitMs = 0;
        if (m_offset >= totalBytes())
            end(Kind::Finish, 0, out);
        else
            next(out);
        break;
    case Step::Close:
        if (byteAt(m_reply, 0) == LR_BUSY_LOGGING)
            end(Kind::Busy, 0, out);
        else
            end(Kind::NoData, m_header.valuesPerSample == 0 ? 0 : 1, out);
        break;
    case Step::Settle:
        // Nothing of the pass in doubt is on its way any more: the stretch starts afresh.
        m_longestWaitMs = 0;
        next(out);
        break;
    default: // Trail
        next(out);
        break;
    }
}

void DownloadReception::end(Kind kind, int detail, Actions& out)
{
    for (int id = kFirstTimer; id <= kLastTimer; ++id)
        kill(id, out);
    m_stage = Stage::Ended;
    m_rx.clear();
    out.push_back({kind, 0, detail});
}
