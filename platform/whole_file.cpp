#include "platform/whole_file.h"

#include <QFile>
#include <QSaveFile>
#include <new>

QString writeWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // The save file buffers what it is given; a write error (a full disk, a size
    // limit) only shows when the buffer goes out, and the commit would still put the
    // short file in place. So the buffer is flushed and checked before committing.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
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
