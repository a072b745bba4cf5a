#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <optional>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

enum class Named { Unset, Unusable, Folder };

// The folder an environment variable names, if its bytes name one back exactly.
Named folderIn(const QByteArray& raw, QString* folder)
{
    if (raw.isEmpty())
        return Named::Unset;
    *folder = QFile::decodeName(raw);
    return QFile::encodeName(*folder) == raw && QDir::isAbsolutePath(*folder) ? Named::Folder
                                                                              : Named::Unusable;
}

// The home folder of the account the program runs as.
QByteArray accountHome()
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found
        || !found->pw_dir)
        return QByteArray();
    return QByteArray(found->pw_dir);
}

// $HOME, or the account's home where it is unset; nothing when neither can be named.
std::optional<QString> homeFolder(bool* fromEnvironment = nullptr)
{
    QString home;
    Named named = folderIn(qgetenv("HOME"), &home);
    if (fromEnvironment)
        *fromEnvironment = named == Named::Folder;
    if (named == Named::Unset)
        named = folderIn(accountHome(), &home);
    return named == Named::Folder ? std::optional<QString>(home) : std::nullopt;
}

} // namespace

QString configHomePath()
{
    QString base;
    switch (folderIn(qgetenv("XDG_CONFIG_HOME"), &base)) {
    case Named::Folder:
        break;
    case Named::Unusable:
        // Bytes of no text: a folder the program cannot name, and none of another name
        // in its place. A relative one is ignored, as the XDG rules say.
        if (QDir::isAbsolutePath(base))
            return QString();
        [[fallthrough]];
    case Named::Unset: {
        const std::optional<QString> home = homeFolder();
        if (!home)
            return QString();
        base = QDir(*home).filePath(QStringLiteral(".config"));
        break;
    }
    }
    return base;
}

QString configFolderPath()
{
    const QString base = configHomePath();
    return base.isEmpty() ? QString() : QDir(base).filePath(QStringLiteral("rq730-datalogger"));
}

QString windowsFolder()
{
    const QString folder = configFolderPath();
    if (!folder.isEmpty())
        QDir().mkpath(folder);
    return folder;
}

QString documentsFolder()
{
    bool fromEnvironment = false;
    const std::optional<QString> home = homeFolder(&fromEnvironment);
    if (!home)
        return QString();
    // Qt looks for the Documents folder (the user's own choice of it too) from $HOME;
    // without one it would look at the root.
    if (fromEnvironment) {
        const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!docs.isEmpty())
            return docs;
    }
    return QDir(*home).filePath(QStringLiteral("Documents"));
}

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}
