#include "tools/central-sim/LineFault.h"

namespace quintara::sim {

void LineFault::setNth(Kind kind, int n)
{
    m_kind = n > 0 ? kind : Kind::None;
    m_nth = n;
    m_fraction = 0;
    m_count = -1;
}

void LineFault::setRandom(Kind kind, double fraction)
{
    m_kind = fraction > 0 ? kind : Kind::None;
    m_nth = 0;
    m_fraction = fraction;
}

quint32 LineFault::next()
{
    // xorshift32
    m_random ^= m_random << 13;
    m_random ^= m_random >> 17;
    m_random ^= m_random << 5;
    return m_random;
}

bool LineFault::hit()
{
    if (m_nth > 0)
        return m_count >= 0 && ++m_count == m_nth;
    return next() < m_fraction * 4294967296.0;
}

QByteArray LineFault::apply(QByteArrayView bytes)
{
    if (m_kind == Kind::None)
        return bytes.toByteArray();
    QByteArray out;
    out.reserve(bytes.size() + 4);
    for (const char c : bytes) {
        if (!hit()) {
            out.append(c);
            continue;
        }
        ++m_injected;
        Kind kind = m_kind;
        if (kind == Kind::Any)
            kind = static_cast<Kind>(static_cast<int>(Kind::Drop) + static_cast<int>(next() % 3));
        switch (kind) {
        case Kind::Duplicate:
            out.append(c);
            out.append(c);
            break;
        case Kind::Corrupt:
            out.append(static_cast<char>(static_cast<quint8>(c) ^ (1u << (next() % 8))));
            break;
        default: // dropped
            break;
        }
    }
    return out;
}

} // namespace quintara::sim
