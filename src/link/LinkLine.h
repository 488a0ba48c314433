#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace quintara::platform {
class EventPump;
}

namespace quintara::link {

class SerialLine;
class TrafficTrace;

// The serial line as the link's states see it: bytes out and in (each into the trace when
// there is one), and the one thing the state in force waits for. The link never waits itself:
// its caller advances it, and poll() says whether the wait has ended and how.
class LinkLine {
public:
    // `time` is only read: the link never runs the caller's events.
    LinkLine(SerialLine &line, const platform::EventPump &time);
    ~LinkLine();
    LinkLine(const LinkLine &) = delete;
    LinkLine &operator=(const LinkLine &) = delete;

    SerialLine &serial() { return m_line; }
    qint64 now() const;
    TrafficTrace *trace = nullptr;

    // Selects the port, sets "<baud>,n,8,1" and opens it; false when any of it fails.
    bool open(int portNumber, qint32 baudRate);
    // Bytes still waiting go into the trace first.
    void close();
    bool isOpen() const;
    // The port broke since it was opened (or a write failed).
    bool broken() const { return m_broken; }
    // The port broke at some point since forgetBreak(): the message names it.
    bool brokeDuringTransfer() const { return m_brokeDuringTransfer; }
    void forgetBreak() { m_brokeDuringTransfer = false; }
    // "/dev/ttyUSB0: <the operating system's reason>", for messages about the port.
    QString portDescription(int portNumber) const;
    // The device or network address the chosen port stands for.
    QString device() const;

    bool write(quint8 byte);
    bool write(const QByteArray &bytes);
    // The text, then line feed and carriage return: a line for a modem.
    bool writeLine(const QString &text);
    bool readByte(quint8 &byte);
    // Everything waiting, read.
    QByteArray readWaiting();
    // Bytes waiting where the unit should be silent.
    bool strayInput() const;
    // Empties both queues; bytes still waiting go into the trace first.
    void clear();
    // The protocol step the next bytes of the trace belong to.
    void step(const QString &name);

    // What the state in force waits for. Each replaces the wait before.
    void pause(int ms);
    // A byte waiting (not read): 0, or 664 when the time ran out first.
    void input(int ms);
    // A byte, read: 0 with it in lastByte(), or timeoutCode.
    void byte(int ms, int timeoutCode);
    // The output queue empty: 0, or 651 when the transfer timer (or, with ms, a timer of its
    // own) ran out.
    void sent(std::optional<int> ms = std::nullopt);
    // The carrier-detect line on (or off): 0, or timeoutCode.
    void carrier(bool on, int ms, int timeoutCode);

    // How the wait ended, or nothing while it runs: 665 on a stop, the line's failure code
    // when it broke (650, or a network fault), else as the wait says.
    std::optional<int> poll(bool stopRequested);
    quint8 lastByte() const { return m_lastByte; }
    // How long the caller may wait before advancing again.
    int msUntilNextLook() const;

    void restartTransferTimer();
    void stopTransferTimer() { m_transferDeadline.reset(); }

private:
    enum class Kind { None, Pause, Input, Byte, Sent, Carrier, NoCarrier };
    std::optional<int> pollWait();

    SerialLine &m_line;
    const platform::EventPump &m_time;
    QMetaObject::Connection m_failedConnection;
    bool m_broken = false;
    bool m_brokeDuringTransfer = false;

    Kind m_kind = Kind::None;
    std::optional<qint64> m_deadline;
    int m_timeoutCode = 0;
    quint8 m_lastByte = 0;
    std::optional<qint64> m_transferDeadline;
};

} // namespace quintara::link
