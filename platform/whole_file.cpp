#include "platform/whole_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <csignal>
#include <memory>
#include <new>

namespace {
// A write over the process's file-size limit would otherwise end the program with
// SIGXFSZ, and the measurement shown with it. Ignored from the start, such a write
// fails with the system's reason ("File too large") like any other failed write.
[[maybe_unused]] const bool g_fileSizeSignalIgnored = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    return true;
}();

const QString kNotRegular = QStringLiteral("It is not a regular file.");

// Only a regular file has an end: a device such as /dev/zero would be read until
// memory runs out, opening a pipe waits for a writer that may never come, and
// replacing either (or a folder, or a link that leads nowhere) would put a file where
// the user had something else.
bool isOtherThanFile(const QString& path)
{
    const QFileInfo info(path); // follows links
    return (info.exists() || info.isSymLink()) && !info.isFile();
}

// Opens the temporary file of `file.path` and writes all of its bytes; nothing (and
// the reason) when that fails.
std::unique_ptr<QSaveFile> writeTemporary(const WholeFileWrite& file, QString* reason)
{
    if (isOtherThanFile(file.path)) {
        *reason = kNotRegular;
        return nullptr;
    }
    auto out = std::make_unique<QSaveFile>(file.path);
    // Unbuffered, so that every write reaches the system and its failure comes back
    // with the system's reason (a buffered one only says "Unknown error").
    if (!out->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = out->errorString();
        return nullptr;
    }
    // A write the system cuts short (a full disk, a size limit) returns the bytes it
    // took without an error; writing the rest then fails with the reason. A short
    // file is never committed: the old file stays in place.
    const QByteArray& bytes = file.bytes;
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = out->write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            break;
        written += n;
    }
    if (written != bytes.size()) {
        *reason = out->errorString();
        out->cancelWriting();
        return nullptr;
    }
    return out;
}

bool openRegular(QFile& file, QString* error)
{
    if (isOtherThanFile(file.fileName())) {
        if (error)
            *error = kNotRegular;
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

// Reads up to `count` bytes (everything when negative).
std::optional<QByteArray> readBytes(QFile& file, qint64 count, QString* error)
{
    QByteArray bytes;
    try {
        bytes = count < 0 ? file.readAll() : file.read(count);
    } catch (const std::bad_alloc&) {
        // A file far larger than anything the program writes, picked by mistake: a
        // failed read, not the end of the program.
        if (error)
            *error = QStringLiteral("There is not enough memory to read the file.");
        return std::nullopt;
    }
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

constexpr int kHeldSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};
volatile std::sig_atomic_t g_pendingSignal = 0;
int g_holdDepth = 0;
struct sigaction g_previous[std::size(kHeldSignals)];

void noteSignal(int signal)
{
    g_pendingSignal = signal;
}

} // namespace

TerminationHeld::TerminationHeld()
{
    if (g_holdDepth++ > 0)
        return;
    g_pendingSignal = 0;
    struct sigaction hold = {};
    hold.sa_handler = noteSignal;
    sigemptyset(&hold.sa_mask);
    hold.sa_flags = SA_RESTART; // a write under way goes on
    for (std::size_t i = 0; i < std::size(kHeldSignals); ++i)
        sigaction(kHeldSignals[i], &hold, &g_previous[i]);
}

TerminationHeld::~TerminationHeld()
{
    if (--g_holdDepth > 0)
        return;
    for (std::size_t i = 0; i < std::size(kHeldSignals); ++i)
        sigaction(kHeldSignals[i], &g_previous[i], nullptr);
    if (const int signal = g_pendingSignal) {
        g_pendingSignal = 0;
        std::raise(signal);
    }
}

std::optional<WholeFileFailure> writeWholeFiles(const std::vector<WholeFileWrite>& files)
{
    // Ending the program half-way would leave some files new and others old, or (where
    // the file system has no unnamed temporary files) a temporary file in the user's
    // folder.
    TerminationHeld held;
    std::vector<std::unique_ptr<QSaveFile>> written; // discarded unless committed
    for (std::size_t i = 0; i < files.size(); ++i) {
        QString reason;
        std::unique_ptr<QSaveFile> file = writeTemporary(files[i], &reason);
        if (!file)
            return WholeFileFailure{i, reason};
        written.push_back(std::move(file));
    }
    for (std::size_t i = 0; i < written.size(); ++i)
        if (!written[i]->commit())
            return WholeFileFailure{i, written[i]->errorString()};
    return std::nullopt;
}

QString writeWholeFile(const QString& path, const QByteArray& bytes)
{
    const std::optional<WholeFileFailure> failure = writeWholeFiles({{path, bytes}});
    return failure ? failure->reason : QString();
}

std::optional<QByteArray> readWholeFile(const QString& path, QString* error, qint64 maxBytes)
{
    QFile file(path);
    if (!openRegular(file, error))
        return std::nullopt;
    if (maxBytes < 0)
        return readBytes(file, -1, error);
    // Read to one byte past the limit: a file that grew since its size was looked at
    // shows by that byte.
    if (file.size() <= maxBytes) {
        std::optional<QByteArray> bytes = readBytes(file, maxBytes + 1, error);
        if (!bytes || bytes->size() <= maxBytes)
            return bytes;
    }
    if (error)
        *error = QStringLiteral("It is too large.");
    return std::nullopt;
}

std::optional<QByteArray> readFileHead(const QString& path, qsizetype count, qint64* size,
                                       QString* error)
{
    QFile file(path);
    if (!openRegular(file, error))
        return std::nullopt;
    *size = file.size();
    return readBytes(file, count, error);
}
