#include "launcher/launcher_platform.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QSysInfo>

namespace tornil {

bool isMachine64Bit(const QString& architecture)
{
    // x86_64, arm64, aarch64, ia64, mips64, power64, ppc64le, riscv64, loongarch64 ...
    return architecture.contains(QLatin1String("64")) || architecture == QLatin1String("s390x")
           || architecture == QLatin1String("sparcv9");
}

LauncherPlatform LauncherPlatform::system()
{
    LauncherPlatform platform;
    // The kernel's machine, not the one this program was built for: a 32-bit build
    // on a 64-bit system must still pick the 64-bit driver.
    platform.machineArchitecture = [] { return QSysInfo::currentCpuArchitecture(); };
    platform.startDetached = [](const QString& path) {
        QProcess process;
        process.setProgram(path);
        // Installers look for their companion files next to themselves.
        process.setWorkingDirectory(QFileInfo(path).absolutePath());
        return process.startDetached();
    };
    platform.showMessage = [](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, kLauncherTitle, text, QMessageBox::Ok, parent);
        // A path is shown as it is, never read as markup.
        box.setTextFormat(Qt::PlainText);
        box.exec();
    };
    return platform;
}

} // namespace tornil
