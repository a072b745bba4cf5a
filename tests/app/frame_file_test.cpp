// File > Save, File > Open and the previous measurement, run on a real frame with
// the dialogs and message boxes answered through their hooks.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "app/frame_fixture.h"
#include "app/mainframe.h"
#include "display/cdtview.h"
#include "display/rec_info_band.h"
#include "document/cdtdoc.h"
#include "document/csv_report.h"
#include "platform/archive.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/whole_file.h"
#include "resources/command_ids.h"
#include "support/test_env.h"

namespace {

const QString kAskSaveGraph =
    QStringLiteral("Do you want to save the existing graph data before continuing?");

// The shared frame with a document, in a fresh home, with the boxes (answered Ok
// unless queued otherwise) and the file dialogs scripted.
class FrameFileTest : public testing::Test {
protected:
    // A downloaded-like measurement that has not been saved yet.
    void fillMeasurement(int trRecords = 2)
    {
        const int n = 5;
        view->m_nStoreCount = n;
        view->m_bStoreCh1 = view->m_bStoreCh2 = 1;
        view->m_strStoreUnit1 = QStringLiteral("V");
        view->m_strStoreUnit2 = QStringLiteral("A");
        view->m_strCh1Max = QStringLiteral("231.0V 08/12/26 07:54:37");
        view->m_fInterval = 1.0f;
        view->m_tStoreStart = 1796716476;
        doc.m_pCh1Data = {230.1f, 231.0f, 229.5f, 230.0f, 230.2f};
        doc.m_pCh2Data = {1.5f, 1.6f, 1.7f, 1.8f, 1.9f};
        view->m_nTrCount = trRecords;
        view->m_pTrChannel.assign(trRecords, 0xF1);
        view->m_pTrQuantity.assign(trRecords, 0xFA);
        doc.m_pTrTimes.assign(trRecords, 1796716500);
        doc.m_pTrData.assign(static_cast<std::size_t>(trRecords) * kTrSamples, 300.0f);
        doc.m_strFileTag = QStringLiteral("RMSTRDATA");
        view->m_nFirstPoint = 1;
        view->m_nLastPoint = n;
        view->m_bFromFile = 0;
        frame->m_bDataUnsaved = 1;
        frame->m_bAskSaveGraph = 1;
        frame->m_bAskSaveStore = 1;
    }

    // File > Open as the user picks it.
    void openFromMenu() { frame->commandAction(ID_FILE_OPEN_DATA)->trigger(); }

    bool flagsSet() const
    {
        return frame->m_bDataUnsaved == 1 && frame->m_bAskSaveGraph == 1
               && frame->m_bAskSaveStore == 1;
    }

    static QByteArray fileBytes(const QString& path)
    {
        return readWholeFile(path).value_or(QByteArray("<missing>"));
    }

    QString m_home = testenv::resetHome();
    QString m_docs = m_home + QStringLiteral("/Documents");
    testenv::MessageBoxRecorder m_boxes{{}, MsgResult::Ok};
    testenv::FileDialogScript m_dialogs;
    frametest::Frame m_frame;
    CDTDoc& doc = *m_frame.doc;
    CMainFrame* frame = m_frame.frame.get();
    CDTView* view = &m_frame.view();
    std::vector<MessageBoxCall>& boxes = m_boxes.calls;
    std::deque<MsgResult>& answers = m_boxes.answers;
    std::vector<FileDialogCall>& dialogs = m_dialogs.calls;
    std::deque<std::optional<QString>>& picks = m_dialogs.picks;
};

} // namespace

TEST_F(FrameFileTest, save_writes_document_and_reports_beside_it)
{
    fillMeasurement();
    doc.m_strFileTag = QStringLiteral("EPADATA"); // a saved document is always stored data
    const QString folder = m_docs + QStringLiteral("/RQ730");
    picks.push_back(folder + QStringLiteral("/RQ730 26-12-08 07.54.36"));
    // The reports must not follow the process's current folder.
    const QString elsewhere = m_home + QStringLiteral("/elsewhere");
    QDir().mkpath(elsewhere);
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(elsewhere);

    const bool saved = frame->SaveData();
    QDir::setCurrent(oldCwd);
    ASSERT_TRUE(saved);

    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs[0].save);
    EXPECT_FALSE(dialogs[0].overwritePrompt); // the save asks about the files it writes
    EXPECT_EQ(dialogs[0].filter,
              QStringLiteral("DataLogger Files (*.stdata*.csv)|*.stdata;*.csv|"));
    EXPECT_EQ(dialogs[0].defaultExtension, QStringLiteral("stdata"));
    EXPECT_EQ(dialogs[0].initialFolder, folder);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^RQ730 \\d\\d-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d$"))
            .match(dialogs[0].initialName)
            .hasMatch())
        << dialogs[0].initialName.toStdString();
    EXPECT_TRUE(boxes.empty());

    const QString base = folder + QStringLiteral("/RQ730 26-12-08 07.54");
    const QByteArray document = fileBytes(base + QStringLiteral(".stdata"));
    EXPECT_TRUE(document.startsWith(QByteArray("\x09RMSTRDATA", 10)));
    EXPECT_EQ(document, doc.StoreToBytes());
    EXPECT_EQ(fileBytes(base + QStringLiteral(".csv")), RmsCsvReport(doc, *view));
    EXPECT_EQ(fileBytes(base + QStringLiteral("_tr.csv")), TrCsvReport(doc, *view));
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
    EXPECT_EQ(frame->m_bDataUnsaved, 0);
    EXPECT_EQ(frame->m_bAskSaveGraph, 0);
    EXPECT_EQ(frame->m_bAskSaveStore, 0);
}

TEST_F(FrameFileTest, save_as_csv_name_in_dotted_folder_without_records)
{
    fillMeasurement(0);
    const QString folder = m_home + QStringLiteral("/run.v2");
    QDir().mkpath(folder);
    picks.push_back(folder + QStringLiteral("/data.csv"));
    // Through the command, as the menu item and toolbar button send it.
    EXPECT_TRUE(frame->OnCmdMsg(ID_FILE_SAVE_DATA));
    EXPECT_EQ(fileBytes(folder + QStringLiteral("/data.stdata")), doc.StoreToBytes());
    EXPECT_EQ(fileBytes(folder + QStringLiteral("/data.csv")), RmsCsvReport(doc, *view));
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/data_tr.csv")));
    EXPECT_EQ(QDir(m_home).entryList(QStringList{QStringLiteral("run*")}, QDir::AllEntries),
              QStringList{QStringLiteral("run.v2")});
}

TEST_F(FrameFileTest, cancelled_or_failed_save_keeps_data_unsaved)
{
    fillMeasurement();
    picks.push_back(std::nullopt); // Cancel
    EXPECT_FALSE(frame->SaveData());
    EXPECT_TRUE(flagsSet());
    EXPECT_TRUE(boxes.empty());

    // A folder that is really a file: nothing can be written there.
    const QString notAFolder = m_home + QStringLiteral("/plain");
    ASSERT_TRUE(writeWholeFile(notAFolder, "x").isEmpty());
    picks.push_back(notAFolder + QStringLiteral("/data.stdata"));
    EXPECT_FALSE(frame->SaveData());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("could not be saved")))
        << boxes[0].text.toStdString();
    EXPECT_EQ(boxes[0].caption, QStringLiteral("RQ730 Datalogger"));
    EXPECT_TRUE(flagsSet());
    EXPECT_EQ(fileBytes(notAFolder), QByteArray("x"));

    // The report cannot be written (a folder holds its name): the failure is reported,
    // nothing of the save is written, and the data still counts as unsaved.
    const QString folder = m_home + QStringLiteral("/out");
    QDir().mkpath(folder + QStringLiteral("/run.csv"));
    picks.push_back(folder + QStringLiteral("/run.stdata"));
    EXPECT_FALSE(frame->SaveData());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[1].text.contains(QStringLiteral("run.csv")));
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/run.csv")).isDir());
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/run_tr.csv")));
    EXPECT_TRUE(flagsSet());
    // No temporary file is left anywhere in the folder.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

TEST_F(FrameFileTest, save_asks_before_replacing_any_file_it_writes)
{
    fillMeasurement();
    const QString folder = m_home + QStringLiteral("/saves");
    QDir().mkpath(folder);
    // Two saves in the same minute reduce to the same three names.
    picks.push_back(folder + QStringLiteral("/RQ730 26-12-08 07.54.36"));
    ASSERT_TRUE(frame->SaveData());
    EXPECT_TRUE(boxes.empty()) << "nothing to replace: no question";
    const QString base = folder + QStringLiteral("/RQ730 26-12-08 07.54");
    const QStringList names{base + QStringLiteral(".stdata"), base + QStringLiteral(".csv"),
                            base + QStringLiteral("_tr.csv")};
    std::vector<QByteArray> first;
    for (const QString& name : names)
        first.push_back(fileBytes(name));

    fillMeasurement();
    doc.m_pCh1Data.assign(5, 100.0f);
    doc.m_pTrData.assign(doc.m_pTrData.size(), 100.0f);
    for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
        boxes.clear();
        answers = {answer};
        picks.push_back(folder + QStringLiteral("/RQ730 26-12-08 07.54.59"));
        EXPECT_EQ(frame->SaveData(), answer == MsgResult::Yes);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(boxes[0].caption, QStringLiteral("RQ730 Datalogger"));
        for (qsizetype i = 0; i < names.size(); ++i) {
            EXPECT_TRUE(boxes[0].text.contains(names[i])) << boxes[0].text.toStdString();
            // No keeps every file; Yes replaces every one.
            EXPECT_EQ(fileBytes(names[i]) == first[static_cast<std::size_t>(i)],
                      answer == MsgResult::No);
        }
        EXPECT_EQ(flagsSet(), answer == MsgResult::No);
    }

    // Only the transient report is in the way: still asked.
    const QString lone = folder + QStringLiteral("/lone");
    ASSERT_TRUE(writeWholeFile(lone + QStringLiteral("_tr.csv"), "keep").isEmpty());
    boxes.clear();
    answers = {MsgResult::No};
    picks.push_back(lone + QStringLiteral(".stdata"));
    EXPECT_FALSE(frame->SaveData());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(fileBytes(lone + QStringLiteral("_tr.csv")), QByteArray("keep"));
    EXPECT_FALSE(QFileInfo::exists(lone + QStringLiteral(".stdata")));
}

TEST_F(FrameFileTest, failed_save_names_the_system_reason)
{
    fillMeasurement();
    const QString path = m_home + QStringLiteral("/big.stdata");
    ASSERT_TRUE(writeWholeFile(path, "old").isEmpty());
    answers = {MsgResult::Yes}; // replace big.stdata
    picks.push_back(path);
    bool saved = true;
    testenv::withFileSizeLimit(64, [&] { saved = frame->SaveData(); });
    EXPECT_FALSE(saved);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[1].text.contains(QString::fromLocal8Bit(std::strerror(EFBIG))))
        << boxes[1].text.toStdString();
    EXPECT_EQ(fileBytes(path), QByteArray("old"));
    EXPECT_TRUE(flagsSet());
}

TEST_F(FrameFileTest, open_cancel_changes_nothing)
{
    fillMeasurement();
    view->m_bFromFile = 1; // no question: the data came from a file
    const QByteArray before = doc.StoreToBytes();
    EXPECT_TRUE(frame->OnCmdMsg(ID_FILE_OPEN_DATA));
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_FALSE(dialogs[0].save);
    EXPECT_EQ(dialogs[0].filter, QStringLiteral("DataLogger Files (*.stdata)|*.stdata|"));
    EXPECT_EQ(dialogs[0].defaultExtension, QStringLiteral("stdata"));
    EXPECT_TRUE(dialogs[0].initialName.isEmpty());
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(frame->timers().IsActive(kTimerZoomOut));
    EXPECT_EQ(doc.StoreToBytes(), before);
}

TEST_F(FrameFileTest, open_loads_a_document_and_zooms_out)
{
    fillMeasurement();
    const QByteArray saved = doc.StoreToBytes();
    const QString path = m_home + QStringLiteral("/kept.stdata");
    ASSERT_TRUE(writeWholeFile(path, saved).isEmpty());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);

    // Different data in memory, shown from a file (no question).
    doc.m_pCh1Data.assign(5, 1.0f);
    view->m_nTrCount = 0;
    view->m_bFromFile = 1;
    view->g_nZoomLevel = 3;
    view->g_bFullView = 0;
    view->g_strReadout = QStringLiteral("Data Point No.:3  Time:07/03/09 14:05:11   CH1: 1.0V");
    picks.push_back(m_home + QStringLiteral("/kept")); // typed without extension
    openFromMenu();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(doc.StoreToBytes(), saved);
    EXPECT_TRUE(view->g_strReadout.isEmpty()); // it read out the data shown before
    EXPECT_EQ(view->m_nTrCount, 2);
    EXPECT_EQ(frame->timers().Interval(kTimerZoomOut), 50);
    EXPECT_TRUE(sim::waitUntil([&] { return !frame->timers().IsActive(kTimerZoomOut); }));
    EXPECT_EQ(view->g_nZoomLevel, 0);
    EXPECT_EQ(view->g_bFullView, 1);
}

TEST_F(FrameFileTest, open_of_text_file_unreadable_or_damaged_file)
{
    fillMeasurement();
    view->m_bFromFile = 1;
    const QByteArray before = doc.StoreToBytes();

    // A text file: refused with "Invalid Format!", then the view still zooms out.
    const QString text = m_home + QStringLiteral("/notes.stdata");
    // Its first byte ('H', 72) reads as the length of the tag, so it needs more lines.
    ASSERT_TRUE(writeWholeFile(text, QByteArray("Hello, this is not a document.\r\n").repeated(8))
                    .isEmpty());
    picks.push_back(text);
    openFromMenu();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Invalid Format!"));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("QH5Datalogger"));
    EXPECT_EQ(boxes[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(boxes[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(doc.StoreToBytes(), before);
    EXPECT_EQ(frame->timers().Interval(kTimerZoomOut), 50);
    frame->KillTimer(kTimerZoomOut);

    // A file that cannot be read is reported; nothing changes and nothing zooms.
    picks.push_back(m_home + QStringLiteral("/missing.stdata"));
    openFromMenu();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[1].text.contains(QStringLiteral("could not be opened")));
    EXPECT_TRUE(boxes[1].text.contains(QStringLiteral("missing.stdata")));
    EXPECT_FALSE(frame->timers().IsActive(kTimerZoomOut));

    // A document cut short: the load fails with its reason and changes nothing.
    const QString cut = m_home + QStringLiteral("/cut.stdata");
    ASSERT_TRUE(writeWholeFile(cut, before.left(before.size() - 300)).isEmpty());
    picks.push_back(cut);
    openFromMenu();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_TRUE(boxes[2].text.contains(QStringLiteral("cut.stdata")));
    EXPECT_TRUE(boxes[2].text.contains(QStringLiteral("damaged or incomplete")));
    EXPECT_FALSE(frame->timers().IsActive(kTimerZoomOut));
    EXPECT_EQ(doc.StoreToBytes(), before);

    // A device or a pipe picked by mistake is refused at once: one would be read
    // without end, the other would wait for a writer.
    const QString device = m_home + QStringLiteral("/zero.stdata");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), device));
    const QString pipe = m_home + QStringLiteral("/pipe.stdata");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& path : {device, pipe}) {
        picks.push_back(path);
        openFromMenu();
        EXPECT_TRUE(boxes.back().text.endsWith(QStringLiteral("It is not a regular file.")))
            << boxes.back().text.toStdString();
    }
    EXPECT_EQ(boxes.size(), 5u);
    EXPECT_EQ(doc.StoreToBytes(), before);
}

namespace {
// A document that announces `points` (a head alone for a null text), or one of a single
// channel-1 value with the texts and units given.
QByteArray documentWith(qint32 points, const QString& text = {}, const QString& unit = {})
{
    Archive ar;
    ar.writeString(kTagStored);
    ar.writeInt32(points);
    ar.writeUInt16(text.isNull() ? 0 : 1); // the two presence bytes
    for (int i = 0; i < 7; ++i)
        ar.writeInt32(1);
    if (text.isNull())
        return ar.bytes();
    ar.writeFloat(230.0f);
    for (const QString& t : {text, text, unit, unit})
        ar.writeString(t);
    return ar.bytes() + QByteArray(4 + 24, '\0');
}

// Files beyond what the program writes: their first bytes, their size (the rest a hole
// of zeros) and the end of the box each gives.
struct HostileDocument {
    const char* name;
    QByteArray start;
    qint64 size;
    QString message;
};
std::vector<HostileDocument> hostileDocuments()
{
    const QString damaged = QStringLiteral("It is damaged or incomplete.");
    const QString tooLarge = QStringLiteral("It is larger than any measurement document.");
    const QString v = QStringLiteral("V");
    return {{"1.5 GB of zeros", {}, 1536LL << 20, QStringLiteral("Invalid Format!")},
            {"tag longer than any text", QByteArray("\xff\xff\xff\0\0\1\0", 7), 1 << 20,
             QStringLiteral("Invalid Format!")},
            {"text of 1,025 characters", documentWith(1, QString(1025, 'x'), v), 0, damaged},
            {"65,000 right-to-left overrides", documentWith(1, QString(65000, QChar(0x202E)), v), 0,
             damaged},
            {"unit of 17 characters", documentWith(1, v, QString(17, 'V')), 0, damaged},
            {"points beyond a logger memory", documentWith(kMaxStorePoints + 1), 100, damaged},
            {"records beyond a logger memory", documentWith(0) + QByteArray("\1\4\0\0", 4), 100,
             damaged},
            {"100 MB of 25 million points", documentWith(25'000'000), 100'000'000, tooLarge},
            {"a byte over the largest document", documentWith(1, v, v), kMaxDocumentBytes + 1,
             tooLarge}};
}

// The seconds `work` takes, and how far the process's peak memory (MB) grows over what
// is in use before it.
std::pair<double, double> timeAndPeak(const std::function<void()>& work)
{
    const auto kib = [](const std::string& key) {
        std::ifstream status("/proc/self/status");
        std::string word;
        long value = 0;
        while (status >> word && word != key) {}
        return status >> value ? value : 0L;
    };
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts from what is in use
    const long before = kib("VmRSS:");
    QElapsedTimer clock;
    clock.start();
    work();
    return {clock.nsecsElapsed() / 1e9, (kib("VmHWM:") - before) / 1024.0};
}

bool make(const HostileDocument& d, const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(d.start) == d.start.size()
           && (d.size == 0 || file.resize(d.size));
}
} // namespace

TEST_F(FrameFileTest, hostile_documents_are_refused_unread_and_change_nothing)
{
    fillMeasurement();
    view->m_bFromFile = 1;
    const QByteArray before = doc.StoreToBytes();
    for (const HostileDocument& row : hostileDocuments()) {
        const QString path = m_home + QStringLiteral("/%1.stdata").arg(row.name);
        ASSERT_TRUE(make(row, path)) << row.name;
        picks.push_back(path);
        openFromMenu();
        ASSERT_EQ(boxes.size(), 1u) << row.name;
        EXPECT_TRUE(boxes[0].text.endsWith(row.message)) << boxes[0].text.toStdString();
        EXPECT_EQ(doc.StoreToBytes(), before) << row.name;
        boxes.clear();
    }
}

// Run with --gtest_also_run_disabled_tests on a release build: the time and the growth
// of the peak memory of each open (and of the largest document), of the band with texts
// it cannot show whole, and of a start with the largest settings files read.
TEST_F(FrameFileTest, DISABLED_benchmark_hostile_documents_and_settings)
{
    fillMeasurement(kMaxTrRecords);
    view->m_nStoreCount = kMaxStorePoints;
    doc.m_pCh1Data = doc.m_pCh2Data = std::vector<float>(kMaxStorePoints, 230.0f);
    view->m_strCh1Max = view->m_strCh2Min = QString(kMaxTextLength, 'M');
    view->m_bFromFile = 1;
    std::vector<HostileDocument> rows = hostileDocuments();
    rows.push_back({"the largest document", doc.StoreToBytes(), 0, {}});
    const auto print = [](const char* name, std::pair<double, double> m) {
        std::printf("%-40s %7.3f s  peak +%5.1f MB\n", name, m.first, m.second);
        EXPECT_LT(m.first, 1.0);
        EXPECT_LT(m.second, 64);
    };
    for (const HostileDocument& row : rows) {
        const QString path = m_home + QStringLiteral("/%1.stdata").arg(row.name);
        ASSERT_TRUE(make(row, path));
        picks.push_back(path);
        print(row.name, timeAndPeak([&] { openFromMenu(); }));
    }
    view->m_recInfo.m_strMode = view->m_recInfo.m_strCount = QString(65000, QChar(0x202E));
    QImage band(1600, 120, QImage::Format_RGB32);
    QPainter painter(&band);
    print("band with texts of 65,000 overrides",
          timeAndPeak([&] { CRecInfoDlg(view).OnPaint(painter, band.rect()); }));
    const std::pair<const char*, QByteArray> settings[] = {
        {"start without a settings file", {}},
        {"start, 64 KiB of empty settings lines", QByteArray(65536, '\n')},
        {"start, 64 KiB of settings lines \"=\"", QByteArray("=\n").repeated(32768)}};
    for (const auto& [name, file] : settings) {
        ASSERT_TRUE(writeWholeFile(CMainFrame::settingsPath(), file).isEmpty());
        print(name, timeAndPeak([] { frametest::Frame started; }));
    }
}

TEST_F(FrameFileTest, open_asks_to_save_unsaved_downloaded_data)
{
    fillMeasurement();
    // No: no save, both flags cleared, the open dialog follows.
    answers = {MsgResult::No};
    openFromMenu();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kAskSaveGraph);
    EXPECT_EQ(boxes[0].caption, QStringLiteral("RQ730 Datalogger"));
    EXPECT_EQ(boxes[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(boxes[0].icon, MsgIcon::None);
    EXPECT_EQ(frame->m_bDataUnsaved, 0);
    EXPECT_EQ(frame->m_bAskSaveGraph, 0);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_FALSE(dialogs[0].save);

    // A second Open right after asks nothing.
    openFromMenu();
    EXPECT_EQ(boxes.size(), 1u);

    // Yes, then Cancel in the save dialog: the data stays unsaved.
    fillMeasurement();
    boxes.clear();
    dialogs.clear();
    answers = {MsgResult::Yes};
    picks = {std::nullopt, std::nullopt};
    openFromMenu();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_TRUE(dialogs[0].save);
    EXPECT_FALSE(dialogs[1].save);
    EXPECT_TRUE(flagsSet());

    // Yes, and the save goes through: saved, flags cleared.
    answers = {MsgResult::Yes};
    picks = {m_home + QStringLiteral("/first.stdata"), std::nullopt};
    openFromMenu();
    EXPECT_TRUE(QFileInfo::exists(m_home + QStringLiteral("/first.csv")));
    EXPECT_EQ(frame->m_bDataUnsaved, 0);
    EXPECT_EQ(frame->m_bAskSaveGraph, 0);

    // No question for data from a file, or with no point shown.
    boxes.clear();
    fillMeasurement();
    view->m_bFromFile = 1;
    openFromMenu();
    fillMeasurement();
    view->m_nLastPoint = 0;
    openFromMenu();
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FrameFileTest, close_question_yes_with_failed_save_keeps_flags)
{
    fillMeasurement();
    answers = {MsgResult::Yes};
    picks = {std::nullopt};
    frame->OnClose();
    frame->KillTimer(kTimerClose);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(frame->m_bDataUnsaved, 1);
    EXPECT_EQ(frame->m_bAskSaveGraph, 1);
}

TEST_F(FrameFileTest, previous_measurement_round_trip)
{
    // Before any download there is no file: nothing happens.
    fillMeasurement();
    const QByteArray downloaded = doc.StoreToBytes();
    EXPECT_FALSE(QFileInfo::exists(CMainFrame::previousMeasurementPath()));
    EXPECT_TRUE(frame->OnCmdMsg(ID_PREVIOUS_MEASUREMENT));
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(frame->timers().IsActive(kTimerZoomOut));
    EXPECT_EQ(doc.StoreToBytes(), downloaded);

    // After a download the file holds what Save would write.
    frame->SavePreviousMeasurement();
    const QString path = CMainFrame::previousMeasurementPath();
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("PreMeasure529.stdata"));
    EXPECT_EQ(QFileInfo(path).absolutePath(),
              QFileInfo(testenv::configFolder()).absoluteFilePath());
    EXPECT_EQ(fileBytes(path), downloaded);

    // Other data replaces it in memory; the command brings the measurement back.
    doc.m_pCh1Data.assign(5, 0.0f);
    view->m_nTrCount = 0;
    frame->OnPreviousMeasurement();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(doc.StoreToBytes(), downloaded);
    EXPECT_EQ(view->m_bFromFile, 1);
    EXPECT_EQ(frame->timers().Interval(kTimerZoomOut), 50);

    // A store that cannot be written is dropped silently.
    doc.m_pCh1Data.assign(5, 9.0f);
    QFile::remove(path);
    QDir().mkpath(path + QStringLiteral("/blocked")); // a folder now holds the name
    frame->SavePreviousMeasurement();
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_TRUE(boxes.empty());
}

// Run with --gtest_also_run_disabled_tests on a release build.
TEST_F(FrameFileTest, DISABLED_benchmark_save_of_a_full_memory)
{
    fillMeasurement(16);
    const int n = 4 * 65536;
    view->m_nStoreCount = n;
    doc.m_pCh1Data.resize(n);
    doc.m_pCh2Data.resize(n);
    for (int i = 0; i < n; ++i) {
        doc.m_pCh1Data[i] = 229.95f + static_cast<float>(i % 100) * 0.01f;
        doc.m_pCh2Data[i] = 12.34f + static_cast<float>(i % 7);
    }
    picks.push_back(m_home + QStringLiteral("/full.stdata"));
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(frame->SaveData());
    const qint64 ms = t.elapsed();
    // A measurement to read, not a limit to pass: the time depends on the machine.
    std::printf("document and reports of %d points saved in %lld ms\n", n,
                static_cast<long long>(ms));
}
