#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

namespace quintara::sim {

// Damage done to the bytes of one direction of the serial line: the n-th byte of each
// connection, or a random fraction of all bytes, is dropped, sent twice or has one bit turned
// over. Reproducible for a given seed.
class LineFault {
public:
    enum class Kind {
        None,
        Drop,
        Duplicate,
        Corrupt, // one bit turned over
        Any,     // one of the three at random, for each byte hit
    };

    explicit LineFault(quint32 seed = 11) : m_random(seed | 1u) {}

    // The n-th byte (1 = the first) counted from each restart; nothing before the first.
    void setNth(Kind kind, int n);
    // Each byte with the given probability (0..1).
    void setRandom(Kind kind, double fraction);
    void clear() { setNth(Kind::None, 0); }
    bool active() const { return m_kind != Kind::None; }

    // Counting for setNth starts again: the simulated unit calls it at each handshake, so that
    // every attempt of a transfer meets the same fault at the same place.
    void restart() { m_count = 0; }

    // The bytes as the far end receives them.
    QByteArray apply(QByteArrayView bytes);

    // Bytes dropped, duplicated or corrupted so far.
    long injected() const { return m_injected; }

private:
    quint32 next();
    bool hit();

    Kind m_kind = Kind::None;
    int m_nth = 0;
    double m_fraction = 0;
    long m_count = -1; // bytes since the last restart; -1 before the first
    long m_injected = 0;
    quint32 m_random;
};

} // namespace quintara::sim
