#pragma once

#include <QString>

namespace quintara::platform {
class Prompter;
}

namespace quintara::sim {

class TransferSide;

// Fills the unit's memory tables with the tables compiled from a project file, as if the
// configuration tool had programmed the unit, and makes the unit answer with that project's
// model identification. The clock table is left as it is. False, with the reason, when the
// file cannot be read or compiled; the memory is then unchanged.
bool LoadProjectIntoMemory(TransferSide &side, const QString &path, platform::Prompter &prompter,
                           QString *error = nullptr);

// The identification byte a central-unit model answers with.
quint8 IdentificationOfModel(int modelIndex);

} // namespace quintara::sim
