#include "app/cdtapp.h"

#include <QScreen>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <cctype>

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
#include "platform/profile_file.h"
#include "resources/command_ids.h"
#include "resources/strings.h"

namespace {
// Filter of the document dialogs: the document type, then every file.
const QString kDocFilter = texts::kFileFilter + QStringLiteral("|*.stdata|All Files (*.*)|*.*|");
const QString kRecentGroup = QStringLiteral("Recent File List");

// The file Qt would keep the list in, but under the configuration folder the program
// uses for its own files (Qt would take a home it cannot name, or the root without one).
QString profileSettingsPath()
{
    const QString home = configHomePath();
    return home.isEmpty() ? QString()
                          : QStringLiteral("%1/%2/%3.conf")
                                .arg(home, texts::kRegistryKey, texts::kProfileName);
}

// Paths are kept as their UTF-8 bytes: the profile file holds single-byte text, one
// value a line, trimmed. What a line cannot hold as it is (control bytes such as a line
// break, and a blank at either end) is written as %XX, and so is '%' itself.
QString storedPath(const QString& path)
{
    const QByteArray bytes = path.toUtf8();
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const bool blankAtEnd = c == ' ' && (i == 0 || i + 1 == bytes.size());
        if (c < 0x20 || c == 0x7F || c == '%' || blankAtEnd)
            out += '%' + QByteArray::number(c, 16).rightJustified(2, '0').toUpper();
        else
            out += static_cast<char>(c);
    }
    return QString::fromLatin1(out);
}
// Only what storedPath writes is decoded: '%' and two hex digits. Any other '%' is
// part of a name written by hand, and stays as it is.
QString pathFromStored(const QString& value)
{
    const QByteArray bytes = value.toLatin1();
    const auto hexAt = [&bytes](qsizetype i) {
        return i < bytes.size() && std::isxdigit(static_cast<unsigned char>(bytes[i]));
    };
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '%' && hexAt(i + 1) && hexAt(i + 2)) {
            out += static_cast<char>(bytes.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            out += bytes[i];
        }
    }
    return QString::fromUtf8(out);
}
} // namespace

// ---------------------------------------------------------------------------------
// Command line

namespace {
// Switches start with '-' or '/'. An absolute path starts with '/' too: a '/' word is
// only a switch when it names no folder below the root and no file of that name exists.
bool isSwitch(const QString& arg)
{
    if (arg.size() < 2)
        return false;
    if (arg[0] == QLatin1Char('-'))
        return true;
    return arg[0] == QLatin1Char('/') && !arg.mid(1).contains(QLatin1Char('/'))
           && !QFileInfo::exists(arg);
}

// Qt's own options that take the next word as their value. They never reach Qt (the
// program keeps its command line to itself), and their values are no documents.
bool isQtOptionWithValue(const QString& arg)
{
    static const QStringList options{
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("session"),
        QStringLiteral("style"),           QStringLiteral("stylesheet"),
        QStringLiteral("display"),         QStringLiteral("geometry"),
        QStringLiteral("title"),           QStringLiteral("name")};
    const QString name = arg.startsWith(QLatin1String("--")) ? arg.mid(2) : arg.mid(1);
    return arg.startsWith(QLatin1Char('-')) && options.contains(name);
}
} // namespace

CommandLineInfo ParseCommandLine(const QStringList& arguments)
{
    CommandLineInfo info;
    QStringList printToArgs;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (isQtOptionWithValue(arg)) {
            ++i; // ignored with its value, as the program ignores switches it does not know
            continue;
        }
        const bool flagForm = isSwitch(arg);
        const QString name = flagForm ? arg.mid(1).toLower() : QString();
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
        } else if (flagForm) {
            // Any other switch is not the program's: ignored, as the document after it
            // still opens.
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

QString RecentFileList::path()
{
    return profileSettingsPath();
}

// The list's file follows the settings file's rules (ProfileFile): only a regular file
// or a link to one, of at most 64 KiB, is read, and written back with every line the
// list does not own; anything else reads as an empty list and is left as it is.
void RecentFileList::ReadList()
{
    m_files.clear();
    if (path().isEmpty())
        return; // no folder for the list: none is kept
    const ProfileFile profile(path());
    for (int i = 1; i <= kSize; ++i) {
        const QString file =
            pathFromStored(profile.value(kRecentGroup, QStringLiteral("File%1").arg(i)));
        if (!file.isEmpty())
            m_files.append(file);
    }
}

void RecentFileList::WriteList() const
{
    if (path().isEmpty())
        return;
    ProfileFile profile(path());
    if (profile.readStatus() == ProfileFile::ReadStatus::Missing)
        QDir().mkpath(QFileInfo(path()).absolutePath());
    for (int i = 1; i <= kSize; ++i)
        profile.setValue(kRecentGroup, QStringLiteral("File%1").arg(i),
                         i <= m_files.size() ? storedPath(m_files[i - 1]) : QString());
    // A list that cannot be written is only a convenience lost: nothing to report.
    profile.save();
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
    if (cmdInfo.m_nShellCommand == CommandLineInfo::AppUnregister) {
        // Nothing is registered by the program itself: done, and a script sees success.
        m_nExitCode = 0;
        return false;
    }

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
        // A refused file ("Invalid Format!") leaves a new document; one that cannot be
        // read ends start-up.
        if (OpenDocumentFile(cmdInfo.m_strFileName) == CMainFrame::LoadResult::Failed)
            return false;
        break;
    case CommandLineInfo::FilePrint:
    case CommandLineInfo::FilePrintTo:
        // Printing from the command line ends the program; its exit status tells a
        // script whether the document was printed.
        if (OpenDocumentFile(cmdInfo.m_strFileName) == CMainFrame::LoadResult::Loaded
            && printDirect(cmdInfo))
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

CMainFrame::LoadResult CDTApp::OpenDocumentFile(const QString& path)
{
    const CMainFrame::LoadResult result = m_pFrame->LoadDocumentFile(path);
    if (result != CMainFrame::LoadResult::Loaded)
        return result; // a refused or failed file names nothing
    setPathName(path);
    m_recentFiles.Add(path);
    if (CDTView* view = m_pFrame->GetDataView())
        view->OnInitialUpdate();
    return result;
}

QByteArray CDTApp::contentDigest() const
{
    return QCryptographicHash::hash(m_pDoc->StoreToBytes(), QCryptographicHash::Sha256);
}

void CDTApp::setPathName(const QString& path)
{
    m_strPathName = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    m_pathContent = path.isEmpty() ? QByteArray() : contentDigest();
}

QString CDTApp::GetPathName() const
{
    // The frame's own open, the previous measurement, a download or a real-time run
    // replace the data without a path: the file no longer holds what is shown.
    if (m_strPathName.isEmpty() || contentDigest() != m_pathContent)
        return QString();
    return m_strPathName;
}

bool CDTApp::printDirect(const CommandLineInfo& info)
{
    QPrinter& printer = m_pFrame->printer();
    if (info.m_nShellCommand == CommandLineInfo::FilePrintTo && !info.m_strPrinterName.isEmpty()) {
        // An unknown name would leave the printer at its default: say so instead.
        if (QPrinterInfo::printerInfo(info.m_strPrinterName).isNull()) {
            m_pFrame->ReportPrintFailure(
                QStringLiteral("The printer \"%1\" is not available.").arg(info.m_strPrinterName));
            return false;
        }
        printer.setPrinterName(info.m_strPrinterName);
    }
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
    setPathName(QString());
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
    QString path = GetPathName();
    if (path.isEmpty()) {
        const std::optional<QString> chosen =
            saveFileDialog(m_pFrame.get(), kDocFilter, QStringLiteral("stdata"), documentsFolder(),
                           QStringLiteral("QH5Datalogger"));
        if (!chosen)
            return;
        path = *chosen;
    }
    if (!m_pFrame->WriteFileReported(path, m_pDoc->StoreToBytes()))
        return;
    setPathName(path);
    m_recentFiles.Add(path);
}
