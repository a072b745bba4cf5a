#pragma once
// A little-endian archive in the classic document-file form: fixed-width numbers
// and length-prefixed single-byte strings. Storing appends to an in-memory buffer
// that the caller writes out whole; loading reads from a buffer and throws
// ArchiveError when a field runs past the end.
#include <QByteArray>
#include <QString>
#include <optional>
#include <stdexcept>

class ArchiveError : public std::runtime_error {
public:
    // NoMemory: the file may well be whole, but the memory for what it holds could
    // not be had.
    enum class Cause { EndOfFile, BadFormat, NoMemory };
    ArchiveError(Cause cause, const char* what) : std::runtime_error(what), m_cause(cause) {}
    Cause cause() const { return m_cause; }

private:
    Cause m_cause;
};

class Archive {
public:
    // An archive that stores into an empty buffer.
    Archive();
    // An archive that loads from the given bytes.
    explicit Archive(QByteArray bytes);

    bool IsStoring() const { return m_storing; }
    bool IsLoading() const { return !m_storing; }

    // Storing.
    void writeUInt8(quint8 v);
    void writeInt32(qint32 v);
    void writeUInt16(quint16 v);
    void writeUInt32(quint32 v);
    void writeFloat(float v);
    void writeFloats(const float* values, qsizetype count);
    // Single-byte characters (Latin-1); characters outside it are stored as '?'.
    void writeString(const QString& s);

    // Loading; each throws ArchiveError(EndOfFile) when the bytes run out.
    quint8 readUInt8();
    quint16 readUInt16();
    qint32 readInt32();
    quint32 readUInt32();
    float readFloat();
    void readFloats(float* values, qsizetype count);
    // A string of at most `maxLength` characters; a longer one is a damaged file
    // (BadFormat), refused before its characters are read.
    QString readString(qsizetype maxLength = kMaxStringLength);
    // The same, but nothing for a longer string (its characters left unread).
    std::optional<QString> readStringUpTo(qsizetype maxLength);

    // What any string may hold: the longest the 32-bit length form can announce.
    static constexpr qsizetype kMaxStringLength = 0xFFFFFFFF;
    // Bytes a string of `length` characters takes at most in a file: the widest
    // length form (0xFF, wide marker, 0xFF, 0xFFFF, 32-bit length) and 16-bit characters.
    static constexpr qint64 maxStringBytes(qint64 length) { return 10 + 2 * length; }

    // Bytes not yet read (loading) or written so far (storing).
    qsizetype remaining() const { return m_bytes.size() - m_pos; }
    const QByteArray& bytes() const { return m_bytes; }

private:
    void need(qsizetype n) const;
    qsizetype readLength(bool* wide);

    QByteArray m_bytes;
    qsizetype m_pos = 0;
    bool m_storing = true;
};
