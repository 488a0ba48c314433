#include "link/MappedPortLine.h"

namespace quintara::link {

MappedPortLine::MappedPortLine(DeviceMap deviceForPort, QObject *parent)
    : SerialLine(parent), m_deviceForPort(std::move(deviceForPort))
{
}

bool MappedPortLine::setPortNumber(int portNumber)
{
    close();
    const QString device = m_deviceForPort ? m_deviceForPort(portNumber) : QString();
    if (device.isEmpty())
        return false;
    m_portNumber = portNumber;
    m_device = device;
    return true;
}

bool MappedPortLine::setParameters(const QString &parameters)
{
    const auto parsed = LineParameters::parse(parameters);
    if (!parsed)
        return false;
    m_parameters = *parsed;
    return true;
}

} // namespace quintara::link
