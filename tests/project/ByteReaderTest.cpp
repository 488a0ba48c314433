#include "project/ByteReader.h"

#include <gtest/gtest.h>

namespace quintara::project {
namespace {

// Little-endian but for u16be; a read past the end fails, consumes what was left and leaves its
// target as it was.
TEST(ByteReader, ReadsInOrderAndFailsPastTheEndWithoutTouchingTheTarget)
{
    const QByteArray data("\x01\x02\xFE\xFF\x78\x56\x34\x12\x01\x02\x05", 11);
    ByteReader in(data);
    EXPECT_EQ((std::tuple{in.u16(), in.i16(), in.i32(), in.u16be()}), // braces: read in order
              std::tuple(quint16(0x0201), qint16(-2), qint32(0x12345678), quint16(0x0102)));
    EXPECT_TRUE(in.ok());
    qint16 value = 99;
    EXPECT_FALSE(in.read(value));
    EXPECT_EQ(value, 99);
    EXPECT_TRUE(!in.ok() && in.atEnd());
    EXPECT_FALSE(in.u8().has_value() || in.bytes(1).has_value() || in.skip(-1));
    ByteReader huge(data);
    EXPECT_FALSE(huge.bytes(std::numeric_limits<qsizetype>::max()).has_value());
    EXPECT_EQ(huge.position(), data.size());
}

} // namespace
} // namespace quintara::project
