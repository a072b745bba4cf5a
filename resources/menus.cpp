#include "resources/menus.h"

#include "resources/command_ids.h"

namespace {
MenuItem item(const char* text, int id)
{
    return MenuItem{QString::fromLatin1(text), id, {}};
}
MenuItem separator()
{
    return MenuItem{};
}
MenuItem popup(const char* text, std::vector<MenuItem> children)
{
    return MenuItem{QString::fromLatin1(text), 0, std::move(children)};
}
} // namespace

const std::vector<MenuItem>& mainMenu()
{
    static const std::vector<MenuItem> menu = {
        popup(
            "&File",
            {
                item("&Open...", ID_FILE_OPEN_DATA),
                item("&Save...", ID_FILE_SAVE_DATA),
                separator(),
                item("&Import Data To List", ID_IMPORT_DATA_TO_LIST),
                separator(),
                popup("&Print...", {item("&Graph", ID_PRINT_GRAPH), item("&List", ID_PRINT_LIST)}),
                popup("&Print Preview", {item("&Graph", ID_PRINT_PREVIEW_GRAPH),
                                         item("&List", ID_PRINT_PREVIEW_LIST)}),
                item("&Print Setup...", ID_FILE_PRINT_SETUP),
                separator(),
                item("&Exit", ID_APP_EXIT),
            }),
        popup("&Instrument(I)",
              {
                  item("&Correct Time...", ID_CORRECT_TIME),
                  separator(),
                  item("Datalogger &Setup...", ID_DATALOGGER_SETUP),
                  separator(),
                  item("&Download Data...", ID_DOWNLOAD_DATA),
                  separator(),
                  item("&Previous Measurement", ID_PREVIOUS_MEASUREMENT),
              }),
        popup("&Window",
              {
                  item("&Instrument", ID_VIEW_INSTRUMENT),
                  item("&Info Dialog", ID_VIEW_INFO_DIALOG),
              }),
        popup("&Help",
              {
                  item("&Help topics...", ID_HELP_TOPICS),
                  separator(),
                  item("&About...", ID_APP_ABOUT),
              }),
    };
    return menu;
}

const std::vector<int>& mainToolbar()
{
    static const std::vector<int> buttons = {
        ID_FILE_SAVE_DATA, ID_FILE_OPEN_DATA, ID_CORRECT_TIME,         ID_DATALOGGER_SETUP,
        ID_DOWNLOAD_DATA,  ID_DATA_LIST,      ID_PRINT_GRAPH,          ID_PRINT_LIST,
        ID_HELP_TOPICS,    ID_STORE_RMS,      ID_STORE_TRANSIENT_WAVE,
    };
    return buttons;
}

const std::vector<Accelerator>& mainAccelerators()
{
    static const std::vector<Accelerator> table = {
        {QKeySequence(Qt::CTRL | Qt::Key_N), ID_FILE_NEW},
        {QKeySequence(Qt::CTRL | Qt::Key_O), ID_FILE_OPEN},
        {QKeySequence(Qt::CTRL | Qt::Key_S), ID_FILE_SAVE},
        {QKeySequence(Qt::CTRL | Qt::Key_P), ID_FILE_PRINT},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), ID_EDIT_UNDO},
        {QKeySequence(Qt::ALT | Qt::Key_Backspace), ID_EDIT_UNDO},
        {QKeySequence(Qt::CTRL | Qt::Key_X), ID_EDIT_CUT},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), ID_EDIT_CUT},
        {QKeySequence(Qt::CTRL | Qt::Key_C), ID_EDIT_COPY},
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), ID_EDIT_COPY},
        {QKeySequence(Qt::CTRL | Qt::Key_V), ID_EDIT_PASTE},
        {QKeySequence(Qt::SHIFT | Qt::Key_Insert), ID_EDIT_PASTE},
        {QKeySequence(Qt::Key_F6), ID_NEXT_PANE},
        {QKeySequence(Qt::SHIFT | Qt::Key_F6), ID_PREV_PANE},
    };
    return table;
}

const std::vector<MenuItem>& instrumentTreeMenu()
{
    static const std::vector<MenuItem> menu = {
        item("RR", ID_TREE_PLAIN_ITEM),
        popup("YY",
              {
                  item("&Correct Time...", ID_CORRECT_TIME),
                  separator(),
                  item("Datalogger &Setup...", ID_DATALOGGER_SETUP),
                  separator(),
                  item("&Download Data...", ID_DOWNLOAD_DATA),
                  separator(),
                  item("&Previous Measurement...", ID_PREVIOUS_MEASUREMENT),
              }),
    };
    return menu;
}
