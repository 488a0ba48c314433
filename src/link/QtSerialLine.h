#pragma once

#include "link/PortDevice.h"
#include "link/SerialLine.h"

#include <QSerialPort>

#include <functional>

namespace quintara::link {

// The serial line over QSerialPort. Port numbers become devices through the given mapping
// (normally DeviceMapFromSettings).
class QtSerialLine final : public SerialLine {
    Q_OBJECT
public:
    explicit QtSerialLine(DeviceMap deviceForPort, QObject *parent = nullptr);
    ~QtSerialLine() override;

    bool setPortNumber(int portNumber) override;
    int portNumber() const override { return m_portNumber; }
    bool setParameters(const QString &parameters) override;
    QString parameters() const override { return m_parameters.toString(); }

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }

    bool writeByte(quint8 byte) override;
    int bytesWaiting() const override;
    std::optional<quint8> readByte() override;
    qint64 outputQueueLength() const override;
    void clearInput() override;
    void clearOutput() override;
    bool carrierDetect() override;

    // The device the current port number maps to; "" before a port is chosen.
    QString device() const override { return m_device; }
    QString lastError() const override { return m_lastError; }

private:
    void onError(QSerialPort::SerialPortError error);

    DeviceMap m_deviceForPort;
    QSerialPort m_port;
    int m_portNumber = 0;
    QString m_device;
    LineParameters m_parameters;
    QString m_lastError;
};

} // namespace quintara::link
