// The main window's file commands: new, open, save, save as, read project.
#include "ui/FileCommands.h"

#include "ui/SitesWindow.h"

#include "clock/ClockFile.h"
#include "clock/ClockTable.h"
#include "clock/HealthCheck.h"
#include "clock/Occurrences.h"
#include "clock/TableDiff.h"
#include "platform/Files.h"
#include "presentation/FunctionPresenter.h"
#include "presentation/HealthText.h"
#include "project/ProjectFileReader.h"
#include "settings/TextIds.h"
#include "ui/FileDialogs.h"
#include "ui/Program.h"
#include "ui/TableHistory.h"
#include "ui/WaitPointer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace quintara::ui {

namespace {

namespace Command = settings::TextId::FileCommand;
namespace Step = settings::TextId::UndoStep;
constexpr int ReplaceFileQuestionId = 2111;

// "Clock files (*.clk) |*.clk|All files (*.*) |*.*" in the language in force.
QString Filter(const settings::Strings &strings, int kindId, const char *extension)
{
    const QString pattern = QStringLiteral("*.") + QLatin1StringView(extension);
    return strings.GetResString(kindId) + QStringLiteral(" (") + pattern + QStringLiteral(") |") +
           pattern + u'|' + strings.GetResString(Command::AllFiles) + QStringLiteral(" (*.*) |*.*");
}

FileDialogRequest OpenExistingRequest(const QString &title, const QString &filter)
{
    FileDialogRequest request;
    request.title = title;
    request.filter = filter;
    request.fileMustExist = true;
    request.pathMustExist = true;
    request.hideReadOnly = true;
    return request;
}

} // namespace

// The clock file named after a project file: its name without folder and extension, ".clk".
QString ClockFileNameFor(const QString &projectPath)
{
    const qsizetype slash = std::max(projectPath.lastIndexOf(u'/'), projectPath.lastIndexOf(u'\\'));
    QString name = projectPath.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    return name + QStringLiteral(".clk");
}

FileCommands::FileCommands(Program &program, FileDialogs &dialogs, TableHistory &history,
                           const FunctionPresenter &presenter, QWidget *parent)
    : m_program(program), m_dialogs(dialogs), m_history(history), m_presenter(presenter),
      m_parent(parent)
{
}

void FileCommands::notify(const std::function<void()> &hook) const
{
    if (hook)
        hook();
}

QString FileCommands::tableName() const
{
    const QString &name = m_program.clockTable.ClockFileName;
    if (name.isEmpty() && m_siteId != 0)
        return m_siteName;
    if (!name.isEmpty() || m_program.settings.nbtFile.isEmpty())
        return name;
    return ClockFileNameFor(m_program.settings.nbtFile);
}

platform::Answer FileCommands::SaveChangesPrompt()
{
    const settings::Strings &s = m_program.strings;
    const QString text = s.GetResString(Command::File) + u' ' + tableName() + u' ' +
                         s.GetResString(Command::IsChanged) + QStringLiteral("\n\r") +
                         s.GetResString(Command::SaveNow);
    return m_program.prompter.show(text, platform::ProgramTitle,
                                   platform::Buttons::YesNoCancel, platform::Icon::Question);
}

bool FileCommands::mayDropChanges()
{
    if (!m_program.clockTable.TableChanged)
        return true;
    switch (SaveChangesPrompt()) {
    case platform::Answer::Yes:
        Save();
        return !m_program.clockTable.TableChanged;
    case platform::Answer::No:
        return true;
    default:
        return false;
    }
}

void FileCommands::showSystemError(const QString &description)
{
    m_program.notices.tell(platform::SystemFailureNotice(description));
}

std::optional<QString> FileCommands::chooseFile(bool save, const FileDialogRequest &request)
{
    std::optional<QString> chosen =
        save ? m_dialogs.getSaveFileName(m_parent, request)
                                 : m_dialogs.getOpenFileName(m_parent, request);
    if (chosen && !chosen->isEmpty()) {
        // The next dialog opens where this one ended, relative names land there, and the
        // settings keep the folder as their Path.
        const QDir folder = QFileInfo(*chosen).absoluteDir();
        if (folder.exists())
            QDir::setCurrent(folder.absolutePath());
    }
    return chosen;
}

QString FileCommands::text(int id) const
{
    return m_program.strings.GetResString(id);
}

void FileCommands::NewTable()
{
    if (!mayDropChanges())
        return;
    clock::ClockTable &table = m_program.clockTable;
    const TableHistory::State before = m_history.current();
    table.ClockFileVersion = 1;
    // No file until the user names one: a name without a folder would land wherever the last
    // file dialog ended, over whatever file lies there.
    table.ClockFileName.clear();
    m_tableFile.clear();
    m_siteId = 0;
    clock::ClearClockTable(table);
    notify(tableReplaced);
    m_history.record(before, text(Step::NewTable), true);
    // Whatever was changed before is dropped (saved or not): the empty table is unchanged.
    m_history.markSaved();
}

void FileCommands::ProjectReceived()
{
    m_receivedProject = true;
    notify(projectApplied);
    notify(workdaysChanged);
    // The panels describe functions by the names the project gives.
    notify(tableReplaced);
}

void FileCommands::followRestoredName()
{
    // A step puts back a name the table had, and so the file that was its own.
    const QString &name = m_program.clockTable.ClockFileName;
    m_tableFile = name.isEmpty() ? QString() : QFileInfo(name).absoluteFilePath();
}

void FileCommands::ReadProjectFromSettings()
{
    if (m_program.settings.nbtFile.isEmpty())
        return;
    const QString path = m_program.settings.nbtFile;
    project::ProjectRead read =
        project::ReadProjectFile(path, m_program.settings, m_program.strings);
    project::AdoptProjectRead(read, path, m_program.project, m_program.settings);
    if (read.read())
        m_program.strings.setLanguageOffset(read.languageOffset);
    // The window shows the project it read before it tells what the read had to say.
    notify(projectApplied);
    m_program.notices.tell(read.notices);
}

void FileCommands::ReadProject(const QString &proposed)
{
    {
        WaitPointer wait;
        FileDialogRequest request = OpenExistingRequest(
            m_program.strings.GetResString(Command::ReadProjectTitle),
            Filter(m_program.strings, Command::ProjectFiles, "nbt"));
        if (!proposed.isEmpty()) {
            const QFileInfo file(proposed);
            request.initialFolder = file.absolutePath();
            if (file.isFile())
                request.initialName = file.fileName();
        }
        const std::optional<QString> chosen = chooseFile(false, request);
        if (!chosen || chosen->isEmpty())
            return;
        // The project in force stays when the file is refused.
        project::ProjectRead read =
            project::ReadProjectFile(*chosen, m_program.settings, m_program.strings);
        m_program.notices.tell(read.notices);
        if (read.status == project::ReadOutcome::NoFile)
            showSystemError(platform::FileFailure(
                *chosen, m_program.strings.GetResString(
                             platform::KindOfPath(*chosen) == platform::PathKind::Other
                                 ? settings::TextId::File::NotARegularFile
                                 : settings::TextId::File::NoSuchFile)));
        if (!read.read())
            return;
        project::AdoptProjectRead(read, *chosen, m_program.project, m_program.settings);
        m_program.strings.setLanguageOffset(read.languageOffset);
        m_receivedProject = false;
        // The table keeps the file it belongs to; one without a file is offered the project's
        // name when it is saved.
        notify(projectApplied);
    }
    notify(workdaysChanged);
    // The workdays and the model's number of lines may have changed with the project.
    notify(tableReplaced);
}

bool FileCommands::InsistOnProject(const QString &proposed)
{
    // The two messages speak the language just chosen, not Dutch to everyone.
    bool asked = false;
    while (m_program.settings.nbtFile.isEmpty()) {
        asked = true;
        const platform::Answer answer =
            m_program.prompter.show(text(settings::TextId::Start::ReadProject),
                                    platform::ProgramTitle, platform::Buttons::OkCancel);
        if (answer != platform::Answer::Ok)
            return false;
        ReadProject(proposed);
    }
    if (asked)
        m_program.prompter.show(text(settings::TextId::Start::ProjectRead), platform::ProgramTitle);
    return true;
}

void FileCommands::OpenClockFile()
{
    if (!mayDropChanges())
        return;
    WaitPointer wait;
    const std::optional<QString> chosen =
        chooseFile(false, OpenExistingRequest(m_program.strings.GetResString(Command::OpenTitle),
                                              Filter(m_program.strings, Command::ClockFiles, "clk")));
    if (!chosen || chosen->isEmpty())
        return;
    OpenClockFile(*chosen);
}

std::optional<FileCommands::ReadBeside> FileCommands::readClockFileBeside(const QString &path)
{
    // Read beside the table and model in force: a refused file changes neither, and never
    // becomes the file that Save would write over.
    ReadBeside read{m_program.clockTable,
                    std::make_unique<project::ProjectModel>(m_program.project)};
    // Whole: a later file dialog changes the current folder, never the table's file.
    read.table.ClockFileName = QFileInfo(path).absoluteFilePath();
    clock::ClockFileResult result = clock::ReadClockFile(read.table, m_program.strings);
    // "NO QBN Clock file!" does not say which file it means; the system's failures name it.
    if (result.status != clock::ClockFileStatus::SystemError)
        for (platform::Notice &notice : result.notices)
            notice.text = QDir::toNativeSeparators(path) + QStringLiteral(":\n") + notice.text;
    m_program.notices.tell(result.notices);
    if (!result.done())
        return std::nullopt;
    // The file's model rules its lines, as it did when the file was made.
    if (result.model)
        project::SelectModel(*read.model, *result.model, m_program.strings);
    return read;
}

bool FileCommands::OpenClockFile(const QString &path)
{
    std::optional<ReadBeside> read = readClockFileBeside(path);
    if (!read)
        return false;
    const TableHistory::State before = m_history.current();
    m_program.clockTable = read->table;
    m_program.project = std::move(*read->model);
    m_tableFile = m_program.clockTable.ClockFileName;
    m_siteId = 0;
    notify(tableReplaced);
    m_history.record(before, text(Step::OpenClockFile), true);
    m_history.markSaved();
    return true;
}

bool FileCommands::mayReplace(const QString &path)
{
    const QFileInfo target(path);
    if (!target.exists() || target.absoluteFilePath() == m_tableFile)
        return true;
    const QString question = text(ReplaceFileQuestionId).arg(QDir::toNativeSeparators(path));
    return m_program.prompter.show(question, platform::ProgramTitle, platform::Buttons::YesNo,
                                   platform::Icon::Exclamation,
                                   platform::Answer::No) == platform::Answer::Yes;
}

bool FileCommands::writeTable()
{
    clock::ClockTable &table = m_program.clockTable;
    if (const auto question = clock::ConversionQuestion(table, m_program.strings);
        question && m_program.prompter.ask(*question) != platform::Answer::Ok)
        return false;
    const clock::ClockFileResult result = clock::WriteClockFile(table, m_program.strings);
    m_program.notices.tell(result.notices);
    if (!result.done())
        return false;
    m_tableFile = QFileInfo(table.ClockFileName).absoluteFilePath();
    m_history.markSaved();
    return true;
}

void FileCommands::Save()
{
    WaitPointer wait;
    clock::ClockTable &table = m_program.clockTable;
    if (m_siteId != 0 && table.ClockFileName.isEmpty()) {
        saveToSite();
        return;
    }
    if (table.ClockFileName.isEmpty()) {
        SaveAs();
        return;
    }
    if (mayReplace(table.ClockFileName))
        writeTable();
}

void FileCommands::SaveAs()
{
    clock::ClockTable &table = m_program.clockTable;
    FileDialogRequest request;
    request.title = m_program.strings.GetResString(Command::SaveAsTitle);
    request.filter = Filter(m_program.strings, Command::ClockFiles, "clk");
    request.initialName = tableName();
    // The window asks itself, and only when the file is not the table's own.
    request.overwritePrompt = false;
    request.pathMustExist = true;
    request.hideReadOnly = true;
    const std::optional<QString> chosen = chooseFile(true, request);
    if (!chosen || chosen->isEmpty())
        return;
    const QFileInfo info(*chosen);
    if (!info.absoluteDir().exists()) {
        showSystemError(platform::FileFailure(
            info.absolutePath(),
            m_program.strings.GetResString(settings::TextId::File::NoSuchFolder)));
        return;
    }
    // A name without extension would be hidden by the open dialog's filter.
    const QString path = info.suffix().isEmpty() && !chosen->endsWith(u'.')
                             ? *chosen + QStringLiteral(".clk")
                             : *chosen;
    if (!mayReplace(path))
        return;
    const QString previousName = table.ClockFileName;
    table.ClockFileName = QFileInfo(path).absoluteFilePath();
    // Not written: the table still belongs to the file it came from.
    if (!writeTable())
        table.ClockFileName = previousName;
}

clock::YearWindow FileCommands::years() const
{
    return clock::YearWindow::around(m_program.clock.now());
}

std::vector<clock::HealthProblem> FileCommands::healthProblems() const
{
    // Without a project every function counts as known.
    std::optional<QSet<int>> functions;
    if (!m_program.settings.nbtFile.isEmpty() || m_receivedProject)
        functions = m_presenter.ListedFunctions();
    return clock::CheckHealth(m_program.clockTable, m_program.clock.now(),
                              m_program.project.WorkdayFlags(), functions);
}

bool FileCommands::mayTransmit()
{
    const std::vector<clock::HealthProblem> problems = healthProblems();
    if (problems.empty())
        return true;
    // A box stays readable: the first problems, and how many more there are.
    constexpr int Shown = 12;
    QStringList texts;
    for (std::size_t k = 0; k < problems.size() && k < Shown; ++k)
        texts.append(HealthText(problems[k], m_program.clockTable, m_program.strings, years()));
    if (problems.size() > Shown)
        texts.append(text(Command::AndMore).arg(problems.size() - Shown));
    const QString message = HealthSummaryHeading(problems, m_program.strings) + u'\n' +
                            texts.join(u'\n') + QStringLiteral("\n\n") +
                            text(Command::SendAllTheSame);
    return m_program.prompter.show(message, platform::ProgramTitle, platform::Buttons::OkCancel,
                                   platform::Icon::Exclamation) == platform::Answer::Ok;
}

void FileCommands::Transmit()
{
    if (!mayTransmit())
        return;
    const TableHistory::State before = m_history.current();
    notify(onTransmit);
    // Sending frees one-time lines that lay in the past: a step of its own, and the table no
    // longer what its file holds. Dates moved by whole steps name the same firings and the chain
    // bytes every send rewrites say nothing of what the lines do, so (as for a comparison) they
    // alone are no change.
    const clock::ClockTable &table = m_program.clockTable;
    clock::ClockTable previous = table;
    previous.Lines = before.lines;
    if (!clock::DiffTables(previous, table, {years()}).equal())
        m_history.record(before, text(Step::DatesUpToDate));
    // Sending may free one-time lines that lay in the past, the selected one among them.
    if (const auto index = table.selectedIndex();
        index && !table.Lines[static_cast<std::size_t>(*index)].inUse())
        notify(selectionLost);
}

void FileCommands::Receive()
{
    // Receiving replaces the table as opening a file does, so it asks the same question first.
    if (!mayDropChanges())
        return;
    const TableHistory::State before = m_history.current();
    notify(onReceive);
    notify(tableReplaced);
    m_history.record(before, text(Step::ReceiveTable));
}

book::Fetched<int> FileCommands::keepInBook(book::TableVersion version,
                                            std::optional<int> basedOn)
{
    if (!m_program.book)
        return {};
    version.time = m_program.clock.now().toUTC();
    version.user = book::CurrentUserName();
    version.clockImage = clock::ClockFileImage(m_program.clockTable);
    version.problems = int(healthProblems().size());
    book::Fetched<int> kept = m_program.book->addVersion(m_siteId, std::move(version), basedOn);
    if (kept.ok())
        m_siteVersion = kept.value;
    else if (kept.status != book::BookStatus::Conflict)
        m_program.notices.tell(kept.notices);
    return kept;
}

void FileCommands::saveToSite()
{
    book::TableVersion version;
    version.event = book::VersionEvent::Saved;
    book::Fetched<int> kept = keepInBook(version, m_siteVersion);
    if (kept.status == book::BookStatus::Conflict) {
        // Two technicians on one site: neither table is lost, the user says which goes on.
        book::SiteBook &book = *m_program.book;
        SiteChoice theirs;
        theirs.site.id = m_siteId;
        theirs.site.name = m_siteName;
        const book::Fetched<book::TableVersion> latest = book.tableInForce(m_siteId);
        const book::Fetched<QByteArray> project = book.project(m_siteId);
        if (!latest.ok() || !project.ok())
            return m_program.notices.tell(latest.ok() ? project.notices : latest.notices);
        theirs.version = latest.value;
        theirs.projectFile = project.value;
        clock::ClockTable other;
        clock::ReadClockImage(other, theirs.version.clockImage);
        const qsizetype differing = clock::DiffTables(other, m_program.clockTable).lines.size();
        const QString question =
            QCoreApplication::translate("FileCommands",
                                        "%1 kept version %2 of %3 at %4, after the version %5 you "
                                        "began from; it differs from yours in %6 line(s).\n\n"
                                        "Yes: keep yours as the next version.\nNo: drop yours "
                                        "and take theirs.")
                .arg(theirs.version.user)
                .arg(theirs.version.number)
                .arg(m_siteName, theirs.version.time.toLocalTime().toString(
                                     QStringLiteral("yyyy-MM-dd HH:mm")))
                .arg(m_siteVersion)
                .arg(differing);
        switch (m_program.prompter.show(question, platform::ProgramTitle,
                                        platform::Buttons::YesNoCancel,
                                        platform::Icon::Exclamation, platform::Answer::Cancel)) {
        case platform::Answer::Yes:
            kept = keepInBook(version);
            break;
        case platform::Answer::No:
            if (takeSiteTable(theirs))
                m_history.markSaved();
            return;
        default:
            return;
        }
    }
    if (kept.ok())
        m_history.markSaved();
}

void FileCommands::keepTransfer(book::TableVersion version)
{
    if (m_siteId != 0)
        keepInBook(std::move(version));
}

bool FileCommands::OpenSite(const SiteChoice &choice)
{
    if (!choice.restore && !mayDropChanges())
        return false;
    return takeSiteTable(choice);
}

bool FileCommands::takeSiteTable(const SiteChoice &choice)
{
    // Read beside the table and project in force, which stay when either is refused.
    std::unique_ptr<project::ProjectModel> model;
    if (!choice.projectFile.isEmpty()) {
        project::ProjectRead read =
            project::ReadProjectData(choice.projectFile, m_program.settings, m_program.strings);
        m_program.notices.tell(read.notices);
        if (!read.read())
            return false;
        model = std::move(read.model);
    } else {
        model = std::make_unique<project::ProjectModel>(m_program.project);
    }
    clock::ClockTable table = m_program.clockTable;
    if (choice.version.clockImage.isEmpty()) {
        clock::ClearClockTable(table);
        clock::ApplyModel(table, *model);
        table.ClockFileVersion = 1;
    } else {
        const clock::ClockFileResult result =
            clock::ReadClockImage(table, choice.version.clockImage);
        m_program.notices.tell(result.notices);
        if (!result.done())
            return false;
        if (result.model)
            project::SelectModel(*model, *result.model, m_program.strings);
    }
    table.ClockFileName.clear();
    const TableHistory::State before = m_history.current();
    m_program.clockTable = table;
    m_program.project = std::move(*model);
    m_tableFile.clear();
    m_siteId = choice.site.id;
    m_siteName = choice.site.name;
    m_siteVersion = choice.version.number;
    m_receivedProject = false;
    notify(projectApplied);
    notify(workdaysChanged);
    notify(tableReplaced);
    m_history.record(before, text(Step::OpenClockFile), true);
    if (!choice.restore) {
        m_history.markSaved();
        return true;
    }
    book::TableVersion restored;
    restored.event = book::VersionEvent::Restored;
    restored.restoredFrom = choice.version.number;
    if (keepInBook(std::move(restored)).ok())
        m_history.markSaved();
    return true;
}

} // namespace quintara::ui
