#include "settings/Ansi.h"

#include <QSet>

#include <gtest/gtest.h>

namespace quintara::settings {
namespace {

TEST(Ansi, EveryByteMapsToOneCharacterAndBackAndTextsKeepTheirWidth)
{
    QSet<char16_t> seen;
    for (int byte = 0; byte < 256; ++byte) {
        const QChar character = AnsiToChar(static_cast<quint8>(byte));
        EXPECT_FALSE(seen.contains(character.unicode())) << byte;
        seen.insert(character.unicode());
        EXPECT_EQ(CharToAnsi(character), byte);
    }
    // The code page's own characters, a byte it leaves undefined, and characters it lacks.
    EXPECT_EQ(AnsiToString(QByteArray("\x80\x8A\x9F\x81\xE9")), QString::fromUtf16(u"\u20AC\u0160\u0178\u0081\u00E9"));
    EXPECT_EQ(StringToAnsi(QString::fromUtf16(u"\u2122\u0080\u4E2D"), 3), QByteArray("\x99??"));
    EXPECT_EQ(StringToAnsi(QStringLiteral("Café €"), 8), QByteArray("Caf\xE9 \x80  "));
    EXPECT_EQ(StringToAnsi(QStringLiteral("abcdef"), 3), QByteArray("abc"));
}

} // namespace
} // namespace quintara::settings
