#pragma once
// What the launcher asks of the system: the machine it runs on, starting a program
// without waiting for it, and a message with an OK button. Tests replace these so
// that nothing is really started and no box waits for a click.
#include <QString>
#include <functional>

class QWidget;

namespace tornil {

// The caption of the launcher's window and of its message boxes.
inline const QString kLauncherTitle = QStringLiteral("Tornil Installer");

struct LauncherPlatform {
    // The machine architecture of the running system, as QSysInfo names it.
    std::function<QString()> machineArchitecture;
    // Starts the program at `path` detached, in its own folder; false when it cannot start.
    std::function<bool(const QString& path)> startDetached;
    // Shows `text` in a modal box with the launcher's caption, an OK button and no icon.
    std::function<void(QWidget* parent, const QString& text)> showMessage;

    // The real services.
    static LauncherPlatform system();
};

// Whether a machine architecture name describes a 64-bit machine.
bool isMachine64Bit(const QString& architecture);

} // namespace tornil
