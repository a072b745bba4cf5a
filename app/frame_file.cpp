// The frame's file commands: File > Save (the document with its CSV reports),
// File > Open, and the previous-measurement file that the program keeps by itself.
//
// Every file is built in memory and written through writeWholeFile, so a file is
// either written whole or not at all and an older file of that name survives a
// failed write. Reading goes through readWholeFile (read-only), so a document
// marked read-only still opens.
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
    return windowsFolder() + QStringLiteral("/PreMeasure529.stdata");
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

    // The document first: without it the reports are of little use. A report that
    // fails after it is reported too, and the data still counts as unsaved.
    const std::vector<const QByteArray*> contents{&document, &rmsReport, &trReport};
    for (qsizetype i = 0; i < targets.size(); ++i)
        if (!WriteFileReported(targets[i], *contents[static_cast<std::size_t>(i)]))
            return false;

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
    QString error;
    const std::optional<QByteArray> bytes = readWholeFile(path, &error);
    if (!bytes) {
        reportFileError(this, path, cannotOpen, error);
        return LoadResult::Failed;
    }
    bool accepted = false;
    try {
        WaitCursor wait;
        accepted = doc->LoadFromBytes(*bytes);
    } catch (const ArchiveError&) {
        // A damaged or cut-short document: the load has left the measurement as it was.
        reportFileError(this, path, cannotOpen, QStringLiteral("It is damaged or incomplete."));
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
