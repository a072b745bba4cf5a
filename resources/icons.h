#pragma once
// The program's icon and the toolbar button images, drawn by the program itself.
#include <QIcon>

// Icon 128: the program and its documents.
QIcon appIcon();
// The image of a toolbar button (24 x 16), by command id.
QIcon toolbarIcon(int commandId);
// Icon 261: the logger, as the instrument tree shows it (27 x 50).
QIcon instrumentIcon();
