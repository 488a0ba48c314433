#include "link/OnlineTest.h"

#include "link/Kalvenor.h"
#include "tests/link/FakeSerialLine.h"

#include <gtest/gtest.h>

namespace quintara::link {
namespace {

TEST(OnlineTest, SendsTheSelectedLineOnceAndClosesAgainOrBeepsWhenThePortFails)
{
    testing::VirtualPump pump;
    testing::FakeSerialLine line{pump};
    testing::VirtualTicker ticker{pump};
    Kalvenor link{line, ticker};
    // What InitComm and SetFunction answered, and whether the user hears a beep.
    using Answers = std::tuple<qint16, std::optional<qint16>, bool>;
    const auto run = [&](qint16 port, qint32 baudRate, std::optional<OnlineTestFunction> selected) {
        const OnlineTestResult result = RunOnlineTest(link, port, baudRate, selected);
        EXPECT_FALSE(ticker.isActive());
        return Answers{result.initComm, result.setFunction, result.beep()};
    };
    // Without a selected line it only opens and closes.
    EXPECT_EQ(run(1, 9600, std::nullopt), Answers(0, std::nullopt, false));
    EXPECT_TRUE(line.written.isEmpty());
    // A dimmer line goes with its stored raw level, not a percentage.
    EXPECT_EQ(run(2, 19200, OnlineTestFunction{2, 7, 127}), Answers(0, 0, false));
    EXPECT_EQ(line.written, QByteArray::fromHex("02060102077f91"));
    EXPECT_EQ(std::tuple(line.device() + ' ' + line.parameters(), line.opens, line.isOpen()),
              std::tuple(QStringLiteral("/dev/fake2 19200,n,8,1"), 2, false));

    // A port that fails beeps and sends nothing; a rate beyond what the link takes is refused,
    // not wrapped round to another number.
    EXPECT_EQ(run(5, 19200, OnlineTestFunction{1, 5, 1}), Answers(-1, std::nullopt, true));
    EXPECT_EQ(run(1, 38400, OnlineTestFunction{1, 5, 1}), Answers(-3, std::nullopt, true));
    EXPECT_EQ(std::pair(line.opens, line.written.size()), std::pair(2, qsizetype(7)));
}

} // namespace
} // namespace quintara::link
