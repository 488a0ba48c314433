#pragma once

#include <QByteArrayView>

#include <functional>

namespace quintara::settings {
struct Settings;
class Strings;
} // namespace quintara::settings

namespace quintara::project {

struct ProjectModel;

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

// What the reader works with. The prompter is the one strings carries.
struct ProjectReadContext {
    ProjectModel &model;
    // nbtFile is the path read, and emptied when no project could be read; a project that is
    // read sets baudRateInUse from its system record; languageValue and baudRateInUse seed the
    // empty project.
    settings::Settings &settings;
    // A project that is read sets the language offset in force from its system record.
    settings::Strings &strings;
    // Called once the model is known, to refresh what the main window shows of the project.
    std::function<void()> projectInfoChanged;
};

// Reads the project file at settings.nbtFile into the model, converting older versions.
ReadOutcome ReadProjectFile(ProjectReadContext &context);

// The same for file contents already in memory; settings.nbtFile is only emptied, never read.
ReadOutcome ReadProjectData(ProjectReadContext &context, QByteArrayView data);

} // namespace quintara::project
