#pragma once
// Command ids of the main window: menu items, toolbar buttons and accelerators all
// send one of these; the frame's command map (CMainFrame::onCommand) routes them. The
// graph view's own commands follow at the end.

// --- the framework's standard commands ---
inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_PRINT_SETUP = 57606;
inline constexpr int ID_FILE_PRINT = 57607;
inline constexpr int ID_FILE_PRINT_PREVIEW = 57609;
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_NEXT_PANE = 57680;
inline constexpr int ID_PREV_PANE = 57681;

// --- the program's own commands ---
inline constexpr int ID_STOP = 32772;             // Stop real-time reading
inline constexpr int ID_HELP_TOPICS = 32779;      // Help > Help topics...
inline constexpr int ID_FILE_SAVE_DATA = 32814;   // File > Save...
inline constexpr int ID_FILE_OPEN_DATA = 32827;   // File > Open...
inline constexpr int ID_DATA_LIST = 32836;        // toolbar: Data List
inline constexpr int ID_CORRECT_TIME = 32840;     // Instrument > Correct Time...
inline constexpr int ID_DOWNLOAD_DATA = 32847;    // Instrument > Download Data...
inline constexpr int ID_DATALOGGER_SETUP = 32869; // Instrument > Datalogger Setup...
inline constexpr int ID_PREVIOUS_MEASUREMENT = 32882;
inline constexpr int ID_SAVE_PREVIOUS_MEASUREMENT = 32883; // instrument tree only
inline constexpr int ID_VIEW_INSTRUMENT = 32884;           // Window > Instrument
inline constexpr int ID_VIEW_INFO_DIALOG = 32885;          // Window > Info Dialog
inline constexpr int ID_PRINT_PREVIEW_GRAPH = 32889;
inline constexpr int ID_PRINT_PREVIEW_LIST = 32890;
inline constexpr int ID_PRINT_GRAPH = 32891;
inline constexpr int ID_PRINT_LIST = 32892;
inline constexpr int ID_STORE_RMS = 32904;
inline constexpr int ID_STORE_TRANSIENT_WAVE = 32906;
inline constexpr int ID_POWER_ANALYSIS = 32907;
inline constexpr int ID_REAL_TIME_FREQUENCY = 32908;
inline constexpr int ID_REAL_TIME_POWER = 32911;
inline constexpr int ID_REAL_TIME_RMS = 32913;
inline constexpr int ID_RUN = 32917;
inline constexpr int ID_IMPORT_DATA_TO_LIST = 32920; // no handler anywhere: stays disabled
inline constexpr int ID_TREE_PLAIN_ITEM = 32850;     // instrument tree menu's "RR": no handler

// --- the graph view's commands (its own command map, CDTView::OnCommand) ---
inline constexpr int ID_ZOOM_OUT = 32792;             // view toolbar: ZoomOut
inline constexpr int ID_COLOR_SETUP = 32845;          // view toolbar: Color Setup
inline constexpr int ID_AXIS_SETUP = 32868;           // view toolbar: Axis Setup
inline constexpr int ID_VIEW_OPTIONS = 32881;         // view toolbar: View Options
inline constexpr int ID_POWER_ANALYSIS_PANEL = 32897; // the power-analysis panel
inline constexpr int ID_TR_FILE_LIST = 32900;         // the transient record list

// --- resource ids ---
inline constexpr int IDR_MAINFRAME = 128; // menu, toolbar, accelerators, icon, document string
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDB_SPLASH = 102;
inline constexpr int IDC_MSCOMM = 1028; // the serial-port control's child id
