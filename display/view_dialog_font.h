#pragma once
// The bold caption font of the group boxes in the graph view's dialogs (Axis Setup,
// Color Setup): Arial, 14 pixels, bold.
#include <QFont>

inline QFont viewDialogGroupFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    font.setBold(true);
    return font;
}
