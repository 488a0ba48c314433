#include "presentation/ReceivedProject.h"

#include "clock/ClockTable.h"
#include "project/ProjectModel.h"
#include "settings/NameTables.h"

namespace quintara::ui {

namespace {

// The name a function reference shows: an output channel's or a record's.
template <typename Model> auto *NameOf(Model &model, int type, int number)
{
    auto *channel = model.OutputChannel(type, number);
    return channel ? &channel->Name : model.NameField(type, number);
}

} // namespace

void NameReceivedFunctions(project::ProjectModel &received, const project::ProjectModel &previous,
                           const clock::ClockTable &table, const settings::NameTables &names)
{
    for (int i = 0; i < table.usableLines(); ++i) {
        const clock::ClockLine &line = table.Lines[static_cast<std::size_t>(i)];
        if (!line.inUse())
            continue;
        project::Name50 *name = NameOf(received, line.FunctionType, line.FunctionNumber);
        if (!name)
            continue;
        const project::Name50 *old = NameOf(previous, line.FunctionType, line.FunctionNumber);
        if (old && !old->isBlank())
            *name = old->text();
        else if (name->isBlank())
            *name = names.functionTypeName(line.FunctionType).trimmed() + u' ' +
                    QString::number(line.FunctionNumber);
    }
}

} // namespace quintara::ui
