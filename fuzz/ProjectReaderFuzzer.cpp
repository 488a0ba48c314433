// Feeds arbitrary bytes to the project file reader, then reads through the model the way the
// lists and the table builders do, so that any field left out of range shows up.
#include "project/ProjectFileReader.h"
#include "project/ProjectModel.h"
#include "settings/Settings.h"
#include "settings/Strings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quintara;
    if (size > static_cast<std::size_t>(project::MaxProjectFileSize))
        return 0;
    const settings::Strings strings(settings::StringTable::builtIn());
    const settings::Settings settings;

    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const project::ProjectRead read = project::ReadProjectData(bytes, settings, strings);

    if (!read.model)
        std::abort();
    const project::ProjectModel &m = *read.model;
    if (m.ModelIndex < 0 || m.ModelIndex >= project::ModelCount)
        std::abort();
    if (!settings::Strings::IsValidLanguageOffset(m.System.LanguageOffset) ||
        read.languageOffset != m.System.LanguageOffset)
        std::abort();
    // Every refusal says why.
    if (!read.read() && read.notices.empty())
        std::abort();
    for (int type = 0; type < 256; ++type) {
        for (const int number : {-1, 0, 1, 9, 31, 39, 99, 251, 252, 255}) {
            if (const auto name = m.FunctionName(type, number); name && name->size() != 50)
                std::abort();
        }
    }
    for (int output = 0; output <= m.Limits.Relays + 8; ++output) {
        if (m.RelayName(output).size() != 50 || m.DimmerName(output).size() != 50)
            std::abort();
    }
    return 0;
}
