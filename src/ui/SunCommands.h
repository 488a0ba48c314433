#pragma once

#include "plan/Sun.h"
#include "presentation/AgendaModel.h"
#include "presentation/WeekNights.h"

#include <QDate>
#include <QList>
#include <QTimeZone>

#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace quintara::ui {

struct Program;
class LineDescriber;
class TableHistory;

// The sun in the window: the location of the house (a site's, kept in its record in the site
// book, when the table in the editor comes from a site; otherwise the project file's, kept in
// the settings file), the nights it shades in the week, the sunrise and sunset the agenda lists, and the command
// that moves chosen lines to a sun event. Times are wall times of the zone the program's clock
// reads in.
class SunCommands {
public:
    SunCommands(Program &program, TableHistory &history, const LineDescriber &describer,
                QWidget *parent);

    // The location of the site or project file in use; read again when either changes, or
    // after forget().
    std::optional<plan::Location> location();
    void forget() { m_readFor.reset(); }
    QTimeZone zone() const;
    std::vector<WeekNight> nights(QDate monday);
    std::optional<AgendaSun> agendaSun();

    // The site whose table is in the editor; empty for none.
    std::function<QString()> siteInEditor;
    // The lines the retime works on.
    std::function<QList<int>()> chosenLines;
    // The location was set or cleared: the week and the agenda follow.
    std::function<void()> locationChanged;
    // The table's lines changed.
    std::function<void()> tableChanged;

    // Options › Location: asks for the project's location and stores it.
    void ChooseLocation();
    // Edit › Retime to the sun: the chosen lines to a sun event ± offset, as one step.
    void RetimeToSun();

private:
    void refuse(const QString &text) const;

    Program &m_program;
    TableHistory &m_history;
    const LineDescriber &m_describer;
    QWidget *m_parent;
    QString site() const { return siteInEditor ? siteInEditor() : QString(); }

    // The site (or, without one, the project file) the location was read for.
    std::optional<QString> m_readFor;
    std::optional<plan::Location> m_location;
};

} // namespace quintara::ui
