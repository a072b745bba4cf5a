#include "platform/file_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <utility>

namespace {

FileDialogHook& hook()
{
    static FileDialogHook h;
    return h;
}

std::optional<QString> runDialog(QWidget* parent, const FileDialogCall& call)
{
    if (hook()) {
        const std::optional<QString> typed = hook()(call);
        if (!typed)
            return std::nullopt;
        return completeTypedName(*typed, call.initialFolder, call.defaultExtension);
    }

    QFileDialog dialog(parent ? parent : QApplication::activeWindow());
    dialog.setAcceptMode(call.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(call.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The descriptions already name their patterns; show them as they are written.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !call.overwritePrompt);
    dialog.setNameFilters(qtNameFilters(call.filter));
    dialog.setDefaultSuffix(call.defaultExtension);
    if (!call.initialFolder.isEmpty())
        dialog.setDirectory(call.initialFolder);
    if (!call.initialName.isEmpty())
        dialog.selectFile(call.initialName);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    return files.front();
}

} // namespace

QStringList qtNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        if (description.isEmpty())
            continue;
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        // Qt reads the patterns from the last parentheses of an entry; the
        // description's own parentheses stay part of its text.
        result << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
                      + QLatin1Char(')');
    }
    return result;
}

QString completeTypedName(const QString& typed, const QString& initialFolder,
                          const QString& defaultExtension)
{
    QString path = typed;
    if (QFileInfo(path).isRelative() && !initialFolder.isEmpty())
        path = QDir(initialFolder).filePath(path);
    if (!defaultExtension.isEmpty() && QFileInfo(path).suffix().isEmpty()
        && !QFileInfo(path).fileName().isEmpty())
        path += QLatin1Char('.') + defaultExtension;
    return QDir::cleanPath(path);
}

std::optional<QString> openFileDialog(QWidget* parent, const QString& filter,
                                      const QString& defaultExtension, const QString& initialFolder)
{
    FileDialogCall call;
    call.save = false;
    call.filter = filter;
    call.defaultExtension = defaultExtension;
    call.initialFolder = initialFolder;
    return runDialog(parent, call);
}

std::optional<QString> saveFileDialog(QWidget* parent, const QString& filter,
                                      const QString& defaultExtension, const QString& initialFolder,
                                      const QString& initialName, bool overwritePrompt)
{
    FileDialogCall call;
    call.save = true;
    call.filter = filter;
    call.defaultExtension = defaultExtension;
    call.initialFolder = initialFolder;
    call.initialName = initialName;
    call.overwritePrompt = overwritePrompt;
    return runDialog(parent, call);
}

FileDialogHook setFileDialogHook(FileDialogHook h)
{
    return std::exchange(hook(), std::move(h));
}
