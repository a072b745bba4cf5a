// RQ730 Datalogger: the program's entry point.
#include <QApplication>

#include "app/cdtapp.h"
#include "app/mainframe.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Lets the desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("rq730-datalogger"));
    CDTApp theApp;
    if (!theApp.InitInstance(QApplication::arguments()))
        return theApp.ExitCode();
    // Closing the main window ends the program, even while a panel of its own is open.
    QObject::connect(theApp.GetMainWnd(), &CMainFrame::frameClosed, &app, &QCoreApplication::quit);
    return app.exec();
}
