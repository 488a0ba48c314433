#pragma once

#include "project/ProjectFileReader.h"
#include "project/ProjectModel.h"
#include "settings/Settings.h"
#include "settings/Strings.h"
#include "tests/support/ScriptedPrompter.h"

#include <QByteArray>

#include <memory>

namespace quintara::testing {

// The texts the project layer shows, in all seven languages (the language column is appended so
// a test can tell which language a text came from).
const settings::StringTable &ProjectStringTable();

// Everything a read needs, with a scripted prompter that fails the test on an unexpected box.
struct ReaderHarness {
    ReaderHarness();

    ScriptedPrompter prompter;
    settings::Strings strings;
    settings::Settings settings;
    std::unique_ptr<project::ProjectModel> model;
    int infoRefreshes = 0;

    project::ReadOutcome read(const QByteArray &data,
                              const QString &path = QStringLiteral("x.nbt"));
    // Expect one critical error box with this English text.
    void expectError(const QString &text);
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
