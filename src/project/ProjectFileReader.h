#pragma once

#include "platform/Outcome.h"
#include "project/ProjectModel.h"

#include <QByteArrayView>
#include <QString>

#include <memory>

namespace quintara::settings {
struct Settings;
class Strings;
} // namespace quintara::settings

namespace quintara::project {

// How a read ended. Everything but Read leaves the project path empty, except WrongVersion.
enum class ReadOutcome {
    Read,
    NoFile,       // nothing readable at the path; no message
    CannotOpen,   // the system's reason shown
    NoMagic,      // 904, missing at the start or at the end
    OldVersion,   // 903
    WrongVersion, // 937; the path stays set
    Truncated,    // versions 10 and 11 only (they have no closing magic): 904
};

// The largest file worth reading: far above the largest real project; anything beyond is never
// looked at, as it would never be read.
inline constexpr qint64 MaxProjectFileSize = 1 << 20;

// What a read came to, what it has to tell (in the language in force when it began), and what
// the caller adopts. The reader changes nothing else: the front end decides what it takes.
struct ProjectRead : platform::Outcome<ReadOutcome> {
    // The project as read, converted from older versions; when the file could not be read as a
    // project, the empty project (of the model it named, if it got that far); null when there
    // was no file to read (NoFile, CannotOpen), which leaves the project in force as it is.
    std::unique_ptr<ProjectModel> model;
    // From the system record of a project that was read: the language it is made in and the
    // baud rate its central unit speaks.
    qint32 languageOffset = 0;
    qint32 baudRate = 0;

    bool read() const { return status == ReadOutcome::Read; }
    // Whether the file stays the project file of the settings (nbtFile) once adopted.
    bool keepsPath() const { return read() || status == ReadOutcome::WrongVersion; }
};

// Reads the project file at path, converting older versions. The settings' language value and
// baud rate in use seed the empty project; strings words the messages.
ProjectRead ReadProjectFile(const QString &path, const settings::Settings &settings,
                            const settings::Strings &strings);

// The same for file contents already in memory.
ProjectRead ReadProjectData(QByteArrayView data, const settings::Settings &settings,
                            const settings::Strings &strings);

// What the program takes from a read of the file at path: the model (if any), the path as the
// settings' project file (or none), and the baud rate of a project that was read. Whether the
// language of the project comes into force (read.languageOffset) is the caller's choice.
void AdoptProjectRead(ProjectRead &read, const QString &path, ProjectModel &model,
                      settings::Settings &settings);

} // namespace quintara::project
