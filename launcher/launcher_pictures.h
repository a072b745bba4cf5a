#pragma once
// The launcher's pictures, drawn by the program itself: the window's background and
// the pictures of its three buttons.
#include <QPixmap>
#include <QSize>

namespace tornil {

inline constexpr QSize kBackgroundSize{555, 456};
inline constexpr QSize kDriverPictureSize{91, 34};
inline constexpr QSize kSetupPictureSize{89, 32};
inline constexpr QSize kExitPictureSize{89, 34};

QPixmap backgroundPicture();
QPixmap driverButtonPicture();
QPixmap setupButtonPicture();
QPixmap exitButtonPicture();

} // namespace tornil
