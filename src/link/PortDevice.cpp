#include "link/PortDevice.h"

#include "settings/ProfileFile.h"

namespace quintara::link {

DeviceMap DeviceMapFromSettings(const settings::ProfileFile &file)
{
    return [file](int portNumber) -> QString {
        if (portNumber < 1 || portNumber > MaxPortNumber)
            return {};
        return settings::PortDeviceName(file, portNumber).trimmed();
    };
}

PortChoice ChoosePort(const QString &port, const settings::ProfileFile &file)
{
    bool isNumber = false;
    const int number = port.toInt(&isNumber);
    if (isNumber)
        return {number, DeviceMapFromSettings(file)};
    return {1, [port](int n) { return n == 1 ? port : QString(); }};
}

} // namespace quintara::link
