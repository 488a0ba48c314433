#include "link/OnlineTest.h"

#include "link/Kalvenor.h"

#include <limits>

namespace quintara::link {

OnlineTestResult RunOnlineTest(Kalvenor &link, qint16 comPort, qint32 baudRateInUse,
                               const std::optional<OnlineTestFunction> &selectedLine)
{
    OnlineTestResult result;
    // The link takes the rate as a 16-bit number; a faster rate than that is a refused
    // setting, not a wrapped-around one.
    if (baudRateInUse <= 0 || baudRateInUse > std::numeric_limits<qint16>::max()) {
        result.initComm = -3;
    } else {
        result.initComm = link.InitComm(comPort, static_cast<qint16>(baudRateInUse));
    }

    if (result.initComm == 0 && selectedLine) {
        result.setFunction = link.SetFunction(selectedLine->functionType,
                                              selectedLine->functionNumber, selectedLine->level);
    }
    link.EndComm();
    return result;
}

} // namespace quintara::link
