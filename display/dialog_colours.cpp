#include "display/dialog_colours.h"

#include <QPalette>
#include <QWidget>

void applyDialogColours(QWidget* dialog)
{
    QPalette pal = dialog->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Window, kDialogBackground);
        pal.setColor(group, QPalette::Base, kDialogBackground);
        pal.setColor(group, QPalette::WindowText, kDialogText);
        pal.setColor(group, QPalette::Text, kDialogText);
    }
    // Disabled text stays readable as disabled, on the same ground.
    pal.setColor(QPalette::Disabled, QPalette::Window, kDialogBackground);
    pal.setColor(QPalette::Disabled, QPalette::Base, kDialogBackground);
    dialog->setPalette(pal);
    dialog->setAutoFillBackground(true);
}
