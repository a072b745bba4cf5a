#include "document/save_paths.h"

#include <QDir>
#include <QFileInfo>

#include "platform/folders.h"

QString proposedSaveName(std::time_t now)
{
    std::tm tm{};
    if (!localtime_r(&now, &tm))
        tm = std::tm{};
    char buf[64];
    const std::size_t n = std::strftime(buf, sizeof buf, "RQ730 %y-%m-%d %H.%M.%S", &tm);
    return QString::fromLatin1(buf, static_cast<qsizetype>(n));
}

QString dataFolder()
{
    const QString documents = documentsFolder();
    if (documents.isEmpty())
        return QString(); // no home folder to be named: the dialog opens where it can
    const QString folder = documents + QStringLiteral("/RQ730");
    if (!QFileInfo(folder).isDir())
        QDir().mkpath(folder); // a failure leaves the dialog to open where it can
    return folder;
}

SavePaths savePathsFor(const QString& chosenPath)
{
    const QFileInfo chosen(chosenPath);
    const QString name = chosen.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString stem = QDir(chosen.absolutePath()).filePath(base);
    return SavePaths{stem + QStringLiteral(".stdata"), stem + QStringLiteral(".csv"),
                     stem + QStringLiteral("_tr.csv")};
}
