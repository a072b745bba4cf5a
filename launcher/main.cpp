// Tornil Installer: starts the setup program or the bridge driver installer that lie
// below its own folder, and does not wait for them.
#include <QApplication>
#include <QScreen>

#include "launcher/form1.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    tornil::Form1 form(QCoreApplication::applicationDirPath(), tornil::LauncherPlatform::system());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect place = form.rect();
        place.moveCenter(screen->availableGeometry().center());
        form.move(place.topLeft());
    }
    form.show();
    return app.exec();
}
