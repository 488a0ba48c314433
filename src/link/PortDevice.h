#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace quintara::settings {
class ProfileFile;
}

namespace quintara::link {

// Port number (1 = COM1) -> device name; "" when the number names no port.
using DeviceMap = std::function<QString(int portNumber)>;

// Highest port number the program accepts; the communication dialog offers 1..8.
inline constexpr int MaxPortNumber = 99;

// The program's map: a [Ports] entry of the settings file when it has one (COM1=/dev/ttyUSB0),
// else COMn on Windows and /dev/ttyS(n-1) elsewhere; numbers outside 1..MaxPortNumber name no
// port. The file is read at each lookup, so an edited [Ports] section counts at the next open.
DeviceMap DeviceMapFromSettings(const settings::ProfileFile &file);

// A port as a user names it: a number goes through the program's map; a device is port 1 of a
// map of its own.
struct PortChoice {
    int number = 1;
    DeviceMap devices;
};
PortChoice ChoosePort(const QString &port, const settings::ProfileFile &file);

// Why the text cannot stand behind a port, or nothing when it can: a device, a whole network
// address (tcp://HOST:PORT, rfc2217://HOST:PORT), or nothing at all for the port's own device.
std::optional<QString> PortDeviceRefusal(const QString &device);
// Binds the port to the device in the settings' [Ports] section ("" gives it its own device
// back); false when the text is refused or the file cannot be written.
bool BindPort(settings::ProfileFile &file, int portNumber, const QString &device);

} // namespace quintara::link
