#pragma once
// The pictures of the dialogs' bitmap buttons and of the clock symbol, drawn by us:
// a green tick or a red cross beside the button's word, or the word alone. They are
// drawn at the size asked for (the button's face), on a transparent ground, so the
// word stays sharp at any dialog font size.
#include <QPixmap>
#include <QSize>

// Natural size of the button pictures.
inline constexpr QSize kButtonBitmapSize(120, 32);

// Picture `id` (IDB_... of resources/dialog_templates.h) at `size` device-independent
// pixels; a null pixmap for an unknown id.
QPixmap dialogBitmap(int id, QSize size = QSize());
