#pragma once

#include "project/ProjectModel.h"

#include <QByteArray>

#include <array>
#include <optional>

namespace quintara::project {

// A function of the oldest formats (versions 10 and 11). Kind 0 = unused, 1 = timed function,
// anything else a GO function.
struct OldFunction {
    project::Name50 Name;
    quint8 Kind = 0;
    quint8 TargetType = 0;
    quint8 TargetNumber = 0;
    quint8 Level = 0;
    qint16 Time = 0;
    quint8 ConditionType = 0;
    quint8 ConditionNumber = 0;
    quint8 GoType = 0;
    quint8 GoNumber = 0;
};

// What a file of an older version holds that the current model has no field for.
struct ProjectFileExtras {
    // The eight key texts of versions 37, 38 and 40.
    std::array<project::Name50, 8> KeyTexts{};
    // The second text of each key of version 24 and of versions 10 and 11, by module and key.
    std::array<std::array<project::Name50, 8>, project::InputModuleSlots> SecondKeyTexts{};
    // Version 24's system block bytes without a place in the model: B7 to B12, and C0 to C12.
    std::array<quint8, 6> UnusedSystemBytes{};
    std::array<quint8, 13> UnusedConditionBlock{};
    // Versions 10 and 11.
    std::array<OldFunction, 40> OldFunctions{};
    // Overrides the model byte of the header as written (the digit for versions 10 and 11).
    std::optional<quint8> ModelByte;
    bool ClosingMagic = true;
};

// Writes the model in the layout of one project file version (10, 11, 24 to 28, 37, 38, 40
// or 60), bytes as they stand: the reader's conversions are what the tests check. Fields the
// version has no place for are left out. The record counts follow model.ModelIndex.
// Tests and the demo generator only: the program never writes project files.
QByteArray WriteProjectFile(const project::ProjectModel &model, int version,
                            const ProjectFileExtras &extras = {});

} // namespace quintara::project
