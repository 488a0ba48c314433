#include "link/OnlineTest.h"

#include "link/Kalvenor.h"
#include "tests/link/FakeSerialLine.h"
#include "tests/support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace quintara::link {
namespace {

using testing::FakeSerialLine;
using testing::ScriptedPrompter;
using testing::VirtualPump;
using testing::VirtualTicker;

class OnlineTestTest : public ::testing::Test {
protected:
    VirtualPump pump;
    FakeSerialLine line{pump};
    VirtualTicker ticker{pump};
    Kalvenor link{line, ticker};
};

TEST_F(OnlineTestTest, SendsTheSelectedLineOnceAndClosesAgainOrBeepsWhenThePortFails)
{
    // Without a selected line it only opens and closes.
    const auto bare = RunOnlineTest(link, 1, 9600, std::nullopt);
    EXPECT_EQ(bare.initComm, 0);
    EXPECT_FALSE(bare.setFunction.has_value());
    EXPECT_TRUE(line.written.isEmpty());
    EXPECT_FALSE(line.isOpen());

    // A dimmer line goes with its stored raw level, not a percentage.
    const auto result = RunOnlineTest(link, 2, 19200, OnlineTestFunction{2, 7, 127});
    EXPECT_EQ(result.initComm, 0);
    EXPECT_EQ(result.setFunction, 0);
    EXPECT_EQ(line.written, QByteArray::fromHex("02060102077f91"));
    EXPECT_EQ(line.portNumber(), 2);
    EXPECT_EQ(line.parameters(), QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(line.opens, 2);
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(ticker.isActive());
    EXPECT_FALSE(result.beep());

    // A port that fails beeps and sends nothing.
    line.written.clear();
    line.opens = 0;
    const auto refused = RunOnlineTest(link, 5, 19200, OnlineTestFunction{1, 5, 1});
    EXPECT_EQ(refused.initComm, -1);
    EXPECT_TRUE(refused.beep());
    // A rate beyond what the link takes is refused, not wrapped round to another number.
    EXPECT_EQ(RunOnlineTest(link, 1, 38400, OnlineTestFunction{1, 5, 1}).initComm, -3);
    EXPECT_EQ(line.opens, 0);
    EXPECT_TRUE(line.written.isEmpty());
    EXPECT_FALSE(ticker.isActive());
}

} // namespace
} // namespace quintara::link
