#pragma once

#include "link/PortDevice.h"
#include "link/SerialLine.h"

namespace quintara::link {

// What every real line shares: port numbers become devices through a map (normally
// DeviceMapFromSettings), and the line parameters are kept for the next open.
class MappedPortLine : public SerialLine {
    Q_OBJECT
public:
    explicit MappedPortLine(DeviceMap deviceForPort, QObject *parent = nullptr);

    bool setPortNumber(int portNumber) override;
    int portNumber() const override { return m_portNumber; }
    bool setParameters(const QString &parameters) override;
    QString parameters() const override { return m_parameters.toString(); }
    // The device the current port number maps to; "" before a port is chosen.
    QString device() const override { return m_device; }

protected:
    const LineParameters &lineParameters() const { return m_parameters; }

private:
    DeviceMap m_deviceForPort;
    int m_portNumber = 0;
    QString m_device;
    LineParameters m_parameters;
};

} // namespace quintara::link
