// Feeds arbitrary bytes to the table decoders as received tables, builds the table set from the
// model they made (every numeric field as the bytes had it) and decodes the result once more.
#include "project/ProjectModel.h"
#include "settings/Strings.h"
#include "tables/TableCompiler.h"
#include "tables/TableSet.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quintara;
    if (size == 0)
        return 0;
    const settings::Strings strings(settings::StringTable::builtIn());
    auto model = std::make_unique<project::ProjectModel>();
    project::NewProject(*model, 19200, 0);
    project::SelectModel(*model, data[0], strings);

    tables::TableSet set;
    tables::TableCompiler compiler(set, *model, strings);
    // Byte k goes to the k-th decoded slot in turn, so that short inputs reach every table.
    const auto &order = tables::TableCompiler::DecodeOrder();
    for (std::size_t k = 1; k < size; ++k) {
        const std::size_t position = (k - 1) / order.size();
        if (position < static_cast<std::size_t>(tables::TableAreaSize))
            set[order[(k - 1) % order.size()]].Received[position] = data[k];
    }
    compiler.DecodeAllTables();

    const tables::BuildResult result = compiler.BuildAllTables();
    if (!result.ok)
        std::abort(); // the model's own limits always fit
    qint64 total = 0;
    for (int slot = 0; slot < tables::TableSet::SlotCount; ++slot) {
        if (set[slot].Length > tables::TableAreaSize || set[slot].LastIndex + 1 != set[slot].Length)
            std::abort();
        total += set[slot].Length;
        set[slot].Received = set[slot].Data;
    }
    if (total != set.BytesTotal)
        std::abort();
    compiler.DecodeAllTables();
    return 0;
}
