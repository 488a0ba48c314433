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

} // namespace quintara::link
