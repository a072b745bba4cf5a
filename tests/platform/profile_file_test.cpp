#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "platform/profile_file.h"
#include "platform/whole_file.h"
#include "support/test_env.h"

namespace {

QString writeIni(const QByteArray& text)
{
    const QString path = testenv::resetHome() + QStringLiteral("/test.ini");
    EXPECT_TRUE(writeWholeFile(path, text).isEmpty());
    return path;
}

TEST(ProfileFile, value_forms)
{
    const QString path = writeIni("[ColorInfo]\r\nBGColor=269\r\nTColor=-1\r\n"
                                  "[samprateinfo]\nSAMPRATE=abc\nSAMPUNIT=12abc\n"
                                  "Empty=\nNeg=-42x\nPos= +5\n");
    ProfileFile ini(path);
    EXPECT_EQ(ini.byte(QStringLiteral("ColorInfo"), QStringLiteral("BGColor"), 0), 13);
    EXPECT_EQ(ini.byte(QStringLiteral("ColorInfo"), QStringLiteral("TColor"), 0), 255);
    // Sections and keys match whatever their case.
    EXPECT_EQ(
        ini.text(QStringLiteral("SAMPRATEINFO"), QStringLiteral("samprate"), QStringLiteral("10")),
        QStringLiteral("abc"));
    const std::pair<const char*, int> integers[] = {
        {"SAMPRATE", 0}, {"SAMPUNIT", 12}, {"Empty", 0}, {"Neg", -42}, {"Pos", 5}, {"Missing", 7}};
    for (const auto& [key, value] : integers)
        EXPECT_EQ(ini.integer(QStringLiteral("SAMPRATEINFO"), key, 7), value) << key;
    EXPECT_EQ(ini.integer(QStringLiteral("Nowhere"), QStringLiteral("SAMPUNIT"), 3), 3);
}

TEST(ProfileFile, long_texts_are_cut_to_259_characters)
{
    const QByteArray longValue(400, 'q');
    ProfileFile ini(writeIni("[A]\nkey=" + longValue + "\n"));
    EXPECT_EQ(ini.text(QStringLiteral("A"), QStringLiteral("key"), QString()).size(), 259);
    EXPECT_EQ(ini.text(QStringLiteral("A"), QStringLiteral("none"), QString(300, QLatin1Char('d')))
                  .size(),
              259);
}

TEST(ProfileFile, writes_keep_order_and_add_at_the_end)
{
    const QString path = writeIni("[First]\r\na=1\r\nb=2\r\n[Second]\r\nc=3"); // no line end
    ASSERT_TRUE(WritePrivateProfileString(QStringLiteral("first"), QStringLiteral("B"),
                                          QStringLiteral("20"), path));
    ASSERT_TRUE(WritePrivateProfileString(QStringLiteral("First"), QStringLiteral("d"),
                                          QStringLiteral("4"), path));
    ASSERT_TRUE(WritePrivateProfileString(QStringLiteral("Second"), QStringLiteral("f"),
                                          QStringLiteral("6"), path));
    ASSERT_TRUE(WritePrivateProfileString(QStringLiteral("Third"), QStringLiteral("e"),
                                          QStringLiteral("5"), path));
    EXPECT_EQ(*readWholeFile(path), QByteArray("[First]\r\na=1\r\nb=20\r\nd=4\r\n"
                                               "[Second]\r\nc=3\r\nf=6\r\n[Third]\r\ne=5\r\n"));
    EXPECT_EQ(GetPrivateProfileInt(QStringLiteral("first"), QStringLiteral("b"), 0, path), 20);
    EXPECT_EQ(
        GetPrivateProfileString(QStringLiteral("Third"), QStringLiteral("e"), QString(), path),
        QStringLiteral("5"));
}

TEST(ProfileFile, lines_it_does_not_set_come_back_byte_for_byte)
{
    // Comments (one holding '='), blank lines, spacing, mixed line ends, other sections
    // and keys, bytes that are not UTF-8, a NUL, and no line end at the end of the file.
    const QByteArray text("; written by hand\r\n\r\n[Other]\nKey = v\xE9\x01\n  odd line\r\n"
                          "[A]\r\nk= 1 \r\n;tail=x\r\n[a]\nk=2\nn=\xFF\x00z",
                          85);
    ProfileFile ini = ProfileFile::fromBytes(text);
    EXPECT_EQ(ini.toBytes(), text);
    EXPECT_EQ(ini.value(QStringLiteral("other"), QStringLiteral("key")),
              QString::fromLatin1("v\xE9\x01"));
    EXPECT_EQ(ini.integer(QStringLiteral("A"), QStringLiteral("K"), 0), 1); // the first k counts
    EXPECT_EQ(ini.value(QStringLiteral("A"), QStringLiteral("n")).toLatin1(),
              QByteArray("\xFF\x00z", 3));

    // Setting what is there changes nothing; a new value rewrites only its line.
    ini.setValue(QStringLiteral("Other"), QStringLiteral("KEY"),
                 ini.value(QStringLiteral("Other"), QStringLiteral("Key")));
    ini.setValue(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("1"));
    EXPECT_EQ(ini.toBytes(), text);
    ini.setValue(QStringLiteral("Other"), QStringLiteral("Key"), QString::fromLatin1("\xFC"));
    ini.setValue(QStringLiteral("A"), QStringLiteral("new"), QStringLiteral("3"));
    ini.setValue(QStringLiteral("B"), QStringLiteral("x"), QStringLiteral("4"));
    const QByteArray expected("; written by hand\r\n\r\n[Other]\nKey=\xFC\n  odd line\r\n"
                              "[A]\r\nk= 1 \r\nnew=3\r\n;tail=x\r\n[a]\nk=2\nn=\xFF\x00z\r\n"
                              "[B]\r\nx=4\r\n",
                              100);
    EXPECT_EQ(ini.toBytes(), expected);
    const ProfileFile reread = ProfileFile::fromBytes(ini.toBytes());
    EXPECT_EQ(reread.value(QStringLiteral("Other"), QStringLiteral("Key")),
              QString::fromLatin1("\xFC"));
    EXPECT_EQ(reread.integer(QStringLiteral("B"), QStringLiteral("x"), 0), 4);
}

TEST(ProfileFile, missing_file_gives_defaults_and_failed_write_keeps_old_file)
{
    const QString home = testenv::resetHome();
    EXPECT_EQ(GetPrivateProfileInt(QStringLiteral("A"), QStringLiteral("b"), 42,
                                   home + QStringLiteral("/none.ini")),
              42);
    // A folder in the way of the file: the write fails and reports it.
    QDir().mkpath(home + QStringLiteral("/blocked.ini"));
    EXPECT_FALSE(WritePrivateProfileString(QStringLiteral("A"), QStringLiteral("b"),
                                           QStringLiteral("1"),
                                           home + QStringLiteral("/blocked.ini")));
}

} // namespace
