#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <optional>

namespace quintara::project {

// Reads numbers and byte runs from a buffer with bounds checks: little-endian by default, high
// byte first where asked. A read that does not fit fails, moves to the end and clears ok(), so a
// short input can be walked to its end without any read leaving the buffer.
class ByteReader {
public:
    explicit ByteReader(QByteArrayView data) : m_data(data) {}

    qsizetype position() const { return m_position; }
    qsizetype size() const { return m_data.size(); }
    qsizetype remaining() const { return m_data.size() - m_position; }
    bool atEnd() const { return m_position >= m_data.size(); }
    // False once any read ran past the end.
    bool ok() const { return m_ok; }

    std::optional<quint8> u8()
    {
        if (!take(1))
            return std::nullopt;
        return byteAt(m_position - 1);
    }
    std::optional<quint16> u16()
    {
        if (!take(2))
            return std::nullopt;
        return static_cast<quint16>(byteAt(m_position - 2) | (byteAt(m_position - 1) << 8));
    }
    std::optional<qint16> i16()
    {
        const auto value = u16();
        return value ? std::optional<qint16>(static_cast<qint16>(*value)) : std::nullopt;
    }
    std::optional<quint32> u32()
    {
        if (!take(4))
            return std::nullopt;
        const qsizetype p = m_position - 4;
        return static_cast<quint32>(byteAt(p)) | (static_cast<quint32>(byteAt(p + 1)) << 8) |
               (static_cast<quint32>(byteAt(p + 2)) << 16) |
               (static_cast<quint32>(byteAt(p + 3)) << 24);
    }
    std::optional<qint32> i32()
    {
        const auto value = u32();
        return value ? std::optional<qint32>(static_cast<qint32>(*value)) : std::nullopt;
    }
    // High byte first.
    std::optional<quint16> u16be()
    {
        if (!take(2))
            return std::nullopt;
        return static_cast<quint16>((byteAt(m_position - 2) << 8) | byteAt(m_position - 1));
    }
    std::optional<QByteArray> bytes(qsizetype count)
    {
        if (count < 0 || !take(count))
            return std::nullopt;
        return m_data.sliced(m_position - count, count).toByteArray();
    }
    bool skip(qsizetype count) { return count >= 0 && take(count); }

    // Assign only what could be read; the target keeps its value otherwise.
    bool read(quint8 &out) { return assign(out, u8()); }
    bool read(qint16 &out) { return assign(out, i16()); }
    bool read(quint16 &out) { return assign(out, u16()); }
    bool read(qint32 &out) { return assign(out, i32()); }

private:
    bool take(qsizetype count)
    {
        if (count > remaining()) {
            m_position = m_data.size();
            m_ok = false;
            return false;
        }
        m_position += count;
        return true;
    }
    quint32 byteAt(qsizetype index) const { return static_cast<quint8>(m_data[index]); }
    template <typename T> static bool assign(T &out, const std::optional<T> &value)
    {
        if (value)
            out = *value;
        return value.has_value();
    }

    QByteArrayView m_data;
    qsizetype m_position = 0;
    bool m_ok = true;
};

} // namespace quintara::project
