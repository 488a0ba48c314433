#pragma once

#include "tables/TableSet.h"

namespace quintara::tables {

// Writes a central-unit table: bytes at a running position, 16-bit values high byte first.
// A write outside the area is not done and marks the writer as failed, so a builder can finish
// its loop and report the failure once.
class TableWriter {
public:
    explicit TableWriter(TableArea &area, int position = 0) : m_area(area), m_position(position) {}

    int position() const { return m_position; }
    void seek(int position) { m_position = position; }
    bool failed() const { return m_failed; }

    void putByte(int value)
    {
        if (m_position < 0 || m_position >= TableAreaSize) {
            m_failed = true;
        } else {
            m_area[static_cast<std::size_t>(m_position)] = static_cast<quint8>(value & 0xFF);
        }
        ++m_position;
    }

    void putWord(int value)
    {
        putByte((value & 0xFF00) >> 8);
        putByte(value & 0xFF);
    }

private:
    TableArea &m_area;
    int m_position;
    bool m_failed = false;
};

// Reads a received table. Positions outside the area read as 0, like bytes that never came.
class TableReader {
public:
    explicit TableReader(const TableArea &area, int position = 0)
        : m_area(area), m_position(position)
    {
    }

    int position() const { return m_position; }
    void seek(int position) { m_position = position; }
    void skip(int count) { m_position += count; }

    quint8 byte()
    {
        const quint8 value = m_position >= 0 && m_position < TableAreaSize
                                 ? m_area[static_cast<std::size_t>(m_position)]
                                 : quint8{0};
        ++m_position;
        return value;
    }

    // High byte first.
    quint16 word()
    {
        const int high = byte();
        return static_cast<quint16>(high * 256 + byte());
    }

private:
    const TableArea &m_area;
    int m_position;
};

} // namespace quintara::tables
