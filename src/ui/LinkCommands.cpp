#include "ui/LinkCommands.h"

#include "ui/FrmCom.h"
#include "ui/FrmKlokken.h"
#include "ui/Program.h"

namespace quintara::ui {

namespace {

// A received project brings its own model and workdays.
void AfterDialog(FrmKlokken &main, FrmCom::Outcome outcome)
{
    if (outcome == FrmCom::Outcome::ProjectReceived)
        main.ProjectReceived();
}

} // namespace

void InstallLinkCommands(FrmKlokken &main, Program &program, link::SerialLine &transferLine)
{
    main.onTransmit = [&main, &program, &transferLine] {
        AfterDialog(main, FrmCom::Run(program, FrmCom::Mode::Transmit, transferLine, &main));
        // Sending frees one-time lines that lay in the past; Receive repaints by itself.
        main.ScrWeeks_Change();
    };
    main.onReceive = [&main, &program, &transferLine] {
        AfterDialog(main, FrmCom::Run(program, FrmCom::Mode::Receive, transferLine, &main));
    };
}

} // namespace quintara::ui
