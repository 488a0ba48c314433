#pragma once

#include "link/MappedPortLine.h"

#include <QSerialPort>

#include <functional>

namespace quintara::link {

// The serial line over QSerialPort. Port numbers become devices through the given mapping
// (normally DeviceMapFromSettings).
class QtSerialLine final : public MappedPortLine {
    Q_OBJECT
public:
    explicit QtSerialLine(DeviceMap deviceForPort, QObject *parent = nullptr);
    ~QtSerialLine() override;

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

    QString lastError() const override { return m_lastError; }

private:
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    QString m_lastError;
};

} // namespace quintara::link
