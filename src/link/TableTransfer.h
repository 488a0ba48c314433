#pragma once

#include "link/Connection.h"

#include <QByteArray>
#include <QtGlobal>

namespace quintara::tables {
class TableSet;
}

namespace quintara::link {

class LinkLine;
class TransferProgress;

enum class Direction { Send, Receive };

// One table of the set on a connected line, in either direction: the header and its echo (tried
// twice), then the blocks with their acknowledgements, as states that each end in a wait.
class TableTransfer {
public:
    TableTransfer(LinkLine &line, TransferProgress &progress, AttemptNotes &notes)
        : m_line(line), m_progress(progress), m_notes(notes)
    {
    }

    // Table n, 0..20. Sending, bytesBefore is what the tables before it in this attempt hold
    // (for the progress bar). Receiving, a table longer than `longest` is refused with 657; a
    // block whose number is not the next one, or bytes after what looked like the last block,
    // are a damaged block (224, then 658).
    int start(Direction direction, tables::TableSet &tables, int n, qint64 bytesBefore,
              int longest);
    int resume(int waited);

private:
    enum class State {
        Pausing,
        HeaderSent,
        HeaderAnswer,
        BlockSent,
        BlockAck,
        ClosingSent,
        ClosingAck,
        BlockHeader,
        BlockData,
        Checksum,
        Quiet,
    };
    int next(State state)
    {
        m_state = state;
        return Pending;
    }
    int sendHeader();
    int headerAnswer(int waited);
    int retryHeader(int code);
    int headerTaken();
    int sendBlock();
    int blockAcknowledged(quint8 ack);
    int sendClosingBlock();
    int sent();
    int expectBlock();
    int blockHeader(quint8 header);
    int blockByte(quint8 byte);
    int checksum(quint8 sum);
    int quiet(int waited);
    // Bytes waiting where the unit should be silent: an answer came twice or out of turn.
    // 0 when nothing is waiting; else they are read and the step fails with 669.
    int failOnStrayInput();
    int refuseBlock(int code);

    LinkLine &m_line;
    TransferProgress &m_progress;
    AttemptNotes &m_notes;
    Direction m_direction = Direction::Send;
    tables::TableSet *m_tables = nullptr;
    int m_n = 0;
    State m_state = State::Pausing;
    quint8 m_header = 0;
    int m_tries = 0;
    int m_block = 0;
    int m_pos = 0;
    int m_count = 0;
    int m_length = 0;
    QByteArray m_data;
    // Sending: the bytes before this table, and of the whole transfer.
    qint64 m_bytesBefore = 0;
    double m_total = 1.0;
    // Receiving: the progress so far, where this table's share ends, and the longest it may be.
    double m_progressAt = 0;
    double m_progressEnd = 0;
    bool m_single = false;
    int m_longest = 0;
};

} // namespace quintara::link
