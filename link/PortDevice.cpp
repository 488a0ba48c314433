#include "link/PortDevice.h"

namespace quintara::link {

QString DeviceForPort(int portNumber, const PortsSection &ports)
{
    if (portNumber < 1 || portNumber > MaxPortNumber)
        return {};
    const QString key = QStringLiteral("COM%1").arg(portNumber);
    if (ports) {
        const QString configured = ports(key).trimmed();
        if (!configured.isEmpty())
            return configured;
    }
#ifdef Q_OS_WIN
    return key;
#else
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

} // namespace quintara::link
