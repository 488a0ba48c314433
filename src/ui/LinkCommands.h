#pragma once

namespace quintara::link {
class SerialLine;
}

namespace quintara::ui {

struct Program;
class FrmKlokken;

// Gives the main window its Transmit and Receive: the communication dialog in mode "T" or "R"
// (Receive also serves the start dialog). The line is the caller's and outlives the window; it is
// open only while a transfer runs, so it never holds the port together with the on-line test.
// With "[Link] Trace=1" in the settings file each transfer is traced, and Communication >
// Save last trace... writes the last one to a file for support.
void InstallLinkCommands(FrmKlokken &main, Program &program, link::SerialLine &transferLine);

} // namespace quintara::ui
