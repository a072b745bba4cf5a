#include "app/cdtapp.h"

#include <QScreen>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QSettings>

#include "app/about_dialog.h"
#include "app/mainframe.h"
#include "app/splash.h"
#include "display/cdtview.h"
#include "document/cdtdoc.h"
#include "platform/archive.h"
#include "platform/file_dialog.h"
#include "platform/folders.h"
#include "platform/message_box.h"
#include "platform/modal_dialog.h"
#include "platform/whole_file.h"
#include "resources/command_ids.h"
#include "resources/strings.h"

namespace {
// Filter of the document dialogs: the document type, then every file.
const QString kDocFilter = texts::kFileFilter + QStringLiteral("|*.stdata|All Files (*.*)|*.*|");
const QString kRecentGroup = QStringLiteral("Recent File List");

QSettings profileSettings()
{
    return QSettings(texts::kRegistryKey, texts::kProfileName);
}
} // namespace

// ---------------------------------------------------------------------------------
// Command line

CommandLineInfo ParseCommandLine(const QStringList& arguments)
{
    CommandLineInfo info;
    QStringList printToArgs;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const bool flagForm =
            arg.size() > 1 && (arg[0] == QLatin1Char('-') || arg[0] == QLatin1Char('/'));
        const QString name = flagForm ? arg.mid(1).toLower() : QString();
        // An absolute path also starts with '/': only the known switches are switches.
        if (name == QLatin1String("embedding") || name == QLatin1String("automation")) {
            info.m_bShowSplash = false;
        } else if (name == QLatin1String("p")) {
            info.m_nShellCommand = CommandLineInfo::FilePrint;
        } else if (name == QLatin1String("pt")) {
            info.m_nShellCommand = CommandLineInfo::FilePrintTo;
        } else if (name == QLatin1String("dde")) {
            info.m_nShellCommand = CommandLineInfo::FileDde;
        } else if (name == QLatin1String("unregister") || name == QLatin1String("unregserver")) {
            info.m_nShellCommand = CommandLineInfo::AppUnregister;
        } else if (info.m_strFileName.isEmpty()) {
            info.m_strFileName = arg;
            if (info.m_nShellCommand == CommandLineInfo::FileNew)
                info.m_nShellCommand = CommandLineInfo::FileOpen;
        } else if (info.m_nShellCommand == CommandLineInfo::FilePrintTo) {
            printToArgs.append(arg);
        }
    }
    if (info.m_nShellCommand == CommandLineInfo::FilePrintTo) {
        info.m_strPrinterName = printToArgs.value(0);
        info.m_strDriverName = printToArgs.value(1);
        info.m_strPortName = printToArgs.value(2);
    }
    return info;
}

// ---------------------------------------------------------------------------------
// Recent files

void RecentFileList::ReadList()
{
    QSettings s = profileSettings();
    s.beginGroup(kRecentGroup);
    m_files.clear();
    for (int i = 1; i <= kSize; ++i) {
        const QString path = s.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty())
            m_files.append(path);
    }
}

void RecentFileList::WriteList() const
{
    QSettings s = profileSettings();
    s.beginGroup(kRecentGroup);
    for (int i = 1; i <= kSize; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= m_files.size())
            s.setValue(key, m_files[i - 1]);
        else
            s.remove(key);
    }
}

void RecentFileList::Add(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    m_files.removeAll(full);
    m_files.prepend(full);
    while (m_files.size() > kSize)
        m_files.removeLast();
    WriteList();
}

// ---------------------------------------------------------------------------------
// Application

CDTApp::CDTApp() = default;

CDTApp::~CDTApp()
{
    // The frame (and its views) go before the document they show.
    m_pFrame.reset();
    m_pDoc.reset();
}

bool CDTApp::InitInstance(const QStringList& arguments)
{
    const CommandLineInfo cmdInfo = ParseCommandLine(arguments);
    CSplashWnd::EnableSplashScreen(cmdInfo.m_bShowSplash);
    if (cmdInfo.m_nShellCommand == CommandLineInfo::AppUnregister)
        return false; // nothing is registered by the program itself

    m_recentFiles.ReadList();
    m_pDoc = std::make_unique<CDTDoc>();
    m_pFrame = std::make_unique<CMainFrame>(m_pDoc.get());
    registerCommands();
    try {
        if (!m_pFrame->LoadFrame())
            return false;
    } catch (const CommDispatchError&) {
        // The serial control refused its set-up: the window cannot work without it.
        return false;
    }

    switch (cmdInfo.m_nShellCommand) {
    case CommandLineInfo::FileOpen:
        if (!OpenDocumentFile(cmdInfo.m_strFileName))
            return false;
        break;
    case CommandLineInfo::FilePrint:
    case CommandLineInfo::FilePrintTo:
        // Printing from the command line ends the program; its exit status tells a
        // script whether the document was printed.
        if (OpenDocumentFile(cmdInfo.m_strFileName) && printDirect(cmdInfo))
            m_nExitCode = 0;
        return false;
    default:
        break;
    }

    // The restored size is the whole screen too, so the window is usable where no
    // window manager honours the maximised state.
    if (const QScreen* screen = m_pFrame->screen())
        m_pFrame->setGeometry(screen->availableGeometry());
    m_pFrame->showMaximized();
    if (CDTView* view = m_pFrame->GetDataView())
        view->OnInitialUpdate();
    m_pFrame->update();
    return true;
}

void CDTApp::registerCommands()
{
    m_pFrame->onCommand(ID_APP_ABOUT, [this] { OnAppAbout(); });
    m_pFrame->onCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    m_pFrame->onCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    m_pFrame->onCommand(ID_FILE_SAVE, [this] { OnFileSave(); });
}

bool CDTApp::OpenDocumentFile(const QString& path)
{
    QString error;
    const std::optional<QByteArray> bytes = readWholeFile(path, &error);
    if (!bytes) {
        appMessageBox(QStringLiteral("Cannot open the file %1.\n%2").arg(path, error));
        return false;
    }
    try {
        m_pDoc->LoadFromBytes(*bytes);
    } catch (const ArchiveError&) {
        // The load leaves the document as it was.
        appMessageBox(
            QStringLiteral("Cannot read the file %1.\nIt is damaged or incomplete.").arg(path));
        return false;
    }
    m_strPathName = QFileInfo(path).absoluteFilePath();
    m_recentFiles.Add(path);
    if (CDTView* view = m_pFrame ? m_pFrame->GetDataView() : nullptr)
        view->OnInitialUpdate();
    return true;
}

bool CDTApp::printDirect(const CommandLineInfo& info)
{
    QPrinter& printer = m_pFrame->printer();
    if (info.m_nShellCommand == CommandLineInfo::FilePrintTo && !info.m_strPrinterName.isEmpty())
        printer.setPrinterName(info.m_strPrinterName);
    if (CDTView* view = m_pFrame->GetDataView()) {
        view->resize(1000, 700);
        view->OnInitialUpdate();
    }
    return m_pFrame->PrintView(&printer);
}

void CDTApp::OnAppAbout()
{
    CAboutDlg dlg(m_pFrame.get());
    execModal(dlg);
}

void CDTApp::OnFileNew()
{
    // A new document keeps the data shown; the views start over with it.
    m_strPathName.clear();
    if (CDTView* view = m_pFrame->GetDataView()) {
        view->OnInitialUpdate();
        view->update();
    }
}

void CDTApp::OnFileOpen()
{
    const std::optional<QString> path =
        openFileDialog(m_pFrame.get(), kDocFilter, QStringLiteral("stdata"));
    if (path)
        OpenDocumentFile(*path);
}

void CDTApp::OnFileSave()
{
    QString path = m_strPathName;
    if (path.isEmpty()) {
        const std::optional<QString> chosen =
            saveFileDialog(m_pFrame.get(), kDocFilter, QStringLiteral("stdata"), documentsFolder(),
                           QStringLiteral("QH5Datalogger"));
        if (!chosen)
            return;
        path = *chosen;
    }
    const QString error = writeWholeFile(path, m_pDoc->StoreToBytes());
    if (!error.isEmpty()) {
        appMessageBox(QStringLiteral("Cannot save the file %1.\n%2").arg(path, error));
        return;
    }
    m_strPathName = QFileInfo(path).absoluteFilePath();
    m_recentFiles.Add(path);
}
