#include "ui/SunCommands.h"

#include "plan/ProjectLocation.h"
#include "plan/SunRetime.h"
#include "ui/LocationDialog.h"
#include "ui/Program.h"
#include "ui/RetimeDialog.h"
#include "ui/TableHistory.h"

#include <QCoreApplication>

namespace quintara::ui {

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("SunCommands", text);
}

} // namespace

SunCommands::SunCommands(Program &program, TableHistory &history, const LineDescriber &describer,
                         QWidget *parent)
    : m_program(program), m_history(history), m_describer(describer), m_parent(parent)
{
}

std::optional<plan::Location> SunCommands::location()
{
    // Read once per site or project file, not at every repaint.
    const QString site = this->site();
    const QString source = site.isEmpty() ? m_program.settings.nbtFile : u'\n' + site;
    if (m_readFor == source)
        return m_location;
    m_readFor = source;
    m_location.reset();
    if (site.isEmpty()) {
        m_location = plan::ReadProjectLocation(m_program.profile, source);
    } else if (m_program.book) {
        // A record that can't be read now is one without a location.
        const book::Fetched<book::Site> record = m_program.book->site(site);
        if (record.ok()) {
            const plan::LocationOutcome stored = plan::Location::parse(record.value.location);
            if (const auto *here = std::get_if<plan::Location>(&stored))
                m_location = *here;
        }
    }
    return m_location;
}

QTimeZone SunCommands::zone() const
{
    return m_program.clock.now().timeZone();
}

std::vector<WeekNight> SunCommands::nights(QDate monday)
{
    const std::optional<plan::Location> here = location();
    return here ? WeekNights(*here, monday, zone()) : std::vector<WeekNight>();
}

std::optional<AgendaSun> SunCommands::agendaSun()
{
    const std::optional<plan::Location> here = location();
    if (!here)
        return std::nullopt;
    return AgendaSun{*here, zone()};
}

void SunCommands::refuse(const QString &text) const
{
    m_program.prompter.show(text, platform::ProgramTitle, platform::Buttons::Ok,
                            platform::Icon::Exclamation);
}

void SunCommands::ChooseLocation()
{
    if (const QString site = this->site(); !site.isEmpty()) {
        refuse(Tr("This table comes from the site %1: its location is set in its record in "
                  "the site book.")
                   .arg(site));
        return;
    }
    const QString project = m_program.settings.nbtFile;
    if (project.isEmpty()) {
        refuse(Tr("The location is kept for the project file; read a project file first."));
        return;
    }
    LocationDialog dialog(location(), m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!plan::WriteProjectLocation(m_program.profile, project, dialog.location())) {
        refuse(Tr("The location could not be stored in %1.").arg(m_program.profile.path()));
        return;
    }
    m_location = dialog.location();
    m_readFor = project;
    if (locationChanged)
        locationChanged();
}

void SunCommands::RetimeToSun()
{
    const QList<int> lines = chosenLines ? chosenLines() : QList<int>();
    plan::SunRetime retime{location(), plan::SunEvent::Sunset, 0, m_program.clock.now().date(),
                           zone()};
    // Without a location or lines there is nothing to choose in the dialog.
    const plan::RetimeOutcome first = plan::RetimeToSun(m_program.clockTable, lines, retime);
    if (const auto *refusal = std::get_if<plan::RetimeRefusal>(&first);
        refusal && (refusal->reason == plan::RetimeRefused::NoLocation ||
                    refusal->reason == plan::RetimeRefused::NoLines)) {
        refuse(refusal->text);
        return;
    }
    RetimeDialog dialog(m_program.clockTable, lines, std::move(retime), m_describer, m_parent);
    if (dialog.exec() != QDialog::Accepted || !dialog.plan())
        return;
    const TableHistory::State before = m_history.current();
    for (const plan::RetimedLine &line : dialog.plan()->lines)
        m_program.clockTable.Lines[std::size_t(line.index)] = line.after;
    m_program.clockTable.TableChanged = true;
    m_history.record(before, Tr("Retime to the sun"));
    if (tableChanged)
        tableChanged();
}

} // namespace quintara::ui
