#pragma once

#include "clock/ClockLine.h"
#include "clock/YearWindow.h"

#include <QList>
#include <QString>

#include <optional>

namespace quintara::clock {

struct ClockTable;

// The fields of a clock line that can differ between two tables, in byte order. The chain
// bytes are not among them: they are rewritten by every send and say nothing of what the line
// does.
enum class LineField : quint8 {
    Minute,
    Hour,
    Day,
    Month,
    Year,
    Table,
    RepeatUnit,
    RepeatCount,
    FunctionType,
    FunctionNumber,
    Level,
};
inline constexpr int LineFieldCount = 11;

// The field's name in machine forms, as the command line's JSON names it ("repeatUnit").
QString LineFieldName(LineField field);
// The field's byte in a line.
quint8 LineFieldValue(const ClockLine &line, LineField field);

struct FieldDifference {
    LineField field = LineField::Minute;
    quint8 a = 0;
    quint8 b = 0;

    friend bool operator==(const FieldDifference &, const FieldDifference &) = default;
};

struct LineDifference {
    enum class Kind : quint8 {
        OnlyInA, // in use in A, free in B
        OnlyInB, // free in A, in use in B
        Changed, // in use in both, with the fields below
    };
    int line = 0; // index 0..99
    Kind kind = Kind::Changed;
    QList<FieldDifference> fields; // Changed only, in field order
};

struct DiffOptions {
    // When set, reference dates that name the same firings (one is the other moved by whole
    // steps of the line's repetition), their years read in this window, are no difference.
    std::optional<YearWindow> ignoreDatesIn;
};

struct TableDiff {
    // Both models, when they differ: a model decides which lines the central unit uses.
    std::optional<std::pair<quint8, quint8>> models;
    QList<LineDifference> lines; // in index order

    bool equal() const { return !models && lines.isEmpty(); }
};

// What differs between two clock tables, line by line over all 100 (a file keeps them all).
// Two free lines are equal whatever their leftover bytes.
TableDiff DiffTables(const ClockTable &a, const ClockTable &b, const DiffOptions &options = {});

// Whether two lines that agree in time, day-table and repetition fire at the same moments,
// their reference dates apart by whole steps of the repetition (for a series by months: the
// earlier one reaches the later one). Lines whose bytes name no real moment never do unless
// their dates are equal.
bool SameFirings(const ClockLine &a, const ClockLine &b, YearWindow years);

} // namespace quintara::clock
