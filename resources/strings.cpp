#include "resources/strings.h"

#include <map>

#include "resources/command_ids.h"

namespace {
const std::map<int, QString>& table()
{
    static const std::map<int, QString> t = {
        {ID_FILE_SAVE_DATA,
         QStringLiteral("Save as  record file for QH5 Datalogger software and  xls document for "
                        "Windows Office Excel \nSave")},
        {ID_FILE_OPEN_DATA, QStringLiteral("Open an existing document\nOpen")},
        {ID_HELP_TOPICS, QStringLiteral("Help\nHelp")},
        {ID_DATA_LIST, QStringLiteral("Data List\nData List")},
        {ID_PRINT_PREVIEW_GRAPH, QStringLiteral("Print Graph\nPrint Graph")},
        {ID_PRINT_PREVIEW_LIST, QStringLiteral("Print Preview Graph\nPrint Preview Graph")},
        {ID_PRINT_GRAPH, QStringLiteral("Print Graph\nPrint Graph")},
        {ID_PRINT_LIST, QStringLiteral("Print List\nPrint List")},
        {ID_PREVIOUS_MEASUREMENT, QStringLiteral("Import the last measurement data.\nImport the "
                                                 "last measurement data.")},
        {ID_DOWNLOAD_DATA, QStringLiteral("Download data from your DATALOGGER\nData Download")},
        {ID_DATALOGGER_SETUP, QStringLiteral("Datalogger Setup\nDatalogger Setup")},
        {ID_CORRECT_TIME, QStringLiteral("Correct the DATA LOGGER time\nCorrect Time")},
        {ID_RUN, QStringLiteral("Read real time data\nRun")},
        {ID_STOP, QStringLiteral("Stop reading real time data.\nStop")},
        {ID_STORE_RMS, QStringLiteral("Show store RMS graph\nStore RMS")},
        {ID_STORE_TRANSIENT_WAVE,
         QStringLiteral("Show store transient wave graph\nStore Transient Wave")},
        {ID_POWER_ANALYSIS,
         QStringLiteral("Instantaneous electronic power parameter analysis\nInstantaneous "
                        "electronic power parameter analysis")},
        {ID_REAL_TIME_RMS, QStringLiteral("Show real time RMS graph\nReal Time RMS")},
        {ID_REAL_TIME_FREQUENCY,
         QStringLiteral("Show real time wave frequency graph\nReal Time Wave Frequency")},
        {ID_REAL_TIME_POWER, QStringLiteral("Show real time electronic power S(VA) graph\nReal "
                                            "Time Electronic Power S(VA)")},
    };
    return t;
}
} // namespace

QString commandString(int id)
{
    const auto it = table().find(id);
    return it == table().end() ? QString() : it->second;
}

QString commandPrompt(int id)
{
    return commandString(id).section(QLatin1Char('\n'), 0, 0);
}

QString commandTooltip(int id)
{
    const QString s = commandString(id);
    const int nl = s.indexOf(QLatin1Char('\n'));
    return nl < 0 ? QString() : s.mid(nl + 1);
}
