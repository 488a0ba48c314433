#pragma once

#include "clock/ClockLine.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <memory>

class QMimeData;

namespace quintara::settings {
class Strings;
}

namespace quintara::ui {

class ClockLineListModel;

// Clock lines on the clipboard: a text people can read (one line per clock line, as the list
// shows it) and our own form that recreates the records in another clock table:
//   "QCL", version 1, count n (1..100), then n records of 13 bytes in the clock file's order.
inline constexpr char ClockLinesMimeType[] = "application/x-quintara-clock-lines";
inline constexpr int ClockLinesVersion = 1;
inline constexpr int ClockLinesHeaderSize = 5;

enum class ClockLinesStatus {
    Ok,
    NoClockLines,   // the clipboard holds no clock lines of ours
    NotClockLines,  // the leading bytes are not ours
    NewerVersion,   // written by a later version of the program; not guessed at
    BadCount,       // a count of 0 or above 100
    WrongLength,    // the bytes do not hold exactly the records the header announces
    FreeRecord,     // a record of a free line, which no copy produces
};

struct ClockLinesRead {
    ClockLinesStatus status = ClockLinesStatus::NoClockLines;
    QList<clock::ClockLine> lines; // empty unless status is Ok

    bool ok() const { return status == ClockLinesStatus::Ok; }
};

// The machine form of records; at most 100 (more are left out).
QByteArray ClockLinesImage(const QList<clock::ClockLine> &lines);
// Reads the machine form; anything but a whole, well-formed image gives its status and no line.
ClockLinesRead ReadClockLinesImage(QByteArrayView image);

// Both forms of the given lines of the model's table; lines that are free are left out.
std::unique_ptr<QMimeData> CopyClockLines(const ClockLineListModel &model,
                                          const QList<int> &lines);
// The records of our form on the clipboard.
ClockLinesRead PasteClockLines(const QMimeData &mime);

// Why a paste pasted nothing, for the user: a refused clipboard (empty for NoClockLines, when
// there is nothing to paste), or lines that do not fit the free ones.
QString PasteRefusalText(ClockLinesStatus status, const settings::Strings &strings);
QString NoRoomText(int lines, int freeLines, const settings::Strings &strings);

} // namespace quintara::ui
