// Fuzz target: the settings file. Any bytes are read as "529DATALOGGER.ini" the way
// the program starts (frame and view values), written back the way it closes, and
// read again:
//   - every value read back equals the value the program had before writing;
//   - every line that sets no key (comments, section headers, anything else) is
//     written back unchanged and in its order;
//   - the file written reads back to a profile that writes the same bytes again;
//   - a file larger than any settings file, or one that would grow past that size,
//     is never written (and the larger one is read as the defaults).
#include <QFile>

#include "display/frame_state.h"
#include "app/logger_settings.h"
#include "display/view_state.h"
#include "fuzz_support.h"
#include "platform/profile_file.h"

namespace {

QString g_path;

struct Settings {
    FrameState frame;
    ViewState view;
};

Settings read(const QString& path)
{
    Settings s;
    const ProfileFile ini(path);
    LoadFrameSettings(s.frame, ini);
    LoadViewSettings(s.view, ini);
    return s;
}

void checkSame(const Settings& a, const Settings& b)
{
    const FrameState& f = a.frame;
    const FrameState& g = b.frame;
    FUZZ_CHECK(f.m_strYear == g.m_strYear && f.m_strMonth == g.m_strMonth
               && f.m_strDay == g.m_strDay && f.m_strHour == g.m_strHour
               && f.m_strMinute == g.m_strMinute && f.m_strSecond == g.m_strSecond);
    FUZZ_CHECK(f.m_strSampRate == g.m_strSampRate && f.m_nSampUnit == g.m_nSampUnit);
    FUZZ_CHECK(f.m_nLimit1Unit == g.m_nLimit1Unit && f.m_nLimit2Unit == g.m_nLimit2Unit);
    FUZZ_CHECK(f.m_strRiseLevel == g.m_strRiseLevel && f.m_strDropLevel == g.m_strDropLevel);
    FUZZ_CHECK(f.m_nBgColor == g.m_nBgColor && f.m_nCh1Color == g.m_nCh1Color
               && f.m_nCh2Color == g.m_nCh2Color && f.m_nCh3Color == g.m_nCh3Color
               && f.m_nGridColor == g.m_nGridColor);
    FUZZ_CHECK(f.m_nAutoOff == g.m_nAutoOff && f.m_nMemFullMode == g.m_nMemFullMode);
    FUZZ_CHECK(f.m_nSampData == g.m_nSampData);
    FUZZ_CHECK(f.m_nYAxisLow == g.m_nYAxisLow && f.m_nYAxisHigh == g.m_nYAxisHigh);
    const ViewState& v = a.view;
    const ViewState& w = b.view;
    FUZZ_CHECK(v.m_bViewCh1 == w.m_bViewCh1 && v.m_bViewCh2 == w.m_bViewCh2
               && v.m_bViewCh3 == w.m_bViewCh3 && v.m_bViewCapLevel == w.m_bViewCapLevel
               && v.m_bViewCh2Alarm == w.m_bViewCh2Alarm && v.m_bViewCh3Alarm == w.m_bViewCh3Alarm
               && v.m_bMarkPoints == w.m_bMarkPoints && v.m_bViewYAxis == w.m_bViewYAxis
               && v.m_bViewXAxis == w.m_bViewXAxis);
    FUZZ_CHECK(v.m_nRtSampleRate == w.m_nRtSampleRate);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// The lines of a file without their line ends. A last line without one gets CR LF
// when keys follow it, so carriage returns at the end do not count.
QList<QByteArray> linesOf(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray& line : lines)
        while (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

bool setsKey(const QByteArray& line)
{
    const QByteArray content = line.trimmed();
    return content.contains('=') && !content.startsWith('[') && !content.startsWith(';');
}

void checkKeyless(const QByteArray& read, const QByteArray& written)
{
    const QList<QByteArray> out = linesOf(written);
    qsizetype at = 0;
    for (const QByteArray& line : linesOf(read)) {
        if (setsKey(line))
            continue;
        while (at < out.size() && out[at] != line)
            ++at;
        FUZZ_CHECK(at < out.size());
        ++at;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_path = fuzz::setUpProcess() + QStringLiteral("/529DATALOGGER.ini");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        QFile file(g_path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size))
                   == static_cast<qint64>(size));
    }
    const QByteArray input = fuzz::bytes(data, size);
    // Start: the values come from the file. Close: they go back into it.
    const Settings started = read(g_path);
    {
        ProfileFile ini(g_path);
        StoreSettings(started.frame, started.view, ini);
        const bool tooLarge = ini.toBytes().size() > ProfileFile::kMaxFileBytes;
        if (tooLarge || ini.readStatus() != ProfileFile::ReadStatus::Read) {
            FUZZ_CHECK(tooLarge || input.size() > ProfileFile::kMaxFileBytes);
            FUZZ_CHECK(!ini.save());
            FUZZ_CHECK(contents(g_path) == input);
            if (input.size() > ProfileFile::kMaxFileBytes)
                checkSame(started, read(QString())); // the defaults
            return 0;
        }
        FUZZ_CHECK(ini.save());
    }
    const QByteArray written = contents(g_path);
    checkKeyless(input, written);

    // The next start reads the same values, and its close writes the same file.
    const Settings restarted = read(g_path);
    checkSame(started, restarted);
    {
        ProfileFile ini(g_path);
        StoreSettings(restarted.frame, restarted.view, ini);
        FUZZ_CHECK(ini.save());
    }
    FUZZ_CHECK(contents(g_path) == written);
    return 0;
}
