#include "tools/central-sim/ProjectMemory.h"

#include "project/ProjectFileReader.h"
#include "project/ProjectModel.h"
#include "settings/Settings.h"
#include "settings/Strings.h"
#include "tables/TableCompiler.h"
#include "tables/TableSet.h"
#include "tools/central-sim/TransferSide.h"

namespace quintara::sim {

// Kept apart from the link's own table on purpose: the simulator is the peer the link is tested
// against, so a wrong byte on one side shows up as a failed handshake.
quint8 IdentificationOfModel(int modelIndex)
{
    switch (project::EffectiveModelIndex(modelIndex)) {
    case 0:
        return 136;
    case 1:
    case 2:
        return 17;
    case 4:
        return 204;
    default:
        return 85;
    }
}

bool LoadProjectIntoMemory(TransferSide &side, const QString &path, platform::NoticeSink &notices,
                           QString *error)
{
    const settings::Strings strings(settings::StringTable::builtIn());
    const settings::Settings values;
    project::ProjectRead read = project::ReadProjectFile(path, values, strings);
    notices.tell(read.notices);
    if (!read.read()) {
        if (error)
            *error = QStringLiteral("cannot read the project file %1").arg(path);
        return false;
    }
    // Sensor names and message lines are tidied as they are compiled.
    project::ProjectModel &model = *read.model;
    tables::TableSet set;
    const tables::BuildResult built = tables::TableCompiler(set, model, strings).BuildAllTables();
    notices.tell(built.notices);
    if (!built.ok) {
        if (error)
            *error = QStringLiteral("the project %1 does not compile").arg(path);
        return false;
    }
    for (int n = 0; n < TransferSide::TableCount; ++n) {
        if (n == tables::TableSet::ClockSlot)
            continue;
        const tables::CentralTable &table = set[n];
        side.tables[static_cast<std::size_t>(n)] =
            QByteArray(reinterpret_cast<const char *>(table.Data.data()), table.Length);
    }
    side.config().identification = IdentificationOfModel(model.ModelIndex);
    return true;
}

} // namespace quintara::sim
