#pragma once
// Reading and writing files in one piece. Every file the program writes goes
// through writeWholeFile, so it is written whole or not at all: a failed write
// leaves an existing file of that name untouched and no partial file behind.
#include <QByteArray>
#include <QString>
#include <optional>

// Returns an empty string on success, otherwise the reason the write failed.
QString writeWholeFile(const QString& path, const QByteArray& bytes);

// Reads a regular file opened read-only; on failure (a device or a pipe among them)
// returns nothing and the reason in *error.
std::optional<QByteArray> readWholeFile(const QString& path, QString* error = nullptr);
