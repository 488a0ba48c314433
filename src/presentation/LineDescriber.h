#pragma once

#include "clock/YearWindow.h"
#include "platform/Clock.h"

#include <QString>

#include <utility>

namespace quintara::clock {
struct ClockLine;
}
namespace quintara::settings {
class Strings;
struct NameTables;
} // namespace quintara::settings

namespace quintara::ui {

class FunctionPresenter;

// The texts that describe one clock line, shared by the main window's information panel, the
// list of all lines and the clipboard's text, in the language of the name tables and strings;
// two-digit years are read in the window around the clock's present.
class LineDescriber {
public:
    LineDescriber(const FunctionPresenter &presenter, const settings::NameTables &names,
                  const settings::Strings &strings, const platform::Clock &clock)
        : m_presenter(presenter), m_names(names), m_strings(strings), m_clock(clock)
    {
    }

    // Code, number and name of the line's function.
    QString functionText(const clock::ClockLine &line) const;
    // The line's level in words for its function type.
    QString levelText(const clock::ClockLine &line) const;
    // The day-table's name, or its number when the byte names none.
    QString tableText(const clock::ClockLine &line) const;
    // "hh:mm" and "dd/MM/yyyy" of the stored bytes as they stand, also where they name no real
    // moment, so that a damaged line shows what it holds.
    static QString timeText(const clock::ClockLine &line);
    QString dateText(const clock::ClockLine &line) const;
    // "Once", or "Every 2 Day(s)" in the language in force.
    QString repeatText(const clock::ClockLine &line) const;

    // The information panel's two lines: function and level; moment and repetition.
    std::pair<QString, QString> panelSummary(const clock::ClockLine &line) const;

    const FunctionPresenter &presenter() const { return m_presenter; }
    const settings::Strings &strings() const { return m_strings; }
    clock::YearWindow years() const { return clock::YearWindow::around(m_clock.now()); }

private:
    const FunctionPresenter &m_presenter;
    const settings::NameTables &m_names;
    const settings::Strings &m_strings;
    const platform::Clock &m_clock;
};

} // namespace quintara::ui
