#pragma once
// Where the program keeps its own files.
#include <QString>

// The folder that stands in for the Windows folder: it holds the settings file and the
// previous-measurement file. Created when missing.
// $XDG_CONFIG_HOME/rq730-datalogger, or ~/.config/rq730-datalogger.
QString windowsFolder();

// The user's Documents folder (not created).
QString documentsFolder();

// The folder holding the running program.
QString programFolder();
