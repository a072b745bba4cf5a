#pragma once
// Dialog templates as data: caption, size and font of each dialog, and its controls
// with id, kind, text, place (in dialog units, see platform/dialog_units.h) and state.
// A dialog class builds its window from its template (display/template_dialog.h), so
// the layout and the texts of the controls live here and nowhere else.
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

// --- template ids ---
inline constexpr int IDD_CORRECT_TIME = 209;
inline constexpr int IDD_LOGGER_SETUP = 223;
inline constexpr int IDD_DOWNLOAD = 225;
inline constexpr int IDD_REAL_TIME_SETUP = 144;
inline constexpr int IDD_POWER_ANALYSIS = 252;
inline constexpr int IDD_COLOR_SETUP = 217;
inline constexpr int IDD_AXIS_SETUP = 220;
inline constexpr int IDD_VIEW_OPTIONS = 226;
inline constexpr int IDD_TOOL_PANEL = 239;
inline constexpr int IDD_SELECT_FILE_TYPE = 261;

// --- control ids (in a namespace: other dialogs reuse the numbers) ---
namespace ctrl {
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_STATIC = -1; // a control nobody addresses
inline constexpr int IDC_DEFAULT = 1044;
inline constexpr int IDC_MONTH = 1077;
inline constexpr int IDC_DAY = 1078;
inline constexpr int IDC_RATE = 1078; // the set-up dialog's rate edit
inline constexpr int IDC_HOUR = 1079;
inline constexpr int IDC_MINUTE = 1080;
inline constexpr int IDC_DROP_LEVEL = 1080; // the set-up dialog's hidden drop level
inline constexpr int IDC_SECOND = 1081;
inline constexpr int IDC_YEAR_SPIN = 1116;
inline constexpr int IDC_MONTH_SPIN = 1117;
inline constexpr int IDC_DAY_SPIN = 1118;
inline constexpr int IDC_HOUR_SPIN = 1119;
inline constexpr int IDC_MINUTE_SPIN = 1120;
inline constexpr int IDC_SECOND_SPIN = 1121;
inline constexpr int IDC_YEAR = 1128;
inline constexpr int IDC_RATE_SPIN = 1130;
inline constexpr int IDC_RATE_UNIT = 1131;
inline constexpr int IDC_DROP_SPIN = 1132;
inline constexpr int IDC_RISE_LEVEL = 1134;
inline constexpr int IDC_RISE_SPIN = 1135;
inline constexpr int IDC_AUTO_OFF_ON = 1150;
inline constexpr int IDC_AUTO_OFF_OFF = 1151;
inline constexpr int IDC_MEM_FULL_OVERWRITE = 1152;
inline constexpr int IDC_MEM_FULL_STOP = 1153;
inline constexpr int IDC_DOWNLOAD_PROMPT = 1157;
inline constexpr int IDC_RATE_GROUP = 1158;
inline constexpr int IDC_RISE_GROUP = 1159;
inline constexpr int IDC_DROP_GROUP = 1160;
inline constexpr int IDC_PROMPT = 1161;
inline constexpr int IDC_AUTO_OFF_GROUP = 1165;
inline constexpr int IDC_MEM_FULL_GROUP = 1166;
inline constexpr int IDC_RISE_UNIT = 1167;
inline constexpr int IDC_DROP_UNIT = 1168;
inline constexpr int IDC_REAL_TIME = 1174;

// Real-time set-up: period and sample count with their spins, the prompt line.
inline constexpr int IDC_RT_RATE = 1076;
inline constexpr int IDC_RT_POINTS = 1077;
inline constexpr int IDC_RT_RATE_SPIN = 1121;
inline constexpr int IDC_RT_POINTS_SPIN = 1122;
inline constexpr int IDC_RT_SECS = 1032;
inline constexpr int IDC_RT_PROMPT = 1157;

// Power-analysis panel: the three visible read-outs and the two radio buttons; the
// hidden read-outs are addressed by number.
inline constexpr int IDC_EPA_RMS1 = 1170;
inline constexpr int IDC_EPA_RMS2 = 1176;
inline constexpr int IDC_EPA_S = 1183;
inline constexpr int IDC_EPA_HORIZONTAL = 1172;
inline constexpr int IDC_EPA_VERTICAL = 1173;

// Axis Setup: value fields with their spins, the hidden point fields, the scale choice.
inline constexpr int IDC_AXIS_CH1_MAX = 1080;
inline constexpr int IDC_AXIS_X_TO = 1081;
inline constexpr int IDC_AXIS_CH2_MAX = 1082;
inline constexpr int IDC_AXIS_CH1_MAX_SPIN = 1120;
inline constexpr int IDC_AXIS_X_TO_SPIN = 1121;
inline constexpr int IDC_AXIS_CH2_MAX_SPIN = 1122;
inline constexpr int IDC_AXIS_CH1_MIN = 1141;
inline constexpr int IDC_AXIS_CH1_MIN_SPIN = 1142;
inline constexpr int IDC_AXIS_X_FROM = 1143;
inline constexpr int IDC_AXIS_X_FROM_SPIN = 1144;
inline constexpr int IDC_AXIS_CH2_MIN = 1145;
inline constexpr int IDC_AXIS_CH2_MIN_SPIN = 1146;
inline constexpr int IDC_AXIS_Y_GROUP = 1155;
inline constexpr int IDC_AXIS_X_GROUP = 1156;
inline constexpr int IDC_AXIS_AUTO_SCALE = 1175;
inline constexpr int IDC_AXIS_FULL_SCALE = 1176;

// View options: one check box per display option, and two unused mode radios.
inline constexpr int IDC_VIEW_CH1 = 1152;
inline constexpr int IDC_VIEW_CAP_LEVEL = 1153;
inline constexpr int IDC_VIEW_CH2 = 1155;
inline constexpr int IDC_VIEW_CH2_ALARM = 1156;
inline constexpr int IDC_VIEW_MARK_POINTS = 1158;
inline constexpr int IDC_VIEW_X_AXIS = 1159;
inline constexpr int IDC_VIEW_Y_AXIS = 1160;
inline constexpr int IDC_VIEW_CH3 = 1161;
inline constexpr int IDC_VIEW_CH3_ALARM = 1162;
inline constexpr int IDC_VIEW_MODE0 = 1163;
inline constexpr int IDC_VIEW_MODE1 = 1164;

// Color Setup: the five colour combos and their group box.
inline constexpr int IDC_COLOR_BG = 1140;
inline constexpr int IDC_COLOR_CH1 = 1141;
inline constexpr int IDC_COLOR_CH2 = 1142;
inline constexpr int IDC_COLOR_GRID = 1143;
inline constexpr int IDC_COLOR_CH3 = 1144;
inline constexpr int IDC_COLOR_GROUP = 1156;

// The command panel's buttons and the file-type choice.
inline constexpr int IDC_PANEL_CORRECT_TIME = 1045;
inline constexpr int IDC_PANEL_OPEN = 1046;
inline constexpr int IDC_PANEL_SETUP = 1047;
inline constexpr int IDC_PANEL_HELP = 1048;
inline constexpr int IDC_PANEL_RUN = 1049;
inline constexpr int IDC_PANEL_DOWNLOAD = 1174;
inline constexpr int IDC_SAVE_STORE = 1175;
inline constexpr int IDC_SAVE_REAL_TIME = 1045;
} // namespace ctrl

// --- bitmap ids (drawn by resources/dialog_bitmaps.h) ---
inline constexpr int IDB_OK = 229;                 // green tick, "OK"
inline constexpr int IDB_CANCEL_CLOCK = 230;       // red cross, "Cancel"
inline constexpr int IDB_DOWNLOAD = 231;           // green tick, "Download"
inline constexpr int IDB_CANCEL_DOWNLOAD = 232;    // red cross, "Cancel"
inline constexpr int IDB_CANCEL_SETUP = 234;       // red cross, "Cancel"
inline constexpr int IDB_DEFAULT = 235;            // "Default"
inline constexpr int IDB_SETUP = 236;              // green tick, "Setup"
inline constexpr int IDB_CLOCK = 264;              // a clock symbol
inline constexpr int IDB_RUN = 268;                // oval face, "RUN"
inline constexpr int IDB_CANCEL_RUN = 269;         // oval face, "CANCEL"
inline constexpr int IDB_PANEL_CORRECT_TIME = 240; // command panel faces
inline constexpr int IDB_PANEL_SETUP = 241;
inline constexpr int IDB_PANEL_DOWNLOAD = 242;
inline constexpr int IDB_PANEL_OPEN = 243;
inline constexpr int IDB_PANEL_HELP = 244;
inline constexpr int IDB_PANEL_RUN = 266;
inline constexpr int IDB_PLOT_LINES = 253; // the View dialog's unused plot-mode pictures
inline constexpr int IDB_PLOT_POINTS = 254;

enum class ControlKind {
    PushButton,   // text button
    BitmapButton, // push button that shows a bitmap instead of its text
    Static,       // text
    BitmapStatic, // picture
    GroupBox,     // titled frame drawn behind the controls it frames
    NumEdit,      // number field (CNumEdit)
    UpDown,       // arrow pair bound to a buddy edit
    DropList,     // drop-down list without an edit part
    RadioButton,  // auto radio button; groupStart opens a new group
    CheckBox,     // automatic two-state check box
    ColorCombo,   // drop-down list of colour swatches (CColorComboBox)
};

struct ControlTemplate {
    int id = ctrl::IDC_STATIC;
    ControlKind kind = ControlKind::Static;
    QString text;
    QRect rect; // dialog units
    bool visible = true;
    bool enabled = true;
    int bitmap = 0;          // BitmapButton, BitmapStatic
    bool groupStart = false; // RadioButton
    bool centred = false;    // Static, NumEdit
    bool readOnly = false;   // NumEdit
    bool tabStop = true;
    bool sorted = false; // DropList
    QStringList items;   // DropList: initial strings
    int buddy = 0;       // UpDown
    bool defaultButton = false;
};

struct DialogTemplate {
    int id = 0;
    QString caption;
    QSize size; // client area, dialog units
    QString fontFamily;
    int fontPoints = 9;
    bool systemMenu = false; // caption bar with a close box
    std::vector<ControlTemplate> controls;

    // The control with this id, or null (IDC_STATIC finds nothing).
    const ControlTemplate* control(int controlId) const;
};

// The template with this id; null when there is none.
const DialogTemplate* findDialogTemplate(int id);
