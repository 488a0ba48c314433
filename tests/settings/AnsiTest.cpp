#include "settings/Ansi.h"

#include <QSet>

#include <gtest/gtest.h>

namespace quintara::settings {
namespace {

TEST(Ansi, EveryByteMapsToOneCharacterAndBack)
{
    QSet<char16_t> seen;
    for (int byte = 0; byte < 256; ++byte) {
        const QChar character = AnsiToChar(static_cast<quint8>(byte));
        EXPECT_FALSE(seen.contains(character.unicode())) << byte;
        seen.insert(character.unicode());
        EXPECT_EQ(CharToAnsi(character), byte);
    }
}

TEST(Ansi, CodePageSpecifics)
{
    EXPECT_EQ(AnsiToChar(0x80), QChar(0x20AC)); // euro sign
    EXPECT_EQ(AnsiToChar(0x8A), QChar(0x0160));
    EXPECT_EQ(AnsiToChar(0x9F), QChar(0x0178));
    EXPECT_EQ(AnsiToChar(0x81), QChar(0x0081)); // undefined in the code page
    EXPECT_EQ(AnsiToChar(0xE9), QChar(0x00E9));
    EXPECT_EQ(CharToAnsi(QChar(0x2122)), 0x99);
    EXPECT_EQ(CharToAnsi(QChar(0x0080)), '?'); // Latin-1 control that 1252 puts elsewhere
    EXPECT_EQ(CharToAnsi(QChar(0x4E2D)), '?');
}

TEST(Ansi, FixedWidthTexts)
{
    EXPECT_EQ(StringToAnsi(QStringLiteral("Café €"), 8), QByteArray("Caf\xE9 \x80  "));
    EXPECT_EQ(StringToAnsi(QStringLiteral("abcdef"), 3), QByteArray("abc"));
    EXPECT_EQ(AnsiToString(QByteArray("Caf\xE9 \x80", 6)), QStringLiteral("Café €"));
}

} // namespace
} // namespace quintara::settings
