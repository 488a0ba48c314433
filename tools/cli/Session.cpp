#include "tools/cli/Session.h"

#include "clock/ClockFile.h"
#include "project/ProjectFileReader.h"

#include <QFileInfo>

namespace quintara::cli {

namespace {

// The window's value-field kind for levels.
constexpr int LevelKind = ui::ValueKind::Level;

} // namespace

Session::Session(int language)
    : m_strings(settings::StringTable::builtIn(), language * settings::LanguageStep),
      m_names(settings::FillNameTables(m_strings)),
      // Scripts read the output: numbers in one form whatever the machine's locale.
      m_values(m_strings, QLocale::c()), m_presenter(m_project, m_names, m_strings, m_values)
{
    m_settings.languageValue = m_strings.LanguageOffset();
    project::NewProject(m_project, m_settings.baudRateInUse, m_settings.languageValue);
    SelectModel(0);
}

void Session::SelectModel(int modelIndex)
{
    project::SelectModel(m_project, modelIndex, m_strings);
    clock::ApplyModel(m_clockTable, m_project);
}

bool Session::ReadProject(const QString &path)
{
    const QString file = QFileInfo(path).absoluteFilePath();
    project::ProjectRead read = project::ReadProjectFile(file, m_settings, m_strings);
    // A project carries its own language; the command line's choice stays in force.
    project::AdoptProjectRead(read, file, m_project, m_settings);
    clock::ApplyModel(m_clockTable, m_project);

    m_prompter.tell(read.notices);
    if (read.status == project::ReadOutcome::NoFile)
        m_prompter.show(QStringLiteral("No project file %1").arg(path), platform::ProgramTitle);
    m_hasProject = read.read();
    return m_hasProject;
}

bool Session::ReadClock(const QString &path)
{
    m_clockTable.ClockFileName = path;
    const clock::ClockFileResult result = clock::ReadClockFile(m_clockTable, m_strings);
    // The program's own messages ("NO QBN Clock file!") do not say which file they mean; a
    // failure of the system names it already.
    if (result.status != clock::ClockFileStatus::SystemError)
        m_prompter.setSubject(path);
    m_prompter.tell(result.notices);
    m_prompter.setSubject({});
    // The file's model is the one its lines are checked and sent against.
    if (result.model)
        project::SelectModel(m_project, *result.model, m_strings);
    return result.done();
}

std::array<quint8, 7> Session::workdays() const
{
    if (m_hasProject)
        return m_project.WorkdayFlags();
    return {1, 1, 1, 1, 1, 0, 0};
}

QString Session::functionText(const clock::ClockLine &line) const
{
    return m_presenter.DescribeFunction(line.FunctionType, line.FunctionNumber,
                                        ui::DescribeMode::CodeNumber, false);
}

QString Session::levelText(const clock::ClockLine &line) const
{
    return m_values.LevelText(LevelKind, line.Level, line.FunctionType);
}

std::vector<clock::HealthProblem> Session::health(const QDateTime &now) const
{
    std::optional<QSet<int>> listed;
    if (m_hasProject)
        listed = m_presenter.ListedFunctions();
    return clock::CheckHealth(m_clockTable, now, workdays(), listed);
}

} // namespace quintara::cli
