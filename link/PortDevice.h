#pragma once

#include <QString>

#include <functional>

namespace quintara::link {

// Reads one key of the settings file's [Ports] section; "" when the key is absent.
using PortsSection = std::function<QString(const QString &key)>;

// Highest port number the program accepts; the communication dialog offers 1..8.
inline constexpr int MaxPortNumber = 99;

// The device behind port number n (1 = COM1): the [Ports] entry "COMn" when the settings file
// has one (for example COM1=/dev/ttyUSB0), otherwise "COMn" on Windows and /dev/ttyS(n-1)
// elsewhere. "" for a number outside 1..MaxPortNumber.
QString DeviceForPort(int portNumber, const PortsSection &ports = {});

} // namespace quintara::link
