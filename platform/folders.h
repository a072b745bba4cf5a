#pragma once
// Where the program keeps its own files.
#include <QString>

// The folder that stands in for the Windows folder: it holds the settings file and the
// previous-measurement file. Created when missing.
// $XDG_CONFIG_HOME/rq730-datalogger, or ~/.config/rq730-datalogger. Empty when there
// is no such folder to be named (see configFolderPath).
QString windowsFolder();

// The path of that folder, not created. A relative $XDG_CONFIG_HOME is ignored, as the
// XDG rules ask; without $HOME the account's home folder is used. A variable holding
// a relative home or bytes that are no text in the system's encoding names no folder
// the program could name back to the system: the path is then empty, and the program
// keeps no files of its own rather than make a folder tree of another name.
QString configFolderPath();

// The configuration folder of the XDG rules ($XDG_CONFIG_HOME or ~/.config) that the
// path above lies in, not created; empty where that one is.
QString configHomePath();

// The user's Documents folder (not created); empty when the home folder cannot be
// named, as above.
QString documentsFolder();

// The folder holding the running program.
QString programFolder();
