#include "launcher/form1.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWindow>

#include "launcher/click_image.h"
#include "launcher/launcher_paths.h"
#include "launcher/launcher_pictures.h"

namespace tornil {
namespace {

QString withPath(const QString& text, const QString& path)
{
    return text + u'\n' + QDir::toNativeSeparators(path);
}

} // namespace

Form1::Form1(QString programFolder, LauncherPlatform platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_programFolder(std::move(programFolder))
    , m_platform(std::move(platform))
    , m_background(backgroundPicture())
{
    setWindowTitle(kLauncherTitle);
    setFixedSize(kBackgroundSize);

    Label1 = new QLabel(kLabel1Text, this);
    Label1->setGeometry(20, 336, kBackgroundSize.width() - 40, 24);
    Label1->setAlignment(Qt::AlignCenter);
    QFont labelFont(QStringLiteral("Arial"));
    labelFont.setPointSize(10);
    Label1->setFont(labelFont);
    Label1->setStyleSheet(QStringLiteral("color: rgb(30, 48, 70);"));

    Image1 = new ClickImage(driverButtonPicture(), this);
    Image1->move(74, 384);
    connect(Image1, &ClickImage::clicked, this, &Form1::Image1_Click);

    btn_conn = new QPushButton(this);
    btn_conn->setFixedSize(kSetupPictureSize);
    btn_conn->setIcon(QIcon(setupButtonPicture()));
    btn_conn->setIconSize(kSetupPictureSize);
    btn_conn->setCursor(Qt::PointingHandCursor);
    btn_conn->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; }"
                                           "QPushButton:pressed { padding: 2px 0 0 2px; }"));
    btn_conn->move(233, 385);
    connect(btn_conn, &QPushButton::clicked, this, &Form1::btn_conn_Click);

    Image2 = new ClickImage(exitButtonPicture(), this);
    Image2->move(392, 384);
    connect(Image2, &ClickImage::clicked, this, &Form1::Image2_Click);
}

bool Form1::Is64bit() const
{
    return m_platform.machineArchitecture && isMachine64Bit(m_platform.machineArchitecture());
}

void Form1::btn_conn_Click()
{
    const QString path = setupProgramPath(m_programFolder);
    if (!QFileInfo(path).isFile()) {
        message(withPath(kFileNotFoundText, path));
        return;
    }
    // A setup program that will not start is reported; the launcher stays open.
    if (!startProgram(path))
        message(withPath(kCannotStartText, path));
}

void Form1::Image1_Click()
{
    const QString path = driverInstallerPath(m_programFolder, Is64bit());
    if (!QFileInfo(path).isFile()) {
        message(withPath(kFileNotFoundText, path));
        message(kDriveTypeErrorText);
        return;
    }
    if (!startProgram(path))
        message(kDriveTypeErrorText);
}

void Form1::Image2_Click()
{
    close();
}

bool Form1::startProgram(const QString& path)
{
    if (!m_platform.startDetached)
        return false;
    try {
        return m_platform.startDetached(path);
    } catch (...) {
        // Whatever goes wrong while starting is the same to the user: it did not start.
        return false;
    }
}

void Form1::message(const QString& text)
{
    if (m_platform.showMessage)
        m_platform.showMessage(this, text);
}

void Form1::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
}

void Form1::mousePressEvent(QMouseEvent* event)
{
    // Presses that reach us from the line of text are not presses on the background.
    if (childAt(event->position().toPoint())) {
        event->ignore();
        return;
    }
    event->accept();
    // The window manager's own move follows the left button only: started with another
    // button it would keep the window on the pointer until the next left click.
    if (event->button() == Qt::LeftButton)
        if (QWindow* window = windowHandle(); window && window->startSystemMove())
            return;
    m_dragButton = event->button();
    m_dragOffset = event->globalPosition().toPoint() - pos();
}

void Form1::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragOffset)
        return;
    if (!(event->buttons() & m_dragButton)) {
        m_dragOffset.reset(); // its release went elsewhere
        return;
    }
    move(event->globalPosition().toPoint() - *m_dragOffset);
}

void Form1::mouseReleaseEvent(QMouseEvent* event)
{
    // The drag ends with the button that started it.
    if (event->button() == m_dragButton || event->buttons() == Qt::NoButton)
        m_dragOffset.reset();
}

} // namespace tornil
