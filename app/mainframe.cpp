#include "app/mainframe.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QWindow>
#include <QSplitter>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "app/logger_settings.h"
#include "app/splash.h"
#include "display/cdtview.h"
#include "display/instrument_view.h"
#include "display/mode_rules.h"
#include "display/rec_info_band.h"
#include "document/cdtdoc.h"
#include "link/wire_protocol.h"
#include "platform/folders.h"
#include "platform/message_box.h"
#include "platform/modal_dialog.h"
#include "platform/profile_file.h"
#include "platform/window_frame.h"
#include "resources/command_ids.h"
#include "resources/icons.h"
#include "resources/menus.h"
#include "resources/strings.h"

namespace {
constexpr int kInstrumentPaneWidth = 150;
constexpr int kUiUpdateMilliseconds = 150;
constexpr QSize kToolbarButtonSize(30, 21);
const QColor kFrameBackground(200, 200, 200);

int g_nStartupPause = -1; // -1: not set, use the environment or 2000 ms

CMainFrame::UrlOpener& urlOpener()
{
    static CMainFrame::UrlOpener opener = [](const QUrl& url) {
        return QDesktopServices::openUrl(url);
    };
    return opener;
}
} // namespace

CMainFrame::CMainFrame(CDTDoc* doc, QWidget* parent)
    : QMainWindow(parent)
    , m_pDocument(doc)
    , m_timers([this](int id) { OnTimer(id); })
{
    // The title is fixed: it never shows the document's name.
    setWindowTitle(texts::kFrameTitle);
    setWindowIcon(appIcon());
    BuildMessageMap();
    m_restoreSettle.setSingleShot(true);
    connect(&m_restoreSettle, &QTimer::timeout, this, &CMainFrame::keepRestoredFrameInReach);
}

CMainFrame::~CMainFrame()
{
    // The view reads the frame's state while it goes; let it go first.
    if (m_pDataView)
        m_pDataView->SetFrame(nullptr);
}

void CMainFrame::setStartupPause(int milliseconds)
{
    g_nStartupPause = milliseconds;
}

int CMainFrame::startupPause()
{
    if (g_nStartupPause >= 0)
        return g_nStartupPause;
    bool ok = false;
    const int env = qEnvironmentVariableIntValue("RQ730_STARTUP_PAUSE_MS", &ok);
    return ok && env >= 0 ? env : 2000;
}

QString CMainFrame::settingsPath()
{
    return settingsFilePath();
}

// ---------------------------------------------------------------------------------
// Creation and layout

bool CMainFrame::LoadFrame()
{
    return OnCreate() == 0;
}

int CMainFrame::OnCreate()
{
    // The splash stays up for the pause; nothing else is built meanwhile.
    CSplashWnd::ShowSplashScreen(this);
    if (const int pause = startupPause(); pause > 0)
        QThread::msleep(static_cast<unsigned long>(pause));

    const ProfileFile settings(settingsPath());
    // The program then runs on the defaults; the values in the file stay the user's.
    m_bSettingsUnread = settings.readStatus() == ProfileFile::ReadStatus::Unreadable;
    LoadFrameSettings(*this, settings);

    if (!OnCreateClient())
        return -1;
    BuildMenus();
    BuildToolbar();
    BuildAccelerators();

    m_MSComm.setObjectName(QStringLiteral("MSComm%1").arg(IDC_MSCOMM));
    connect(&m_MSComm, &CMSComm::OnComm, this, &CMainFrame::OnCommEvent);

    m_wndStatusBar = new QStatusBar(this);
    m_wndStatusBar->setSizeGripEnabled(true);
    setStatusBar(m_wndStatusBar);

    // The port set-up. These values are always valid; a failure here means the control
    // itself is broken, and start-up ends (the caller catches CommDispatchError).
    m_MSComm.SetSettings(QString::fromLatin1(wire::kLineSettings));
    m_MSComm.SetRThreshold(wire::kThresholdHandshake);
    m_MSComm.SetInputMode(1);
    m_MSComm.SetInputLen(0);
    m_MSComm.SetInBufferCount(0);
    m_MSComm.SetOutBufferCount(0);

    m_bTransferDone = 0;
    m_bTransferMode = 0;
    m_nTotalBytes = 0;
    m_nStartAddress = 0;
    m_nPortCount = 0;
    m_bLinkUp = 0;
    m_bAcknowledged = 0;
    m_bDataUnsaved = 0;
    m_bAskSaveGraph = 1;
    m_bAskSaveStore = 0;
    m_bInstrumentPane = 1;
    m_bInfoDialog = 1;
    m_nBlockIndex = 0;
    clearModeFlags();
    m_bStopped = 1;

    // Toolbar buttons follow their enable rules while the program idles.
    auto* uiTimer = new QTimer(this);
    connect(uiTimer, &QTimer::timeout, this, &CMainFrame::UpdateCommandUI);
    uiTimer->start(kUiUpdateMilliseconds);
    UpdateCommandUI();
    return 0;
}

bool CMainFrame::OnCreateClient()
{
    m_wndSplitter = new QSplitter(Qt::Horizontal, this);
    // The graph view is made first so that it is the document's first view; the
    // document file stores that view's display state.
    m_pDataView = new CDTView(m_pDocument);
    m_pDataView->SetFrame(this);
    m_pInstrumentView = new CInstrumentView(m_pDocument);
    m_wndSplitter->addWidget(m_pInstrumentView);
    m_wndSplitter->addWidget(m_pDataView);
    // The left pane keeps its width when the window is resized; the user may drag it
    // to nothing, the graph view never.
    m_wndSplitter->setStretchFactor(0, 0);
    m_wndSplitter->setStretchFactor(1, 1);
    m_wndSplitter->setCollapsible(0, true);
    m_wndSplitter->setCollapsible(1, false);
    m_wndSplitter->setSizes({kInstrumentPaneWidth, 200});
    m_wndSplitter->setAutoFillBackground(true);
    QPalette pal = m_wndSplitter->palette();
    pal.setColor(QPalette::Window, kFrameBackground);
    m_wndSplitter->setPalette(pal);
    setCentralWidget(m_wndSplitter);
    m_nInstrumentPaneWidth = kInstrumentPaneWidth;
    return true;
}

void CMainFrame::setInstrumentPaneWidth(int width)
{
    if (!m_wndSplitter)
        return;
    const QList<int> sizes = m_wndSplitter->sizes();
    int total = sizes.size() == 2 ? sizes[0] + sizes[1] : 0;
    if (total <= 0)
        total = width + 200;
    m_wndSplitter->setSizes({width, std::max(total - width, 10)});
}

int CMainFrame::instrumentPaneWidth() const
{
    if (!m_wndSplitter)
        return 0;
    const QList<int> sizes = m_wndSplitter->sizes();
    return sizes.isEmpty() ? 0 : sizes[0];
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const Qt::WindowStates filling = Qt::WindowMaximized | Qt::WindowFullScreen;
    const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    if (!(before & filling) || (windowState() & (filling | Qt::WindowMinimized))) {
        m_restoreSettle.stop();
        return;
    }
    // Restored. The window system gives the window back its place in steps: under X11
    // the state comes first, then the place, then the frame that belongs to the normal
    // state (a maximised window has none at its sides). Only once it has fallen quiet is
    // the frame what the user will see.
    m_restoreSettle.start(kRestoreSettleMs);
}

void CMainFrame::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    if (m_restoreSettle.isActive())
        m_restoreSettle.start(kRestoreSettleMs);
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (m_restoreSettle.isActive())
        m_restoreSettle.start(kRestoreSettleMs);
}

void CMainFrame::keepRestoredFrameInReach()
{
    const QScreen* screen = this->screen();
    if (!screen
        || (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)))
        return;
    // Its own place is kept; only a title bar off the area or a frame too large is
    // mended, once. Whatever the user does afterwards is the user's.
    const QMargins margins = windowFrameMargins(this);
    const QRect frame = geometry().marginsAdded(margins);
    const QRect reachable = reachableFrame(frame, margins, screen->availableGeometry());
    if (reachable != frame)
        setGeometry(reachable.marginsRemoved(margins));
}

// ---------------------------------------------------------------------------------
// Menu, toolbar and accelerators

QAction* CMainFrame::ensureAction(int id, const QString& text)
{
    auto it = m_actions.find(id);
    if (it != m_actions.end())
        return it->second;
    auto* action = new QAction(text, this);
    action->setData(id);
    const QString prompt = commandPrompt(id);
    const QString tip = commandTooltip(id);
    if (!prompt.isEmpty())
        action->setStatusTip(prompt);
    if (!tip.isEmpty())
        action->setToolTip(tip);
    connect(action, &QAction::triggered, this, [this, id] { OnCmdMsg(id); });
    m_actions[id] = action;
    return action;
}

void CMainFrame::BuildMenus()
{
    QMenuBar* bar = menuBar();
    std::function<void(QMenu*, const std::vector<MenuItem>&)> fill =
        [&](QMenu* menu, const std::vector<MenuItem>& items) {
            for (const MenuItem& item : items) {
                if (item.isSeparator()) {
                    menu->addSeparator();
                } else if (item.isPopup()) {
                    fill(menu->addMenu(item.text), item.children);
                } else {
                    menu->addAction(ensureAction(item.id, item.text));
                }
            }
            // Menus show their items' current state, as the update handlers decide.
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
        };
    for (const MenuItem& top : mainMenu()) {
        QMenu* menu = bar->addMenu(top.text);
        fill(menu, top.children);
    }
}

void CMainFrame::BuildToolbar()
{
    m_wndToolBar = new QToolBar(this);
    m_wndToolBar->setObjectName(QStringLiteral("ToolBar%1").arg(IDR_MAINFRAME));
    m_wndToolBar->setWindowTitle(QStringLiteral("Standard"));
    m_wndToolBar->setIconSize(QSize(24, 16));
    m_wndToolBar->setMovable(true);
    m_wndToolBar->setFloatable(false);
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    bool first = true;
    for (int id : mainToolbar()) {
        if (!first)
            m_wndToolBar->addSeparator();
        first = false;
        QAction* action = ensureAction(id, commandTooltip(id));
        action->setIcon(toolbarIcon(id));
        m_wndToolBar->addAction(action);
        // The buttons of the toolbar resource: 30 x 21 pixels each.
        if (QWidget* button = m_wndToolBar->widgetForAction(action))
            button->setFixedSize(kToolbarButtonSize);
    }
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
}

void CMainFrame::BuildAccelerators()
{
    for (const Accelerator& acc : mainAccelerators()) {
        QAction* action = ensureAction(acc.id, QString());
        QList<QKeySequence> keys = action->shortcuts();
        keys.append(acc.keys);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        // Accelerators of commands that are on no menu still need a home in the window.
        if (!action->associatedObjects().contains(this))
            addAction(action);
    }
}

// ---------------------------------------------------------------------------------
// Command map

void CMainFrame::BuildMessageMap()
{
    // --- File ---
    onUpdateCommand(ID_FILE_SAVE_DATA, &CMainFrame::OnUpdateHasPoints);
    onUpdateCommand(ID_FILE_OPEN_DATA, &CMainFrame::OnUpdateWhenStopped);
    onCommand(ID_FILE_SAVE_DATA, &CMainFrame::OnFileSave);
    onCommand(ID_FILE_OPEN_DATA, &CMainFrame::OnFileOpen);
    onCommand(ID_FILE_PRINT_SETUP, &CMainFrame::OnFilePrintSetup);
    onUpdateCommand(ID_FILE_PRINT_SETUP, &CMainFrame::OnUpdateHasPoints);
    onCommand(ID_FILE_PRINT, &CMainFrame::OnFilePrint);
    onCommand(ID_FILE_PRINT_PREVIEW, &CMainFrame::OnFilePrintPreview);
    onCommand(ID_PRINT_PREVIEW_GRAPH, &CMainFrame::OnPrintPreviewGraph);
    onUpdateCommand(ID_PRINT_PREVIEW_GRAPH, &CMainFrame::OnUpdateHasPoints);
    onCommand(ID_PRINT_PREVIEW_LIST, &CMainFrame::OnPrintPreviewList);
    onUpdateCommand(ID_PRINT_PREVIEW_LIST, &CMainFrame::OnUpdatePrintList);
    onCommand(ID_PRINT_GRAPH, &CMainFrame::OnPrintGraph);
    onUpdateCommand(ID_PRINT_GRAPH, &CMainFrame::OnUpdateHasPoints);
    onCommand(ID_PRINT_LIST, &CMainFrame::OnPrintList);
    onUpdateCommand(ID_PRINT_LIST, &CMainFrame::OnUpdatePrintList);
    onCommand(ID_APP_EXIT, &CMainFrame::OnAppExit);
    // ID_IMPORT_DATA_TO_LIST has no handler anywhere and stays disabled.

    // --- Instrument (link pieces) ---
    onUpdateCommand(ID_CORRECT_TIME, &CMainFrame::OnUpdateWhenStopped);
    onUpdateCommand(ID_DATALOGGER_SETUP, &CMainFrame::OnUpdateWhenStopped);
    onUpdateCommand(ID_DOWNLOAD_DATA, &CMainFrame::OnUpdateWhenStopped);
    onUpdateCommand(ID_PREVIOUS_MEASUREMENT, &CMainFrame::OnUpdateWhenStopped);
    onUpdateCommand(ID_RUN, &CMainFrame::OnUpdateWhenStopped);
    onCommand(ID_CORRECT_TIME, &CMainFrame::OnCorrectTime);
    onCommand(ID_DATALOGGER_SETUP, &CMainFrame::OnDataloggerSetup);
    onCommand(ID_DOWNLOAD_DATA, &CMainFrame::OnDownloadData);
    onCommand(ID_PREVIOUS_MEASUREMENT, &CMainFrame::OnPreviousMeasurement);
    // Run and Stop are on no menu, button or accelerator; only code sends them.
    onCommand(ID_RUN, &CMainFrame::OnRun);
    onCommand(ID_STOP, &CMainFrame::OnStop);
    onUpdateCommand(ID_STOP, &CMainFrame::OnUpdateStop);

    // --- Display modes ---
    RegisterDisplayModeCommands();

    // --- Window ---
    onCommand(ID_VIEW_INSTRUMENT, &CMainFrame::OnViewInstrument);
    onUpdateCommand(ID_VIEW_INSTRUMENT, &CMainFrame::OnUpdateViewInstrument);
    onCommand(ID_VIEW_INFO_DIALOG, &CMainFrame::OnViewInfoDialog);
    onUpdateCommand(ID_VIEW_INFO_DIALOG, &CMainFrame::OnUpdateViewInfoDialog);
    onCommand(ID_DATA_LIST, &CMainFrame::OnDataList);
    onUpdateCommand(ID_DATA_LIST, &CMainFrame::OnUpdateHasPoints);
    onCommand(ID_NEXT_PANE, [this] { focusNextPane(1); });
    onCommand(ID_PREV_PANE, [this] { focusNextPane(-1); });

    // --- Help ---
    onCommand(ID_HELP_TOPICS, &CMainFrame::OnHelpTopics);
    // ID_APP_ABOUT, ID_FILE_NEW, ID_FILE_OPEN and ID_FILE_SAVE belong to the application
    // object, which registers them when it creates the frame.
}

void CMainFrame::onCommand(int id, CommandHandler handler)
{
    m_commands[id] = std::move(handler);
}

void CMainFrame::onCommand(int id, void (CMainFrame::*handler)())
{
    onCommand(id, [this, handler] { (this->*handler)(); });
}

void CMainFrame::onUpdateCommand(int id, UpdateHandler update)
{
    m_updates[id] = std::move(update);
}

void CMainFrame::onUpdateCommand(int id, void (CMainFrame::*update)(CCmdUI*))
{
    onUpdateCommand(id, [this, update](CCmdUI* ui) { (this->*update)(ui); });
}

CCmdUI CMainFrame::commandState(int id) const
{
    CCmdUI ui;
    ui.m_nID = id;
    if (auto it = m_updates.find(id); it != m_updates.end())
        it->second(&ui);
    if (m_commands.find(id) == m_commands.end())
        ui.m_bEnabled = false;
    return ui;
}

bool CMainFrame::OnCmdMsg(int id)
{
    auto it = m_commands.find(id);
    if (it == m_commands.end() || !commandState(id).m_bEnabled)
        return false;
    // Copy: a handler may register commands while it runs.
    const CommandHandler handler = it->second;
    handler();
    UpdateCommandUI();
    return true;
}

void CMainFrame::updateAction(QAction* action) const
{
    const CCmdUI ui = commandState(action->data().toInt());
    action->setEnabled(ui.m_bEnabled);
    if (ui.m_bCheckSet) {
        action->setCheckable(true);
        action->setChecked(ui.m_bChecked);
    }
}

void CMainFrame::UpdateCommandUI()
{
    for (const auto& [id, action] : m_actions)
        updateAction(action);
}

QAction* CMainFrame::commandAction(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QMenu* CMainFrame::findMenu(const QString& text) const
{
    for (QAction* a : menuBar()->actions()) {
        if (a->menu() && a->text() == text)
            return a->menu();
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------
// Enable rules

void CMainFrame::OnUpdateHasPoints(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pDataView && m_pDataView->m_nLastPoint != 0);
}

void CMainFrame::OnUpdatePrintList(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pDataView && m_pDataView->m_nLastPoint != 0
                   && m_pDataView->m_bDataListOpen == 1);
}

void CMainFrame::OnUpdateWhenStopped(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bStopped == 1);
}

// ---------------------------------------------------------------------------------
// Window commands

void CMainFrame::OnViewInstrument()
{
    if (m_bInstrumentPane) {
        setInstrumentPaneWidth(0);
        m_bInstrumentPane = 0;
        m_nInstrumentPaneWidth = 0;
    } else {
        setInstrumentPaneWidth(kInstrumentPaneWidth);
        m_bInstrumentPane = 1;
        m_nInstrumentPaneWidth = kInstrumentPaneWidth;
    }
}

void CMainFrame::OnUpdateViewInstrument(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_bInstrumentPane != 0);
}

void CMainFrame::OnViewInfoDialog()
{
    CDTView* view = m_pDataView;
    if (!view)
        return;
    if (m_bInfoDialog) {
        view->m_nTopBandHeight = 0;
        m_bInfoDialog = 0;
        if (view->m_dlgRecInfo)
            view->m_dlgRecInfo->hide();
    } else {
        view->m_nTopBandHeight = 120;
        m_bInfoDialog = 1;
        if (view->m_dlgRecInfo) {
            // Across the view, as the view lays it out itself: the band comes back
            // as it was before it was hidden.
            view->m_dlgRecInfo->setGeometry(0, 0, view->width(), 120);
            view->m_dlgRecInfo->show();
        }
    }
    view->PlaceChildren();
    view->update();
}

void CMainFrame::OnUpdateViewInfoDialog(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_bInfoDialog != 0);
    pCmdUI->Enable(m_pDataView && m_pDataView->m_nDisplayMode != 0
                   && !modes::singleWaveform(*this));
}

void CMainFrame::OnDataList()
{
    GetActiveDocument();
    if (m_pDataView)
        m_pDataView->ShowDataList();
}

void CMainFrame::focusNextPane(int step)
{
    QList<QWidget*> panes;
    if (m_pInstrumentView && instrumentPaneWidth() > 0)
        panes.append(m_pInstrumentView);
    if (m_pDataView)
        panes.append(m_pDataView);
    if (panes.isEmpty())
        return;
    int current = -1;
    for (int i = 0; i < panes.size(); ++i) {
        if (panes[i]->isAncestorOf(focusWidget()) || panes[i] == focusWidget())
            current = i;
    }
    const int next =
        ((current < 0 ? 0 : current + step) % panes.size() + panes.size()) % panes.size();
    panes[next]->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------------------------
// Printing

QPrinter& CMainFrame::printer()
{
    // A printer whose engine ran out of memory while it ended a print stays busy for
    // good (see CDTView::PrintReport): a fresh one takes its place.
    if (m_printer && m_printer->printerState() == QPrinter::Active)
        m_printer.reset();
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void CMainFrame::printWithDisplayMode(int mode, int frameworkCommand)
{
    if (!m_pDataView)
        return;
    m_pDataView->m_nDisplayMode = static_cast<std::uint8_t>(mode);
    m_pDataView->update();
    m_pDataView->setFocus(Qt::OtherFocusReason);
    if (frameworkCommand == ID_FILE_PRINT)
        OnFilePrint();
    else
        OnFilePrintPreview();
}

void CMainFrame::OnPrintPreviewGraph()
{
    printWithDisplayMode(1, ID_FILE_PRINT_PREVIEW);
}

void CMainFrame::OnPrintPreviewList()
{
    printWithDisplayMode(2, ID_FILE_PRINT_PREVIEW);
}

void CMainFrame::OnPrintGraph()
{
    printWithDisplayMode(1, ID_FILE_PRINT);
}

void CMainFrame::OnPrintList()
{
    printWithDisplayMode(2, ID_FILE_PRINT);
}

namespace {
// The files a print dialog asked about replacing while it ran. The dialog checks a
// relative name in the working folder, where a file's name resolves, but prints into
// the home folder: its question counts for the printed file only when it named that
// very file.
class PrintDialogQuestions : public QObject {
public:
    explicit PrintDialogQuestions(QDialog* dialog) : m_dialog(dialog)
    {
        qApp->installEventFilter(this);
    }
    ~PrintDialogQuestions() override { qApp->removeEventFilter(this); }
    bool asked(const QString& file) const { return m_files.contains(absolute(file)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The dialog's question reads "<name as typed> already exists." on its first line.
        static const QString kExists = QStringLiteral(" already exists.");
        if (event->type() == QEvent::Show)
            if (auto* box = qobject_cast<QMessageBox*>(watched); box && box->parent() == m_dialog) {
                const QString first = box->text().section(QLatin1Char('\n'), 0, 0);
                if (first.endsWith(kExists))
                    m_files << absolute(QDir::fromNativeSeparators(first.chopped(kExists.size())));
            }
        return false;
    }

private:
    // A name as the system resolves it: relative to the working folder.
    static QString absolute(const QString& name)
    {
        return QDir::cleanPath(QFileInfo(name).absoluteFilePath());
    }

    QDialog* m_dialog;
    QStringList m_files; // absolute paths
};

CMainFrame::PrintDialogHook& printDialogHook()
{
    static CMainFrame::PrintDialogHook hook;
    return hook;
}
} // namespace

CMainFrame::PrintDialogHook CMainFrame::setPrintDialogHook(PrintDialogHook hook)
{
    return std::exchange(printDialogHook(), std::move(hook));
}

void CMainFrame::OnFilePrint()
{
    if (printDialogHook()) {
        if (printDialogHook()(printer()) && confirmPrintFile())
            PrintView(&printer());
        return;
    }
    QPrintDialog dialog(&printer(), this);
    if (m_pDataView)
        dialog.setMinMax(1, std::max(m_pDataView->OnPreparePrinting(), 1));
    const PrintDialogQuestions questions(&dialog);
    if (execModal(dialog) != QDialog::Accepted)
        return;
    // The dialog may have asked about the very file already: once is enough.
    if (!(questions.asked(printer().outputFileName()) || confirmPrintFile()))
        return;
    PrintView(&printer());
}

bool CMainFrame::confirmPrintFile()
{
    // The print dialog proposes the file of the last print; a print into it replaces
    // that one.
    if (printer().outputFormat() != QPrinter::PdfFormat || printer().outputFileName().isEmpty())
        return true;
    return ConfirmReplace({printer().outputFileName()});
}

void CMainFrame::OnFilePrintPreview()
{
    // The preview shows every page, whatever range the last print asked for.
    printer().setPrintRange(QPrinter::AllPages);
    // It covers the main window (below), and must have the memory to paint that much.
    const QString failure = CDTView::PreviewFailure(frameGeometry().size() * devicePixelRatio());
    if (!failure.isEmpty()) {
        ReportPrintFailure(failure);
        return;
    }
    QPrintPreviewDialog dialog(&printer(), this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* target) { PrintView(target); });
    // The preview takes the main window's room, frame over frame; its own size would
    // show a sliver.
    placeWindowFrame(&dialog, coverArea(frameGeometry()));
    execModal(dialog);
}

void CMainFrame::OnFilePrintSetup()
{
    QPageSetupDialog dialog(&printer(), this);
    execModal(dialog);
}

bool CMainFrame::PrintView(QPrinter* target)
{
    if (!m_pDataView)
        return false;
    // The view prints what its display mode names: the graph page or the list pages.
    const QString failure = m_pDataView->PrintReport(target);
    if (!failure.isEmpty())
        ReportPrintFailure(failure);
    return failure.isEmpty();
}

void CMainFrame::ReportPrintFailure(const QString& reason)
{
    messageBox(this, QStringLiteral("The report could not be printed.\n%1").arg(reason),
               kProgramTitle, MsgButtons::Ok, MsgIcon::Exclamation);
}

// ---------------------------------------------------------------------------------
// Help

QString CMainFrame::helpFilePath()
{
    QString folder = programFolder();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + texts::kHelpFile;
}

CMainFrame::UrlOpener CMainFrame::setUrlOpener(UrlOpener opener)
{
    return std::exchange(urlOpener(), std::move(opener));
}

void CMainFrame::OnHelpTopics()
{
    // Whatever viewer the desktop has shows the file; when none can, nothing happens.
    if (urlOpener())
        urlOpener()(QUrl::fromLocalFile(helpFilePath()));
}

// ---------------------------------------------------------------------------------
// Close

void CMainFrame::OnAppExit()
{
    close();
}

bool CMainFrame::WriteSettings() const
{
    if (m_bSettingsUnread)
        return false;
    ProfileFile ini(settingsPath());
    if (m_pDataView)
        StoreSettings(*this, *m_pDataView, ini);
    // A failed write keeps the previous file whole; the next start reads that.
    return ini.save();
}

void CMainFrame::OnClose()
{
    WriteSettings();

    CDTView* view = m_pDataView;
    if (view && view->m_nLastPoint > 1 && m_bDataUnsaved == 1 && m_bAskSaveGraph == 1) {
        if (messageBox(this, texts::kAskSaveBeforeClosing, kProgramTitle, MsgButtons::YesNo,
                       MsgIcon::Question)
            == MsgResult::Yes) {
            // A save that was cancelled or failed leaves the data counted as unsaved.
            if (SaveData()) {
                m_bDataUnsaved = 0;
                m_bAskSaveGraph = 0;
            }
        }
    }
    if (view)
        view->CloseDataList();
    if (m_bStopped == 0)
        OnStop();
    // The window goes away once this handler has returned.
    SetTimer(kTimerClose, 100);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_bCloseNow) {
        QMainWindow::closeEvent(event);
        if (event->isAccepted())
            emit frameClosed();
        return;
    }
    event->ignore();
    OnClose();
}

// ---------------------------------------------------------------------------------
// Timers

void CMainFrame::OnTimer(int id)
{
    switch (id) {
    case kTimerLoggingDialog: // nothing arms it
        OnLoggingDialogTimer();
        break;
    case kTimerClose:
        KillTimer(kTimerClose);
        m_bCloseNow = true;
        close();
        break;
    case kTimerDataList: // nothing arms it
        OnDataListTimer();
        break;
    case kTimerPortScan:
        OnPortScanTimer();
        break;
    case kTimerProbe:
        OnProbeTimer();
        break;
    case kTimerLinkWatch:
        OnLinkWatchTimer();
        break;
    case kTimerZoomOut:
        if (m_pDataView)
            m_pDataView->OnZoomOut();
        KillTimer(kTimerZoomOut);
        break;
    case kTimerGiveUp:
    case kTimerBlockResend:
    case kTimerQuietLine:
    case kTimerCommandResend:
        // A download's timers belong to its reception; the give-up and the command
        // resend also pace the start of a real-time run.
        if (m_reception.timerArmed(id)) {
            EndTransferOnPortFailure([this, id] { OnReceptionTimer(id); });
        } else if (id == kTimerGiveUp) {
            OnTransferGiveUp();
        } else if (id == kTimerCommandResend) {
            OnCommandResend();
        } else {
            KillTimer(static_cast<FrameTimer>(id));
        }
        break;
    case kTimerAnswerWait:
        OnAnswerMissing();
        break;
    case kTimerWatchdog:
        OnRealTimeWatchdog();
        break;
    case kTimerSample:
        OnRealTimeSample();
        break;
    case kTimerRealTimeRequest:
        OnRealTimeRequest();
        break;
    default: // any other id does nothing
        break;
    }
}
