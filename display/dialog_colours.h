#pragma once
// The look shared by the colour set-up, View, Axis Setup, clock, download and logger
// set-up dialogs: light grey ground (RGB 225,225,225) under the dialog and its
// controls' text, olive text (RGB 100,100,0). Push buttons keep their own face.
#include <QColor>

class QWidget;

inline const QColor kDialogBackground(225, 225, 225);
inline const QColor kDialogText(100, 100, 0);

// Gives the dialog and every control in it the shared colours.
void applyDialogColours(QWidget* dialog);
