#include "platform/archive.h"

#include <QtEndian>
#include <cstring>

Archive::Archive() = default;

Archive::Archive(QByteArray bytes) : m_bytes(std::move(bytes)), m_storing(false) {}

void Archive::writeUInt8(quint8 v)
{
    m_bytes.append(static_cast<char>(v));
}

void Archive::writeUInt16(quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    m_bytes.append(b, 2);
}

void Archive::writeUInt32(quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    m_bytes.append(b, 4);
}

void Archive::writeInt32(qint32 v)
{
    writeUInt32(static_cast<quint32>(v));
}

void Archive::writeFloat(float v)
{
    quint32 bits;
    std::memcpy(&bits, &v, 4);
    writeUInt32(bits);
}

void Archive::writeFloats(const float* values, qsizetype count)
{
    m_bytes.reserve(m_bytes.size() + count * 4);
    for (qsizetype i = 0; i < count; ++i)
        writeFloat(values[i]);
}

void Archive::writeString(const QString& s)
{
    const QByteArray chars = s.toLatin1();
    const auto n = static_cast<quint64>(chars.size());
    if (n < 255) {
        writeUInt8(static_cast<quint8>(n));
    } else if (n < 0xFFFE) {
        writeUInt8(0xFF);
        writeUInt16(static_cast<quint16>(n));
    } else {
        writeUInt8(0xFF);
        writeUInt16(0xFFFF);
        writeUInt32(static_cast<quint32>(n));
    }
    m_bytes.append(chars);
}

void Archive::need(qsizetype n) const
{
    if (n < 0 || remaining() < n)
        throw ArchiveError(ArchiveError::Cause::EndOfFile, "unexpected end of file");
}

quint8 Archive::readUInt8()
{
    need(1);
    // Read through the const data: the non-const operator[] would copy bytes that
    // are shared with the caller's (a whole file).
    return static_cast<quint8>(m_bytes.constData()[m_pos++]);
}

quint16 Archive::readUInt16()
{
    need(2);
    const quint16 v = qFromLittleEndian<quint16>(m_bytes.constData() + m_pos);
    m_pos += 2;
    return v;
}

quint32 Archive::readUInt32()
{
    need(4);
    const quint32 v = qFromLittleEndian<quint32>(m_bytes.constData() + m_pos);
    m_pos += 4;
    return v;
}

qint32 Archive::readInt32()
{
    return static_cast<qint32>(readUInt32());
}

float Archive::readFloat()
{
    const quint32 bits = readUInt32();
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

void Archive::readFloats(float* values, qsizetype count)
{
    need(count * 4);
    for (qsizetype i = 0; i < count; ++i)
        values[i] = readFloat();
}

qsizetype Archive::readLength(bool* wide)
{
    for (;;) {
        const quint8 b = readUInt8();
        if (b < 0xFF)
            return b;
        const quint16 w = readUInt16();
        if (w == 0xFFFE) {
            // A wide string: its length follows again in one of the forms. One
            // marker per length; a second one is no string this format can hold.
            if (*wide)
                throw ArchiveError(ArchiveError::Cause::BadFormat, "second wide-string marker");
            *wide = true;
            continue;
        }
        if (w < 0xFFFF)
            return w;
        return static_cast<qsizetype>(readUInt32());
    }
}

QString Archive::readString(qsizetype maxLength)
{
    std::optional<QString> s = readStringUpTo(maxLength);
    if (!s)
        throw ArchiveError(ArchiveError::Cause::BadFormat, "string longer than its field takes");
    return *std::move(s);
}

std::optional<QString> Archive::readStringUpTo(qsizetype maxLength)
{
    bool wide = false;
    const qsizetype n = readLength(&wide);
    if (n > maxLength)
        return std::nullopt;
    if (wide) {
        need(n * 2);
        QString s;
        s.reserve(n);
        for (qsizetype i = 0; i < n; ++i)
            s.append(QChar(readUInt16()));
        return s;
    }
    need(n);
    const QString s = QString::fromLatin1(m_bytes.constData() + m_pos, n);
    m_pos += n;
    return s;
}
