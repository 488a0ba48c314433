#pragma once

#include <QString>

namespace quintara::platform {
class NoticeSink;
}

namespace quintara::sim {

class TransferSide;

// Fills the unit's memory tables with the tables compiled from a project file, as if the
// configuration tool had programmed the unit, and makes the unit answer with that project's
// model identification. The clock table is left as it is. What the reader and the compiler
// have to say goes to `notices`. False, with the reason, when the file cannot be read or
// compiled; the memory is then unchanged.
bool LoadProjectIntoMemory(TransferSide &side, const QString &path, platform::NoticeSink &notices,
                           QString *error = nullptr);

// The identification byte a central-unit model answers with.
quint8 IdentificationOfModel(int modelIndex);

} // namespace quintara::sim
