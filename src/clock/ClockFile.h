#pragma once

#include "platform/Outcome.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

class QIODevice;

namespace quintara::project {
struct ProjectModel;
}
namespace quintara::settings {
class Strings;
}

namespace quintara::clock {

struct ClockTable;

// A clock file: "QBN", version, model, the 100 lines of 13 bytes, "QBN". No length field, no
// checksum; the reader takes the first 1308 bytes and ignores the rest.
inline constexpr qsizetype ClockFileSize = 1308;
inline constexpr char ClockFileMagic[] = "QBN";

enum class ClockFileStatus {
    Done,          // written, or read with both marks in place
    NotAClockFile, // the leading mark is missing: the table stays cleared
    Damaged,       // the trailing mark is missing: the lines read so far are kept
    SystemError,   // the operating system refused; the notice names the file and the reason
};

// What a read or write came to, and what it has to tell (nothing when Done).
struct ClockFileResult : platform::Outcome<ClockFileStatus> {
    // The central-unit model a read file was made for (as the project would select it), once
    // the reader got that far; the caller decides whether its project follows.
    std::optional<int> model;

    bool done() const { return status == ClockFileStatus::Done; }
};

// The file image of the table as it stands (version byte as held).
QByteArray ClockFileImage(const ClockTable &table);

// A table of another version than 1 is saved as version 1 only once the user agreed: the
// question to ask first (OK saves, Cancel leaves the file alone), or nothing for version 1.
std::optional<platform::Message> ConversionQuestion(const ClockTable &table,
                                                    const settings::Strings &strings);

// Writes the table over the device from offset 0 without truncating it (the device must be
// open for writing and seekable, or be at its start); the version is 1 once it is written.
// The caller clears TableChanged when the result is Done.
ClockFileResult WriteClockFile(ClockTable &table, QIODevice &device);
// The same to the file ClockFileName, all or nothing: the new image (followed by whatever lay
// beyond it in a longer file) replaces the file only once it is completely written. Refuses
// anything but a regular file; a failure names the file and the reason.
ClockFileResult WriteClockFile(ClockTable &table, const settings::Strings &strings);

// Replaces the table by the clock file read from the device's start. Clears the table first;
// the table takes the file's central-unit model and that model's clock-line limit, and the
// result names the model (the project in force is not touched); tells "NO QBN Clock file!" or
// "Read error in CLOCK File" for a foreign or damaged file. The caller repaints, clears the
// selection and clears TableChanged.
ClockFileResult ReadClockFile(ClockTable &table, QIODevice &device);
// The same from the file ClockFileName; refuses anything but a regular file. A failure names
// the file and the reason.
ClockFileResult ReadClockFile(ClockTable &table, const settings::Strings &strings);
// The reading steps on bytes already in memory (a shorter image reads as if padded with zeros).
ClockFileResult ReadClockImage(ClockTable &table, QByteArrayView image);

// Takes the model index and the clock-line limit from the project model, as selecting a model
// does for the clock table.
void ApplyModel(ClockTable &table, const project::ProjectModel &model);
// The table's model and clock-line limit those of the model index (as the project would have it).
void ApplyModel(ClockTable &table, int modelIndex);

} // namespace quintara::clock
