// RQ730 Datalogger: the program's entry point.
#include <QApplication>

#include "app/cdtapp.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    CDTApp theApp;
    if (!theApp.InitInstance(QApplication::arguments()))
        return 1;
    return app.exec();
}
