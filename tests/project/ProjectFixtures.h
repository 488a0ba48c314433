#pragma once

#include "project/ProjectFileReader.h"
#include "project/ProjectModel.h"
#include "settings/Settings.h"
#include "settings/Strings.h"

#include <QByteArray>

#include <memory>

namespace quintara::testing {

// Everything a read needs, and a front end that adopts what it reads as the window does.
struct ReaderHarness {
    settings::Strings strings{settings::StringTable::builtIn(), 0};
    settings::Settings settings = [] {
        settings::Settings values;
        values.languageValue = 0;
        return values;
    }();
    std::unique_ptr<project::ProjectModel> model = std::make_unique<project::ProjectModel>();
    // What the reads told, oldest first; expectNotice takes them off.
    platform::Notices notices;

    project::ReadOutcome read(const QByteArray &data,
                              const QString &path = QStringLiteral("x.nbt"));
    // Takes the model, the settings' values and, for a project read, its language.
    project::ReadOutcome adopt(project::ProjectRead read, const QString &path);
    // Expect this English text to have been told next, in a box of this title and icon.
    void expectNotice(const QString &text, const QString &title = platform::ProgramTitle,
                      platform::Icon icon = platform::Icon::Critical);
};

// A model with distinct contents in every slot the model's files hold. Keys avoid the codes that
// older versions recode, so that every version reads it back unchanged where it has the field.
std::unique_ptr<project::ProjectModel> SampleModel(int modelIndex);

// What reading the sample back from a file of this version must give.
std::unique_ptr<project::ProjectModel> ExpectedAfterReading(const project::ProjectModel &sample,
                                                            int version,
                                                            const settings::Settings &settings,
                                                            const settings::Strings &strings);

// Compares array by array so that a failure names the array.
void ExpectSameModel(const project::ProjectModel &actual, const project::ProjectModel &expected);

} // namespace quintara::testing
