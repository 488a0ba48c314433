#pragma once

#include "book/SiteBook.h"
#include "clock/ClockTable.h"
#include "clock/Occurrences.h"
#include "platform/Prompter.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace quintara::clock {
struct HealthProblem;
}

namespace quintara::project {
struct ProjectModel;
}


namespace quintara::ui {

struct Program;
class FileDialogs;
struct FileDialogRequest;
class FunctionPresenter;
class TableHistory;
struct SiteChoice;

// "(received from the central unit)", where the project file's name would stand.
inline constexpr int ReceivedProjectTextId = 2104;

// The clock file named after a project file: its name without folder and extension + ".clk".
QString ClockFileNameFor(const QString &projectPath);

// The commands that swap the table or the project as a whole: a new table, a clock file opened
// or saved, a project read, the table sent to or received from the central unit. They keep
// which file the table belongs to; the window follows through the hooks.
class FileCommands {
public:
    FileCommands(Program &program, FileDialogs &dialogs, TableHistory &history,
                 const FunctionPresenter &presenter, QWidget *parent);

    // After the whole table was swapped: repaint, and no selection of a gone line.
    std::function<void()> tableReplaced;
    // The project in force changed: the table follows its model, the window its language.
    std::function<void()> projectApplied;
    // The project's workdays may have changed.
    std::function<void()> workdaysChanged;
    // Sending freed the selected line.
    std::function<void()> selectionLost;
    // Run the communication dialog (filled by whoever provides it).
    std::function<void()> onTransmit;
    std::function<void()> onReceive;

    void NewTable();
    // proposed: a project file the dialog starts on; in its folder when it does not exist.
    void ReadProject(const QString &proposed = {});
    // Reads the project file the settings name (start-up).
    void ReadProjectFromSettings();
    // Without a project in force, asks for one until it is read (the dialog starting on the
    // proposed file); false when the user declines.
    bool InsistOnProject(const QString &proposed);
    // The central unit's configuration has become the project.
    void ProjectReceived();
    void OpenClockFile();
    // Opens the given clock file; false (with the message shown) when it was refused, and
    // then the table in force stays as it was.
    bool OpenClockFile(const QString &path);
    void Save();
    void SaveAs();
    // A site of the book in the editor: its project and the table chosen. Opening asks before
    // changes are dropped and leaves the table unchanged; a restore is an undo step and is
    // kept in the book as a version of its own. Save then keeps the table as the site's next
    // version. False (with the message shown) when the choice could not be taken.
    bool OpenSite(const SiteChoice &choice);
    // A transfer of the table of a site in the editor, kept as the site's next version with
    // what went over the line; nothing for a table of a file.
    void keepTransfer(book::TableVersion version);
    // The site whose table is in the editor; empty for a table of a file.
    QString siteInEditor() const { return m_siteId != 0 ? m_siteName : QString(); }
    void Transmit();
    void Receive();

    platform::Answer SaveChangesPrompt();
    // Asks before a changed table is dropped; false when the command must stop.
    bool mayDropChanges();
    // The clock file's name, or for a table without one the name Save As offers.
    QString tableName() const;
    // Whether the project in force came from the central unit rather than from a file.
    bool receivedProject() const { return m_receivedProject; }
    // An undo or redo put a state back, and with it a name the table had.
    void followRestoredName();

    // Shows the open or save dialog; the folder of a chosen file becomes the current one.
    std::optional<QString> chooseFile(bool save, const FileDialogRequest &request);
    void showSystemError(const QString &description);
    // A clock file read as Open reads it, into a table and model of its own; nothing (with the
    // message shown) when it was refused.
    struct ReadBeside {
        clock::ClockTable table;
        std::unique_ptr<project::ProjectModel> model;
    };
    std::optional<ReadBeside> readClockFileBeside(const QString &path);

    // What the health check says of the table in force, with the project's functions when a
    // project is in force.
    std::vector<clock::HealthProblem> healthProblems() const;
    // How the table's two-digit years read today.
    clock::YearWindow years() const;

private:
    QString text(int id) const;
    // Asks before a save replaces an existing file that is not the table's own (No being the
    // default); true when the save may go on.
    bool mayReplace(const QString &path);
    // Writes the table to its file; the file is then the table's own and the table unchanged.
    bool writeTable();
    // Before sending: what will not work as intended, and whether to send all the same.
    bool mayTransmit();
    void notify(const std::function<void()> &hook) const;

    Program &m_program;
    FileDialogs &m_dialogs;
    TableHistory &m_history;
    const FunctionPresenter &m_presenter;
    QWidget *m_parent;
    // The file the table was read from or last written to, whole; empty for none.
    QString m_tableFile;
    bool m_receivedProject = false;
    // The book's site the table belongs to instead of a file; 0 for none.
    qint64 m_siteId = 0;
    QString m_siteName;
    // The site's version the editor's table began from: a save after someone else kept a newer
    // one asks first.
    int m_siteVersion = 0;
    // Keeps the table as the site's next version (only as long as `basedOn` is the latest,
    // when given); what the book said is shown, but for a conflict, which the caller handles.
    book::Fetched<int> keepInBook(book::TableVersion version,
                                  std::optional<int> basedOn = std::nullopt);
    void saveToSite();
    // The site's table (and project) into the editor as one step; a restore is kept in the book.
    bool takeSiteTable(const SiteChoice &choice);
};

} // namespace quintara::ui
