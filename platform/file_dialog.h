#pragma once
// The open and save file dialogs, and a hook that lets tests answer them with a
// scripted path (or a cancel) without showing a window.
//
// Filters are given in the classic form "Description|pattern;pattern|...|": one
// description and its patterns per entry.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

struct FileDialogCall {
    bool save = false;            // a save dialog (else an open dialog)
    QString filter;               // "Description|*.a;*.b|"
    QString defaultExtension;     // without the dot, e.g. "stdata"
    QString initialFolder;        // the folder the dialog opens in (may be empty)
    QString initialName;          // the file name proposed (may be empty)
    bool overwritePrompt = false; // save: ask before replacing an existing file
};

// Runs an open dialog for one existing file. Returns its full path, or nothing when
// the user cancels.
std::optional<QString> openFileDialog(QWidget* parent, const QString& filter,
                                      const QString& defaultExtension,
                                      const QString& initialFolder = QString());

// Runs a save dialog. Returns the full path chosen, or nothing when the user cancels.
std::optional<QString> saveFileDialog(QWidget* parent, const QString& filter,
                                      const QString& defaultExtension, const QString& initialFolder,
                                      const QString& initialName, bool overwritePrompt = true);

// The hook plays the user: it sees the call and returns what was typed or picked
// (nothing for Cancel). That answer is then completed as the dialog completes a
// typed name: a relative name lies in the initial folder, and a name without an
// extension gets the default one. The hook is asked no overwrite question.
using FileDialogHook = std::function<std::optional<QString>(const FileDialogCall&)>;
// Installs a hook (an empty function removes it). Returns the previous hook.
FileDialogHook setFileDialogHook(FileDialogHook hook);

// The patterns of a classic filter as Qt name filters, e.g.
// "DataLogger Files (*.stdata)|*.stdata|" -> {"DataLogger Files (*.stdata) (*.stdata)"}.
QStringList qtNameFilters(const QString& filter);

// A typed answer completed as described above.
QString completeTypedName(const QString& typed, const QString& initialFolder,
                          const QString& defaultExtension);
