#pragma once

#include "link/Frames.h"

#include <QObject>
#include <QString>

#include <optional>

namespace quintara::link {

// Line parameters in the form the settings and the link speak: "19200,n,8,1".
struct LineParameters {
    qint32 baudRate = 19200;
    char parity = 'n'; // n, e, o, m or s
    int dataBits = 8;  // 5..8
    int stopBits = 1;  // 1 or 2

    // Accepts the usual baud rates only, so a mistyped setting is refused rather than tried.
    static std::optional<LineParameters> parse(const QString &text);
    QString toString() const;

    friend bool operator==(const LineParameters &, const LineParameters &) = default;
};

// One serial port: the seam between the link and the operating system. Production uses
// QtSerialLine; tests use a fake line with a central unit behind it, or a pseudo-terminal.
//
// The port number and the line parameters are set while the port is closed and read back,
// so a caller can tell a refused setting from a port that will not open.
class SerialLine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialLine() override = default;

    // Selects the port (1 = COM1). False, with the previous selection kept, when the number
    // names no port at all. Closes the port first.
    virtual bool setPortNumber(int portNumber) = 0;
    virtual int portNumber() const = 0;
    // False, with the previous parameters kept, when the text is refused.
    virtual bool setParameters(const QString &parameters) = 0;
    virtual QString parameters() const = 0;

    virtual bool open() = 0;
    // Bytes still queued leave first (for at most CloseDrainMs); clearOutput() drops them.
    virtual void close() = 0;
    static constexpr int CloseDrainMs = 1000;
    virtual bool isOpen() const = 0;

    // Queues one byte for sending; false when the port is not open or failed.
    virtual bool writeByte(quint8 byte) = 0;
    // Bytes received and not yet read.
    virtual int bytesWaiting() const = 0;
    // The next received byte, raw; nothing when none is waiting.
    virtual std::optional<quint8> readByte() = 0;
    // Bytes queued for sending that have not left yet.
    virtual qint64 outputQueueLength() const = 0;
    virtual void clearInput() = 0;
    virtual void clearOutput() = 0;
    void clearQueues()
    {
        clearInput();
        clearOutput();
    }
    // The modem's carrier-detect line; false where the port has no modem lines.
    virtual bool carrierDetect() = 0;

    // For messages: the device the port number stands for ("" when none), and what the
    // operating system last said about it.
    virtual QString device() const { return {}; }
    virtual QString lastError() const { return {}; }
    // What the last failure was as the link names it: a port that broke (650) unless the line
    // knows better (a network fault).
    virtual int failureCode() const { return LinkCode::CommunicationProblem; }

signals:
    // Raised when bytes have arrived. A handler reads everything waiting; bytes that arrive
    // while it runs raise the signal again or are found by its own loop.
    void bytesArrived();
    // The port broke while open (unplugged adapter, far end of a pseudo-terminal gone). The
    // port is closed by the time this is raised.
    void failed(const QString &reason);
};

} // namespace quintara::link
