#include "project/ByteReader.h"

#include <gtest/gtest.h>

namespace quintara::project {
namespace {

TEST(ByteReader, LittleEndianAndHighByteFirst)
{
    const QByteArray data("\x01\x02\xFE\xFF\x78\x56\x34\x12\x01\x02", 10);
    ByteReader in(data);
    EXPECT_EQ(in.u16(), 0x0201);
    EXPECT_EQ(in.i16(), -2);
    EXPECT_EQ(in.i32(), 0x12345678);
    EXPECT_EQ(in.u16be(), 0x0102);
    EXPECT_TRUE(in.atEnd());
    EXPECT_TRUE(in.ok());
}

TEST(ByteReader, ReadsPastTheEndFailWithoutTouchingTheTarget)
{
    const QByteArray data("\x05\x06\x07", 3);
    ByteReader in(data);
    qint16 value = 0;
    EXPECT_TRUE(in.read(value));
    EXPECT_EQ(value, 0x0605);
    qint32 wide = 99;
    EXPECT_FALSE(in.read(wide)); // one byte left: not enough, and it is consumed
    EXPECT_EQ(wide, 99);
    EXPECT_FALSE(in.ok());
    EXPECT_TRUE(in.atEnd());
    EXPECT_FALSE(in.u8().has_value());
    EXPECT_FALSE(in.bytes(1).has_value());
    EXPECT_FALSE(in.skip(-1));

    ByteReader huge(data);
    EXPECT_FALSE(huge.bytes(std::numeric_limits<qsizetype>::max()).has_value());
    EXPECT_EQ(huge.position(), 3);
}

} // namespace
} // namespace quintara::project
