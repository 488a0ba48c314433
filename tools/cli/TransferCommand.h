#pragma once

#include <QString>

#include <optional>

class QTextStream;

namespace quintara::platform {
class Clock;
}

namespace quintara::cli {

class Session;

// The communication dialog's choices, from the command line.
struct TransferOptions {
    // A port number as the settings file maps it ([Ports], else COMn / ttyS(n-1)), or a device.
    QString port;
    std::optional<qint32> baudRate; // the project's baud rate when not given
    std::optional<quint8> key;      // the settings file's handshake key when not given
    bool modem = false;
    bool callBack = false;
    QString initString;                     // given whenever modem is
    std::optional<QString> telephoneNumber; // the project's number when not given
    bool setTime = false;                   // send only
    bool verify = false;                    // send only: read back and compare
    QString settingsFile;                   // for port numbers and the key
    QString traceFile; // written after the transfer, whatever its outcome; none when empty
};

// send FILE.clk: the dialog's Transmit. 0 when the unit acknowledged the clock table (and,
// with verify, gave it back as sent; the lines that differ go to standard error otherwise).
int RunSend(Session &session, const QString &clockFile, const TransferOptions &options,
            const platform::Clock &clock, QTextStream &out);

// receive -o FILE.clk: the dialog's Receive of the clock table into a new clock file of the
// model in force. 0 when the table was received and written.
int RunReceive(Session &session, const QString &clockFile, const TransferOptions &options,
               const platform::Clock &clock, QTextStream &out);

} // namespace quintara::cli
