#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

namespace quintara::settings {
class Strings;
}

namespace quintara::link {

// Every byte of a transfer on the serial line, both directions, with the time and the protocol
// step it belongs to: what an installer sends to support when a transfer fails in the field.
// It holds nothing but the line's bytes and the steps' names.
class TrafficTrace {
public:
    enum class Direction { Sent, Received };

    // A new trace; times count from nowMs.
    void begin(qint64 nowMs);
    // The step the following bytes belong to: "handshake", "header 18", "block 3", "ack"...
    void setStep(const QString &step) { m_step = step; }
    void record(qint64 nowMs, Direction direction, quint8 byte);

    bool isEmpty() const { return m_runs.isEmpty(); }
    int byteCount() const;

    // The readable text: one line per run of bytes of one direction, step and millisecond,
    // at most 16 bytes a line, in hexadecimal and as characters.
    QString text() const;
    // Writes the text all or nothing; false with the reason, in the language of `strings`, in
    // *error.
    bool save(const QString &path, const settings::Strings &strings,
              QString *error = nullptr) const;

private:
    struct Run {
        qint64 ms = 0;
        Direction direction = Direction::Sent;
        QString step;
        QByteArray bytes;
    };

    qint64 m_start = 0;
    QString m_step;
    QList<Run> m_runs;
};

} // namespace quintara::link
