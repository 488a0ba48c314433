#pragma once

#include "clock/ClockTable.h"
#include "clock/HealthCheck.h"
#include "project/ProjectModel.h"
#include "settings/NameTables.h"
#include "settings/Settings.h"
#include "settings/Strings.h"
#include "tools/cli/StderrPrompter.h"
#include "presentation/FunctionPresenter.h"
#include "presentation/ValueFormat.h"

#include <QString>

#include <array>
#include <vector>

namespace quintara::cli {

// What the window holds for its whole run, held for one command: strings in one language, the
// project model, the clock table and the texts made from them. Messages go to standard error.
class Session {
public:
    // language: 0..6, the order of the language form.
    explicit Session(int language);

    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Reads a project file as the window does; false (and a message on standard error) when no
    // project could be read from it.
    bool ReadProject(const QString &path);
    // Reads a clock file as Open does: the file's model becomes the model in force. False (and
    // the program's message on standard error) for a foreign, damaged or unreadable file.
    bool ReadClock(const QString &path);
    // Selects a central-unit model for the project in force, as a clock file's model byte does.
    void SelectModel(int modelIndex);

    bool hasProject() const { return m_hasProject; }
    // What the health check says of the clock table at `now`, with the project's functions
    // when a project was read.
    std::vector<clock::HealthProblem> health(const QDateTime &now) const;
    // The project's workday flags; Monday to Friday without a project.
    std::array<quint8, 7> workdays() const;

    // The information panel's first line for a clock line: the function described with its
    // type code and number, and the level in words.
    QString functionText(const clock::ClockLine &line) const;
    QString levelText(const clock::ClockLine &line) const;

    StderrPrompter &prompter() { return m_prompter; }
    settings::Settings &settings() { return m_settings; }
    settings::Strings &strings() { return m_strings; }
    project::ProjectModel &project() { return m_project; }
    clock::ClockTable &clockTable() { return m_clockTable; }
    const ui::FunctionPresenter &presenter() const { return m_presenter; }
    const settings::NameTables &names() const { return m_names; }

private:
    StderrPrompter m_prompter;
    settings::Settings m_settings;
    settings::Strings m_strings;
    settings::NameTables m_names;
    ui::ValueFormatter m_values;
    project::ProjectModel m_project;
    clock::ClockTable m_clockTable;
    ui::FunctionPresenter m_presenter;
    bool m_hasProject = false;
};

} // namespace quintara::cli
