#pragma once
// Where the launcher looks for the programs it starts: below its own folder, in
// "Software" for the setup program and in "Software/Driver" for the driver installers.
#include <QString>

namespace tornil {

inline const QString kSoftwareFolder = QStringLiteral("Software");
inline const QString kDriverFolder = QStringLiteral("Driver");
inline const QString kSetupProgram = QStringLiteral("setup.exe");
inline const QString kDriverInstaller64 = QStringLiteral("CP210xVCPInstaller_x64.exe");
inline const QString kDriverInstaller32 = QStringLiteral("CP210xVCPInstaller_x86.exe");

QString setupProgramPath(const QString& programFolder);
QString driverInstallerPath(const QString& programFolder, bool is64bit);

} // namespace tornil
