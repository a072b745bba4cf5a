#pragma once
// CDTApp: the application object. It reads the command line, builds the document and
// the main window, opens a document named on the command line, keeps the recent-file
// list and shows the window maximised. It also owns the document commands that work
// on the document as a file (new, open, save) and the About box.
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

#include "app/mainframe.h"

class CDTDoc;

// What the command line asks for. Switches start with '-' or '/' and are matched
// without regard to case; switches the program does not know are ignored. Any other
// argument is the document's path (or, after /pt, the printer, driver and port). A
// path from the root ("/home/u/a.stdata") is a path, not a switch. Qt's own options
// ("-style fusion", "-platform xcb") are ignored together with their values.
struct CommandLineInfo {
    enum Shell { FileNew, FileOpen, FilePrint, FilePrintTo, FileDde, AppUnregister };
    bool m_bShowSplash = true;
    Shell m_nShellCommand = FileNew;
    QString m_strFileName;
    QString m_strPrinterName, m_strDriverName, m_strPortName;
};
// `arguments` starts with the program's own name, as QCoreApplication::arguments().
CommandLineInfo ParseCommandLine(const QStringList& arguments);

// The most recently opened documents, newest first, at most four, kept in the user's
// settings under "Local AppWizard-Generated Applications".
class RecentFileList {
public:
    static constexpr int kSize = 4;
    // The list's file; empty when the configuration folder has no name.
    static QString path();
    void ReadList();
    void WriteList() const;
    void Add(const QString& path);
    const QStringList& files() const { return m_files; }

private:
    QStringList m_files;
};

class CDTApp : public QObject {
    Q_OBJECT
public:
    CDTApp();
    ~CDTApp() override;

    // Start-up. Returns false when the program should end at once (the main window or
    // the document named on the command line could not be opened, or the command line
    // only asked to print).
    bool InitInstance(const QStringList& arguments);

    CMainFrame* GetMainWnd() const { return m_pFrame.get(); }
    // The program's exit status when InitInstance ended start-up: 0 after a
    // document was printed from the command line, 1 when start-up failed.
    int ExitCode() const { return m_nExitCode; }
    CDTDoc* GetDocument() const { return m_pDoc.get(); }
    RecentFileList& recentFiles() { return m_recentFiles; }
    // The path of the document file the shown data came from or was last saved to;
    // empty for a new document and once other data is shown.
    QString GetPathName() const;

    // Opens a document file into the document through the frame's load. Only a file
    // that loaded becomes the document's path and a recent file.
    CMainFrame::LoadResult OpenDocumentFile(const QString& path);

    void OnAppAbout();
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();

private:
    void registerCommands();
    bool printDirect(const CommandLineInfo& info);
    void setPathName(const QString& path);
    // A digest of the document file the data would be stored as.
    QByteArray contentDigest() const;

    std::unique_ptr<CDTDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    int m_nExitCode = 1;
    RecentFileList m_recentFiles;
    QString m_strPathName;
    QByteArray m_pathContent; // contentDigest() when the path was set
};
