// The settings file: defaults, value forms, the text written at close, and values that
// survive a restart.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/cdtapp.h"
#include "app/logger_settings.h"
#include "frame_fixture.h"
#include "platform/profile_file.h"
#include "platform/whole_file.h"

using namespace frametest;

namespace {
QString iniPath()
{
    return CMainFrame::settingsPath();
}

void writeIni(const QByteArray& text)
{
    QFile f(iniPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QByteArray readIni()
{
    QFile f(iniPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The file a first close writes: every key with its default, sections in the order of
// the close, CR LF line ends.
QByteArray defaultIniText()
{
    QByteArray t =
        "[TIMEInfo]\r\nYEAR=2008\r\nMONTH=1\r\nDAY=1\r\nHOUR=0\r\nMINUTE=0\r\nSECOND=0\r\n"
        "[SAMPRATEINFO]\r\nSAMPRATE=10\r\nSAMPUNIT=0\r\n"
        "[LIMITUNITINFO]\r\nLIMIT1UNIT=1\r\nLIMIT2UNIT=1\r\n"
        "[ALARMInfo]\r\nTEMPHI=500\r\nTEMPLOW=100\r\n"
        "[VIEWInfo]\r\nVIEW1=1\r\nVIEW2=1\r\nVIEW3=1\r\nVIEW4=0\r\nVIEW5=0\r\nVIEW6=0\r\n"
        "VIEW7=0\r\nVIEW8=1\r\nVIEW9=1\r\n"
        "[YAXISInfo]\r\n";
    const char* limits[9][2] = {{"-500", "500"}, {"-500", "500"}, {"-500", "500"},
                                {"-500", "500"}, {"-500", "500"}, {"0", "80"},
                                {"0", "162500"}, {"0", "162500"}, {"0", "162500"}};
    for (int k = 1; k <= 9; ++k) {
        for (int c = 1; c <= 2; ++c) {
            t += "YAXISLOW" + QByteArray::number(k) + "CH" + QByteArray::number(c) + "="
                 + limits[k - 1][0] + "\r\n";
            t += "YAXISHI" + QByteArray::number(k) + "CH" + QByteArray::number(c) + "="
                 + limits[k - 1][1] + "\r\n";
        }
    }
    t += "[ColorInfo]\r\nBGColor=13\r\nTColor=0\r\nT2Color=1\r\nT3Color=3\r\nGRIDColor=2\r\n"
         "[AUTOOFF Info]\r\nAUTOOFF=0\r\n"
         "[RECMODE Info]\r\nRECMODE=0\r\n"
         "[RTSAMPRATEINFO]\r\nRTSAMPRATE=2\r\n"
         "[RTSAMPDATAINFO]\r\nSAMPDATA=3600\r\n";
    return t;
}
} // namespace

TEST(LoggerSettings, first_start_shows_defaults_and_close_writes_every_key)
{
    testenv::resetHome();
    ASSERT_FALSE(QFileInfo::exists(iniPath()));
    Frame f;
    EXPECT_EQ(f.frame->m_nBgColor, 13);
    EXPECT_EQ(f.frame->m_nCh1Color, 0);
    EXPECT_EQ(f.frame->m_nCh2Color, 1);
    EXPECT_EQ(f.frame->m_nGridColor, 2);
    EXPECT_EQ(f.frame->m_nYAxisLow[1][1], -500);
    EXPECT_EQ(f.frame->m_nYAxisHigh[4][2], 500);
    EXPECT_EQ(f.frame->m_nYAxisHigh[7][2], 162500);
    EXPECT_EQ(f.frame->m_nSampData, 3600);
    EXPECT_EQ(f.view().m_nRtSampleRate, 2);
    EXPECT_EQ(f.frame->m_strYear, QStringLiteral("2008"));
    EXPECT_FALSE(QFileInfo::exists(iniPath())) << "nothing is written before the close";

    ASSERT_TRUE(f.closeAndWait());
    const QByteArray text = readIni();
    EXPECT_TRUE(text.contains("YAXISLOW1CH1=-500\r\n"));
    EXPECT_EQ(text, defaultIniText());
}

TEST(LoggerSettings, value_forms_bytes_wrap_texts_stay_and_missing_keys_default)
{
    testenv::resetHome();
    writeIni("[ColorInfo]\r\nBGColor=269\r\nTColor=-1\r\n"
             "[SAMPRATEINFO]\r\nSAMPRATE=abc\r\nSAMPUNIT=2x\r\n"
             "[YAXISInfo]\r\nYAXISLOW1CH1=-20\r\nYAXISHI6CH2=95\r\nYAXISLOW7CH1=junk\r\n"
             "[RTSAMPDATAINFO]\r\nSAMPDATA=\r\n");
    FrameState frame;
    LoadFrameSettings(frame, ProfileFile(iniPath()));
    EXPECT_EQ(frame.m_nBgColor, 13);   // 269 & 0xFF
    EXPECT_EQ(frame.m_nCh1Color, 255); // -1 held in 8 bits
    EXPECT_EQ(frame.m_strSampRate, QStringLiteral("abc"));
    EXPECT_EQ(frame.m_nSampUnit, 2);
    EXPECT_EQ(frame.m_nYAxisLow[1][1], -20);
    EXPECT_EQ(frame.m_nYAxisLow[6][1], 0); // kind 6, channel 1 missing
    EXPECT_EQ(frame.m_nYAxisHigh[6][1], 80);
    EXPECT_EQ(frame.m_nYAxisHigh[6][2], 95);
    EXPECT_EQ(frame.m_nYAxisLow[7][1], 0); // not a number
    EXPECT_EQ(frame.m_nSampData, 0);       // present but empty
    EXPECT_EQ(frame.m_nCh2Color, 1);       // missing

    // The text key is written back as it was read; the byte as the number held.
    Frame f;
    ASSERT_TRUE(f.closeAndWait());
    const QByteArray text = readIni();
    EXPECT_TRUE(text.contains("SAMPRATE=abc\r\n"));
    EXPECT_TRUE(text.contains("BGColor=13\r\n"));
    EXPECT_TRUE(text.contains("YAXISLOW6CH1=0\r\nYAXISHI6CH1=80\r\n"));
}

TEST(LoggerSettings, logger_choices_and_view_options_survive_a_restart)
{
    testenv::resetHome();
    {
        Frame f;
        f.frame->m_nMemFullMode = 3;
        f.frame->m_nAutoOff = 2;
        f.frame->m_strSampRate = QStringLiteral("30");
        f.frame->m_nSampUnit = 1;
        f.frame->m_nYAxisHigh[9][2] = 777;
        f.view().m_bMarkPoints = 1;
        f.view().m_bViewCh2 = 0;
        f.view().m_nRtSampleRate = 60;
        ASSERT_TRUE(f.closeAndWait());
    }
    Frame again;
    EXPECT_EQ(again.frame->m_nMemFullMode, 3);
    EXPECT_EQ(again.frame->m_nAutoOff, 2);
    EXPECT_EQ(again.frame->m_strSampRate, QStringLiteral("30"));
    EXPECT_EQ(again.frame->m_nSampUnit, 1);
    EXPECT_EQ(again.frame->m_nYAxisHigh[9][2], 777);
    EXPECT_EQ(again.view().m_bMarkPoints, 1);
    EXPECT_EQ(again.view().m_bViewCh2, 0);
    EXPECT_EQ(again.view().m_nRtSampleRate, 60);
}

TEST(LoggerSettings, lines_of_other_programs_and_value_bytes_are_kept)
{
    testenv::resetHome();
    const QByteArray head("; hand-written\r\n\r\n[Extra]\r\nKeep=me\r\n[colorinfo]\r\n"
                          "bgcolor = 4\n; note\r\nOther=\xFF\xFE\r\n");
    const QByteArray rate("[SAMPRATEINFO]\r\nSAMPRATE=1\xE9\r\n");
    writeIni(head + rate);
    Frame f;
    EXPECT_EQ(f.frame->m_nBgColor, 4); // sections and keys match without regard to case
    EXPECT_EQ(f.frame->m_strSampRate, QString::fromLatin1("1\xE9"));
    ASSERT_TRUE(f.closeAndWait());
    const QByteArray text = readIni();
    EXPECT_TRUE(text.startsWith(head)) << text.left(120).toStdString();
    EXPECT_TRUE(text.contains(rate));
}

TEST(LoggerSettings, a_byte_order_mark_hides_no_section)
{
    testenv::resetHome();
    const QByteArray text("\xEF\xBB\xBF[ColorInfo]\r\nBGColor=4\r\n");
    writeIni(text);
    Frame f;
    EXPECT_EQ(f.frame->m_nBgColor, 4);
    ASSERT_TRUE(f.closeAndWait());
    const QByteArray written = readIni();
    EXPECT_TRUE(written.startsWith(text)) << written.left(60).toStdString();
    EXPECT_EQ(written.count("[ColorInfo]"), 1);
}

TEST(LoggerSettings, failed_write_keeps_the_previous_file_whole)
{
    testenv::resetHome();
    writeIni("[ColorInfo]\r\nBGColor=5\r\n");
    const QByteArray before = readIni();
    Frame f;
    f.frame->m_nBgColor = 9;
    bool written = true;
    testenv::withFileSizeLimit(64, [&] { written = f.frame->WriteSettings(); });
    EXPECT_FALSE(written);
    EXPECT_EQ(readIni(), before);
}

namespace {
// What a path holds, links followed one by one: the user's thing, compared before and
// after a run.
std::string describe(const QString& path)
{
    const QFileInfo info(path);
    QFile file(path);
    if (info.isSymLink())
        return "link to " + describe(info.symLinkTarget());
    if (!info.exists() || !info.isFile())
        return !info.exists() ? "nothing" : info.isDir() ? "folder" : "pipe";
    return file.open(QIODevice::ReadOnly) ? "file #" + std::to_string(qHash(file.readAll()))
                                          : "unreadable file";
}
} // namespace

TEST(LoggerSettings, hostile_settings_paths_run_on_defaults_and_are_left_alone)
{
    // Holds a value of each file the rows put in place: the settings file's colour and
    // the recent-file list's newest document, with a comment line either keeps.
    const QByteArray mine("; the user's note\r\n[ColorInfo]\r\nBGColor=4\r\n"
                          "[Recent File List]\r\nFile1=/data/mine.stdata\r\n");
    auto file = [](const QString& path, const QByteArray& bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    auto pipe = [](const QString& path) {
        return mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    };
    struct Row {
        const char* name;
        std::function<bool(const QString& path, const QString& other)> make;
        bool read = false;       // its values are read, and written back
        bool putBack = false;    // the user puts the file back while the program runs
        bool recentList = false; // the recent-file list's file, not the settings file
    };
    const Row rows[] = {
        {"a pipe", [&](const QString& ini, const QString&) { return pipe(ini); }},
        {"a link to a pipe",
         [&](const QString& ini, const QString& o) { return pipe(o) && QFile::link(o, ini); }},
        {"a folder", [](const QString& ini, const QString&) { return QDir().mkpath(ini); }},
        {"a link leading nowhere",
         [](const QString& ini, const QString& o) { return QFile::link(o, ini); }},
        {"larger than any settings file",
         [&](const QString& ini, const QString&) {
             return file(ini, mine + QByteArray(ProfileFile::kMaxFileBytes, '\n'));
         }},
        {"a folder at start-up, the user's file by the close",
         [](const QString& ini, const QString&) { return QDir().mkpath(ini); }, false, true},
        {"a link to a regular file",
         [&](const QString& ini, const QString& o) { return file(o, mine) && QFile::link(o, ini); },
         true},
        {"recent files: a pipe", [&](const QString& p, const QString&) { return pipe(p); }, false,
         false, true},
        {"recent files: a link to a pipe",
         [&](const QString& p, const QString& o) { return pipe(o) && QFile::link(o, p); }, false,
         false, true},
        {"recent files: a folder",
         [](const QString& p, const QString&) { return QDir().mkpath(p); }, false, false, true},
        {"recent files: larger than any settings file",
         [&](const QString& p, const QString&) {
             return file(p, mine + QByteArray(ProfileFile::kMaxFileBytes, '\n'));
         },
         false, false, true},
        {"recent files: a regular file",
         [&](const QString& p, const QString&) { return file(p, mine); }, true, false, true},
        {"recent files: a link to a regular file",
         [&](const QString& p, const QString& o) { return file(o, mine) && QFile::link(o, p); },
         true, false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString other = testenv::resetHome() + QStringLiteral("/other");
        const QString path = row.recentList ? RecentFileList::path() : iniPath();
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        ASSERT_TRUE(row.make(path, other));
        Frame f;
        RecentFileList recent;
        recent.ReadList();
        EXPECT_EQ(f.frame->m_nBgColor, row.read && !row.recentList ? 4 : 13);
        EXPECT_EQ(recent.files(), row.read && row.recentList
                                      ? QStringList{QStringLiteral("/data/mine.stdata")}
                                      : QStringList());
        f.frame->m_nBgColor = 9;
        if (row.putBack) {
            ASSERT_TRUE(QDir().rmdir(path) && file(path, mine));
        }
        const std::string before = describe(path);
        recent.Add(QStringLiteral("/data/new.stdata"));
        ASSERT_TRUE(f.closeAndWait());
        EXPECT_EQ(describe(path) == before, !row.read);
        if (row.read) {
            EXPECT_EQ(QFileInfo(path).isSymLink(), QFileInfo(other).exists());
            const QByteArray text = readWholeFile(path).value_or(QByteArray());
            EXPECT_TRUE(text.startsWith("; the user's note\r\n")) << text.toStdString();
            EXPECT_TRUE(
                text.contains(row.recentList ? "File1=/data/new.stdata\r\n" : "BGColor=9\r\n"))
                << text.toStdString();
        }
    }
    // Any name a document can have comes back from the list's file as it was; a '%'
    // written by hand without two hex digits after it is part of the name.
    const struct {
        QByteArray line; // File1's value as the file holds it; empty: as the list writes it
        QString name;
    } names[] = {{"", QStringLiteral("/data/100% r\u00e9sum\u00e9\nline two.stdata ")},
                 {"/tmp/%G1x.stdata", "/tmp/%G1x.stdata"},
                 {"100% b.stdata", "100% b.stdata"},
                 {"%%%", "%%%"},
                 {"/a%2", "/a%2"},
                 {"%2541%4", "%41%4"}};
    for (const auto& row : names) {
        if (row.line.isEmpty())
            RecentFileList().Add(row.name);
        else
            ASSERT_TRUE(file(RecentFileList::path(), "[Recent File List]\r\nFile1=" + row.line));
        RecentFileList reread; // read, written back with the next document, read again
        reread.ReadList();
        reread.Add(QStringLiteral("/data/next.stdata"));
        reread.ReadList();
        EXPECT_EQ(reread.files().value(1), row.name) << row.line.toStdString();
    }
}
