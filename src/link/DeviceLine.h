#pragma once

#include "link/NetworkLine.h"
#include "link/PortDevice.h"
#include "link/QtSerialLine.h"

namespace quintara::link {

// A port as the program's map names it: a serial device, or a serial port server on the
// network (tcp://, rfc2217://). Which of the two lines carries the bytes is decided each time a
// port is chosen; the link sees one line either way.
class DeviceLine final : public SerialLine {
    Q_OBJECT
public:
    explicit DeviceLine(DeviceMap deviceForPort, QObject *parent = nullptr);

    bool setPortNumber(int portNumber) override;
    int portNumber() const override { return m_active->portNumber(); }
    bool setParameters(const QString &parameters) override;
    QString parameters() const override { return m_active->parameters(); }

    bool open() override { return m_active->open(); }
    void close() override { m_active->close(); }
    bool isOpen() const override { return m_active->isOpen(); }

    bool writeByte(quint8 byte) override { return m_active->writeByte(byte); }
    int bytesWaiting() const override { return m_active->bytesWaiting(); }
    std::optional<quint8> readByte() override { return m_active->readByte(); }
    qint64 outputQueueLength() const override { return m_active->outputQueueLength(); }
    void clearInput() override { m_active->clearInput(); }
    void clearOutput() override { m_active->clearOutput(); }
    bool carrierDetect() override { return m_active->carrierDetect(); }

    QString device() const override { return m_active->device(); }
    QString lastError() const override { return m_active->lastError(); }
    int failureCode() const override { return m_active->failureCode(); }

    bool onNetwork() const { return m_active == &m_network; }

private:
    DeviceMap m_deviceForPort;
    QtSerialLine m_serial;
    NetworkLine m_network;
    SerialLine *m_active = &m_serial;
};

} // namespace quintara::link
