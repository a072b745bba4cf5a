#pragma once
// The launcher's one window: a borderless picture with a button for the bridge
// driver installer, one for the setup program and one that closes the launcher.
// The window is dragged by its background with any mouse button.
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <optional>

#include "launcher/launcher_platform.h"

class QLabel;
class QPushButton;

namespace tornil {

class ClickImage;

inline const QString kFileNotFoundText = QStringLiteral("File not found!");
inline const QString kDriveTypeErrorText = QStringLiteral("Drive type error!");
inline const QString kCannotStartText = QStringLiteral("Cannot start the program!");
inline const QString kLabel1Text =
    QStringLiteral("Install the USB driver first, then the RQ730 Datalogger software.");

class Form1 : public QWidget {
    Q_OBJECT
public:
    // `programFolder` is the folder of the launcher's own executable.
    Form1(QString programFolder, LauncherPlatform platform, QWidget* parent = nullptr);

    // Whether the running system is 64-bit, which picks the driver installer.
    bool Is64bit() const;

    // Starts the setup program.
    void btn_conn_Click();
    // Starts the driver installer for this system.
    void Image1_Click();
    // Ends the launcher.
    void Image2_Click();

    ClickImage* Image1 = nullptr;
    QPushButton* btn_conn = nullptr;
    ClickImage* Image2 = nullptr;
    QLabel* Label1 = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // True when the program was started; an exception from the starter counts as failure.
    bool startProgram(const QString& path);
    void message(const QString& text);

    QString m_programFolder;
    LauncherPlatform m_platform;
    QPixmap m_background;
    // Where the pointer holds the window while we move it ourselves (when the window
    // system does not move it for us).
    std::optional<QPoint> m_dragOffset;
    Qt::MouseButton m_dragButton = Qt::NoButton;
};

} // namespace tornil
