#include "platform/whole_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <csignal>
#include <new>

namespace {
// A write over the process's file-size limit would otherwise end the program with
// SIGXFSZ, and the measurement shown with it. Ignored from the start, such a write
// fails with the system's reason ("File too large") like any other failed write.
[[maybe_unused]] const bool g_fileSizeSignalIgnored = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    return true;
}();
} // namespace

QString writeWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    // Unbuffered, so that every write reaches the system and its failure comes back
    // with the system's reason (a buffered one only says "Unknown error").
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    // A write the system cuts short (a full disk, a size limit) returns the bytes it
    // took without an error; writing the rest then fails with the reason. A short
    // file is never committed: the old file stays in place.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            break;
        written += n;
    }
    if (written != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

std::optional<QByteArray> readWholeFile(const QString& path, QString* error)
{
    // Only a regular file has an end: a device such as /dev/zero would be read until
    // memory runs out, and opening a pipe waits for a writer that may never come.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        if (error)
            *error = QStringLiteral("It is not a regular file.");
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes;
    try {
        bytes = file.readAll();
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
