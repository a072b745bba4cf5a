#include <QApplication>
#include <QMainWindow>

#include "display/cdtview.h"
#include "document/cdtdoc.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    CDTDoc doc;
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("RQ730 Datalogger"));
    auto* view = new CDTView(&doc, &window);
    window.setCentralWidget(view);
    window.resize(1024, 700);
    view->OnInitialUpdate();
    window.showMaximized();
    return app.exec();
}
