#include "app/logger_settings.h"

#include "display/frame_state.h"
#include "display/view_state.h"
#include "platform/folders.h"
#include "platform/profile_file.h"
#include "resources/strings.h"

namespace {
const QString kTime = QStringLiteral("TIMEInfo");
const QString kSampRate = QStringLiteral("SAMPRATEINFO");
const QString kLimitUnit = QStringLiteral("LIMITUNITINFO");
const QString kAlarm = QStringLiteral("ALARMInfo");
const QString kColor = QStringLiteral("ColorInfo");
const QString kAutoOff = QStringLiteral("AUTOOFF Info");
const QString kRecMode = QStringLiteral("RECMODE Info");
const QString kRtSampData = QStringLiteral("RTSAMPDATAINFO");
const QString kRtSampRate = QStringLiteral("RTSAMPRATEINFO");
const QString kView = QStringLiteral("VIEWInfo");
const QString kYAxis = QStringLiteral("YAXISInfo");

QString lowKey(int kind, int channel)
{
    return QStringLiteral("YAXISLOW%1CH%2").arg(kind).arg(channel);
}
QString highKey(int kind, int channel)
{
    return QStringLiteral("YAXISHI%1CH%2").arg(kind).arg(channel);
}
QString viewKey(int n)
{
    return QStringLiteral("VIEW%1").arg(n);
}

// The nine display options of the view, in key order VIEW1..VIEW9.
std::array<std::uint8_t ViewState::*, 9> viewOptions()
{
    return {&ViewState::m_bViewCh1,      &ViewState::m_bViewCh2,      &ViewState::m_bViewCh3,
            &ViewState::m_bViewCapLevel, &ViewState::m_bViewCh2Alarm, &ViewState::m_bViewCh3Alarm,
            &ViewState::m_bMarkPoints,   &ViewState::m_bViewYAxis,    &ViewState::m_bViewXAxis};
}
constexpr std::array<int, 9> kViewDefaults = {1, 1, 1, 0, 0, 0, 0, 1, 1};
} // namespace

int settings::defaultYAxisLow(int kind)
{
    return kind <= 5 ? -500 : 0;
}

int settings::defaultYAxisHigh(int kind)
{
    if (kind <= 5)
        return 500;
    return kind == 6 ? 80 : 162500;
}

void LoadFrameSettings(FrameState& f, const ProfileFile& ini)
{
    f.m_strYear = ini.text(kTime, QStringLiteral("YEAR"), QStringLiteral("2008"));
    f.m_strMonth = ini.text(kTime, QStringLiteral("MONTH"), QStringLiteral("1"));
    f.m_strDay = ini.text(kTime, QStringLiteral("DAY"), QStringLiteral("1"));
    f.m_strHour = ini.text(kTime, QStringLiteral("HOUR"), QStringLiteral("0"));
    f.m_strMinute = ini.text(kTime, QStringLiteral("MINUTE"), QStringLiteral("0"));
    f.m_strSecond = ini.text(kTime, QStringLiteral("SECOND"), QStringLiteral("0"));
    f.m_strSampRate = ini.text(kSampRate, QStringLiteral("SAMPRATE"), QStringLiteral("10"));
    f.m_nSampUnit = ini.integer(kSampRate, QStringLiteral("SAMPUNIT"), 0);
    f.m_nLimit1Unit = ini.integer(kLimitUnit, QStringLiteral("LIMIT1UNIT"), 1);
    f.m_nLimit2Unit = ini.integer(kLimitUnit, QStringLiteral("LIMIT2UNIT"), 1);
    f.m_strRiseLevel = ini.text(kAlarm, QStringLiteral("TEMPHI"), QStringLiteral("500"));
    f.m_strDropLevel = ini.text(kAlarm, QStringLiteral("TEMPLOW"), QStringLiteral("100"));
    f.m_nBgColor = ini.byte(kColor, QStringLiteral("BGColor"), 13);
    f.m_nCh1Color = ini.byte(kColor, QStringLiteral("TColor"), 0);
    f.m_nCh2Color = ini.byte(kColor, QStringLiteral("T2Color"), 1);
    f.m_nCh3Color = ini.byte(kColor, QStringLiteral("T3Color"), 3);
    f.m_nGridColor = ini.byte(kColor, QStringLiteral("GRIDColor"), 2);
    f.m_nAutoOff = ini.byte(kAutoOff, QStringLiteral("AUTOOFF"), 0);
    f.m_nMemFullMode = ini.byte(kRecMode, QStringLiteral("RECMODE"), 0);
    f.m_nSampData = ini.integer(kRtSampData, QStringLiteral("SAMPDATA"), 3600);
    for (int kind = 1; kind <= 9; ++kind) {
        for (int ch = 1; ch <= 2; ++ch) {
            f.m_nYAxisLow[kind][ch] =
                ini.integer(kYAxis, lowKey(kind, ch), settings::defaultYAxisLow(kind));
            f.m_nYAxisHigh[kind][ch] =
                ini.integer(kYAxis, highKey(kind, ch), settings::defaultYAxisHigh(kind));
        }
    }
}

QString settingsFilePath()
{
    const QString folder = windowsFolder();
    // Without a folder there is no settings file: the program runs on the defaults.
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + texts::kSettingsFile;
}

void LoadViewSettings(ViewState& view, const ProfileFile& ini)
{
    const auto options = viewOptions();
    for (int n = 1; n <= 9; ++n)
        view.*options[n - 1] = ini.byte(kView, viewKey(n), kViewDefaults[n - 1]);
    view.m_nRtSampleRate = ini.integer(kRtSampRate, QStringLiteral("RTSAMPRATE"), 2);
}

void StoreSettings(const FrameState& f, const ViewState& view, ProfileFile& ini)
{
    ini.setValue(kTime, QStringLiteral("YEAR"), f.m_strYear);
    ini.setValue(kTime, QStringLiteral("MONTH"), f.m_strMonth);
    ini.setValue(kTime, QStringLiteral("DAY"), f.m_strDay);
    ini.setValue(kTime, QStringLiteral("HOUR"), f.m_strHour);
    ini.setValue(kTime, QStringLiteral("MINUTE"), f.m_strMinute);
    ini.setValue(kTime, QStringLiteral("SECOND"), f.m_strSecond);
    ini.setValue(kSampRate, QStringLiteral("SAMPRATE"), f.m_strSampRate);
    ini.setInteger(kSampRate, QStringLiteral("SAMPUNIT"), f.m_nSampUnit);
    ini.setInteger(kLimitUnit, QStringLiteral("LIMIT1UNIT"), f.m_nLimit1Unit);
    ini.setInteger(kLimitUnit, QStringLiteral("LIMIT2UNIT"), f.m_nLimit2Unit);
    ini.setValue(kAlarm, QStringLiteral("TEMPHI"), f.m_strRiseLevel);
    ini.setValue(kAlarm, QStringLiteral("TEMPLOW"), f.m_strDropLevel);
    const auto options = viewOptions();
    for (int n = 1; n <= 9; ++n)
        ini.setInteger(kView, viewKey(n), view.*options[n - 1]);
    for (int kind = 1; kind <= 9; ++kind) {
        for (int ch = 1; ch <= 2; ++ch) {
            ini.setInteger(kYAxis, lowKey(kind, ch), f.m_nYAxisLow[kind][ch]);
            ini.setInteger(kYAxis, highKey(kind, ch), f.m_nYAxisHigh[kind][ch]);
        }
    }
    ini.setInteger(kColor, QStringLiteral("BGColor"), f.m_nBgColor);
    ini.setInteger(kColor, QStringLiteral("TColor"), f.m_nCh1Color);
    ini.setInteger(kColor, QStringLiteral("T2Color"), f.m_nCh2Color);
    ini.setInteger(kColor, QStringLiteral("T3Color"), f.m_nCh3Color);
    ini.setInteger(kColor, QStringLiteral("GRIDColor"), f.m_nGridColor);
    ini.setInteger(kAutoOff, QStringLiteral("AUTOOFF"), f.m_nAutoOff);
    ini.setInteger(kRecMode, QStringLiteral("RECMODE"), f.m_nMemFullMode);
    ini.setInteger(kRtSampRate, QStringLiteral("RTSAMPRATE"), view.m_nRtSampleRate);
    ini.setInteger(kRtSampData, QStringLiteral("SAMPDATA"), f.m_nSampData);
}
