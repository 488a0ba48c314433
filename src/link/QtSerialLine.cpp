#include "link/QtSerialLine.h"

#include "link/LinkLog.h"

namespace quintara::link {

namespace {

QSerialPort::Parity ToQtParity(char parity)
{
    switch (parity) {
    case 'e':
        return QSerialPort::EvenParity;
    case 'o':
        return QSerialPort::OddParity;
    case 'm':
        return QSerialPort::MarkParity;
    case 's':
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

} // namespace

QtSerialLine::QtSerialLine(DeviceMap deviceForPort, QObject *parent)
    : MappedPortLine(std::move(deviceForPort), parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialLine::bytesArrived);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialLine::onError);
}

QtSerialLine::~QtSerialLine()
{
    // No failure signal from a line that is going away.
    m_port.disconnect(this);
    m_port.close();
}

bool QtSerialLine::open()
{
    if (m_port.isOpen())
        return true;
    if (device().isEmpty())
        return false;
    m_port.setPortName(device());
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_lastError = m_port.errorString();
        qCDebug(lcLine) << device() << "does not open:" << m_lastError;
        return false;
    }
    qCDebug(lcLine) << device() << "open at" << lineParameters().toString();
    const bool configured =
        m_port.setBaudRate(lineParameters().baudRate) &&
        m_port.setDataBits(static_cast<QSerialPort::DataBits>(lineParameters().dataBits)) &&
        m_port.setParity(ToQtParity(lineParameters().parity)) &&
        m_port.setStopBits(lineParameters().stopBits == 2 ? QSerialPort::TwoStop
                                                      : QSerialPort::OneStop) &&
        m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        m_lastError = m_port.errorString();
        m_port.close();
        return false;
    }
    return true;
}

void QtSerialLine::close()
{
    if (!m_port.isOpen())
        return;
    // QSerialPort drops what it has not written yet when it closes.
    if (m_port.bytesToWrite() > 0)
        m_port.waitForBytesWritten(CloseDrainMs);
    m_port.close();
}

bool QtSerialLine::writeByte(quint8 byte)
{
    if (!m_port.isOpen())
        return false;
    const char c = static_cast<char>(byte);
    return m_port.write(&c, 1) == 1;
}

int QtSerialLine::bytesWaiting() const
{
    return m_port.isOpen() ? static_cast<int>(qMin<qint64>(m_port.bytesAvailable(), INT_MAX)) : 0;
}

std::optional<quint8> QtSerialLine::readByte()
{
    char c = 0;
    if (!m_port.isOpen() || !m_port.getChar(&c))
        return std::nullopt;
    return static_cast<quint8>(c);
}

qint64 QtSerialLine::outputQueueLength() const
{
    return m_port.isOpen() ? m_port.bytesToWrite() : 0;
}

void QtSerialLine::clearInput()
{
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
}

void QtSerialLine::clearOutput()
{
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Output);
}

bool QtSerialLine::carrierDetect()
{
    if (!m_port.isOpen())
        return false;
    // A pseudo-terminal has no modem lines; pinoutSignals() then reports none.
    return (m_port.pinoutSignals() & QSerialPort::DataCarrierDetectSignal) != 0;
}

void QtSerialLine::onError(QSerialPort::SerialPortError error)
{
    // A vanished device keeps raising ReadError in a tight loop while the port stays open;
    // closing is the only way out.
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError &&
        error != QSerialPort::WriteError)
        return;
    if (!m_port.isOpen())
        return;
    m_lastError = m_port.errorString();
    qCDebug(lcLine) << device() << "broke:" << m_lastError;
    m_port.close();
    emit failed(m_lastError);
}

} // namespace quintara::link
