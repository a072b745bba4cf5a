#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

QString windowsFolder()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    const QString folder = base + QStringLiteral("/rq730-datalogger");
    QDir().mkpath(folder);
    return folder;
}

QString documentsFolder()
{
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty())
        docs = QDir::homePath() + QStringLiteral("/Documents");
    return docs;
}

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}
