#include "support/logger_model.h"

#include <algorithm>

namespace sim {

void appendBe16(QByteArray& out, std::int16_t value)
{
    const auto v = static_cast<std::uint16_t>(value);
    out.append(static_cast<char>(v >> 8));
    out.append(static_cast<char>(v & 0xFF));
}

namespace {

void appendBe24(QByteArray& out, std::uint32_t value)
{
    out.append(static_cast<char>((value >> 16) & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
    out.append(static_cast<char>(value & 0xFF));
}

void appendBcdTime(QByteArray& out, const wire::BcdTime& t)
{
    for (int v : {t.year - 2000, t.month, t.day, t.hour, t.minute, t.second})
        out.append(static_cast<char>(wire::bcdEncode(v)));
}

QByteArray transientRecordBytes(const ScenarioTransient& tr)
{
    QByteArray out;
    out.append(static_cast<char>(wire::kTransientMark0));
    out.append(static_cast<char>(wire::kTransientMark1));
    out.append(static_cast<char>(tr.quantity));
    out.append(static_cast<char>(tr.channel));
    appendBcdTime(out, tr.time);
    for (std::size_t i = 0; i < wire::kTransientSamples; ++i)
        appendBe16(out, i < tr.samples.size() ? tr.samples[i] : 0);
    return out;
}

} // namespace

LoggerScenario faultScenario()
{
    LoggerScenario s;
    for (int n = 0; n < 300; ++n) {
        s.rms.push_back(static_cast<std::int16_t>(2000 + n));
        s.rms.push_back(static_cast<std::int16_t>(-n));
    }
    ScenarioTransient tr;
    tr.beforeSample = 120;
    tr.time = {2009, 3, 7, 15, 0, 0};
    for (int i = 0; i < 251; ++i)
        tr.samples.push_back(static_cast<std::int16_t>(3 * i - 300));
    s.transients.push_back(tr);
    return s;
}

LoggerModel::LoggerModel() : m_memory(kMemorySize, 0xFF)
{
    setScenario(LoggerScenario{});
}

QByteArray LoggerModel::buildStream(const LoggerScenario& s)
{
    QByteArray stream;
    const int k = s.valuesPerSample == 0 ? 1 : s.valuesPerSample;
    const int samples = static_cast<int>(s.rms.size()) / k;
    auto addTransientsBefore = [&](int sample) {
        for (const ScenarioTransient& tr : s.transients)
            if (tr.beforeSample == sample)
                stream.append(transientRecordBytes(tr));
    };
    for (int n = 0; n < samples; ++n) {
        addTransientsBefore(n);
        for (int v = 0; v < k; ++v)
            appendBe16(stream, s.rms[static_cast<std::size_t>(n * k + v)]);
    }
    // Records placed at or after the end follow the last sample.
    for (const ScenarioTransient& tr : s.transients)
        if (tr.beforeSample >= samples)
            stream.append(transientRecordBytes(tr));
    return stream;
}

void LoggerModel::setScenario(const LoggerScenario& scenario)
{
    m_scenario = scenario;
    const QByteArray stream = buildStream(scenario);
    m_total = scenario.totalOverride.value_or(static_cast<std::uint32_t>(stream.size()));
    std::fill(m_memory.begin(), m_memory.end(), 0xFF);
    for (qsizetype i = 0; i < stream.size(); ++i)
        m_memory[(scenario.startAddress + static_cast<std::size_t>(i)) % kMemorySize] =
            static_cast<std::uint8_t>(stream[i]);
}

QByteArray LoggerModel::header() const
{
    const LoggerScenario& s = m_scenario;
    QByteArray h;
    h.append(static_cast<char>(LR_HEADER));
    h.append(static_cast<char>(s.valuesPerSample));
    h.append(static_cast<char>(s.ch1Type));
    h.append(static_cast<char>(s.ch2Type));
    appendBe24(h, noData ? 0 : m_total);
    appendBe24(h, s.startAddress);
    h.append(static_cast<char>(s.rateUnit));
    h.append(static_cast<char>(s.intervalValue));
    appendBe16(h, s.riseLevel);
    appendBe16(h, s.dropLevel);
    appendBcdTime(h, s.start);
    appendBe24(h, s.wrapA);
    appendBe24(h, s.wrapB);
    return h;
}

QByteArray LoggerModel::answer(const QByteArray& command) const
{
    const auto byte = [&](int i) { return static_cast<std::uint8_t>(command[i]); };
    switch (byte(0)) {
    case LC_DOWNLOAD:
        if (busy) {
            QByteArray reply(static_cast<qsizetype>(wire::kDownloadHeaderSize), '\0');
            reply[0] = static_cast<char>(LR_BUSY_LOGGING);
            return reply;
        }
        return header();
    case LC_BLOCK: {
        const std::size_t page = byte(1) * 256u + byte(2);
        const std::size_t address = page * 256u;
        std::size_t length = wire::kDataBlockSize;
        if (byte(3) == wire::kFillPartialBlock && m_total % wire::kDataBlockSize != 0)
            length = m_total % wire::kDataBlockSize;
        QByteArray block;
        block.reserve(static_cast<qsizetype>(length));
        for (std::size_t i = 0; i < length; ++i)
            block.append(static_cast<char>(m_memory[(address + i) % kMemorySize]));
        return block;
    }
    case LC_SETUP:
        return QByteArray(1, static_cast<char>(setupReply));
    case LC_CLOCK:
        return QByteArray(1, static_cast<char>(clockReply));
    default:
        return {};
    }
}

void FaultPlan::add(const LineFault& fault)
{
    m_faults.push_back({fault, m_replies[fault.request] + fault.nth});
}

std::vector<FaultPlan::Piece> FaultPlan::apply(std::uint8_t request, QByteArray bytes, qint64 now)
{
    const int n = m_replies[request]++;
    const int any = m_replies[0]++;
    qint64 due = now;
    QByteArray later;
    int laterMs = 0;
    for (const ArmedFault& armed : m_faults) {
        const LineFault& f = armed.fault;
        const int count = f.request == 0 ? any : (f.request == request ? n : -1);
        if (count != armed.first && !(f.every && count > armed.first))
            continue;
        const char value = f.value != 0 ? static_cast<char>(f.value) : kStrayByte;
        const QByteArray stray(f.bytes, value);
        switch (f.kind) {
        case LineFault::Kind::Late:
            due += f.delayMs;
            break;
        case LineFault::Kind::Twice:
            later = bytes;
            laterMs = f.delayMs;
            break;
        case LineFault::Kind::CutShort:
            bytes.truncate(f.bytes);
            break;
        case LineFault::Kind::Split:
            later = bytes.mid(f.bytes);
            laterMs = f.delayMs;
            bytes.truncate(f.bytes);
            break;
        case LineFault::Kind::StrayBefore:
            bytes.prepend(stray);
            break;
        case LineFault::Kind::StrayAfter:
            later = stray;
            laterMs = f.delayMs;
            break;
        case LineFault::Kind::Garble:
            if (f.bytes < bytes.size())
                bytes[f.bytes] = static_cast<char>(bytes[f.bytes] ^ value);
            break;
        }
    }
    std::vector<Piece> out{{due, bytes}};
    if (!later.isEmpty())
        out.push_back({due + laterMs, later});
    return out;
}

} // namespace sim
