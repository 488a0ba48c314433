#pragma once

#include <QString>

namespace quintara::sim {

class CentralUnit;

struct CommandResult {
    bool ok = false;
    // "ok", or what was wrong with the line.
    QString reply;
    bool quit = false;
};

// One line of the simulator's console:
//   report key <panel> <key> [<extra>]      a touch-panel key report
//   report sensor <kind> <number> <raw>     a sensor value report
//   report state <kind> <number> [<raw>]    a state report (of the given or held state)
//   set <kind> <number> <raw>               change a held state silently
//   frame <byte>...                         any frame around the given data bytes
//   raw <byte>...                           bytes as they are, outside any frame
//   fault checksum|silence|noise on|off     fault injection ("noise on|off" also works)
//   line in|out drop|dup|corrupt|any <n>    damage the n-th byte the unit hears (in) or says
//                                           (out) after each handshake, in every attempt
//   line in|out drop|...|any random <pct>   damage that percentage of all bytes
//   line in|out off
//   quit
// Numbers are 0..255.
CommandResult RunCommand(CentralUnit &unit, const QString &line);

// The list above, for "help".
QString CommandHelp();

} // namespace quintara::sim
