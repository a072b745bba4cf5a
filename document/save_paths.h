#pragma once
// Where a save puts its files: the proposed name, the data folder the save dialog
// opens in, and the document and report paths derived from the name chosen.
#include <QString>
#include <ctime>

// "RQ730 %y-%m-%d %H.%M.%S" of the given local time, e.g. "RQ730 26-12-08 07.54.36".
QString proposedSaveName(std::time_t now);

// The folder "RQ730" under the user's Documents folder, created when missing. When it
// cannot be made the path is still returned (the dialog then opens where it can);
// without a Documents folder that can be named it is empty.
QString dataFolder();

struct SavePaths {
    QString document;  // <base>.stdata
    QString rmsReport; // <base>.csv
    QString trReport;  // <base>_tr.csv
};

// The three files of a save, all in the folder of the chosen path. The base name is
// the chosen file name cut before its last dot; a name without a dot is kept whole.
// Only the file-name part is looked at, so a dot in a folder name never cuts the
// path: "RQ730 26-12-08 07.54.36" gives "RQ730 26-12-08 07.54.stdata",
// "data.csv" gives "data.stdata", "data.csv" and "data_tr.csv".
SavePaths savePathsFor(const QString& chosenPath);
