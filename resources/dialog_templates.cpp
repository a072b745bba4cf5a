#include "resources/dialog_templates.h"

#include <map>

using namespace ctrl;

namespace {

ControlTemplate control(int id, ControlKind kind, const QString& text, QRect rect)
{
    ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.text = text;
    c.rect = rect;
    return c;
}

ControlTemplate bitmapButton(int id, const QString& text, QRect rect, int bitmap)
{
    ControlTemplate c = control(id, ControlKind::BitmapButton, text, rect);
    c.bitmap = bitmap;
    c.defaultButton = id == IDOK;
    return c;
}

ControlTemplate groupBox(int id, const QString& text, QRect rect)
{
    ControlTemplate c = control(id, ControlKind::GroupBox, text, rect);
    c.tabStop = false;
    return c;
}

ControlTemplate label(int id, const QString& text, QRect rect, bool centred = false)
{
    ControlTemplate c = control(id, ControlKind::Static, text, rect);
    c.centred = centred;
    c.tabStop = false;
    return c;
}

ControlTemplate radio(int id, const QString& text, QRect rect, bool groupStart)
{
    ControlTemplate c = control(id, ControlKind::RadioButton, text, rect);
    c.groupStart = groupStart;
    return c;
}

ControlTemplate upDown(int id, int buddy, QRect rect)
{
    ControlTemplate c = control(id, ControlKind::UpDown, QString(), rect);
    c.buddy = buddy;
    c.tabStop = false;
    return c;
}

ControlTemplate dropList(int id, QRect rect, const QStringList& items, bool sorted)
{
    ControlTemplate c = control(id, ControlKind::DropList, QString(), rect);
    c.items = items;
    c.sorted = sorted;
    return c;
}

// Created without the visible style and disabled.
ControlTemplate hidden(ControlTemplate c)
{
    c.visible = false;
    c.enabled = false;
    return c;
}

// Download dialog: the prompt line above the two bitmap buttons.
DialogTemplate downloadTemplate()
{
    DialogTemplate t;
    t.id = IDD_DOWNLOAD;
    t.caption = QStringLiteral("Connecting...");
    t.size = QSize(167, 54);
    t.fontFamily = QStringLiteral("Arial");
    t.fontPoints = 10;
    t.systemMenu = false;
    t.controls = {
        bitmapButton(IDOK, QStringLiteral("Download"), QRect(13, 30, 67, 16), IDB_DOWNLOAD),
        bitmapButton(IDCANCEL, QStringLiteral("Cancel"), QRect(86, 30, 67, 16),
                     IDB_CANCEL_DOWNLOAD),
        label(IDC_DOWNLOAD_PROMPT, QString(), QRect(11, 4, 126, 21)),
        hidden(control(IDC_REAL_TIME, ControlKind::PushButton, QStringLiteral("REAL TIME"),
                       QRect(58, 31, 47, 16))),
    };
    return t;
}

// Logger set-up: rate with its unit, auto power off, memory-full mode, the prompt line
// and the three buttons; the two detection levels are carried in hidden controls.
DialogTemplate loggerSetupTemplate()
{
    DialogTemplate t;
    t.id = IDD_LOGGER_SETUP;
    t.caption = QStringLiteral("Connecting...");
    t.size = QSize(225, 165);
    t.fontFamily = QStringLiteral("Arial");
    t.fontPoints = 9;
    t.systemMenu = true;
    t.controls = {
        groupBox(IDC_RATE_GROUP, QStringLiteral("RMS Sampling Rate Setup"), QRect(7, 4, 211, 34)),
        control(IDC_RATE, ControlKind::NumEdit, QString(), QRect(20, 17, 44, 13)),
        upDown(IDC_RATE_SPIN, IDC_RATE, QRect(64, 17, 10, 13)),
        dropList(IDC_RATE_UNIT, QRect(86, 17, 64, 60),
                 {QStringLiteral("Second"), QStringLiteral("Minute"), QStringLiteral("Hour")},
                 false),
        groupBox(IDC_AUTO_OFF_GROUP, QStringLiteral("Auto Power Off"), QRect(7, 42, 211, 34)),
        radio(IDC_AUTO_OFF_ON, QStringLiteral("ON"), QRect(42, 57, 40, 10), true),
        radio(IDC_AUTO_OFF_OFF, QStringLiteral("OFF"), QRect(104, 57, 40, 10), false),
        [] {
            ControlTemplate c =
                control(IDC_STATIC, ControlKind::BitmapStatic, QString(), QRect(20, 52, 16, 20));
            c.bitmap = IDB_CLOCK;
            c.tabStop = false;
            return c;
        }(),
        groupBox(IDC_MEM_FULL_GROUP, QStringLiteral("When memory is full:"), QRect(7, 80, 211, 34)),
        radio(IDC_MEM_FULL_OVERWRITE, QStringLiteral("Continue&&Overwrite oldest point"),
              QRect(20, 95, 130, 10), true),
        radio(IDC_MEM_FULL_STOP, QStringLiteral("Stop"), QRect(160, 95, 50, 10), false),
        label(IDC_PROMPT, QString(), QRect(7, 118, 211, 12)),
        bitmapButton(IDC_DEFAULT, QStringLiteral("Default"), QRect(7, 136, 67, 20), IDB_DEFAULT),
        bitmapButton(IDOK, QStringLiteral("Setup"), QRect(79, 136, 67, 20), IDB_SETUP),
        bitmapButton(IDCANCEL, QStringLiteral("Cancel"), QRect(151, 136, 67, 20), IDB_CANCEL_SETUP),
        hidden(groupBox(IDC_RISE_GROUP, QStringLiteral("Sudden Rise Detection Level Setup"),
                        QRect(7, 118, 105, 30))),
        hidden(control(IDC_RISE_LEVEL, ControlKind::NumEdit, QString(), QRect(14, 130, 40, 13))),
        hidden(upDown(IDC_RISE_SPIN, IDC_RISE_LEVEL, QRect(54, 130, 10, 13))),
        hidden(dropList(IDC_RISE_UNIT, QRect(70, 130, 36, 40),
                        {QStringLiteral("V"), QStringLiteral("A")}, true)),
        hidden(groupBox(IDC_DROP_GROUP, QStringLiteral("Sudden Drop Detection Level Setup"),
                        QRect(113, 118, 105, 30))),
        hidden(control(IDC_DROP_LEVEL, ControlKind::NumEdit, QString(), QRect(120, 130, 40, 13))),
        hidden(upDown(IDC_DROP_SPIN, IDC_DROP_LEVEL, QRect(160, 130, 10, 13))),
        hidden(dropList(IDC_DROP_UNIT, QRect(176, 130, 36, 40),
                        {QStringLiteral("V"), QStringLiteral("A")}, true)),
    };
    return t;
}

// Clock: the PC's date and time in six read-only fields, the prompt line, OK and Cancel.
DialogTemplate correctTimeTemplate()
{
    auto field = [](int id, QRect rect) {
        ControlTemplate c = control(id, ControlKind::NumEdit, QString(), rect);
        c.readOnly = true;
        c.centred = true;
        c.tabStop = false;
        return c;
    };
    DialogTemplate t;
    t.id = IDD_CORRECT_TIME;
    t.caption = QStringLiteral("Connecting...");
    t.size = QSize(139, 130);
    t.fontFamily = QStringLiteral("Arial");
    t.fontPoints = 10;
    t.systemMenu = true;
    t.controls = {
        groupBox(IDC_STATIC, QStringLiteral("Current Time"), QRect(7, 4, 125, 74)),
        field(IDC_YEAR, QRect(16, 18, 36, 13)),
        field(IDC_MONTH, QRect(59, 18, 28, 13)),
        field(IDC_DAY, QRect(95, 18, 28, 13)),
        label(IDC_STATIC, QStringLiteral("Year"), QRect(16, 33, 36, 9), true),
        label(IDC_STATIC, QStringLiteral("Month"), QRect(55, 33, 36, 9), true),
        label(IDC_STATIC, QStringLiteral("Day"), QRect(91, 33, 36, 9), true),
        field(IDC_HOUR, QRect(20, 48, 28, 13)),
        label(IDC_STATIC, QStringLiteral("   :"), QRect(46, 50, 12, 9)),
        field(IDC_MINUTE, QRect(59, 48, 28, 13)),
        label(IDC_STATIC, QStringLiteral("  :"), QRect(87, 50, 8, 9)),
        field(IDC_SECOND, QRect(95, 48, 28, 13)),
        label(IDC_STATIC, QStringLiteral("hour"), QRect(16, 63, 36, 9), true),
        label(IDC_STATIC, QStringLiteral("Minute"), QRect(55, 63, 36, 9), true),
        label(IDC_STATIC, QStringLiteral("Second"), QRect(91, 63, 36, 9), true),
        label(IDC_PROMPT, QString(), QRect(7, 82, 125, 18)),
        bitmapButton(IDOK, QStringLiteral("OK"), QRect(7, 102, 60, 22), IDB_OK),
        bitmapButton(IDCANCEL, QStringLiteral("Cancel"), QRect(72, 102, 60, 22), IDB_CANCEL_CLOCK),
        hidden(upDown(IDC_YEAR_SPIN, IDC_YEAR, QRect(52, 18, 6, 13))),
        hidden(upDown(IDC_MONTH_SPIN, IDC_MONTH, QRect(87, 18, 6, 13))),
        hidden(upDown(IDC_DAY_SPIN, IDC_DAY, QRect(123, 18, 6, 13))),
        hidden(upDown(IDC_HOUR_SPIN, IDC_HOUR, QRect(48, 48, 6, 13))),
        hidden(upDown(IDC_MINUTE_SPIN, IDC_MINUTE, QRect(87, 48, 6, 13))),
        hidden(upDown(IDC_SECOND_SPIN, IDC_SECOND, QRect(123, 48, 6, 13))),
    };
    return t;
}

// Axis Setup: the value range of both channels and the scale choice; the point fields
// of the x axis are kept but hidden.
DialogTemplate axisSetupTemplate()
{
    DialogTemplate t;
    t.id = IDD_AXIS_SETUP;
    t.caption = QStringLiteral("Axis Setup");
    t.size = QSize(219, 171);
    t.fontFamily = QStringLiteral("Arial");
    t.fontPoints = 11;
    t.systemMenu = true;
    t.controls = {
        groupBox(IDC_AXIS_Y_GROUP, QStringLiteral("Vertical Axis Setup"), QRect(7, 4, 205, 124)),
        radio(IDC_AXIS_AUTO_SCALE, QStringLiteral("Auto Scale"), QRect(16, 20, 56, 10), true),
        label(IDC_STATIC, QStringLiteral("(Automatically scale the plot to show all data)"),
              QRect(28, 31, 180, 9)),
        radio(IDC_AXIS_FULL_SCALE, QStringLiteral("Full Scale"), QRect(16, 44, 56, 10), false),
        label(IDC_STATIC, QStringLiteral("(Scale the plot to max and min limits.)"),
              QRect(28, 55, 180, 9)),
        label(IDC_STATIC, QStringLiteral("Minimum Value"), QRect(48, 72, 70, 9), true),
        label(IDC_STATIC, QStringLiteral("Maximum Value"), QRect(128, 72, 70, 9), true),
        label(IDC_STATIC, QStringLiteral("CH1"), QRect(16, 88, 26, 9)),
        control(IDC_AXIS_CH1_MIN, ControlKind::NumEdit, QString(), QRect(48, 86, 60, 13)),
        upDown(IDC_AXIS_CH1_MIN_SPIN, IDC_AXIS_CH1_MIN, QRect(108, 86, 10, 13)),
        control(IDC_AXIS_CH1_MAX, ControlKind::NumEdit, QString(), QRect(128, 86, 60, 13)),
        upDown(IDC_AXIS_CH1_MAX_SPIN, IDC_AXIS_CH1_MAX, QRect(188, 86, 10, 13)),
        label(IDC_STATIC, QStringLiteral("CH2"), QRect(16, 108, 26, 9)),
        control(IDC_AXIS_CH2_MIN, ControlKind::NumEdit, QString(), QRect(48, 106, 60, 13)),
        upDown(IDC_AXIS_CH2_MIN_SPIN, IDC_AXIS_CH2_MIN, QRect(108, 106, 10, 13)),
        control(IDC_AXIS_CH2_MAX, ControlKind::NumEdit, QString(), QRect(128, 106, 60, 13)),
        upDown(IDC_AXIS_CH2_MAX_SPIN, IDC_AXIS_CH2_MAX, QRect(188, 106, 10, 13)),
        hidden(groupBox(IDC_AXIS_X_GROUP, QStringLiteral("X Axis Setup"), QRect(7, 100, 205, 30))),
        hidden(control(IDC_AXIS_X_FROM, ControlKind::NumEdit, QString(), QRect(48, 112, 60, 13))),
        hidden(upDown(IDC_AXIS_X_FROM_SPIN, IDC_AXIS_X_FROM, QRect(108, 112, 10, 13))),
        hidden(control(IDC_AXIS_X_TO, ControlKind::NumEdit, QString(), QRect(128, 112, 60, 13))),
        hidden(upDown(IDC_AXIS_X_TO_SPIN, IDC_AXIS_X_TO, QRect(188, 112, 10, 13))),
        bitmapButton(IDOK, QStringLiteral("OK"), QRect(36, 138, 66, 24), IDB_OK),
        bitmapButton(IDCANCEL, QStringLiteral("Cancel"), QRect(117, 138, 66, 24), IDB_CANCEL_CLOCK),
    };
    return t;
}

// View: one check box per display option; the plot-mode choice is kept but hidden.
DialogTemplate viewOptionsTemplate()
{
    auto check = [](int id, const QString& text, QRect rect) {
        return control(id, ControlKind::CheckBox, text, rect);
    };
    DialogTemplate t;
    t.id = IDD_VIEW_OPTIONS;
    t.caption = QStringLiteral("View ");
    t.size = QSize(110, 108);
    t.fontFamily = QStringLiteral("Tahoma");
    t.fontPoints = 11;
    t.systemMenu = true;
    t.controls = {
        groupBox(IDC_STATIC, QString(), QRect(7, 2, 96, 74)),
        check(IDC_VIEW_CH1, QStringLiteral("CH1"), QRect(16, 10, 60, 10)),
        check(IDC_VIEW_CH2, QStringLiteral("CH2"), QRect(16, 23, 60, 10)),
        hidden(check(IDC_VIEW_CH3, QStringLiteral("CH3"), QRect(60, 10, 40, 10))),
        hidden(check(IDC_VIEW_CAP_LEVEL, QStringLiteral("CAP Detection level"),
                     QRect(16, 36, 84, 10))),
        hidden(check(IDC_VIEW_CH2_ALARM, QStringLiteral("CH2 Alarm"), QRect(60, 23, 40, 10))),
        hidden(check(IDC_VIEW_CH3_ALARM, QStringLiteral("CH3 Alarm"), QRect(60, 36, 40, 10))),
        check(IDC_VIEW_MARK_POINTS, QStringLiteral("Mark Points"), QRect(16, 36, 80, 10)),
        check(IDC_VIEW_Y_AXIS, QStringLiteral("Y Axis"), QRect(16, 49, 80, 10)),
        check(IDC_VIEW_X_AXIS, QStringLiteral("X Axis"), QRect(16, 62, 80, 10)),
        hidden(groupBox(IDC_STATIC, QStringLiteral("PLOT GRAPH"), QRect(7, 2, 96, 74))),
        hidden(radio(IDC_VIEW_MODE0, QString(), QRect(16, 14, 10, 10), true)),
        hidden(radio(IDC_VIEW_MODE1, QString(), QRect(16, 44, 10, 10), false)),
        [] {
            ControlTemplate c = hidden(
                control(IDC_STATIC, ControlKind::BitmapStatic, QString(), QRect(30, 10, 60, 20)));
            c.bitmap = IDB_PLOT_LINES;
            c.tabStop = false;
            return c;
        }(),
        [] {
            ControlTemplate c = hidden(
                control(IDC_STATIC, ControlKind::BitmapStatic, QString(), QRect(30, 40, 60, 20)));
            c.bitmap = IDB_PLOT_POINTS;
            c.tabStop = false;
            return c;
        }(),
        bitmapButton(IDOK, QStringLiteral("OK"), QRect(7, 82, 46, 20), IDB_OK),
        bitmapButton(IDCANCEL, QStringLiteral("Cancel"), QRect(57, 82, 46, 20), IDB_CANCEL_CLOCK),
    };
    return t;
}

// Color Setup: a swatch list per coloured part of the graph (the third channel hidden).
DialogTemplate colorSetupTemplate()
{
    auto combo = [](int id, QRect rect) {
        return control(id, ControlKind::ColorCombo, QString(), rect);
    };
    DialogTemplate t;
    t.id = IDD_COLOR_SETUP;
    t.caption = QStringLiteral("Color Setup");
    t.size = QSize(126, 127);
    t.fontFamily = QStringLiteral("Arial");
    t.fontPoints = 11;
    t.systemMenu = true;
    t.controls = {
        groupBox(IDC_COLOR_GROUP, QStringLiteral("Color Setup"), QRect(7, 4, 112, 88)),
        label(IDC_STATIC, QStringLiteral("Background:"), QRect(14, 22, 50, 10)),
        combo(IDC_COLOR_BG, QRect(72, 20, 39, 65)),
        label(IDC_STATIC, QStringLiteral("Grid:"), QRect(14, 39, 50, 10)),
        combo(IDC_COLOR_GRID, QRect(72, 37, 39, 65)),
        label(IDC_STATIC, QStringLiteral("CH1:"), QRect(14, 56, 50, 10)),
        combo(IDC_COLOR_CH1, QRect(72, 54, 39, 65)),
        label(IDC_STATIC, QStringLiteral("CH2:"), QRect(14, 73, 50, 10)),
        combo(IDC_COLOR_CH2, QRect(72, 71, 39, 65)),
        hidden(label(IDC_STATIC, QStringLiteral("CH3:"), QRect(14, 90, 50, 10))),
        hidden(combo(IDC_COLOR_CH3, QRect(72, 88, 39, 65))),
        bitmapButton(IDOK, QStringLiteral("OK"), QRect(7, 99, 54, 21), IDB_OK),
        bitmapButton(IDCANCEL, QStringLiteral("Cancel"), QRect(65, 99, 54, 21), IDB_CANCEL_CLOCK),
    };
    return t;
}

// The command panel that no window shows: a column of flat picture buttons.
DialogTemplate toolPanelTemplate()
{
    auto button = [](int id, const QString& text, QRect rect, int bitmap) {
        ControlTemplate c = control(id, ControlKind::BitmapButton, text, rect);
        c.bitmap = bitmap;
        return c;
    };
    DialogTemplate t;
    t.id = IDD_TOOL_PANEL;
    t.size = QSize(111, 298);
    t.fontFamily = QStringLiteral("System");
    t.fontPoints = 10;
    t.controls = {
        button(IDC_PANEL_CORRECT_TIME, QStringLiteral("Correct Time"), QRect(0, 0, 110, 38),
               IDB_PANEL_CORRECT_TIME),
        button(IDC_PANEL_SETUP, QStringLiteral("QH5Datalogger Setup"), QRect(0, 38, 110, 38),
               IDB_PANEL_SETUP),
        button(IDC_PANEL_DOWNLOAD, QStringLiteral("Download Data"), QRect(0, 76, 110, 38),
               IDB_PANEL_DOWNLOAD),
        button(IDC_PANEL_OPEN, QStringLiteral("Open Existing Document"), QRect(0, 114, 110, 38),
               IDB_PANEL_OPEN),
        button(IDC_PANEL_HELP, QStringLiteral("Help"), QRect(0, 152, 110, 38), IDB_PANEL_HELP),
        hidden(button(IDC_PANEL_RUN, QStringLiteral("RUN"), QRect(0, 114, 16, 12), IDB_PANEL_RUN)),
    };
    return t;
}

DialogTemplate selectFileTypeTemplate()
{
    DialogTemplate t;
    t.id = IDD_SELECT_FILE_TYPE;
    t.caption = QStringLiteral("Select File Type ");
    t.size = QSize(135, 48);
    t.fontFamily = QStringLiteral("Arial");
    t.fontPoints = 11;
    t.systemMenu = true;
    t.controls = {
        control(IDC_SAVE_STORE, ControlKind::PushButton,
                QStringLiteral("Save STORE File(*.stdata)"), QRect(7, 6, 121, 16)),
        control(IDC_SAVE_REAL_TIME, ControlKind::PushButton,
                QStringLiteral("Save REAL TIME File(*.rtdata)"), QRect(7, 26, 121, 16)),
    };
    return t;
}

// Real-time set-up: sampling period and sample count, each with its spin, the prompt
// line, RUN and CANCEL.
DialogTemplate realTimeSetupTemplate()
{
    DialogTemplate t;
    t.id = IDD_REAL_TIME_SETUP;
    t.caption = QStringLiteral("Connecting...");
    t.size = QSize(145, 141);
    t.fontFamily = QStringLiteral("Arial");
    t.fontPoints = 10;
    t.systemMenu = true;
    t.controls = {
        groupBox(IDC_STATIC, QStringLiteral("SAMPLING RATE"), QRect(7, 4, 131, 34)),
        control(IDC_RT_RATE, ControlKind::NumEdit, QString(), QRect(16, 17, 44, 13)),
        upDown(IDC_RT_RATE_SPIN, IDC_RT_RATE, QRect(60, 17, 10, 13)),
        label(IDC_RT_SECS, QStringLiteral("Secs"), QRect(74, 19, 20, 9)),
        label(IDC_STATIC, QStringLiteral("(2-3600) "), QRect(96, 19, 40, 9)),
        groupBox(IDC_STATIC, QStringLiteral("SAMPLE DATA POINTS"), QRect(7, 42, 131, 34)),
        control(IDC_RT_POINTS, ControlKind::NumEdit, QString(), QRect(16, 55, 44, 13)),
        upDown(IDC_RT_POINTS_SPIN, IDC_RT_POINTS, QRect(60, 55, 10, 13)),
        label(IDC_STATIC, QStringLiteral("(1-100000)"), QRect(80, 57, 50, 9)),
        label(IDC_RT_PROMPT, QStringLiteral("Waiting for connecting..."), QRect(7, 82, 131, 22)),
        bitmapButton(IDOK, QStringLiteral("RUN"), QRect(7, 110, 63, 22), IDB_RUN),
        bitmapButton(IDCANCEL, QStringLiteral("CANCEL"), QRect(75, 110, 63, 22), IDB_CANCEL_RUN),
    };
    return t;
}

// Power-analysis panel: the RMS of both channels and S(VA) in large read-outs. The
// period, frequency, peak-to-peak, phase and power-factor read-outs and the two
// radio buttons exist but are never shown.
DialogTemplate powerAnalysisTemplate()
{
    const auto readout = [](int id, QRect rect) {
        ControlTemplate c = control(id, ControlKind::NumEdit, QString(), rect);
        c.readOnly = true;
        c.centred = true;
        c.tabStop = false;
        return c;
    };
    DialogTemplate t;
    t.id = IDD_POWER_ANALYSIS;
    t.caption = QStringLiteral("Electric Power Analysis");
    t.size = QSize(111, 306);
    t.fontFamily = QStringLiteral("Arial Black");
    t.fontPoints = 15;
    t.systemMenu = true;
    t.controls = {
        groupBox(IDC_STATIC, QStringLiteral("BASIC POWER  ANALYSIS"), QRect(2, 2, 104, 239)),
        groupBox(IDC_STATIC, QStringLiteral("CH1"), QRect(5, 13, 97, 48)),
        label(IDC_STATIC, QStringLiteral("RMS"), QRect(18, 35, 16, 11)),
        readout(IDC_EPA_RMS1, QRect(39, 30, 53, 19)),
        groupBox(IDC_STATIC, QStringLiteral("CH2"), QRect(5, 62, 97, 53)),
        label(IDC_STATIC, QStringLiteral("RMS"), QRect(17, 88, 20, 11)),
        readout(IDC_EPA_RMS2, QRect(39, 83, 53, 19)),
        groupBox(IDC_STATIC, QStringLiteral("POWER FACTOR ANALYSIS"), QRect(5, 117, 97, 53)),
        label(IDC_STATIC, QStringLiteral("S(VA)"), QRect(17, 140, 20, 9)),
        readout(IDC_EPA_S, QRect(39, 136, 53, 19)),
        hidden(label(IDC_STATIC, QStringLiteral("T(ms)"), QRect(10, 180, 20, 9))),
        hidden(label(IDC_STATIC, QStringLiteral("F(Hz)"), QRect(10, 180, 20, 9))),
        hidden(label(IDC_STATIC, QStringLiteral("T:"), QRect(10, 180, 20, 9))),
        hidden(label(IDC_STATIC, QStringLiteral("F:"), QRect(10, 180, 20, 9))),
        hidden(label(IDC_STATIC, QStringLiteral("Vp-p"), QRect(10, 180, 20, 9))),
        hidden(label(IDC_STATIC, QStringLiteral(" Am "), QRect(10, 180, 20, 9))),
        hidden(label(IDC_STATIC, QStringLiteral("Q(var)"), QRect(10, 180, 20, 9))),
        hidden(label(IDC_STATIC, QStringLiteral("  P(w)"), QRect(10, 180, 20, 9))),
    };
    for (int id : {1076, 1077, 1078, 1079, 1080, 1081, 1082, 1083, 1171, 1174, 1175, 1177, 1178,
                   1179, 1180, 1184, 1187, 1188})
        t.controls.push_back(hidden(readout(id, QRect(39, 180, 53, 19))));
    for (int id : {1185, 1186, 1189, 1190, 1191, 1192, 1193})
        t.controls.push_back(hidden(label(id, QString(), QRect(10, 205, 40, 9))));
    t.controls.push_back(hidden(radio(IDC_EPA_HORIZONTAL, QStringLiteral("   Horizontal      "),
                                      QRect(10, 220, 90, 10), true)));
    t.controls.push_back(hidden(radio(IDC_EPA_VERTICAL, QStringLiteral("     Vertical         "),
                                      QRect(10, 220, 90, 10), false)));
    return t;
}

const std::map<int, DialogTemplate>& templates()
{
    static const std::map<int, DialogTemplate> table = [] {
        std::map<int, DialogTemplate> m;
        for (DialogTemplate t : {downloadTemplate(), loggerSetupTemplate(), correctTimeTemplate(),
                                 realTimeSetupTemplate(), powerAnalysisTemplate()})
            m.emplace(t.id, std::move(t));
        for (DialogTemplate t : {axisSetupTemplate(), viewOptionsTemplate(), colorSetupTemplate(),
                                 toolPanelTemplate(), selectFileTypeTemplate()})
            m.emplace(t.id, std::move(t));
        return m;
    }();
    return table;
}

} // namespace

const ControlTemplate* DialogTemplate::control(int controlId) const
{
    if (controlId == IDC_STATIC)
        return nullptr;
    for (const ControlTemplate& c : controls)
        if (c.id == controlId)
            return &c;
    return nullptr;
}

const DialogTemplate* findDialogTemplate(int id)
{
    const auto& table = templates();
    const auto it = table.find(id);
    return it == table.end() ? nullptr : &it->second;
}
