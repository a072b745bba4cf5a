#pragma once
// The string table of the main window: the status-bar prompt and tooltip of each
// command, and the texts of the application's own windows.
#include <QString>

// The string-table entry of a command: "prompt\ntooltip"; empty when it has none.
QString commandString(int id);
// The part before the line break (status-bar prompt) and after it (tooltip).
QString commandPrompt(int id);
QString commandTooltip(int id);

namespace texts {
inline const QString kFrameTitle = QStringLiteral("RQ730 Datalogger");
// Document string 128: title, document name, new-file name, filter name, extension,
// file type and its readable name, separated by line breaks.
inline const QString kDocString =
    QStringLiteral("QH5Datalogger\n\nQH5Datalogger\nQH5Datalogger Files (*.stdata )\n.stdata\n"
                   "QH5Datalog.Document\nQH5Datalogger Document");
inline const QString kFileFilter = QStringLiteral("QH5Datalogger Files (*.stdata )");
inline const QString kDocExtension = QStringLiteral(".stdata");
inline const QString kAskSaveBeforeClosing =
    QStringLiteral("Do you want to save the data before closing?");
inline const QString kAboutVersion = QStringLiteral("RQ730 Datalogger Version 2.4");
inline const QString kAboutLegal =
    QStringLiteral("Copyright (C) 2008-2024 The RQ730 Datalogger developers");
inline const QString kHelpFile = QStringLiteral("help.chm");
inline const QString kSettingsFile = QStringLiteral("529DATALOGGER.ini");
inline const QString kRegistryKey = QStringLiteral("Local AppWizard-Generated Applications");
inline const QString kProfileName = QStringLiteral("RQ730 Datalogger");
} // namespace texts
