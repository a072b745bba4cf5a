// RQ730 Datalogger: the program's entry point.
#include <QApplication>
#include <malloc.h>

#include "app/cdtapp.h"
#include "app/mainframe.h"

int main(int argc, char** argv)
{
    // The C library gives threads that allocate arenas of their own (up to eight per
    // processor), 64 MB of address space each: the drawing threads (Qt's and ours) took
    // some 600 MB for a working set of 70, and a limit on the address space ran out far
    // too early (a print that could not finish, a paint waiting for a thread that could
    // not start). Two arenas cost the drawing no measurable time.
    mallopt(M_ARENA_MAX, 2);
    // The command line is the program's own: Qt gets none of it, so that none of its
    // options (a style sheet file read whole, a platform that ends the program) acts
    // before the program has looked at the line. Qt's environment variables still
    // choose the platform and style.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Lets the desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("rq730-datalogger"));
    CDTApp theApp;
    if (!theApp.InitInstance(arguments))
        return theApp.ExitCode();
    // Closing the main window ends the program, even while a panel of its own is open.
    QObject::connect(theApp.GetMainWnd(), &CMainFrame::frameClosed, &app, &QCoreApplication::quit);
    return app.exec();
}
