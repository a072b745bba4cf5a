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

DownloadReception::Actions DownloadReception::start(qint64 now)
{
    reset();
    m_stage = Stage::Header;
    m_lastInputAt = now;
    Actions out{{Kind::SendCommand}};
    arm(kTimerCommandResend, linktime::kCommandResendMs, out);
    // A logger that never answers ends the download as one that stalls.
    arm(kTimerGiveUp, linktime::kGiveUpMs, out);
    return out;
}

DownloadReception::Actions DownloadReception::onBytes(const QByteArray& bytes, qint64 now)
{
    Actions out;
    if (m_stage == Stage::Idle || m_stage == Stage::Ended || bytes.isEmpty())
        return out;
    const bool pause = now - m_lastInputAt >= linktime::kQuietLineMs;
    m_lastInputAt = now;
    if (m_quiet.active) {
        // Kept only as far as they could still be a second copy of the reply.
        if (m_quiet.heard.size() <= m_quiet.taken.size())
            m_quiet.heard.append(bytes);
        arm(kTimerQuietLine, m_quiet.ms, out);
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
    m_rxPaused = false;
    take(std::exchange(m_rx, {}), out);
    return out;
}

DownloadReception::Actions DownloadReception::onTimer(int id, qint64 now)
{
    Actions out;
    if (!timerArmed(id))
        return out;
    switch (id) {
    case kTimerGiveUp:
        end(Kind::GiveUp, 0, out);
        break;
    case kTimerBlockResend:
    case kTimerCommandResend:
        resend(id, out, now);
        break;
    case kTimerQuietLine:
        onQuietLine(out);
        break;
    default:
        break;
    }
    return out;
}

void DownloadReception::resend(int timer, Actions& out, qint64 now)
{
    kill(timer, out); // once per request
    // Part of a reply that stopped coming a while ago: it may be the end of a reply read
    // out of step as well as the start of this one. Every byte counts in a pass, so the
    // pass is in doubt.
    if (!m_rx.isEmpty() && now - m_lastInputAt >= linktime::kQuietLineMs) {
        doubt(out);
        return;
    }
    // Nothing yet, or a late reply still coming (kept, to be completed): the first
    // request may yet be answered around the reply to the resend, so what follows is
    // watched until the line falls quiet.
    m_resent = true;
    m_troubled = true;
    out.push_back({timer == kTimerCommandResend ? Kind::ResendCommand : Kind::ResendBlock});
}

void DownloadReception::take(const QByteArray& reply, Actions& out)
{
    // A reply taken is progress: the give-up is armed afresh with the next step.
    kill(kTimerGiveUp, out);
    if (m_stage == Stage::Header)
        takeHeader(reply, out);
    else
        takeBlock(reply, out);
}

void DownloadReception::takeHeader(const QByteArray& reply, Actions& out)
{
    kill(kTimerCommandResend, out);
    const int copyWindow = m_resent ? linktime::kCommandResendMs + linktime::kQuietLineMs
                                    : linktime::kQuietLineMs;
    // The final answers count only when nothing follows them on the line.
    if (byteAt(reply, 0) == LR_BUSY_LOGGING) {
        awaitQuiet(AfterQuiet::Busy, true, copyWindow, reply, out);
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
        awaitQuiet(AfterQuiet::NoData, true, copyWindow, reply, out);
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
    out.push_back({Kind::ShowLoading, totalBytes() / kBlock + 1});
    if (m_resent)
        awaitQuiet(AfterQuiet::Request, true, copyWindow, reply, out);
    else
        sendRequest(out);
}

void DownloadReception::takeBlock(const QByteArray& reply, Actions& out)
{
    kill(kTimerBlockResend, out);
    const int copyWindow = m_resent ? linktime::kBlockResendMs + linktime::kQuietLineMs
                                    : linktime::kQuietLineMs;
    if (m_verifying) {
        // The end is trusted once the line has stayed quiet: briefly after a download
        // without trouble; after trouble (a resend among it) for as long as a late reply
        // may take.
        const int window = m_troubled ? linktime::kBlockResendMs + linktime::kQuietLineMs
                                      : linktime::kEndQuietMs;
        awaitQuiet(AfterQuiet::Compare, true, window, reply, out);
        return;
    }
    if (!m_held.isEmpty()) {
        // The block asked again on a quiet line must be the one held.
        const bool same = reply == m_held;
        m_held.clear();
        if (!same) {
            doubt(out);
            return;
        }
    } else if (reply.size() == kBlock && m_offset >= kBlock
               && std::equal(reply.constBegin(), reply.constEnd(), m_data.begin() + m_offset - kBlock,
                             [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; })) {
        // The same bytes as the block before: a late copy of it looks just so. It is
        // held, and the block asked again once the line is quiet.
        m_held = reply;
        awaitQuiet(AfterQuiet::Request, true, copyWindow, reply, out);
        return;
    }
    std::copy(reply.constBegin(), reply.constEnd(), m_data.begin() + m_offset);
    m_offset += static_cast<int>(reply.size());
    out.push_back({Kind::SetProgress, 1 + m_offset / kBlock});
    if (m_resent)
        awaitQuiet(AfterQuiet::Request, true, copyWindow, reply, out);
    else
        sendRequest(out);
}

void DownloadReception::sendRequest(Actions& out)
{
    m_rx.clear();
    m_rxPaused = false;
    m_resent = false;
    if (m_stage == Stage::Header) {
        out.push_back({Kind::SendCommand});
        arm(kTimerCommandResend, linktime::kCommandResendMs, out);
    } else {
        if (m_offset >= totalBytes()) {
            // Every reply is in: the last one is read again. Bytes still on their way
            // (the pass out of step) land in that read, and a first byte that was a
            // stray one shows as a difference.
            m_verifying = true;
            m_offset = (totalBytes() - 1) / kBlock * kBlock;
        }
        const int length = replyLength();
        const int index =
            wire::BlockRequest::indexAt(m_header.firstBlockIndex(), m_offset / kBlock);
        out.push_back({Kind::RequestBlock, index,
                       length < kBlock ? wire::kFillPartialBlock : wire::kFillWholeBlock});
        arm(kTimerBlockResend, linktime::kBlockResendMs, out);
    }
    if (!timerArmed(kTimerGiveUp))
        arm(kTimerGiveUp, linktime::kGiveUpMs, out);
}

void DownloadReception::doubt(Actions& out)
{
    m_troubled = true;
    if (++m_failedPasses > kMaxFailedPasses) {
        end(Kind::GiveUp, 0, out);
        return;
    }
    // Any reply of the pass may have been misread: the pass starts again, once the line
    // has been quiet for as long as a late reply or the rest of one may take.
    int settle = linktime::kCommandResendMs + linktime::kQuietLineMs;
    if (m_stage == Stage::Blocks) {
        m_offset = 0;
        m_verifying = false;
        m_held.clear();
        out.push_back({Kind::SetProgress, 1});
        settle = linktime::kBlockResendMs + linktime::kQuietLineMs;
    }
    awaitQuiet(AfterQuiet::Request, false, settle, {}, out);
}

void DownloadReception::awaitQuiet(AfterQuiet after, bool checks, int ms, const QByteArray& taken,
                                   Actions& out)
{
    kill(kTimerBlockResend, out);
    kill(kTimerCommandResend, out);
    m_rx.clear();
    m_rxPaused = false;
    m_quiet = Quiet{true, after, checks, ms, taken, {}};
    arm(kTimerQuietLine, ms, out);
    // A line that never falls quiet ends the download.
    if (!timerArmed(kTimerGiveUp))
        arm(kTimerGiveUp, linktime::kGiveUpMs, out);
}

void DownloadReception::onQuietLine(Actions& out)
{
    kill(kTimerQuietLine, out);
    m_quiet.active = false;
    // Only an exact second copy of a resent request's reply may have come meanwhile.
    const bool clean =
        m_quiet.heard.isEmpty() || (m_resent && m_quiet.heard == m_quiet.taken);
    if (m_quiet.checks && !clean) {
        doubt(out);
        return;
    }
    switch (m_quiet.after) {
    case AfterQuiet::Request:
        sendRequest(out);
        break;
    case AfterQuiet::Compare: {
        const auto first = m_data.begin() + m_offset;
        if (std::equal(m_quiet.taken.constBegin(), m_quiet.taken.constEnd(), first,
                       first + replyLength(),
                       [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }))
            end(Kind::Finish, 0, out);
        else
            doubt(out);
        break;
    }
    case AfterQuiet::Busy:
        end(Kind::Busy, 0, out);
        break;
    case AfterQuiet::NoData:
        end(Kind::NoData, m_header.valuesPerSample == 0 ? 0 : 1, out);
        break;
    }
}

void DownloadReception::end(Kind kind, int detail, Actions& out)
{
    for (int id = kFirstTimer; id <= kLastTimer; ++id)
        kill(id, out);
    m_stage = Stage::Ended;
    m_quiet.active = false;
    m_rx.clear();
    out.push_back({kind, 0, detail});
}
