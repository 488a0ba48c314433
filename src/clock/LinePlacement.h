#pragma once

#include "clock/ClockLine.h"

#include <QList>

namespace quintara::clock {

struct ClockTable;

// The free lines among the first maxLines (held to 0..100), lowest first.
QList<int> FreeLines(const ClockTable &table, int maxLines);

// Where records went, or why they did not.
struct Placement {
    QList<int> lines; // the indexes written, in the order of the records; empty when none was
    int freeLines = 0; // free lines below the usable count before placing

    bool placed() const { return !lines.isEmpty(); }
};

// Writes records in use into the lowest free lines below the table's usable count, in their
// order: all of them, or none when they do not fit. Only bytes 0..10 are written; the chain
// bytes stay with the line they are in, because they describe its place in the central unit's
// chains and only the conversion for the central unit writes them. Records of free lines are
// skipped. The caller marks the table changed.
Placement PlaceLines(ClockTable &table, const QList<ClockLine> &records);

// Places copies of the given lines (indexes of lines in use; others are ignored) as PlaceLines
// does.
Placement DuplicateLines(ClockTable &table, const QList<int> &lines);

} // namespace quintara::clock
