// The launcher's window run against a temporary program folder with stand-in files:
// programs are "started" and messages "shown" through a recording platform.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

#include "launcher/click_image.h"
#include "launcher/form1.h"

using namespace tornil;

namespace {

struct Recorded {
    QStringList started;
    QStringList messages;
};

class LauncherTest : public ::testing::Test {
protected:
    LauncherPlatform platform(QString architecture, bool startSucceeds = true)
    {
        LauncherPlatform p;
        p.machineArchitecture = [architecture] { return architecture; };
        p.startDetached = [this, startSucceeds](const QString& path) {
            rec.started << path;
            return startSucceeds;
        };
        p.showMessage = [this](QWidget*, const QString& text) { rec.messages << text; };
        return p;
    }
    QString place(const QString& relative)
    {
        const QString path = folder.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }
    void mouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons held)
    {
        const QPointF global = target->mapToGlobal(QPointF(local));
        QMouseEvent event(type, QPointF(local), global, button, held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

    QTemporaryDir folder;
    Recorded rec;
};

} // namespace

TEST_F(LauncherTest, driver_installer_follows_machine_bitness)
{
    const QString x64 = place("Software/Driver/CP210xVCPInstaller_x64.exe");
    const QString x86 = place("Software/Driver/CP210xVCPInstaller_x86.exe");
    for (const char* arch : {"x86_64", "arm64", "riscv64"}) {
        Form1 form(folder.path(), platform(arch));
        EXPECT_TRUE(form.Is64bit()) << arch;
    }
    Form1 wide(folder.path(), platform("x86_64"));
    wide.Image1_Click();
    Form1 narrow(folder.path(), platform("i386"));
    narrow.Image1_Click();
    // No way to learn the machine counts as a 32-bit system.
    LauncherPlatform unknown = platform("");
    unknown.machineArchitecture = nullptr;
    Form1 blind(folder.path(), unknown);
    blind.Image1_Click();
    EXPECT_EQ(rec.started, (QStringList{x64, x86, x86}));
    EXPECT_TRUE(rec.messages.isEmpty());
}

TEST_F(LauncherTest, setup_program_is_started_from_software_folder)
{
    const QString setup = place("Software/setup.exe");
    place("setup.exe"); // a decoy beside the launcher itself
    Form1 form(folder.path(), platform("x86_64"));
    form.btn_conn->click();
    EXPECT_EQ(rec.started, QStringList{setup});
    EXPECT_TRUE(rec.messages.isEmpty());
}

TEST_F(LauncherTest, missing_files_give_file_not_found_with_full_path)
{
    // A folder of the right name is not a program.
    QDir(folder.path()).mkpath("Software/setup.exe");
    place("Software/Driver/CP210xVCPInstaller_x64.exe"); // the wrong bitness for this system
    Form1 form(folder.path(), platform("i686"));
    form.btn_conn_Click();
    ASSERT_EQ(rec.messages.size(), 1);
    EXPECT_EQ(rec.messages[0], "File not found!\n" + folder.filePath("Software/setup.exe"));

    rec.messages.clear();
    form.Image1_Click();
    EXPECT_EQ(rec.messages,
              (QStringList{"File not found!\n"
                               + folder.filePath("Software/Driver/CP210xVCPInstaller_x86.exe"),
                           "Drive type error!"}));
    EXPECT_TRUE(rec.started.isEmpty());
}

TEST_F(LauncherTest, programs_that_fail_to_start_are_reported)
{
    const QString setup = place("Software/setup.exe");
    place("Software/Driver/CP210xVCPInstaller_x64.exe");
    Form1 form(folder.path(), platform("x86_64", false));
    form.show();
    form.Image1_Click();
    EXPECT_EQ(rec.messages, QStringList{"Drive type error!"});

    rec.messages.clear();
    form.btn_conn_Click();
    EXPECT_EQ(rec.messages, QStringList{"Cannot start the program!\n" + setup});

    // A starter that throws is a failed start too.
    LauncherPlatform throwing = platform("x86_64");
    throwing.startDetached = [](const QString&) -> bool { throw std::runtime_error("no"); };
    Form1 other(folder.path(), throwing);
    rec.messages.clear();
    other.Image1_Click();
    EXPECT_EQ(rec.messages, QStringList{"Drive type error!"});
    EXPECT_TRUE(form.isVisible());
}

TEST_F(LauncherTest, window_layout_drag_and_exit)
{
    Form1 form(folder.path(), platform("x86_64"));
    form.move(100, 100);
    form.show();
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form.size(), QSize(555, 456));
    EXPECT_EQ(form.Image1->size(), QSize(91, 34));
    EXPECT_EQ(form.btn_conn->size(), QSize(89, 32));
    EXPECT_EQ(form.Image2->size(), QSize(89, 34));
    EXPECT_TRUE(form.rect().contains(form.Image2->geometry()));

    // The background drags the window with any button.
    const QPoint start = form.pos();
    mouse(&form, QEvent::MouseButtonPress, {20, 200}, Qt::RightButton, Qt::RightButton);
    mouse(&form, QEvent::MouseMove, {50, 220}, Qt::NoButton, Qt::RightButton);
    mouse(&form, QEvent::MouseButtonRelease, {50, 220}, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(form.pos(), start + QPoint(30, 20));
    // A drag with the middle button ends with its release: the pointer moves on alone.
    const QPoint dragged = form.pos();
    QTest::mousePress(&form, Qt::MiddleButton, {}, QPoint(20, 200));
    QTest::mouseMove(&form, QPoint(40, 210));
    QTest::mouseRelease(&form, Qt::MiddleButton, {}, QPoint(40, 210));
    EXPECT_EQ(form.pos(), dragged + QPoint(20, 10));
    QTest::mouseMove(&form, QPoint(90, 260));
    EXPECT_EQ(form.pos(), dragged + QPoint(20, 10));

    // Presses on the controls do not, and the line of text does not either.
    const QPoint moved = form.pos();
    for (QWidget* control :
         std::initializer_list<QWidget*>{form.Image1, form.btn_conn, form.Label1}) {
        mouse(control, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
        mouse(&form, QEvent::MouseMove, {200, 10}, Qt::NoButton, Qt::LeftButton);
        mouse(control, QEvent::MouseButtonRelease, {60, 60}, Qt::LeftButton, Qt::NoButton);
    }
    EXPECT_EQ(form.pos(), moved);
    EXPECT_TRUE(rec.started.isEmpty()); // released off the picture: no click

    mouse(form.Image2, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    mouse(form.Image2, QEvent::MouseButtonRelease, {10, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(form.isVisible());
}
