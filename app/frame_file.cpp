// The frame's file commands: File > Save (the document with its CSV reports),
// File > Open, and the previous-measurement file that the program keeps by itself.
//
// Every file is built in memory and written through writeWholeFile(s), so a file is
// either written whole or not at all and an older file of that name survives a
// failed write. Reading goes through readWholeFile (read-only), so a document
// marked read-only still opens; a document's tag and size are looked at before the
// whole file is read.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <ctime>
#include <new>
#include <optional>
#include <vector>

#include "app/mainframe.h"
#include "display/cdtview.h"
#include "document/cdtdoc.h"
#include "document/csv_report.h"
#include "document/save_paths.h"
#include "platform/file_dialog.h"
#include "platform/folders.h"
#include "platform/message_box.h"
#include "platform/whole_file.h"

namespace {

const QString kSaveFilter = QStringLiteral("DataLogger Files (*.stdata*.csv)|*.stdata;*.csv|");
const QString kOpenFilter = QStringLiteral("DataLogger Files (*.stdata)|*.stdata|");
const QString kDocumentExtension = QStringLiteral("stdata");
const QString kAskSaveGraph =
    QStringLiteral("Do you want to save the existing graph data before continuing?");

// The wait cursor for the length of a scope, restored however the scope is left.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

const QString kCannotSave = QStringLiteral("could not be saved");

void reportFileError(QWidget* parent, const QString& path, const QString& what,
                     const QString& reason)
{
    messageBox(
        parent,
        QStringLiteral("The file \"%1\" %2.\n%3").arg(QDir::toNativeSeparators(path), what, reason),
        kProgramTitle, MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace

bool CMainFrame::ConfirmReplace(const QStringList& paths)
{
    QStringList existing;
    for (const QString& path : paths) {
        const QFileInfo file(path);
        if (file.exists() && !file.isDir()) // a folder in the way fails the write instead
            existing << QDir::toNativeSeparators(path);
    }
    if (existing.isEmpty())
        return true;
    const QString text =
        existing.size() == 1
            ? QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(existing.front())
            : QStringLiteral("These files already exist:\n%1\n"
                             "Do you want to replace them?")
                  .arg(existing.join(QLatin1Char('\n')));
    return messageBox(this, text, kProgramTitle, MsgButtons::YesNo, MsgIcon::Exclamation)
           == MsgResult::Yes;
}

QString CMainFrame::previousMeasurementPath()
{
    const QString folder = windowsFolder();
    // Without a folder of its own the program keeps no previous measurement.
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/PreMeasure529.stdata");
}

bool CMainFrame::SaveData()
{
    CDTDoc* doc = GetActiveDocument();
    CDTView* view = GetDataView();
    if (!doc || !view)
        return false;

    const QString proposed = proposedSaveName(std::time(nullptr));
    // A saved document always carries the stored-data tag.
    doc->m_strFileTag = kTagStored;

    // The dialog's own overwrite question would look at the name typed, not at the
    // names written: the save asks about those itself.
    const std::optional<QString> chosen =
        saveFileDialog(this, kSaveFilter, kDocumentExtension, dataFolder(), proposed, false);
    if (!chosen)
        return false;
    const SavePaths paths = savePathsFor(*chosen);
    const bool withTr = hasTrCsvReport(*view);
    QStringList targets{paths.document, paths.rmsReport};
    if (withTr)
        targets << paths.trReport;
    if (!ConfirmReplace(targets))
        return false;

    WaitCursor wait;
    // Everything is built before anything is written, so running out of memory leaves
    // the disk as it was.
    QByteArray document, rmsReport, trReport;
    try {
        document = doc->StoreToBytes();
        rmsReport = RmsCsvReport(*doc, *view);
        if (withTr)
            trReport = TrCsvReport(*doc, *view);
    } catch (const std::bad_alloc&) {
        reportFileError(this, paths.document, kCannotSave,
                        QStringLiteral("There is not enough memory."));
        return false;
    }

    // All or nothing: a file that cannot be written leaves every old one as it was.
    // The document replaces its old file last, so it never stands beside reports older
    // than itself.
    std::vector<WholeFileWrite> files;
    if (withTr)
        files.push_back({paths.trReport, trReport});
    files.push_back({paths.rmsReport, rmsReport});
    files.push_back({paths.document, document});
    if (const std::optional<WholeFileFailure> failure = writeWholeFiles(files)) {
        reportFileError(this, files[failure->index].path, kCannotSave, failure->reason);
        return false;
    }

    m_bDataUnsaved = 0;
    m_bAskSaveGraph = 0;
    m_bAskSaveStore = 0;
    return true;
}

bool CMainFrame::WriteFileReported(const QString& path, const QByteArray& bytes)
{
    const QString error = writeWholeFile(path, bytes);
    if (!error.isEmpty())
        reportFileError(this, path, kCannotSave, error);
    return error.isEmpty();
}

void CMainFrame::OnFileSave()
{
    SaveData();
}

CMainFrame::LoadResult CMainFrame::LoadDocumentFile(const QString& path)
{
    CDTDoc* doc = GetActiveDocument();
    if (!doc)
        return LoadResult::Failed;
    const QString cannotOpen = QStringLiteral("could not be opened");
    bool accepted = false;
    try {
        // The tag first: a file of another kind, however large, is refused without
        // being read. Then the size: nothing larger than a document is read.
        QString reason;
        qint64 size = 0;
        std::optional<QByteArray> bytes = readFileHead(path, CDTDoc::kTagHeadBytes, &size, &reason);
        if (const std::optional<LoadRefusal> refusal =
                bytes ? doc->CheckTag(*bytes, size) : std::nullopt) {
            // Refused ("Invalid Format!"): the graph still goes back to full view.
            appMessageBox(refusal->text);
            SetTimer(kTimerZoomOut, 50);
            return LoadResult::Refused;
        }
        if (bytes && size > kMaxDocumentBytes) {
            bytes.reset();
            reason = QStringLiteral("It is larger than any measurement document.");
        }
        if (bytes)
            bytes = readWholeFile(path, &reason, kMaxDocumentBytes);
        if (!bytes) {
            reportFileError(this, path, cannotOpen, reason);
            return LoadResult::Failed;
        }
        WaitCursor wait;
        const LoadOutcome outcome = doc->LoadFromBytes(*bytes);
        if (outcome.refusal)
            appMessageBox(outcome.refusal->text);
        accepted = outcome.loaded;
    } catch (const ArchiveError& e) {
        // The load has left the measurement as it was.
        reportFileError(this, path, cannotOpen,
                        e.cause() == ArchiveError::Cause::NoMemory
                            ? QStringLiteral("There is not enough memory to open it.")
                            : QStringLiteral("It is damaged or incomplete."));
        return LoadResult::Failed;
    }
    // Also after a refused file ("Invalid Format!"): the graph goes back to full view.
    SetTimer(kTimerZoomOut, 50);
    return accepted ? LoadResult::Loaded : LoadResult::Refused;
}

void CMainFrame::OnFileOpen()
{
    CDTView* view = GetDataView();
    if (!view)
        return;
    if (view->m_nLastPoint >= 1 && view->m_bFromFile == 0 && m_bDataUnsaved == 1
        && m_bAskSaveGraph == 1) {
        const MsgResult answer =
            messageBox(this, kAskSaveGraph, kProgramTitle, MsgButtons::YesNo, MsgIcon::None);
        // A save that was cancelled or failed leaves the data unsaved: ask again next time.
        if (answer != MsgResult::Yes || SaveData()) {
            m_bDataUnsaved = 0;
            m_bAskSaveGraph = 0;
        }
    }

    const std::optional<QString> chosen = openFileDialog(this, kOpenFilter, kDocumentExtension);
    if (!chosen)
        return;
    LoadDocumentFile(*chosen);
}

void CMainFrame::SavePreviousMeasurement()
{
    CDTDoc* doc = GetActiveDocument();
    if (!doc)
        return;
    try {
        // Replaced whole or not at all; the copy is a convenience, so a failure is not
        // reported (the measurement itself is still in memory).
        writeWholeFile(previousMeasurementPath(), doc->StoreToBytes());
    } catch (const std::bad_alloc&) {
        // Same as a failed write: the previous copy stays as it was.
    }
}

void CMainFrame::LoadPreviousMeasurement()
{
    const QString path = previousMeasurementPath();
    // Before the first download there is no previous measurement: nothing to do.
    if (!QFileInfo::exists(path))
        return;
    LoadDocumentFile(path);
}

void CMainFrame::OnPreviousMeasurement()
{
    LoadPreviousMeasurement();
}
