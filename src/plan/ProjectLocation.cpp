#include "plan/ProjectLocation.h"

#include "settings/ProfileFile.h"
#include "settings/Settings.h"

namespace quintara::plan {

namespace {

const QString LocationKey = QStringLiteral("Location");
// "-89.123456,-179.123456" and room to spare; a longer value is no location anyway.
constexpr int MaxLocationChars = 63;

} // namespace

std::optional<Location> ReadProjectLocation(const settings::ProfileFile &file,
                                            const QString &projectFile)
{
    const QString text =
        settings::ReadProjectValue(file, projectFile, LocationKey, MaxLocationChars);
    if (text.trimmed().isEmpty())
        return std::nullopt;
    const LocationOutcome outcome = Location::parse(text);
    if (const auto *location = std::get_if<Location>(&outcome))
        return *location;
    return std::nullopt;
}

bool WriteProjectLocation(settings::ProfileFile &file, const QString &projectFile,
                          const std::optional<Location> &location)
{
    return settings::WriteProjectValue(file, projectFile, LocationKey,
                                       location ? location->toString() : QString());
}

} // namespace quintara::plan
