#include "link/DeviceLine.h"

namespace quintara::link {

DeviceLine::DeviceLine(DeviceMap deviceForPort, QObject *parent)
    : SerialLine(parent), m_deviceForPort(deviceForPort), m_serial(deviceForPort),
      m_network(deviceForPort)
{
    for (SerialLine *line : {static_cast<SerialLine *>(&m_serial),
                             static_cast<SerialLine *>(&m_network)}) {
        connect(line, &SerialLine::bytesArrived, this, &SerialLine::bytesArrived);
        connect(line, &SerialLine::failed, this, &SerialLine::failed);
    }
}

bool DeviceLine::setPortNumber(int portNumber)
{
    const QString device = m_deviceForPort ? m_deviceForPort(portNumber) : QString();
    if (device.isEmpty())
        return false;
    m_active->close();
    m_active = NetworkAddress::isNetwork(device) ? static_cast<SerialLine *>(&m_network)
                                                 : static_cast<SerialLine *>(&m_serial);
    return m_active->setPortNumber(portNumber);
}

bool DeviceLine::setParameters(const QString &parameters)
{
    // Both keep them, so that the next port chosen opens with them whichever it is.
    return m_serial.setParameters(parameters) && m_network.setParameters(parameters);
}

} // namespace quintara::link
