#pragma once

// Every pause and time-out of the table link, in milliseconds, in one place. The pauses are
// part of the protocol: the unit needs them to follow, so a faster line does not shorten them.
namespace quintara::link::Timing {

// Before the connection, after dialling, after a call-back and between the two access codes.
inline constexpr int SettleMs = 1000;
// After waking the modem and after each line sent to it, before it is spoken to again.
inline constexpr int ModemCommandMs = 100;
// Before every table header.
inline constexpr int TablePauseMs = 100;
// Between the beeps that announce a failure.
inline constexpr int BeepPauseMs = 100;
// How long the line must stay silent after a table's last block, or after an answer the unit
// adds nothing to, for it to count as complete.
inline constexpr int QuietMs = 100;

// The longest a port stays open after a failed job for what is still queued (the end byte
// that sends the unit back to idle) to leave.
inline constexpr int DrainMs = 500;

// The transfer timer: how long one table (or one output wait of the connection) may take to
// leave the output queue.
inline constexpr int TransferTimerMs = 50000;
// The modem's carrier after dialling and after a call-back; its hanging up before the call-back.
inline constexpr int CarrierMs = 50000;
inline constexpr int HangUpMs = 5000;
// Each byte of the unit's name.
inline constexpr int NameByteMs = 1500;
// The identification answer: A1, A2, V1, V2, one byte not used, the challenge.
inline constexpr int IdentificationAnswerMs[] = {1500, 500, 1000, 500, 500, 100};
// The unit's verdict on the handshake response.
inline constexpr int InitVerdictMs = 500;
// The echo of a table header.
inline constexpr int HeaderEchoMs = 4800;
// Each byte of a block, each acknowledgement, the answer to the end byte.
inline constexpr int BlockByteMs = 800;

// The longest the caller may leave the link without advancing it: the carrier line raises no
// event, so this is also how often it is looked at.
inline constexpr int AdvanceSliceMs = 20;

} // namespace quintara::link::Timing
