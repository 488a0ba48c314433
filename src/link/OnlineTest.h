#pragma once

#include <QtGlobal>

#include <optional>

namespace quintara::link {

class Kalvenor;

// The function of the selected clock line, in its stored form.
struct OnlineTestFunction {
    quint8 functionType = 0;
    quint8 functionNumber = 0;
    // The line's level byte, sent unchanged (a raw level for a dimmer, not a percentage).
    quint8 level = 0;
};

struct OnlineTestResult {
    // What InitComm answered; -3 without a call when the baud rate cannot be passed to it.
    qint16 initComm = 0;
    // What SetFunction answered; nothing when it was not sent.
    std::optional<qint16> setFunction;
    // A port that will not open is told by a beep only.
    bool beep() const { return initComm != 0; }
};

// The main window's on-line test: opens the link, executes the selected line's function once
// (nothing when no line is selected), closes the link. Waits for no answer.
OnlineTestResult RunOnlineTest(Kalvenor &link, qint16 comPort, qint32 baudRateInUse,
                               const std::optional<OnlineTestFunction> &selectedLine);

} // namespace quintara::link
