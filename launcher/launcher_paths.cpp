#include "launcher/launcher_paths.h"

#include <QDir>

namespace tornil {

QString setupProgramPath(const QString& programFolder)
{
    return QDir(programFolder).filePath(kSoftwareFolder + u'/' + kSetupProgram);
}

QString driverInstallerPath(const QString& programFolder, bool is64bit)
{
    return QDir(programFolder)
        .filePath(kSoftwareFolder + u'/' + kDriverFolder + u'/'
                  + (is64bit ? kDriverInstaller64 : kDriverInstaller32));
}

} // namespace tornil
