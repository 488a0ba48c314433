#pragma once

#include "book/SiteBook.h"
#include "clock/ClockTable.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Prompter.h"
#include "project/ProjectModel.h"
#include "settings/NameTables.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "settings/Strings.h"
#include "tables/TableSet.h"
#include "ui/NoticeBoxes.h"

#include <memory>

namespace quintara::ui {

// The program-wide state, held once for the whole run. app/ owns the one of the program; tests
// build their own with scripted seams. Windows and functions take the parts they need.
struct Program {
    Program(platform::Prompter &prompter, platform::Clock &clock, platform::EventPump &pump,
            settings::ProfileFile profile,
            const settings::StringTable &table = settings::StringTable::builtIn())
        : prompter(prompter), notices(prompter), clock(clock), pump(pump),
          profile(std::move(profile)), strings(table)
    {
    }

    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // Questions the window asks.
    platform::Prompter &prompter;
    // What operations tell, shown as boxes through the prompter.
    NoticeBoxes notices;
    platform::Clock &clock;
    platform::EventPump &pump;

    settings::ProfileFile profile;
    settings::Settings settings;
    settings::Strings strings;
    // Filled when the main window loads, in the language in force then.
    settings::NameTables names;

    project::ProjectModel project;
    clock::ClockTable clockTable;
    // The central-unit tables of the last transfer; made when the first transfer starts.
    std::unique_ptr<tables::TableSet> tableSet;
    // The site book, once the user opened it.
    std::unique_ptr<book::SiteBook> book;
};

} // namespace quintara::ui
