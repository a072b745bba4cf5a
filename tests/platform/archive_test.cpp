#include <gtest/gtest.h>

#include "platform/archive.h"

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

TEST(Archive, numbers_are_little_endian)
{
    Archive ar;
    ar.writeInt32(-2);
    ar.writeUInt16(0x1234);
    ar.writeUInt8(0xAB);
    ar.writeFloat(1.5f);
    EXPECT_EQ(ar.bytes(), hex("feffffff 3412 ab 0000c03f"));

    Archive in(ar.bytes());
    EXPECT_EQ(in.readInt32(), -2);
    EXPECT_EQ(in.readUInt16(), 0x1234);
    EXPECT_EQ(in.readUInt8(), 0xAB);
    EXPECT_EQ(in.readFloat(), 1.5f);
    EXPECT_EQ(in.remaining(), 0);
}

TEST(Archive, string_length_forms)
{
    Archive ar;
    ar.writeString(QStringLiteral("AB"));
    EXPECT_EQ(ar.bytes(), hex("02 4142"));

    const QString s254(254, QLatin1Char('x'));
    const QString s255(255, QLatin1Char('y'));
    const QString s65533(65533, QLatin1Char('z'));
    const QString s65534(65534, QLatin1Char('w'));
    Archive forms;
    forms.writeString(s254);
    EXPECT_EQ(forms.bytes().size(), 1 + 254);
    EXPECT_EQ(quint8(forms.bytes()[0]), 254);
    forms.writeString(s255);
    EXPECT_EQ(forms.bytes().mid(255, 3), hex("ff ff00"));
    forms.writeString(s65533);
    forms.writeString(s65534);

    Archive in(forms.bytes());
    EXPECT_EQ(in.readString(), s254);
    EXPECT_EQ(in.readString(), s255);
    EXPECT_EQ(in.readString(), s65533);
    // 65534 characters no longer fit the 16-bit form: 0xFF, 0xFFFF, 32-bit length.
    const qsizetype at = forms.bytes().size() - in.remaining();
    EXPECT_EQ(forms.bytes().mid(at, 7), hex("ff ffff feff0000"));
    EXPECT_EQ(in.readString(), s65534);
}

TEST(Archive, wide_string_marker_is_read)
{
    // 0xFF, marker 0xFFFE, then the length (2) and two 16-bit characters.
    Archive in(hex("ff feff 02 4100 e900"));
    EXPECT_EQ(in.readString(), QString::fromUtf8("A\xc3\xa9"));
    // One marker per length: a second one is a damaged file, however many follow.
    Archive twice(hex("ff feff ff feff 02 4100 e900"));
    EXPECT_THROW(twice.readString(), ArchiveError);
    Archive many(QByteArray("\xff\xfe\xff").repeated(200000));
    try {
        many.readString();
        ADD_FAILURE() << "a run of wide-string markers was read as a string";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.cause(), ArchiveError::Cause::BadFormat);
    }
}

TEST(Archive, reading_past_the_end_throws_and_never_reads_beyond)
{
    Archive in(hex("010203"));
    EXPECT_THROW(in.readInt32(), ArchiveError);
    Archive str(hex("05 4142"));
    EXPECT_THROW(str.readString(), ArchiveError);
    Archive huge(hex("ff ffff ffffff7f 41"));
    EXPECT_THROW(huge.readString(), ArchiveError);
    Archive floats(hex("00000000"));
    float out[2];
    EXPECT_THROW(floats.readFloats(out, 2), ArchiveError);
}

} // namespace
