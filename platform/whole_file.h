#pragma once
// Reading and writing files in one piece. Every file the program writes goes
// through writeWholeFile or writeWholeFiles, so it is written whole or not at all: a
// failed write leaves an existing file of that name untouched and no partial file
// behind.
#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// Returns an empty string on success, otherwise the reason the write failed. A path
// that names something other than a regular file (a folder, a device, a pipe, or a
// link to one) is never replaced.
QString writeWholeFile(const QString& path, const QByteArray& bytes);

// Several files that belong together (a document and its reports): all are written
// to temporary files first, and only when every one is complete do they replace the
// files of their names, in the order given. A request to end the program (SIGTERM,
// SIGINT, SIGHUP, SIGQUIT) that arrives meanwhile takes effect once they are all in
// place. Returns the index of the file that failed and the reason, or nothing.
struct WholeFileWrite {
    QString path;
    QByteArray bytes;
};
struct WholeFileFailure {
    std::size_t index = 0;
    QString reason;
};
std::optional<WholeFileFailure> writeWholeFiles(const std::vector<WholeFileWrite>& files);

// Reads a regular file opened read-only; on failure (a device or a pipe among them)
// returns nothing and the reason in *error. A file of more than `maxBytes` bytes
// (when given) is refused before it is read.
std::optional<QByteArray> readWholeFile(const QString& path, QString* error = nullptr,
                                        qint64 maxBytes = -1);

// The first `count` bytes of a regular file (all of a shorter one), with the file's
// size in *size; fails as readWholeFile does.
std::optional<QByteArray> readFileHead(const QString& path, qsizetype count, qint64* size,
                                       QString* error = nullptr);

// Holds back the signals that ask the program to end (SIGTERM, SIGINT, SIGHUP,
// SIGQUIT) for its lifetime; one that arrived meanwhile is raised again at its end,
// with the handling the program had before.
class TerminationHeld {
public:
    TerminationHeld();
    ~TerminationHeld();
    TerminationHeld(const TerminationHeld&) = delete;
    TerminationHeld& operator=(const TerminationHeld&) = delete;
};
