#include "link/TableTransfer.h"

#include "link/LinkLine.h"
#include "link/LinkLog.h"
#include "link/LinkTimings.h"
#include "link/TransferProgress.h"
#include "tables/TableSet.h"

#include <algorithm>

namespace quintara::link {

namespace {

constexpr int HeaderTries = 2;

// A table header of the same direction as `header`, for another table.
bool IsOtherHeader(quint8 echo, quint8 header)
{
    return echo != header && (echo & 0xE0) == (header & 0xE0) &&
           tables::TableSet::IsSlot(echo & 31);
}

} // namespace

int TableTransfer::start(Direction direction, tables::TableSet &tables, int n, qint64 bytesBefore,
                         int longest)
{
    if (!tables::TableSet::IsSlot(n))
        return LinkCode::WrongTable;
    m_direction = direction;
    m_tables = &tables;
    m_n = n;
    m_bytesBefore = bytesBefore;
    m_longest = longest;
    qCDebug(lcTransfer) << (direction == Direction::Send ? "sending table" : "receiving table") << n
                        << "of" << tables[n].Length << "bytes";
    m_line.pause(Timing::TablePauseMs);
    return next(State::Pausing);
}

int TableTransfer::resume(int waited)
{
    // These waits look at how they ended: a silent line is an answer of its own there.
    if (m_state == State::HeaderAnswer)
        return headerAnswer(waited);
    if (m_state == State::Quiet)
        return quiet(waited);
    if (waited != LinkCode::Ok)
        return waited;

    switch (m_state) {
    case State::Pausing:
        m_header = static_cast<quint8>(
            (m_direction == Direction::Send ? LinkByte::SendHeader : LinkByte::ReceiveHeader) +
            m_n);
        m_line.step(QStringLiteral("header %1").arg(m_n));
        m_tries = 0;
        return sendHeader();
    case State::HeaderSent:
        m_line.input(Timing::HeaderEchoMs);
        return next(State::HeaderAnswer);
    case State::BlockSent:
        // The unit keeps a table once its last block has come: whatever follows, it may hold
        // the new one now.
        if (m_pos >= m_length && m_count < LinkByte::BlockData)
            m_notes.unitMayHoldNew = true;
        m_line.step(QStringLiteral("ack"));
        m_line.byte(Timing::BlockByteMs, LinkCode::NoAck);
        return next(State::BlockAck);
    case State::BlockAck:
        return blockAcknowledged(m_line.lastByte());
    case State::ClosingSent:
        m_notes.unitMayHoldNew = true;
        m_line.step(QStringLiteral("ack"));
        m_line.byte(Timing::BlockByteMs, LinkCode::NoMessage);
        return next(State::ClosingAck);
    case State::ClosingAck:
        if (m_line.lastByte() != LinkByte::Ack)
            return m_notes.unexpected(LinkCode::WrongMessage, m_line.lastByte() == LinkByte::Nak,
                                      OneByte(LinkByte::Ack), OneByte(m_line.lastByte()));
        m_progress.blockSent();
        return sent();
    case State::BlockHeader:
        return blockHeader(m_line.lastByte());
    case State::BlockData:
        return blockByte(m_line.lastByte());
    case State::Checksum:
        return checksum(m_line.lastByte());
    case State::HeaderAnswer:
    case State::Quiet:
        break;
    }
    return LinkCode::CommunicationProblem;
}

int TableTransfer::sendHeader()
{
    m_line.write(m_header);
    m_line.sent();
    return next(State::HeaderSent);
}

int TableTransfer::headerAnswer(int waited)
{
    if (waited == LinkCode::Stopped || LinkCode::IsLineFault(waited))
        return waited;
    if (waited != LinkCode::Ok)
        return retryHeader(LinkCode::NoTable);
    if (m_direction == Direction::Receive)
        m_line.write(LinkByte::Ack);
    quint8 echo = 0;
    if (!m_line.readByte(echo))
        return retryHeader(LinkCode::NoTable);
    if (echo == m_header)
        return headerTaken();
    return retryHeader(m_notes.unexpected(LinkCode::WrongTable, IsOtherHeader(echo, m_header),
                                          OneByte(m_header), OneByte(echo)));
}

int TableTransfer::retryHeader(int code)
{
    if (++m_tries < HeaderTries)
        return sendHeader();
    // The unit may still wait for a header; the end byte sends it back to idle.
    m_line.write(LinkByte::End);
    return code;
}

int TableTransfer::headerTaken()
{
    const tables::TableSet &tables = *m_tables;
    m_block = 0;
    m_pos = 0;
    if (m_direction == Direction::Send) {
        m_length = std::min<int>(tables[m_n].Length, tables::TableAreaSize);
        m_total = tables.BytesTotal > 0 ? static_cast<double>(tables.BytesTotal) : 1.0;
        return sendBlock();
    }
    const int count = tables.TableCount;
    m_single = count == 1;
    m_progressEnd = m_single ? 100.0 : (m_n + 1.0) / (count + 1.0) * 94 + 5;
    m_progressAt = m_single ? 5.0 : static_cast<double>(Percent(m_n / (count + 1.0) * 94 + 5));
    m_progress.show(Percent(m_progressAt));
    return expectBlock();
}

int TableTransfer::failOnStrayInput()
{
    if (!m_line.strayInput())
        return LinkCode::Ok;
    m_line.step(QStringLiteral("discarded"));
    return m_notes.unexpected(LinkCode::WrongAck, false, {}, m_line.readWaiting());
}

int TableTransfer::sendBlock()
{
    if (const int r = failOnStrayInput())
        return r;
    m_count = std::min(LinkByte::BlockData, m_length - m_pos);
    m_line.step(QStringLiteral("block %1").arg(m_block));
    const auto &data = (*m_tables)[m_n].Data;
    const Block block(m_block,
                      QByteArray(reinterpret_cast<const char *>(data.data()) + m_pos, m_count));
    m_line.write(block.bytes());
    m_pos += m_count;
    m_line.sent();
    return next(State::BlockSent);
}

int TableTransfer::blockAcknowledged(quint8 ack)
{
    if (ack != LinkByte::Ack)
        return m_notes.unexpected(LinkCode::WrongAck, ack == LinkByte::Nak, OneByte(LinkByte::Ack),
                                  OneByte(ack));
    ++m_block;
    m_progress.blockSent();
    m_progress.show(Percent(5 + 94 * (m_bytesBefore + m_pos) / m_total));
    if (m_pos < m_length)
        return sendBlock();
    // A full last block leaves the unit waiting for more: the empty block closes the table.
    if (m_count == LinkByte::BlockData)
        return sendClosingBlock();
    return sent();
}

int TableTransfer::sendClosingBlock()
{
    if (const int r = failOnStrayInput())
        return r;
    m_line.step(QStringLiteral("block %1").arg(m_block));
    m_line.write(Block(m_block, {}).bytes());
    m_line.sent();
    return next(State::ClosingSent);
}

int TableTransfer::sent()
{
    m_progress.show(Percent(5 + 94 * (m_bytesBefore + m_length) / m_total));
    return LinkCode::Ok;
}

int TableTransfer::expectBlock()
{
    m_line.step(QStringLiteral("block %1").arg(m_block));
    m_line.byte(Timing::BlockByteMs, LinkCode::NoAck);
    return next(State::BlockHeader);
}

int TableTransfer::refuseBlock(int code)
{
    m_line.write(LinkByte::Nak);
    return code;
}

int TableTransfer::blockHeader(quint8 header)
{
    // A lost or damaged header makes a data byte look like one: the block number tells.
    if (Block::NumberOf(header) != m_block % 16)
        return refuseBlock(LinkCode::NoAck);
    m_count = Block::CountOf(header);
    m_data.clear();
    // A unit that keeps sending full blocks would run past what the table can hold.
    if (m_pos + m_count > m_longest)
        return refuseBlock(LinkCode::WrongTable);
    m_line.byte(Timing::BlockByteMs, LinkCode::NoAck);
    return next(m_count > 0 ? State::BlockData : State::Checksum);
}

int TableTransfer::blockByte(quint8 byte)
{
    m_data.append(static_cast<char>(byte));
    (*m_tables)[m_n].Received[static_cast<std::size_t>(m_pos++)] = byte;
    if (m_progressAt + 0.25 < m_progressEnd) {
        m_progressAt += 0.25;
        m_progress.show(Percent(m_progressAt));
    }
    m_line.byte(Timing::BlockByteMs, LinkCode::NoAck);
    return next(m_data.size() < m_count ? State::BlockData : State::Checksum);
}

int TableTransfer::checksum(quint8 sum)
{
    m_line.step(QStringLiteral("ack"));
    const Block block(m_block, m_data);
    // The unit says nothing more until the block is acknowledged; more bytes mean it heard an
    // acknowledgement twice or this block was not what it seemed.
    if (sum != block.checksum() || m_line.strayInput())
        return refuseBlock(LinkCode::NoAck);
    m_line.write(LinkByte::Ack);
    if (!block.isLast()) {
        ++m_block;
        return expectBlock();
    }
    auto &table = (*m_tables)[m_n];
    const int padEnd = std::min(m_pos + LinkByte::BlockData - m_count, tables::TableAreaSize);
    std::fill(table.Received.begin() + m_pos, table.Received.begin() + padEnd, quint8{0});
    table.ReceivedLength = static_cast<quint16>(m_pos);
    // The unit is silent after the last block of a table. Bytes now mean that what looked like
    // the last block was the middle of one (a header lost where the block number wraps to 0).
    m_line.input(Timing::QuietMs);
    return next(State::Quiet);
}

int TableTransfer::quiet(int waited)
{
    if (waited == LinkCode::Ok)
        return refuseBlock(LinkCode::NoAck);
    if (waited != LinkCode::InputTimedOut)
        return waited;
    if (!m_single)
        m_progress.show(Percent(m_progressEnd));
    return LinkCode::Ok;
}

} // namespace quintara::link
